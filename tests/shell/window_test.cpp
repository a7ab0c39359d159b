// The main window driven as a user drives it: commands by name, the real
// generators and vork-cc, scripted answers to every question.
#include "window_fixture.h"

#include "vork/debuglink/komvl.h"
#include "vork/shell/debug_panel_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolBar>

namespace vork::shell::test {

namespace {

// One row per command: its state in each phase of a project's life, in
// the order of kPhases ('1' enabled, '0' disabled).
const char* const kPhases[] = {"no project", "open", "running", "run ended", "debug on", "debug off", "closed"};
struct StateRow {
    const char* name;
    const char* states;
};
const StateRow kStates[] = {
    {"HM_NewPrj", "1000001"},          {"HM_OpenPrj", "1000001"},
    {"BarPrj_Open", "1000001"},        {"HM_ZavrietPrj", "0101110"},
    {"HM_PrjMake", "0101110"},         {"BarWork_Make", "0101110"},
    {"HM_PrjBuild", "0101110"},        {"HM_RunRun", "0101110"},
    {"BarWork_Run", "0101110"},        {"HM_PrjLadiaciRezim", "0101110"},
    {"HM_RunParam", "0111110"},        {"HM_UlozitPrj", "0111110"},
    {"BarWork_Syntax", "0111110"},     {"HM_PrjAdd", "0111110"},
    {"HM_RunHalt", "0010000"},         {"BarWork_Stop", "0010000"},
    // The step commands wait for a stopped run, also with debug mode on.
    {"HM_AfterLexJed", "0000000"},     {"BarLad_PoReduk", "0000000"},
    {"HM_Hlasenia", "0000100"},        {"HM_BezKrok", "0000000"},
    {"HM_JalRun", "0000000"},          {"HM_PrjSettings", "1111111"},
    {"HM_UlozitVsetko", "0111110"},    {"HM_Zavriet", "0111110"},
    {"HM_OPrograme", "1111111"},
};

} // namespace

TEST_F(WindowTest, CommandStatesFollowTheProjectsLife)
{
    const QString project = copyExample("calc", "calc.lyy");
    auto check = [&](int phase) {
        for (const StateRow& row : kStates)
            EXPECT_EQ(window->isEnabled(row.name), row.states[phase] == '1')
                << row.name << " in phase '" << kPhases[phase] << "'";
        const bool debugBar = phase == 4;
        EXPECT_EQ(window->toolbar("BarLadenie")->isVisibleTo(window.get()), debugBar) << kPhases[phase];
        EXPECT_EQ(window->isChecked("HM_PrjLadiaciRezim"), debugBar) << kPhases[phase];
    };
    check(0);

    ASSERT_TRUE(window->openProject(project, false));
    EXPECT_EQ(window->pageCount(), 2);
    EXPECT_EQ(window->boxProjectFiles()->count(), 2);
    check(1);

    // With no arguments calc reads its standard input: the line typed under
    // "Exe prekladač" reaches it, and the end of the input ends it.
    window->project()->setRunArguments("");
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return window->project()->running(); }));
    check(2);
    EXPECT_TRUE(window->windowTitle().endsWith(" [Spusteny]")) << window->windowTitle().toStdString();
    // The scanner returns the line end without reading on, so the line's
    // result shows before anything more is typed.
    window->exeInput()->setText("6 * 7");
    QMetaObject::invokeMethod(window->exeInput(), "returnPressed");
    ASSERT_TRUE(waitFor([&] { return items(window->taskListExe()).contains("42"); }))
        << items(window->taskListExe()).join('|').toStdString();
    window->project()->closeRunInput();
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    check(3);
    EXPECT_FALSE(window->windowTitle().contains("Spusteny"));

    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    check(4);
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    check(5);

    ASSERT_TRUE(window->runCommand("HM_ZavrietPrj"));
    check(6);
    EXPECT_EQ(window->pageCount(), 0);
    EXPECT_EQ(window->windowTitle(), "VORK 1.5");
    EXPECT_EQ(window->boxProjectFiles()->count(), 0);
}

