// "Prehľad" and "Prejsť na definíciu" in the window: the outline follows
// the active page and the typing, its entries and F2 / Ctrl+click put the
// caret where the name is defined, a name defined nowhere leaves the caret
// and says so, and the dock keeps its place from one start to the next.
#include "window_fixture.h"

#include "vork/shell/code_editor.h"
#include "vork/shell/outline_dock.h"

#include <QDockWidget>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>

namespace vork::shell::test {
namespace {

using vork::test::writeFile;

const char* const kGrammar = "%token NUM 300\n"   // 0
                             "%left '+'\n"        // 1
                             "%right NEG\n"       // 2
                             "%%\n"               // 3
                             "e : e '+' t\n"      // 4
                             "  | '-' e %prec NEG\n"  // 5
                             "  | t ;\n"          // 6
                             "t : NUM\n"          // 7
                             "  | GONE ;\n"       // 8
                             "%%\n"               // 9
                             "int k = NUM;\n";    // 10

const char* const kScanner = "D [0-9]\n"          // 0
                             "%s STR\n"           // 1
                             "%x CMT\n"           // 2
                             "%%\n"               // 3
                             "<STR>{D}+ ;\n"      // 4
                             "\"/*\" BEGIN CMT;\n";  // 5

// Windows-1250: the comment's letter is one byte on disk, one character in
// the editor and two bytes in UTF-8.
const char* const kCp1250Grammar = "%token X\n%%\n/* \xBE */ w : '\xBE' | X ;\n";

// The tree as lines: "Group", "  entry", "    alternative".
QStringList treeLines(const QTreeWidget* tree)
{
    QStringList out;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
            ++depth;
        out << QString(depth * 2, QLatin1Char(' ')) + (*it)->text(0);
    }
    return out;
}

QStringList lines(std::initializer_list<const char*> l)
{
    QStringList out;
    for (const char* s : l)
        out << QString::fromUtf8(s);
    return out;
}

class OutlineTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // F2 reaches the window's actions only in the active window.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        dock = window->outline();
        ASSERT_TRUE(dock);
    }

    TStranka* open(const std::string& name, const std::string& text)
    {
        writeFile(dir / name, text);
        return window->openPage(QString::fromStdString(dir / name));
    }

    void showOutline()
    {
        if (!window->isChecked("HM_Prehlad")) {
            ASSERT_TRUE(window->runCommand("HM_Prehlad"));
        }
        ASSERT_TRUE(dock->isVisible());
    }

    static QPoint caret(const TStranka* page)
    {
        const QTextCursor c = page->editor()->textCursor();
        return {c.blockNumber(), c.positionInBlock()};
    }

    static void putCaret(TStranka* page, int line, int column)
    {
        const QTextBlock block = page->editor()->document()->findBlockByNumber(line);
        QTextCursor c(block);
        c.setPosition(block.position() + column);
        page->editor()->setTextCursor(c);
    }

    OutlineDock* dock = nullptr;
};

TEST_F(OutlineTest, ListsTheActivePagesSymbolsByKindInFileOrder)
{
    struct Case {
        const char* file;
        std::string text;
        QStringList tree;
    };
    const std::vector<Case> cases{
        {"g.y", kGrammar,
         lines({"Pravidlá", "  e", "    e '+' t", "    '-' e %prec NEG", "    t", "  t", "    NUM", "    GONE", "Tokeny",
                "  NUM 300", "  NEG %right", "  GONE (nedefinovaný)"})},
        {"s.l", kScanner, lines({"Štartovacie podmienky", "  STR", "  CMT", "Definície", "  D [0-9]"})},
        {"a.c", "int main(void) { return 0; }\n", {}},
        {"notes.txt", "%token A\n%%\ns : A ;\n", {}},
    };
    showOutline();
    for (const Case& c : cases)
        ASSERT_TRUE(open(c.file, c.text)) << c.file;
    // Each page's outline as its tab is selected, the last one opened first.
    for (int round = 0; round < 2; ++round)
        for (int i = static_cast<int>(cases.size()) - 1; i >= 0; --i) {
            SCOPED_TRACE(cases[i].file);
            window->editPanel()->setCurrentIndex(i);
            EXPECT_EQ(treeLines(dock->tree()), cases[i].tree);
        }
    // The last page closed leaves nothing listed.
    window->closeAll();
    EXPECT_TRUE(treeLines(dock->tree()).isEmpty());
}

