#include "vork/shell/colour_applier.h"

#include <QHash>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <string_view>

namespace vork::shell {

using vork::colour::Span;

namespace {

std::u16string_view viewOf(const QString& s)
{
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

class Formats {
public:
    const QTextCharFormat& of(const Span& s)
    {
        const uint32_t key = (s.rgb & 0xFFFFFF) | (s.bold ? 1u << 24 : 0) | (s.italic ? 1u << 25 : 0);
        auto it = cache_.find(key);
        if (it == cache_.end()) {
            QTextCharFormat f;
            f.setForeground(QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (s.rgb & 0xFFFFFF))));
            f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
            f.setFontItalic(s.italic);
            it = cache_.insert(key, f);
        }
        return it.value();
    }

private:
    QHash<uint32_t, QTextCharFormat> cache_;
};

void setBlockFormats(const QTextBlock& block, const QList<QTextLayout::FormatRange>& ranges)
{
    QTextLayout* layout = block.layout();
    if (ranges.isEmpty()) {
        if (!layout->formats().isEmpty())
            layout->clearFormats();
    } else {
        layout->setFormats(ranges);
    }
}

// Whatever colouring does to the layouts, the user's view stays: the
// selection and the scroll position come back if the relayout moved them.
// Nothing is repainted while the formats change (painting waits for the
// event loop), and only the blocks marked dirty are repainted after.
class ViewKeeper {
public:
    explicit ViewKeeper(QPlainTextEdit& e)
        : e_(e),
          anchor_(e.textCursor().anchor()),
          position_(e.textCursor().position()),
          v_(e.verticalScrollBar()->value()),
          h_(e.horizontalScrollBar()->value())
    {
    }
    ~ViewKeeper()
    {
        const QTextCursor now = e_.textCursor();
        if (now.anchor() != anchor_ || now.position() != position_) {
            QTextCursor c(e_.document());
            c.setPosition(anchor_);
            c.setPosition(position_, QTextCursor::KeepAnchor);
            e_.setTextCursor(c);
        }
        if (e_.verticalScrollBar()->value() != v_)
            e_.verticalScrollBar()->setValue(v_);
        if (e_.horizontalScrollBar()->value() != h_)
            e_.horizontalScrollBar()->setValue(h_);
    }

private:
    QPlainTextEdit& e_;
    int anchor_, position_, v_, h_;
};

} // namespace

ColourApplier::ColourApplier(const vork::colour::WordTable& table) : table_(table) {}

void ColourApplier::colourWhole(QPlainTextEdit& editor)
{
    ViewKeeper keep(editor);
    QTextDocument* doc = editor.document();
    // Plain-text positions are document positions: one character per
    // block end, and toPlainText() keeps every character's place.
    const QString text = doc->toPlainText();
    const std::vector<Span> spans = vork::colour::wholeTextPass(viewOf(text), table_);

    Formats formats;
    std::size_t first = 0;  // first span that may reach the current block
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const int from = b.position();
        const int to = from + b.length() - 1;  // without the block end
        while (first < spans.size() && spans[first].start + spans[first].length <= from)
            ++first;
        QList<QTextLayout::FormatRange> ranges;
        // A string may run over several lines: it is cut at each block.
        for (std::size_t i = first; i < spans.size() && spans[i].start < to; ++i) {
            const int s = std::max(spans[i].start, from);
            const int e = std::min(spans[i].start + spans[i].length, to);
            if (s < e)
                ranges.append(QTextLayout::FormatRange{s - from, e - s, formats.of(spans[i])});
        }
        setBlockFormats(b, ranges);
    }
    doc->markContentsDirty(0, doc->characterCount());
}

void ColourApplier::removeColouring(QPlainTextEdit& editor)
{
    ViewKeeper keep(editor);
    QTextDocument* doc = editor.document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        setBlockFormats(b, {});
    doc->markContentsDirty(0, doc->characterCount());
}

void ColourApplier::recolourLine(QPlainTextEdit& editor, int blockNumber)
{
    QTextDocument* doc = editor.document();
    const QTextBlock b = doc->findBlockByNumber(blockNumber);
    if (!b.isValid())
        return;
    ViewKeeper keep(editor);
    const QString text = b.text();
    Formats formats;
    QList<QTextLayout::FormatRange> ranges;
    for (const Span& s : vork::colour::linePass(viewOf(text), table_))
        ranges.append(QTextLayout::FormatRange{s.start, s.length, formats.of(s)});
    setBlockFormats(b, ranges);
    doc->markContentsDirty(b.position(), b.length());
}

} // namespace vork::shell