TEST_F(WindowTest, JalCommandsComeWithTheFirstRunOfAGeneralProject)
{
    const QString project = copyExample("jal", "hello.ly");
    ASSERT_TRUE(window->openProject(project, false));
    EXPECT_FALSE(window->isEnabled("HM_JalRun"));
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return idle() && window->isEnabled("HM_JalRun"); }));
    for (const char* name : {"HM_JalRun", "BarWork_JalRun", "HM_JalParam", "BarWork_JalParam"})
        EXPECT_TRUE(window->isEnabled(name)) << name;
    ASSERT_TRUE(window->runCommand("HM_JalRun"));
    EXPECT_TRUE(vork::test::exists(dir / "HELLO.CLASS"));
    shot("jal");
    EXPECT_TRUE(items(window->taskList()).contains("Vystupny subor OK")) << items(window->taskList()).join('|').toStdString();
}

TEST_F(WindowTest, F9MakesAndRunsAndTheOutputShowsUnderExe)
{
    const QString project = copyExample("calc", "calc.lyy");
    ASSERT_TRUE(window->openProject(project, false));
    shot("main-window");
    const QString before = window->windowTitle();
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return idle() && items(window->taskListExe()).contains("a = 42"); }))
        << items(window->taskListExe()).join('|').toStdString();
    const QStringList log = items(window->taskList());
    EXPECT_EQ(log.first(), QString::fromUtf8("=> štart [Analyzátory]"));
    EXPECT_TRUE(log.contains(QString::fromUtf8("Prekladač spustený ..")));
    EXPECT_EQ(items(window->taskListExe()).first(), "7");
    EXPECT_EQ(window->windowTitle(), before);
    EXPECT_TRUE(vork::test::exists(dir / "calc.exe"));
    window->pageCtrl()->setCurrentIndex(1);
    shot("run-output");
}