TEST_F(OutlineTest, ClickingAnEntryPutsTheCaretThereAndFocusesTheEditor)
{
    struct Case {
        const char* file;
        std::string text;
        const char* group;
        const char* entry;
        const char* parent;  // the entry is an alternative of this rule
        int line, column;
    };
    const Case cases[] = {
        {"g.y", kGrammar, "Pravidlá", "t", nullptr, 7, 0},
        {"g.y", kGrammar, "Pravidlá", "GONE", "t", 8, 4},
        {"g.y", kGrammar, "Tokeny", "NEG %right", nullptr, 2, 7},
        {"g.y", kGrammar, "Tokeny", "GONE (nedefinovaný)", nullptr, 8, 4},
        {"s.l", kScanner, "Štartovacie podmienky", "CMT", nullptr, 2, 3},
        {"s.l", kScanner, "Definície", "D [0-9]", nullptr, 0, 0},
        // After the letter that Windows-1250 gave: characters, not bytes.
        {"w.y", kCp1250Grammar, "Pravidlá", "w", nullptr, 2, 8},
        {"w.y", kCp1250Grammar, "Pravidlá", "X", "w", 2, 18},
    };
    showOutline();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.entry);
        TStranka* page = window->findPage(QString::fromStdString(dir / c.file));
        if (!page)
            page = open(c.file, c.text);
        ASSERT_TRUE(page);
        window->editPanel()->setCurrentWidget(page);
        putCaret(page, 1, 0);
        dock->tree()->setFocus();
        const QString group = QString::fromUtf8(c.group);
        QTreeWidgetItem* item = c.parent ? dock->findItem(group, QString::fromUtf8(c.parent))
                                         : dock->findItem(group, QString::fromUtf8(c.entry));
        ASSERT_TRUE(item);
        if (c.parent) {
            item->setExpanded(true);
            QTreeWidgetItem* alt = nullptr;
            for (int i = 0; i < item->childCount() && !alt; ++i)
                if (item->child(i)->text(0) == QString::fromUtf8(c.entry))
                    alt = item->child(i);
            ASSERT_TRUE(alt);
            item = alt;
        }
        dock->tree()->scrollToItem(item);
        const QRect r = dock->tree()->visualItemRect(item);
        ASSERT_TRUE(r.isValid());
        QTest::mouseClick(dock->tree()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        EXPECT_EQ(caret(page), QPoint(c.line, c.column));
        EXPECT_TRUE(page->editor()->hasFocus());
        EXPECT_EQ(window->statusText(0), caretPositionText(c.line + 1, c.column + 1));
    }
    TStranka* cp = window->findPage(QString::fromStdString(dir / "w.y"));
    ASSERT_TRUE(cp);
    EXPECT_TRUE(cp->editor()->toPlainText().startsWith(QString::fromUtf8("%token X\n%%\n/* ľ */")));
}

