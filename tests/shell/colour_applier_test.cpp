// The colour applier on a real QPlainTextEdit: colouring shows, and it is
// invisible to everything that watches the text (undo, modified flag,
// textChanged, selection, scroll position).
#include "vork/shell/colour_applier.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using vork::shell::ColourApplier;
namespace colour = vork::colour;

namespace {

const colour::WordTable& table()
{
    static const colour::WordTable t = colour::parseSyntaxConfig("//  2 1\n\"  1 4\nint 3 15\nvoid 4 15\n");
    return t;
}

// 200 lines: a keyword, a number and a comment on each, and a string that
// runs over lines 100 and 101.
QString sampleText()
{
    QString text;
    for (int i = 0; i < 200; ++i)
        text += i == 100   ? QStringLiteral("x = \"open\n")
                : i == 101 ? QStringLiteral("close\" int\n")
                           : QStringLiteral("int v%1 = 0x1F; // line %1\n").arg(i);
    return text;
}

// The format the layout shows at a position of a block; none when no range
// covers it.
std::optional<QTextCharFormat> formatAt(const QTextBlock& b, int pos)
{
    std::optional<QTextCharFormat> found;
    for (const QTextLayout::FormatRange& r : b.layout()->formats())
        if (pos >= r.start && pos < r.start + r.length)
            found = r.format;
    return found;
}

QRgb colourAt(const QTextBlock& b, int pos)
{
    const auto f = formatAt(b, pos);
    return f ? f->foreground().color().rgb() & 0xFFFFFF : 0xDEAD;  // 0xDEAD: uncoloured
}

bool boldAt(const QTextBlock& b, int pos)
{
    const auto f = formatAt(b, pos);
    return f && f->fontWeight() == QFont::Bold;
}

struct Editor : QPlainTextEdit {
    using QPlainTextEdit::firstVisibleBlock;
};

struct Fixture {
    Editor editor;
    ColourApplier applier{table()};

    Fixture()
    {
        editor.resize(300, 200);
        editor.setLineWrapMode(QPlainTextEdit::NoWrap);
        editor.setPlainText(sampleText());
        editor.show();
    }
    QTextBlock block(int n) const { return editor.document()->findBlockByNumber(n); }
    // A user edit: one undo step, sets the modified flag.
    void type(int blockNumber, int column, const QString& s)
    {
        QTextCursor c(block(blockNumber));
        c.setPosition(block(blockNumber).position() + column);
        c.insertText(s);
    }
};

struct Operation {
    const char* name;
    std::function<void(Fixture&)> run;
};

const Operation kOperations[] = {
    {"colour whole", [](Fixture& f) { f.applier.colourWhole(f.editor); }},
    {"remove", [](Fixture& f) { f.applier.colourWhole(f.editor); f.applier.removeColouring(f.editor); }},
    {"recolour visible line", [](Fixture& f) { f.applier.recolourLine(f.editor, 61); }},
    {"recolour line off screen", [](Fixture& f) { f.applier.recolourLine(f.editor, 150); }},
    {"recolour line past the end", [](Fixture& f) { f.applier.recolourLine(f.editor, 5000); }},
};

} // namespace

// For every operation, with and without unsaved changes: the undo stack,
// the modified flag, the selection, the scroll position and the signals a
// page listens to are exactly as they were.
TEST(ColourApplier, LeavesEditingStateAlone)
{
    for (const Operation& op : kOperations) {
        for (bool modified : {false, true}) {
            Fixture f;
            f.type(3, 0, "a");
            f.type(4, 0, "b");
            f.editor.document()->setModified(modified);
            QTextCursor sel(f.editor.document());
            sel.setPosition(f.block(62).position() + 5);
            sel.setPosition(f.block(60).position() + 2, QTextCursor::KeepAnchor);
            f.editor.setTextCursor(sel);
            f.editor.verticalScrollBar()->setValue(55);
            f.editor.horizontalScrollBar()->setValue(f.editor.horizontalScrollBar()->maximum() / 2);
            QCoreApplication::processEvents();
            const int undo = f.editor.document()->availableUndoSteps();
            const int v = f.editor.verticalScrollBar()->value();
            ASSERT_EQ(v, 55);
            const int h = f.editor.horizontalScrollBar()->value();
            const int first = f.editor.firstVisibleBlock().blockNumber();

            QSignalSpy textChanged(&f.editor, &QPlainTextEdit::textChanged);
            QSignalSpy modificationChanged(&f.editor, &QPlainTextEdit::modificationChanged);
            QSignalSpy contentsChange(f.editor.document(), &QTextDocument::contentsChange);
            QSignalSpy undoAdded(f.editor.document(), &QTextDocument::undoCommandAdded);
            QSignalSpy cursorMoved(&f.editor, &QPlainTextEdit::cursorPositionChanged);
            op.run(f);
            QCoreApplication::processEvents();

            const std::string what = std::string(op.name) + (modified ? ", modified" : ", saved");
            EXPECT_EQ(f.editor.document()->availableUndoSteps(), undo) << what;
            EXPECT_EQ(f.editor.document()->isModified(), modified) << what;
            EXPECT_EQ(textChanged.count(), 0) << what;
            EXPECT_EQ(modificationChanged.count(), 0) << what;
            EXPECT_EQ(contentsChange.count(), 0) << what;
            EXPECT_EQ(undoAdded.count(), 0) << what;
            EXPECT_EQ(cursorMoved.count(), 0) << what;
            EXPECT_EQ(f.editor.textCursor().anchor(), f.block(62).position() + 5) << what;
            EXPECT_EQ(f.editor.textCursor().position(), f.block(60).position() + 2) << what;
            EXPECT_EQ(f.editor.verticalScrollBar()->value(), v) << what;
            EXPECT_EQ(f.editor.horizontalScrollBar()->value(), h) << what;
            EXPECT_EQ(f.editor.firstVisibleBlock().blockNumber(), first) << what;

            // The last user edit is still the one undo takes back.
            f.editor.undo();
            EXPECT_TRUE(f.block(4).text().startsWith("int v4")) << what;
            EXPECT_TRUE(f.block(3).text().startsWith("aint v3")) << what;
        }
    }
}