TEST_F(WindowTest, ABrokenGrammarsErrorJumpsToItsLine)
{
    const QString project = copyExample("calc", "calc.lyy");
    // Line ends as Windows wrote them: the editor counts one per line.
    std::string grammar = vork::test::readFile(dir / "calc.y");
    const size_t rules = grammar.find("%%\n") + 3;
    grammar.insert(rules, "lines : lines lines lines %%% ;\n");
    std::string crlf;
    for (char c : grammar)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    vork::test::writeFile(dir / "calc.y", crlf);
    int badLine = 1;
    for (size_t i = 0; i < rules; ++i)
        badLine += grammar[i] == '\n';

    ASSERT_TRUE(window->openProject(project, false));
    window->showFile(QString::fromStdString(dir / "calc.l"));
    ASSERT_TRUE(window->runCommand("HM_PrjMake"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    ASSERT_GE(window->chybovyBox()->count(), 1);
    const QString first = window->chybovyBox()->item(0)->text();
    EXPECT_TRUE(first.startsWith(QString("[DUQ - YACC Chyba] calc.y(%1): ").arg(badLine))) << first.toStdString();
    EXPECT_EQ(window->pageCtrl()->currentIndex(), 2);
    EXPECT_NE(window->errorCounter()->text(), "0");

    window->errorListJump(0);
    TStranka* page = window->activePage();
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->fileName().endsWith("calc.y"));
    EXPECT_EQ(page->editor()->textCursor().blockNumber(), badLine - 1);
    EXPECT_EQ(page->editor()->textCursor().positionInBlock(), 0);
    EXPECT_EQ(window->statusText(0), QString("\t[%1 : 1]").arg(badLine));
    shot("errors");

    // An item past the table, or one without a line, moves nothing.
    window->showFile(QString::fromStdString(dir / "calc.l"));
    TStranka* lex = window->activePage();
    window->project()->sinks().yaccError("bez riadku", -1);
    const int noLine = static_cast<int>(window->project()->sinks().table().count()) - 1;
    for (int index : {noLine, 10, 11}) {
        window->errorListJump(index);
        EXPECT_EQ(window->activePage(), lex) << index;
    }
}

TEST_F(WindowTest, ADebugRunStopsStepsAndEndsThroughTheWindow)
{
    const QString project = copyExample("calc", "calc.lyy");
    ASSERT_TRUE(window->openProject(project, false));
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    const QString before = window->windowTitle();
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    DebugPanelWidget* panel = window->debugPanel();
    ASSERT_TRUE(waitFor([&] { return window->windowTitle().endsWith("[Zastaveny]"); }))
        << window->windowTitle().toStdString();
    // The title saved when the run began, then the stop marker.
    EXPECT_EQ(window->windowTitle(), before + "[Zastaveny]");
    EXPECT_EQ(items(panel->ListBox1), QStringList{"Start analyzy"});
    EXPECT_GT(panel->ListBox2->count(), 10);
    EXPECT_TRUE(window->isEnabled("BarLad_PoReduk"));

    ASSERT_TRUE(window->runCommand("HM_AfterReduction"));
    ASSERT_TRUE(waitFor([&] { return panel->Panel7->text().startsWith("REDUKCIA: "); }));
    ASSERT_TRUE(waitFor([&] { return window->windowTitle().endsWith("[Zastaveny]"); }));
    shot("debug-run");
    EXPECT_TRUE(window->isEnabled("HM_AfterLexJed"));

    ASSERT_TRUE(window->runCommand("HM_AfterLexJed"));
    ASSERT_TRUE(waitFor([&] {
        return window->windowTitle().endsWith("[Zastaveny]") && !panel->Label2x->text().isEmpty();
    }));

    ASSERT_TRUE(window->runCommand("HM_BezKrok"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    EXPECT_EQ(window->windowTitle(), before);
    for (const char* name : {"HM_AfterLexJed", "BarLad_BezKrok", "HM_Hlasenia"})
        EXPECT_FALSE(window->isEnabled(name)) << name;
    EXPECT_TRUE(window->isEnabled("HM_RunRun"));
    // The program's last lines may follow its end in the next batch.
    EXPECT_TRUE(waitFor([&] { return items(window->taskListExe()).contains("a = 42"); }, 15000))
        << items(window->taskListExe()).join('|').toStdString();
}

TEST_F(WindowTest, PageListRules)
{
    vork::test::writeFile(dir / "Sub.txt", "one\n");
    vork::test::writeFile(dir / "two.txt", "two\n");
    const QString sub = QString::fromStdString(dir / "Sub.txt");
    TStranka* first = window->showFile(sub);
    ASSERT_TRUE(first);
    EXPECT_FALSE(window->isEnabled("HM_UlozitVsetko"));
    EXPECT_TRUE(window->isEnabled("HM_UlozitSubor"));
    EXPECT_EQ(window->windowTitle(), "VORK 1.5 - " + sub);
    EXPECT_EQ(window->statusText(0), "\t[1 : 1]");

    // Other letter case of a to z finds the same page.
    QString other = sub;
    other.replace("Sub.txt", "sUB.TXT");
    EXPECT_EQ(window->showFile(other), first);
    EXPECT_EQ(window->pageCount(), 1);

    TStranka* second = window->showFile(QString::fromStdString(dir / "two.txt"));
    ASSERT_TRUE(second);
    EXPECT_TRUE(window->isEnabled("HM_UlozitVsetko"));
    EXPECT_TRUE(window->isEnabled("BarStan_SaveAll"));
    EXPECT_TRUE(window->closePage(second));
    EXPECT_FALSE(window->isEnabled("HM_UlozitVsetko"));

    EXPECT_TRUE(window->closePage(first));
    EXPECT_EQ(window->windowTitle(), "VORK 1.5");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(window->statusText(i), "") << i;
    EXPECT_FALSE(window->isEnabled("HM_UlozitSubor"));
    EXPECT_FALSE(window->isEnabled("HM_Zavriet"));

    // A file that cannot be read: the question, then no page.
    prompter.yesNo = {true};
    EXPECT_EQ(window->openPage(QString::fromStdString(dir / "missing.txt")), nullptr);
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_TRUE(prompter.questions[0].text.startsWith(QString::fromUtf8("Pri otváraní súboru ")));
    EXPECT_EQ(prompter.errorTexts.size(), 1u);
    EXPECT_EQ(window->pageCount(), 0);
}

TEST_F(WindowTest, APageWhoseSaveFailsKeepsTheWindowOpen)
{
    vork::test::writeFile(dir / "blocker", "a file where a directory should be");
    TStranka* page = window->newPage(QString::fromStdString(dir / "blocker/new.txt"));
    page->editor()->insertPlainText("typed text");
    ASSERT_TRUE(page->isModified());
    // Save? Yes.  It fails; more about it? No.
    prompter.yesNo = {true, false};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(window->pageCount(), 1);
    EXPECT_TRUE(page->isModified());
    EXPECT_EQ(page->editor()->toPlainText(), "typed text");
    EXPECT_FALSE(vork::test::exists(dir / "config/konfig.ide"));

    // Saved elsewhere, it lets the window close, and konfig.ide is written.
    page->setFileName(QString::fromStdString(dir / "new.txt"));
    ASSERT_TRUE(window->savePage(page));
    EXPECT_TRUE(window->close());
    EXPECT_EQ(vork::test::readFile(dir / "new.txt"), "typed text");
    EXPECT_TRUE(vork::test::exists(dir / "config/konfig.ide"));
}

TEST_F(WindowTest, ClosingTheWindowSavesTheProjectAndItsArguments)
{
    const QString project = copyExample("calc", "calc.lyy");
    ASSERT_TRUE(window->openProject(project, false));
    prompter.dialogs.push_back([](QDialog& d) {
        auto* combo = d.findChild<QComboBox*>("arg_prikaz_riadku");
        if (!combo)
            return int(QDialog::Rejected);
        combo->setEditText("dalsi.txt");
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(window->runCommand("HM_RunParam"));
    EXPECT_EQ(window->project()->runArguments(), "dalsi.txt");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(vork::test::readFile(dir / "calc.arg"), "dalsi.txt\r\n");
    EXPECT_NE(vork::test::readFile(dir / "calc.lyy").find("\r\ndalsi.txt\r\n"), std::string::npos);
}

TEST_F(WindowTest, SettingsOkReopensEveryPageInItsOrder)
{
    const QString project = copyExample("calc", "calc.lyy");
    ASSERT_TRUE(window->openProject(project, false));
    const QString first = window->pageAt(0)->fileName();
    const QString second = window->pageAt(1)->fileName();
    // An unsaved edit of the first page is discarded (No): the page comes
    // back as its file is.
    window->pageAt(0)->editor()->insertPlainText("zmena ");
    prompter.yesNo = {false};
    prompter.dialogs.push_back([](QDialog& d) {
        auto* slov = d.findChild<QCheckBox*>("CheckBoxSlov");
        if (slov)
            slov->setChecked(!slov->isChecked());
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(window->runCommand("HM_PrjSettings"));
    ASSERT_EQ(window->pageCount(), 2);
    EXPECT_EQ(window->pageAt(0)->fileName(), first);
    EXPECT_EQ(window->pageAt(1)->fileName(), second);
    EXPECT_FALSE(window->pageAt(0)->isModified());
    EXPECT_EQ(window->pageAt(0)->editor()->toPlainText().toStdString(), vork::test::readFile(first.toStdString()));
    EXPECT_EQ(prompter.questions.size(), 1u);
}

} // namespace vork::shell::test

namespace vork::shell::test {

TEST_F(WindowTest, AConflictsLineOpensTheStateListingAtItsState)
{
    const QString project = copyExample("calc", "calc.lyy");
    // Without its precedences the grammar is ambiguous.
    std::string grammar = vork::test::readFile(dir / "calc.y");
    for (const char* line : {"%left '+' '-'\n", "%left '*' '/' '%'\n"})
        grammar.erase(grammar.find(line), std::string(line).size());
    vork::test::writeFile(dir / "calc.y", grammar);
    ASSERT_TRUE(window->openProject(project, false));
    ASSERT_TRUE(window->runCommand("HM_PrjGenSynt"));
    QString conflict;
    for (const QString& line : items(window->taskList()))
        if (line.startsWith("calc.stv(") && conflict.isEmpty())
            conflict = line;
    ASSERT_FALSE(conflict.isEmpty()) << items(window->taskList()).join('\n').toStdString();
    ASSERT_TRUE(window->messageLineJump(conflict));
    TStranka* page = window->activePage();
    ASSERT_TRUE(page->fileName().endsWith("calc.stv"));
    // The caret is on the heading of the state the line names.
    const QString state = conflict.section(' ', 4, 4).remove(':');
    EXPECT_TRUE(page->editor()->textCursor().block().text().contains(state))
        << page->editor()->textCursor().block().text().toStdString() << " / " << conflict.toStdString();
}

TEST_F(WindowTest, AParserLineNamingAFileAndLineOpensItThere)
{
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    vork::test::writeFile(dir / "calc.stv", "stav 0\nstav 1\nstav 2\nstav 3\n");
    struct Case {
        const char* line;
        bool jumps;
        int block;
    };
    const Case cases[] = {
        {"calc.stv(3): konflikt v stave 2", true, 2},
        {"calc.stv(99): za koncom", true, 4},
        {"chyba.stv(3): neexistuje", false, 0},
        {"Generovanie syntaktickeho analyzatora: calc.y->calc.cpp", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(window->messageLineJump(c.line), c.jumps) << c.line;
        if (c.jumps) {
            EXPECT_TRUE(window->activePage()->fileName().endsWith("calc.stv"));
            EXPECT_EQ(window->activePage()->editor()->textCursor().blockNumber(), c.block) << c.line;
        }
    }
}

} // namespace vork::shell::test