TEST_F(OutlineTest, FollowsTheTypingOnceItStopsAndKeepsWhatWasOpened)
{
    TStranka* page = open("g.y", kGrammar);
    ASSERT_TRUE(page);
    showOutline();
    QTreeWidgetItem* e = dock->findItem(QString::fromUtf8("Pravidlá"), "e");
    ASSERT_TRUE(e);
    e->setExpanded(true);

    putCaret(page, 9, 0);
    QTest::keyClicks(page->editor(), "nove : NUM ;");
    QTest::keyClick(page->editor(), Qt::Key_Return);
    // Nothing is rebuilt while the user types ...
    EXPECT_TRUE(dock->refreshPending());
    EXPECT_FALSE(dock->findItem(QString::fromUtf8("Pravidlá"), "nove"));
    // ... and a moment after the last key the new rule is there, with the
    // rule opened before still open.
    ASSERT_TRUE(waitFor([&] { return dock->findItem(QString::fromUtf8("Pravidlá"), "nove") != nullptr; }, 15000));
    e = dock->findItem(QString::fromUtf8("Pravidlá"), "e");
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->isExpanded());
    EXPECT_FALSE(dock->findItem(QString::fromUtf8("Pravidlá"), "t")->isExpanded());

    // Hidden, it does no work; shown again, it has caught up.
    ASSERT_TRUE(window->runCommand("HM_Prehlad"));
    EXPECT_FALSE(dock->isVisible());
    EXPECT_FALSE(window->isChecked("HM_Prehlad"));
    QTest::keyClicks(page->editor(), "dalsie : ;");
    QTest::keyClick(page->editor(), Qt::Key_Return);
    EXPECT_FALSE(dock->refreshPending());
    showOutline();
    EXPECT_TRUE(dock->findItem(QString::fromUtf8("Pravidlá"), "dalsie"));
}