TEST(ColourApplier, WholeTextShowsThePassOnEveryBlock)
{
    Fixture f;
    f.applier.colourWhole(f.editor);
    const QTextBlock b = f.block(7);  // int v7 = 0x1F; // line 7
    EXPECT_EQ(colourAt(b, 0), 0x000000u);
    EXPECT_TRUE(boldAt(b, 2));
    EXPECT_EQ(colourAt(b, 4), 0xDEADu);
    EXPECT_EQ(colourAt(b, 9), colour::kLineBlue);
    EXPECT_FALSE(boldAt(b, 9));
    EXPECT_EQ(colourAt(b, 15), colour::kCommentGreen);
    EXPECT_EQ(colourAt(b, b.length() - 2), colour::kCommentGreen);
    // The unclosed string of line 100 runs on to the next quote, cut at
    // each block.
    EXPECT_EQ(colourAt(f.block(100), 4), colour::kCommentGreen);
    EXPECT_EQ(colourAt(f.block(101), 0), colour::kCommentGreen);
    EXPECT_EQ(colourAt(f.block(101), 5), colour::kCommentGreen);
    EXPECT_EQ(colourAt(f.block(101), 6), 0xDEADu);
    EXPECT_TRUE(boldAt(f.block(101), 7));
    EXPECT_EQ(colourAt(f.block(199), 0), 0x000000u);
}

TEST(ColourApplier, LinePassTouchesOnlyItsLine)
{
    Fixture f;
    f.applier.colourWhole(f.editor);
    const auto before = f.block(11).layout()->formats();
    f.type(11, 0, "x");   // block 11 now reads "xint ...": not recoloured
    f.type(10, 0, "//");  // block 10 is now a comment
    f.applier.recolourLine(f.editor, 10);
    EXPECT_EQ(colourAt(f.block(10), 2), colour::kCommentGreen);
    EXPECT_EQ(colourAt(f.block(10), 13), colour::kCommentGreen);
    EXPECT_EQ(f.block(11).layout()->formats(), before);
    // Recolouring replaces the line's old colouring: "xint" is no keyword.
    f.applier.recolourLine(f.editor, 11);
    EXPECT_FALSE(boldAt(f.block(11), 1));
    EXPECT_EQ(colourAt(f.block(11), 1), 0x000000u);
}

TEST(ColourApplier, ColouringAgainReplacesStaleColours)
{
    Fixture f;
    f.applier.colourWhole(f.editor);
    QTextCursor c(f.block(20));
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    c.insertText("plain words");
    f.applier.colourWhole(f.editor);
    EXPECT_TRUE(f.block(20).layout()->formats().isEmpty());
}

// Switching off and typing: the typed line stays black, as do the others.
TEST(ColourApplier, SwitchedOffThenTypingStaysBlack)
{
    Fixture f;
    f.applier.colourWhole(f.editor);
    f.applier.removeColouring(f.editor);
    f.type(30, 0, "int y = 12; // typed ");
    QTextCursor c(f.block(31));
    c.insertText("void\n");
    for (int n : {30, 31, 32, 100, 101})
        EXPECT_TRUE(f.block(n).layout()->formats().isEmpty()) << n;
    for (QTextBlock b = f.editor.document()->begin(); b.isValid(); b = b.next())
        ASSERT_TRUE(b.layout()->formats().isEmpty()) << b.blockNumber();
}
