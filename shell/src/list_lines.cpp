#include "list_lines.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace vork::shell {

QListWidgetItem* lineItem(const QString& text, const QFontMetrics& fm)
{
    auto* item = new QListWidgetItem(text);
    int lines = 1;
    int widest = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), from);
        const qsizetype end = nl < 0 ? text.size() : nl;
        widest = std::max(widest, fm.horizontalAdvance(QStringView(text).mid(from, end - from).toString()));
        if (nl < 0)
            break;
        ++lines;
        from = nl + 1;
    }
    item->setSizeHint(QSize(widest + 8, lines * fm.lineSpacing() + 4));
    return item;
}

void scrollToBottomSoon(QObject* owner, QListWidget* list, bool& pending)
{
    if (pending)
        return;
    pending = true;
    QTimer::singleShot(0, owner, [list = QPointer<QListWidget>(list), &pending] {
        pending = false;
        if (list)
            list->scrollToBottom();
    });
}

} // namespace vork::shell
