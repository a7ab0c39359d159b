// The editor pages and the window as a user of today's editors meets them:
// the tab menu acts on the tab clicked, the replace dialog's Tab order, the
// step commands only during a run, the layout kept from one start to the
// next, and the editor's margin, brackets and indentation.
#include "window_fixture.h"

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/stepping.h"
#include "vork/shell/code_editor.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTabBar>
#include <QTest>

#include <cstdio>
#include <sys/stat.h>

namespace vork::shell::test {
namespace {

using vork::test::writeFile;

TEST_F(WindowTest, TheTabMenusCloseClosesTheTabClicked)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        writeFile(dir / name, "text\n");
        ASSERT_TRUE(window->openPage(QString::fromStdString(dir / name)));
    }
    ASSERT_TRUE(window->activePage()->fileName().endsWith("c.txt"));
    QTabBar* bar = window->editPanel()->tabBar();
    const QPoint onFirst = bar->mapTo(window->editPanel(), bar->tabRect(0).center());
    emit window->editPanel()->customContextMenuRequested(onFirst);
    ASSERT_TRUE(window->runCommand("TabRol_Zavriet"));
    ASSERT_EQ(window->pageCount(), 2);
    EXPECT_TRUE(window->pageAt(0)->fileName().endsWith("b.txt"));
    EXPECT_TRUE(window->pageAt(1)->fileName().endsWith("c.txt"));
}

TEST_F(WindowTest, TabInTheReplaceDialogGoesFromTheSearchToTheReplacement)
{
    writeFile(dir / "a.txt", "abc abc\n");
    TStranka* page = window->openPage(QString::fromStdString(dir / "a.txt"));
    ASSERT_TRUE(page);
    ReplaceDialog* d = page->replaceDialog();
    QWidget* next = d->hladanyText->nextInFocusChain();
    while (next && next->focusPolicy() == Qt::NoFocus)
        next = next->nextInFocusChain();
    EXPECT_EQ(next, static_cast<QWidget*>(d->nahraditText));
}

TEST_F(WindowTest, StepCommandsAreOffWithoutARun)
{
    const QString project = copyExample("calc", "calc.lyy");
    ASSERT_TRUE(window->openProject(project, false));
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    for (const auto& step : debuglink::kStepCommands) {
        EXPECT_FALSE(window->isEnabled(step.menuItem)) << step.menuItem;
        EXPECT_FALSE(window->isEnabled(step.button)) << step.button;
    }
    for (const auto& view : debuglink::kDebugViewItems)
        EXPECT_TRUE(window->isEnabled(view.name)) << view.name;
}

