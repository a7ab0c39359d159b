#include "vork/shell/stop_mark.h"

#include "vork/shell/stranka.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace vork::shell {

bool StopMark::mark(TStranka* page, int line)
{
    if (page != page_)
        clear();
    if (!page || line < 1)
        return false;
    QPlainTextEdit* editor = page->editor();
    const QTextBlock block = editor->document()->findBlockByNumber(line - 1);
    if (!block.isValid()) {
        clear();
        return false;
    }
    // The whole line is selected with the caret at its start, so a narrow
    // page shows where the line begins rather than scrolling to its end.
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    editor->centerCursor();
    page_ = page;
    anchor_ = cursor.anchor();
    position_ = cursor.position();
    return true;
}

TStranka* StopMark::page() const
{
    return page_;
}

void StopMark::clear()
{
    TStranka* page = page_;
    page_ = nullptr;
    if (!page)
        return;
    QPlainTextEdit* editor = page->editor();
    QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection() && cursor.anchor() == anchor_ && cursor.position() == position_) {
        cursor.clearSelection();
        editor->setTextCursor(cursor);
    }
}

} // namespace vork::shell
