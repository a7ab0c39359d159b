// Lines of the message lists ("Parser", "Exe prekladač"): items whose size
// is known without laying their text out, and one scroll to the bottom for
// all the lines added in one turn of the event loop.
#pragma once

#include <QString>

class QFontMetrics;
class QListWidget;
class QListWidgetItem;
class QObject;

namespace vork::shell {

// A list of thousands of lines then lays itself out in a moment instead of
// shaping every line again whenever one is added.
QListWidgetItem* lineItem(const QString& text, const QFontMetrics& fm);

// Scrolls `list` to its bottom when the event loop comes back, once however
// many lines come before.  `pending` is the flag of `owner` for that list;
// nothing happens once the owner or the list is gone.
void scrollToBottomSoon(QObject* owner, QListWidget* list, bool& pending);

} // namespace vork::shell
