#include "vork/shell/code_editor.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QToolTip>

namespace vork::shell {

class EditorMargin : public QWidget {
public:
    explicit EditorMargin(CodeEditor* editor) : QWidget(editor), editor_(editor)
    {
        setObjectName(QStringLiteral("margin"));
        setMouseTracking(true);
    }
    QSize sizeHint() const override { return QSize(editor_->marginWidth(), 0); }

protected:
    void paintEvent(QPaintEvent* event) override { editor_->paintMargin(event); }
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(event);
            const QString text = editor_->markMessageAt(help->pos().y());
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, this);
            return true;
        }
        return QWidget::event(event);
    }

private:
    CodeEditor* editor_;
};

int matchingBracket(const QString& text, int position)
{
    static const QString open = QStringLiteral("([{");
    static const QString close = QStringLiteral(")]}");
    if (position < 0 || position >= text.size())
        return -1;
    const QChar c = text.at(position);
    int kind = open.indexOf(c);
    const int step = kind >= 0 ? 1 : -1;
    if (kind < 0)
        kind = close.indexOf(c);
    if (kind < 0)
        return -1;
    const QChar same = c;
    const QChar other = step > 0 ? close.at(kind) : open.at(kind);
    int depth = 0;
    for (int i = position; i >= 0 && i < text.size(); i += step) {
        if (text.at(i) == same)
            ++depth;
        else if (text.at(i) == other && --depth == 0)
            return i;
    }
    return -1;
}

CodeEditor::CodeEditor(QWidget* parent) : QPlainTextEdit(parent), margin_(new EditorMargin(this))
{
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(marginWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::updateMarginArea);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CodeEditor::refreshHighlights);
    setViewportMargins(marginWidth(), 0, 0, 0);
    refreshHighlights();
}

int CodeEditor::marginWidth() const
{
    int digits = 1;
    for (int n = std::max(1, blockCount()); n >= 10; n /= 10)
        ++digits;
    // Room for the numbers and, left of them, the problem mark.
    return fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits) + fontMetrics().height() + 6;
}

void CodeEditor::setMarks(std::map<int, Mark> marks)
{
    marks_ = std::move(marks);
    margin_->update();
}

int CodeEditor::lineAt(int y) const
{
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (y >= top && y < bottom)
            return block.blockNumber() + 1;
        if (top > y)
            break;
        block = block.next();
        top = bottom;
    }
    return 0;
}

QString CodeEditor::markMessageAt(int y) const
{
    const auto it = marks_.find(lineAt(y));
    return it == marks_.end() ? QString() : it->second.message;
}

void CodeEditor::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect cr = contentsRect();
    margin_->setGeometry(QRect(cr.left(), cr.top(), marginWidth(), cr.height()));
}

void CodeEditor::updateMarginArea(const QRect& rect, int dy)
{
    if (dy)
        margin_->scroll(0, dy);
    else
        margin_->update(0, rect.y(), margin_->width(), rect.height());
}

void CodeEditor::paintMargin(QPaintEvent* event)
{
    QPainter painter(margin_);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const int current = textCursor().blockNumber();
    const int mark = fontMetrics().height();
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            const int line = block.blockNumber() + 1;
            const auto it = marks_.find(line);
            if (it != marks_.end()) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(it->second.error ? QColor(220, 40, 40) : QColor(230, 170, 0));
                const int d = std::max(6, mark - 6);
                painter.drawEllipse(QRect(3, top + (height - d) / 2, d, d));
            }
            painter.setPen(block.blockNumber() == current ? palette().color(QPalette::WindowText)
                                                          : palette().color(QPalette::PlaceholderText));
            painter.drawText(QRect(0, top, margin_->width() - 4, height), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(line));
        }
        block = block.next();
        top += height;
    }
}

void CodeEditor::refreshHighlights()
{
    QList<QTextEdit::ExtraSelection> extras;
    QTextEdit::ExtraSelection line;
    QColor shade = palette().color(QPalette::Highlight);
    shade.setAlpha(28);
    line.format.setBackground(shade);
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = textCursor();
    line.cursor.clearSelection();
    extras.append(line);

    // The bracket at the caret, or the one just before it.
    matched_ = {-1, -1};
    const int pos = textCursor().position();
    auto isBracket = [this](int at) {
        return at >= 0 && QStringLiteral("()[]{}").contains(document()->characterAt(at));
    };
    // The whole text is taken only when there is a bracket to match.
    const QString text = isBracket(pos) || isBracket(pos - 1) ? document()->toPlainText() : QString();
    for (int at : {pos, pos - 1}) {
        const int other = matchingBracket(text, at);
        if (other >= 0) {
            matched_ = {at, other};
            break;
        }
    }
    if (matched_.first >= 0) {
        for (int at : {matched_.first, matched_.second}) {
            QTextEdit::ExtraSelection b;
            b.format.setBackground(QColor(180, 230, 180));
            b.cursor = QTextCursor(document());
            b.cursor.setPosition(at);
            b.cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
            extras.append(b);
        }
    }
    setExtraSelections(extras);
    margin_->update();
}

void CodeEditor::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // The new line starts with the blanks and tabs the current one
        // starts with.
        const QString current = textCursor().block().text();
        int n = 0;
        while (n < current.size() && (current.at(n) == QLatin1Char(' ') || current.at(n) == QLatin1Char('\t')))
            ++n;
        QPlainTextEdit::keyPressEvent(event);
        if (n > 0)
            textCursor().insertText(current.left(n));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CodeEditor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        // The caret goes where the click was, without a selection, and the
        // name there is looked up; nothing else happens to the text.
        setFocus(Qt::MouseFocusReason);
        setTextCursor(cursorForPosition(event->position().toPoint()));
        event->accept();
        emit definitionRequested();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

} // namespace vork::shell