TEST_F(WindowTest, SizeAndSplitAreKeptForTheNextStart)
{
    window->startUp(QString());
    window->resize(900, 640);
    window->showMessagePanel(true);
    auto* splitter = window->findChild<QSplitter*>("Splitter1");
    ASSERT_TRUE(splitter);
    splitter->setSizes({600, 300});
    const QList<int> sizes = splitter->sizes();
    // The fast parser shares the ini file with the layout: neither write
    // may lose the other's keys.
    prompter.dialogs.push_back([](QDialog& d) {
        d.findChild<QCheckBox*>("CheckBoxRychly")->setChecked(true);
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(window->runCommand("HM_PrjSettings"));
    ASSERT_TRUE(window->close());
    window.reset();
    const std::string konfig = vork::test::readFile(dir / "config/konfig.ide");
    EXPECT_EQ(std::count(konfig.begin(), konfig.end(), '\n'), 8) << konfig;

    window = makeWindow(prompter, dir);
    window->startUp(QString());
    window->showMessagePanel(true);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(900, 640));
    EXPECT_EQ(window->findChild<QSplitter*>("Splitter1")->sizes(), sizes);
    EXPECT_TRUE(window->configuration().fastParser);
}

TEST_F(WindowTest, APageChangedOnDiskReloadsOrAsksWhenModified)
{
    const std::string file = dir / "a.txt";
    writeFile(file, "one\ntwo\n");
    TStranka* page = window->openPage(QString::fromStdString(file));
    ASSERT_TRUE(page);
    // Another program writes it: the unmodified page shows the new text.
    writeFile(file, "one\ntwo\nthree\n");
    ASSERT_TRUE(waitFor([&] { return page->editor()->toPlainText() == "one\ntwo\nthree\n"; }, 15000))
        << page->editor()->toPlainText().toStdString();
    EXPECT_FALSE(page->isModified());
    EXPECT_TRUE(prompter.questions.empty());

    // Modified, it asks; No keeps the typed text and asks no more.
    page->editor()->textCursor().insertText("mine ");
    writeFile(file, "theirs\n");
    ASSERT_TRUE(waitFor([&] { return prompter.questions.size() == 1; }, 15000));
    EXPECT_TRUE(prompter.questions[0].text.contains("a.txt bol zmenený mimo VORK")) << prompter.questions[0].text.toStdString();
    EXPECT_TRUE(page->editor()->toPlainText().startsWith("mine one"));
    EXPECT_TRUE(page->isModified());
    QApplication::processEvents();
    EXPECT_EQ(prompter.questions.size(), 1u);

    // Our own save is no change from outside.
    ASSERT_TRUE(window->savePage(page));
    QTest::qWait(200);
    EXPECT_EQ(prompter.questions.size(), 1u);

    // Modified again, Yes takes the file's text, atomically replaced.
    page->editor()->textCursor().insertText("x");
    prompter.yesNo = {true};
    writeFile(dir / "a.tmp", "replaced\n");
    ASSERT_EQ(::rename((dir / "a.tmp").c_str(), file.c_str()), 0);
    ASSERT_TRUE(waitFor([&] { return page->editor()->toPlainText() == "replaced\n"; }, 15000));
    EXPECT_FALSE(page->isModified());
}

TEST_F(WindowTest, UndoRedoGoToLineAndTheModifiedTab)
{
    writeFile(dir / "a.txt", "1\n2\n3\n4\n5\n");
    TStranka* page = window->openPage(QString::fromStdString(dir / "a.txt"));
    ASSERT_TRUE(page);
    QTabWidget* tabs = window->editPanel();
    EXPECT_EQ(tabs->tabText(0), "a.txt");
    EXPECT_FALSE(window->runCommand("HM_Undo"));
    page->editor()->textCursor().insertText("x");
    EXPECT_EQ(tabs->tabText(0), "a.txt *");
    ASSERT_TRUE(window->runCommand("HM_Undo"));
    EXPECT_EQ(page->editor()->toPlainText(), "1\n2\n3\n4\n5\n");
    EXPECT_EQ(tabs->tabText(0), "a.txt");
    ASSERT_TRUE(window->runCommand("HM_Redo"));
    EXPECT_TRUE(page->editor()->toPlainText().startsWith("x1"));

    prompter.numbers = {4};
    ASSERT_TRUE(window->runCommand("HM_GoToLine"));
    EXPECT_EQ(page->editor()->textCursor().blockNumber(), 3);
    EXPECT_EQ(window->statusText(0), "\t[4 : 1]");
    ASSERT_TRUE(window->savePage(page));
    EXPECT_EQ(tabs->tabText(0), "a.txt");
}

TEST_F(WindowTest, CancelAtTheSaveQuestionKeepsThePage)
{
    writeFile(dir / "a.txt", "text\n");
    TStranka* page = window->openPage(QString::fromStdString(dir / "a.txt"));
    ASSERT_TRUE(page);
    page->editor()->textCursor().insertText("new ");
    prompter.cancelNext = true;
    EXPECT_FALSE(window->closePage(page));
    ASSERT_EQ(window->pageCount(), 1);
    EXPECT_TRUE(page->isModified());
    EXPECT_EQ(vork::test::readFile(dir / "a.txt"), "text\n");
    prompter.yesNo = {false};
    EXPECT_TRUE(window->closePage(page));
}

TEST(FirstStart, AnInstalledProgramStartsWithoutAMessageAndWritesTheUsersFile)
{
    TempDir dir;
    ::mkdir((dir / "share").c_str(), 0755);
    writeFile(dir / "share/konfig.ide", "1\r\n0\r\n1\r\n1\r\nvork-cc\r\nMono\r\n10\r\n0\r\n");
    ScriptedPrompter prompter;
    {
        TForm_Main window(prompter, vork::ConfigFile(dir / "user", dir / "share/konfig.ide"));
        window.show();
        window.startUp(QString());
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_TRUE(window.colouring());
        EXPECT_EQ(window.windowTitle(), "VORK 1.5");
        ASSERT_TRUE(window.close());
    }
    EXPECT_EQ(vork::test::readFile(dir / "user/konfig.ide"), "1\r\n0\r\n1\r\n1\r\nvork-cc\r\nMono\r\n10\r\n0\r\n");

    // Without the installed one the warning stays.
    TempDir bare;
    ScriptedPrompter p2;
    TForm_Main window(p2, vork::ConfigFile(bare / "user", bare / "share/konfig.ide"));
    window.startUp(QString());
    ASSERT_EQ(p2.messages.size(), 1u);
    EXPECT_TRUE(p2.messages[0].text.startsWith(QString::fromUtf8("Nepodarilo sa otvorit konfiguračný súbor !")));
}

TEST(CodeEditor, MatchingBrackets)
{
    struct Case {
        const char* text;
        int at;
        int want;
    };
    const Case cases[] = {
        {"(a)", 0, 2},        {"(a)", 2, 0},         {"{ (x) [y] }", 0, 10}, {"{ (x) [y] }", 6, 8},
        {"((a)", 0, -1},      {"a", 0, -1},          {"", 0, -1},            {"(]", 0, -1},
        {"{ { } }", 6, 0},    {"x)", 1, -1},         {"()", 5, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchingBracket(QString::fromLatin1(c.text), c.at), c.want) << c.text << " at " << c.at;
}

TEST(CodeEditor, EnterKeepsTheIndentAndTheMarginCountsLines)
{
    CodeEditor editor;
    editor.resize(400, 300);
    editor.show();
    editor.setPlainText("\t  if (x) {");
    QTextCursor end = editor.textCursor();
    end.movePosition(QTextCursor::End);
    editor.setTextCursor(end);
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClicks(&editor, "y;");
    EXPECT_EQ(editor.toPlainText(), QString("\t  if (x) {\n\t  y;"));
    EXPECT_GT(editor.margin()->width(), 0);
    EXPECT_EQ(editor.margin()->width(), editor.marginWidth());
    EXPECT_GE(editor.viewport()->x(), editor.marginWidth());

    // The caret after a closing bracket marks its partner.
    editor.setPlainText("f(a, (b))");
    QTextCursor c = editor.textCursor();
    c.setPosition(9);
    editor.setTextCursor(c);
    EXPECT_EQ(editor.matchedBracket(), 1);

    std::map<int, CodeEditor::Mark> marks;
    marks[1] = {true, QStringLiteral("chyba tu")};
    editor.setMarks(marks);
    EXPECT_EQ(editor.markMessageAt(editor.cursorRect().center().y()), QStringLiteral("chyba tu"));
    EXPECT_EQ(editor.markMessageAt(editor.height() - 2), QString());
}

} // namespace
} // namespace vork::shell::test