TEST_F(OutlineTest, GoToDefinitionByF2CtrlClickAndTheMenu)
{
    TStranka* grammar = open("g.y", kGrammar);
    TStranka* scanner = open("s.l", kScanner);
    TStranka* cp = open("w.y", kCp1250Grammar);
    ASSERT_TRUE(grammar && scanner && cp);
    enum class How { F2, CtrlClick, Menu };
    struct Case {
        const char* what;
        TStranka* page;
        How how;
        int line, column;  // where the caret or the click is
        int toLine, toColumn;  // -1: the caret stays
        const char* status;
    };
    const char* notFound = "Definícia symbolu „GONE“ sa nenašla";
    const Case cases[] = {
        {"F2 on a rule's use", grammar, How::F2, 6, 4, 7, 0, ""},
        {"F2 at the end of the name", grammar, How::F2, 4, 11, 7, 0, ""},
        {"F2 on a token in %prec", grammar, How::F2, 5, 16, 2, 7, ""},
        {"F2 on a token in C code", grammar, How::F2, 10, 9, 0, 7, ""},
        {"Ctrl+click on a rule's use", grammar, How::CtrlClick, 4, 4, 4, 0, ""},
        {"Ctrl+click on a token", grammar, How::CtrlClick, 7, 5, 0, 7, ""},
        {"the menu item", grammar, How::Menu, 6, 4, 7, 0, ""},
        {"F2 on a name defined nowhere", grammar, How::F2, 8, 5, -1, -1, notFound},
        {"Ctrl+click on a name defined nowhere", grammar, How::CtrlClick, 8, 5, -1, -1, notFound},
        {"F2 where there is no name", grammar, How::F2, 4, 9, -1, -1, "Na mieste kurzora nie je žiadny symbol"},
        {"F2 on a start condition after BEGIN", scanner, How::F2, 5, 12, 2, 3, ""},
        {"Ctrl+click on a definition's use", scanner, How::CtrlClick, 4, 6, 0, 0, ""},
        {"F2 after two Windows-1250 letters", cp, How::F2, 2, 18, 0, 7, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window->editPanel()->setCurrentWidget(c.page);
        QApplication::processEvents();
        CodeEditor* editor = qobject_cast<CodeEditor*>(c.page->editor());
        ASSERT_TRUE(editor);
        editor->setFocus();
        putCaret(c.page, c.line, c.column);
        switch (c.how) {
        case How::F2:
            QTest::keyClick(editor, Qt::Key_F2);
            break;
        case How::Menu:
            ASSERT_TRUE(window->runCommand("HM_GoToDefinition"));
            break;
        case How::CtrlClick: {
            // Away first, so that only the click can put the caret there.
            const QPoint at = editor->cursorRect().center() + QPoint(1, 0);
            putCaret(c.page, 1, 0);
            QTest::mouseClick(editor->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
            break;
        }
        }
        const QPoint want = c.toLine < 0 ? QPoint(c.line, c.column) : QPoint(c.toLine, c.toColumn);
        EXPECT_EQ(caret(c.page), want);
        EXPECT_FALSE(c.page->editor()->textCursor().hasSelection());
        EXPECT_EQ(window->statusText(2), QString::fromUtf8(c.status));
    }
    // The message goes when the caret moves on.
    window->editPanel()->setCurrentWidget(grammar);
    putCaret(grammar, 8, 5);
    QTest::keyClick(grammar->editor(), Qt::Key_F2);
    EXPECT_EQ(window->statusText(2), QString::fromUtf8(notFound));
    QTest::keyClick(grammar->editor(), Qt::Key_Right);
    EXPECT_EQ(window->statusText(2), QString());
}

TEST_F(OutlineTest, GoToDefinitionIsForGrammarAndScannerPagesOnly)
{
    const char* grammar = "%token A\n%%\ns : A ;\n";
    const char* scanner = "A [a]\n%%\n{A} ;\n";
    struct Case {
        const char* file;
        const char* text;
        QPoint from;
        QPoint to;  // where F2 leaves the caret
        bool enabled;
        const char* status;
    };
    const Case cases[] = {
        {"a.c", grammar, {2, 4}, {2, 4}, false, ""},
        {"g.y", grammar, {2, 4}, {0, 7}, true, ""},
        {"notes.txt", grammar, {2, 4}, {2, 4}, false, ""},
        {"s.l", scanner, {2, 1}, {0, 0}, true, ""},
        // Read as a grammar, the braces are an action.
        {"b.y", scanner, {2, 1}, {2, 1}, true, "Definícia symbolu „A“ sa nenašla"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TStranka* page = open(c.file, c.text);
        ASSERT_TRUE(page);
        EXPECT_EQ(window->isEnabled("HM_GoToDefinition"), c.enabled);
        putCaret(page, c.from.x(), c.from.y());
        const QString before = page->editor()->toPlainText();
        QTest::keyClick(page->editor(), Qt::Key_F2);
        EXPECT_EQ(caret(page), c.to);
        EXPECT_EQ(window->statusText(2), QString::fromUtf8(c.status));
        // F2 types nothing, on any page.
        EXPECT_EQ(page->editor()->toPlainText(), before);
        // On other pages Ctrl+click is a click: no message, the caret where
        // it was clicked.
        QApplication::processEvents();  // the new page laid out
        putCaret(page, c.from.x(), c.from.y());
        const QPoint at = page->editor()->cursorRect().center() + QPoint(1, 0);
        putCaret(page, 1, 0);
        QTest::mouseClick(page->editor()->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
        EXPECT_EQ(caret(page), c.to);
        EXPECT_EQ(window->statusText(2), QString::fromUtf8(c.status));
    }
    EXPECT_EQ(window->action("HM_GoToDefinition")->shortcut(), QKeySequence(Qt::Key_F2));
}

TEST_F(OutlineTest, TheDockKeepsItsPlaceForTheNextStart)
{
    window->startUp(QString());
    showOutline();
    window->addDockWidget(Qt::RightDockWidgetArea, dock);
    ASSERT_TRUE(window->close());
    window.reset();

    window = makeWindow(prompter, dir);
    window->startUp(QString());
    QApplication::processEvents();
    OutlineDock* again = window->outline();
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->isVisible());
    EXPECT_TRUE(window->isChecked("HM_Prehlad"));
    EXPECT_EQ(window->dockWidgetArea(again), Qt::RightDockWidgetArea);

    // Hidden, it starts hidden.
    ASSERT_TRUE(window->runCommand("HM_Prehlad"));
    ASSERT_TRUE(window->close());
    window = makeWindow(prompter, dir);
    window->startUp(QString());
    QApplication::processEvents();
    EXPECT_FALSE(window->outline()->isVisible());
    EXPECT_FALSE(window->isChecked("HM_Prehlad"));
}

} // namespace
} // namespace vork::shell::test