namespace vork::shell::test {
namespace {

// A stop at a syntax error has no source line: the action's line selected
// at the stop before is no longer marked.  The step keys belong to a
// stopped run only.
TEST_F(WindowTest, DebugStopsMarkOnlyTheirOwnLineAndTheStepKeysFollowTheRun)
{
    const QString project = copyExample("calc", "calc.lyy");
    writeFile(dir / "input.txt", "1+2\n1+\n3\n");
    ASSERT_TRUE(window->openProject(project, false));
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle().endsWith("[Zastaveny]"); }));
    // F7, F8 and Shift+F5 belong to a stopped run.
    EXPECT_EQ(window->action("HM_AfterStav")->shortcut(), QKeySequence(Qt::Key_F7));
    EXPECT_EQ(window->action("HM_BezKrok")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F5));
    EXPECT_TRUE(window->action("HM_HistoriaVpred")->shortcuts().contains(QKeySequence(Qt::Key_F8)));
    EXPECT_TRUE(window->isEnabled("HM_AfterStav"));

    TStranka* grammar = window->findPage(QString::fromStdString(window->project()->yaccSpecFile()));
    ASSERT_TRUE(grammar);
    ASSERT_TRUE(window->runCommand("HM_AfterSemAction"));
    ASSERT_TRUE(waitFor([&] { return grammar->editor()->textCursor().hasSelection(); }));
    ASSERT_TRUE(window->runCommand("HM_AfterBadSyntax"));
    EXPECT_TRUE(waitFor([&] { return !grammar->editor()->textCursor().hasSelection(); }, 10000))
        << grammar->editor()->textCursor().selectedText().toStdString();
    ASSERT_TRUE(waitFor([&] { return window->windowTitle().endsWith("[Zastaveny]"); }));

    ASSERT_TRUE(window->runCommand("HM_BezKrok"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    for (const char* step : {"HM_AfterStav", "HM_BezKrok", "HM_HistoriaVpred"})
        EXPECT_FALSE(window->isEnabled(step)) << step;
}

} // namespace
} // namespace vork::shell::test
