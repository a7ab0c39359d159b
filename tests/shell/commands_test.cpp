// Every row of the command table run once, through its menu item or
// button, in a fresh window: what it must leave behind.
#include "window_fixture.h"

#include "vork/shell/dialogs.h"
#include "vork/shell/find_dialogs.h"
#include "vork/shell/outline_dock.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>

namespace vork::shell::test {

namespace {

struct Rig {
    TempDir& dir;
    ScriptedPrompter& prompter;
    TForm_Main& w;

    std::string path(const std::string& name) const { return dir / name; }
    QString qpath(const std::string& name) const { return QString::fromStdString(dir / name); }
    std::string read(const std::string& name) const { return vork::test::readFile(dir / name); }
    QStringList log() const { return items(w.taskList()); }
};

enum class Start { Empty, OnePage, TwoPages, Calc };

struct CommandCase {
    const char* command;
    Start start;
    std::function<void(Rig&)> before; // answers to script, edits to make
    std::function<void(Rig&)> check;
};

const std::vector<CommandCase>& cases()
{
    static const std::vector<CommandCase> table = {
        {"HM_NovySubor", Start::Empty, [](Rig& r) { r.prompter.files = {r.qpath("novy.txt")}; },
         [](Rig& r) {
             ASSERT_EQ(r.w.pageCount(), 1);
             EXPECT_EQ(r.w.activePage()->fileName(), r.qpath("novy.txt"));
             EXPECT_FALSE(vork::test::exists(r.path("novy.txt")));
             EXPECT_EQ(r.prompter.fileDialogs.at(0).title, QString::fromUtf8("Nový súbor ..."));
         }},
        {"BarStan_OpenFile", Start::Empty, [](Rig& r) { r.prompter.files = {r.qpath("a.txt")}; },
         [](Rig& r) {
             ASSERT_EQ(r.w.pageCount(), 1);
             EXPECT_EQ(r.w.activePage()->editor()->toPlainText(), "alfa\n");
         }},
        {"HM_UlozitSubor", Start::OnePage, [](Rig& r) { r.w.activePage()->editor()->insertPlainText("X"); },
         [](Rig& r) {
             EXPECT_EQ(r.read("a.txt"), "Xalfa\n");
             EXPECT_FALSE(r.w.activePage()->isModified());
             EXPECT_EQ(r.w.statusText(1), "");
         }},
        {"BarStan_SaveAs", Start::OnePage,
         [](Rig& r) {
             r.w.activePage()->editor()->insertPlainText("Y");
             r.prompter.files = {r.qpath("ina.txt")};
         },
         [](Rig& r) {
             EXPECT_EQ(r.read("ina.txt"), "Yalfa\n");
             EXPECT_EQ(r.read("a.txt"), "alfa\n");
             EXPECT_EQ(r.w.windowTitle(), r.qpath("ina.txt"));
         }},
        {"HM_UlozitVsetko", Start::TwoPages,
         [](Rig& r) {
             for (int i = 0; i < 2; ++i)
                 r.w.pageAt(i)->editor()->insertPlainText("Z");
         },
         [](Rig& r) {
             EXPECT_EQ(r.read("a.txt"), "Zalfa\n");
             EXPECT_EQ(r.read("b.txt"), "Zbeta\n");
         }},
        {"BarStan_Zavriet", Start::TwoPages, nullptr, [](Rig& r) { EXPECT_EQ(r.w.pageCount(), 1); }},
        {"HM_ZavrietVsetko", Start::TwoPages, nullptr,
         [](Rig& r) {
             EXPECT_EQ(r.w.pageCount(), 0);
             EXPECT_EQ(r.w.windowTitle(), "VORK 1.5");
         }},
        {"HM_ExportHtml", Start::OnePage, [](Rig& r) { r.prompter.files = {r.qpath("a.html")}; },
         [](Rig& r) {
             const std::string html = r.read("a.html");
             EXPECT_NE(html.find("<pre"), std::string::npos);
             EXPECT_NE(html.find("alfa"), std::string::npos);
         }},
        {"HM_SelectAll", Start::OnePage, nullptr,
         [](Rig& r) { EXPECT_EQ(r.w.activePage()->editor()->textCursor().selectedText(), QString("alfa") + QChar(0x2029)); }},
        {"HM_Copy", Start::OnePage, [](Rig& r) { r.w.activePage()->editor()->selectAll(); },
         [](Rig&) { EXPECT_EQ(QApplication::clipboard()->text(), "alfa\n"); }},
        {"HM_Cut", Start::OnePage, [](Rig& r) { r.w.activePage()->editor()->selectAll(); },
         [](Rig& r) {
             EXPECT_EQ(r.w.activePage()->editor()->toPlainText(), "");
             EXPECT_EQ(QApplication::clipboard()->text(), "alfa\n");
             EXPECT_EQ(r.w.statusText(1), QString::fromUtf8("Modifikovaný"));
         }},
        {"HM_Paste", Start::OnePage, [](Rig&) { QApplication::clipboard()->setText("vlozene "); },
         [](Rig& r) { EXPECT_EQ(r.w.activePage()->editor()->toPlainText(), "vlozene alfa\n"); }},
        {"HM_Find", Start::OnePage, nullptr,
         [](Rig& r) { EXPECT_TRUE(r.w.activePage()->findDialog()->isVisible()); }},
        {"HM_Replace", Start::OnePage, nullptr,
         [](Rig& r) { EXPECT_TRUE(r.w.activePage()->replaceDialog()->isVisible()); }},
        {"HM_NewPrj", Start::Empty, [](Rig& r) { r.prompter.files = {r.qpath("novy.lyy")}; },
         [](Rig& r) {
             ASSERT_TRUE(r.w.project());
             EXPECT_TRUE(vork::test::exists(r.path("novy.l")));
             EXPECT_TRUE(vork::test::exists(r.path("novy.y")));
             // Written at creation, not only when the project closes.
             EXPECT_TRUE(vork::test::exists(r.path("novy.lyy")));
             EXPECT_EQ(r.w.pageCount(), 2);
             EXPECT_FALSE(r.w.isEnabled("HM_NewPrj"));
         }},
        {"BarPrj_Open", Start::Empty,
         [](Rig& r) { r.prompter.files = {copyExample(r.dir, "calc", "calc.lyy")}; },
         [](Rig& r) {
             ASSERT_TRUE(r.w.project());
             EXPECT_TRUE(r.w.windowTitle().endsWith(" - calc")) << r.w.windowTitle().toStdString();
         }},
        {"HM_UlozitPrj", Start::Calc, [](Rig& r) { r.w.project()->setRunArguments("iny.txt"); },
         [](Rig& r) { EXPECT_NE(r.read("calc.lyy").find("\r\niny.txt\r\n"), std::string::npos); }},
        {"BarPrj_AddFile", Start::Calc, [](Rig& r) { r.prompter.files = {r.qpath("a.txt")}; },
         [](Rig& r) {
             ASSERT_EQ(r.w.project()->fileCount(), 1);
             EXPECT_EQ(r.w.boxProjectFiles()->count(), 3);
         }},
        {"HM_PrjRem", Start::Calc,
         [](Rig& r) {
             r.w.project()->addFile(r.path("a.txt"));
             r.w.showFile(r.qpath("a.txt"));
             r.prompter.dialogs.push_back([](QDialog& d) {
                 d.findChild<QListWidget*>("ListBox1")->setCurrentRow(0);
                 return int(QDialog::Accepted);
             });
         },
         [](Rig& r) {
             EXPECT_EQ(r.w.project()->fileCount(), 0);
             EXPECT_EQ(r.w.findPage(r.qpath("a.txt")), nullptr);
         }},
        {"BarPrj_Set", Start::Calc,
         [](Rig& r) {
             r.prompter.dialogs.push_back([](QDialog& d) {
                 d.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
                 d.findChild<QLineEdit*>("Edit1")->setText("vlastny.c");
                 return int(QDialog::Accepted);
             });
         },
         [](Rig& r) {
             EXPECT_FALSE(r.w.project()->isDefaultCSource());
             EXPECT_NE(r.w.project()->getCSource().find("vlastny.c"), std::string::npos);
         }},
        {"HM_PrjGenLex", Start::Calc, nullptr,
         [](Rig& r) {
             EXPECT_TRUE(vork::test::exists(r.path("lexyy.cpp")));
             EXPECT_FALSE(vork::test::exists(r.path("calc.cpp")));
             EXPECT_TRUE(r.log().contains("Generovanie lexikalneho analyzatora: calc.l->lexyy.cpp"));
         }},
        {"HM_PrjGenSynt", Start::Calc, nullptr,
         [](Rig& r) {
             EXPECT_TRUE(vork::test::exists(r.path("calc.cpp")));
             EXPECT_FALSE(vork::test::exists(r.path("lexyy.cpp")));
         }},
        {"HM_PrjBuild", Start::Calc, [](Rig& r) { r.w.project()->build(vork::Projekt::kBuild); },
         [](Rig& r) { EXPECT_TRUE(r.log().contains(QString::fromUtf8("Všetko je aktuálne. Netreba zostavovať."))); }},
        {"HM_PrjReBuild", Start::Calc, [](Rig& r) { r.w.project()->build(vork::Projekt::kBuild); },
         [](Rig& r) {
             EXPECT_TRUE(r.log().contains("Generovanie lexikalneho analyzatora: calc.l->lexyy.cpp"));
             EXPECT_TRUE(r.log().contains("Generovanie syntaktickeho analyzatora: calc.y->calc.cpp"));
         }},
        {"BarWork_Make", Start::Calc, nullptr,
         [](Rig& r) {
             ASSERT_TRUE(waitFor([&] { return !r.w.project()->busy(); }));
             EXPECT_TRUE(vork::test::exists(r.path("calc.exe")));
             EXPECT_FALSE(r.w.project()->running());
         }},
        {"BarWork_ReMake", Start::Calc, [](Rig& r) { r.w.project()->build(vork::Projekt::kBuild); },
         [](Rig& r) {
             ASSERT_TRUE(waitFor([&] { return !r.w.project()->busy(); }));
             EXPECT_TRUE(r.log().contains("Generovanie syntaktickeho analyzatora: calc.y->calc.cpp"));
             EXPECT_TRUE(vork::test::exists(r.path("calc.exe")));
         }},
        {"BarWork_RunParam", Start::Calc,
         [](Rig& r) {
             r.prompter.dialogs.push_back([](QDialog& d) {
                 d.findChild<QComboBox*>("arg_prikaz_riadku")->setEditText("vstup.txt");
                 saveShot(d, "arguments");
                 return int(QDialog::Accepted);
             });
         },
         [](Rig& r) {
             EXPECT_EQ(r.w.project()->runArguments(), "vstup.txt");
             EXPECT_EQ(r.w.project()->argumentHistory().items().front(), "vstup.txt");
         }},
        {"HM_JalParam", Start::Calc,
         [](Rig& r) {
             r.w.action("HM_JalParam")->setEnabled(true);
             r.prompter.dialogs.push_back([](QDialog& d) {
                 d.findChild<QComboBox*>("arg_prikaz_riadku")->setEditText("prog.jal");
                 return int(QDialog::Accepted);
             });
         },
         [](Rig& r) {
             EXPECT_EQ(r.w.project()->jalArgument(), "prog.jal");
             EXPECT_EQ(r.w.project()->runArguments(), "input.txt");
         }},
        {"HM_RunHalt", Start::Calc,
         [](Rig& r) {
             // calc without arguments waits for its standard input.
             r.w.project()->setRunArguments("");
             r.w.runCommand("HM_RunRun");
             ASSERT_TRUE(waitFor([&] { return r.w.project()->running(); }));
         },
         [](Rig& r) {
             ASSERT_TRUE(waitFor([&] { return !r.w.project()->busy(); }));
             EXPECT_FALSE(r.w.isEnabled("HM_RunHalt"));
             EXPECT_FALSE(r.w.windowTitle().contains("Spusteny"));
         }},
        {"BarWork_Syntax", Start::Calc, nullptr,
         [](Rig& r) {
             EXPECT_TRUE(r.w.configuration().syntaxColouring);
             r.w.runCommand("BarWork_Syntax");
             EXPECT_FALSE(r.w.configuration().syntaxColouring);
         }},
        {"BarPrj_Subory", Start::Empty, nullptr, [](Rig& r) { EXPECT_TRUE(r.w.messagePanelVisible()); }},
        {"HM_Prehlad", Start::Empty, nullptr,
         [](Rig& r) {
             EXPECT_TRUE(r.w.outline()->isVisible());
             EXPECT_TRUE(r.w.isChecked("HM_Prehlad"));
         }},
        {"HideLog", Start::Calc, [](Rig& r) { r.w.showMessagePanel(true); },
         [](Rig& r) { EXPECT_FALSE(r.w.messagePanelVisible()); }},
        {"ClearLog", Start::Calc,
         [](Rig& r) {
             r.w.taskList()->addItem("x");
             r.w.taskListExe()->addItem("y");
             r.w.chybovyBox()->addItem("z");
         },
         [](Rig& r) {
             EXPECT_EQ(r.w.taskList()->count() + r.w.taskListExe()->count() + r.w.chybovyBox()->count(), 0);
         }},
        {"RolWork", Start::Empty,
         [](Rig& r) {
             // Opening the menu sets the check marks from what is shown.
             QMetaObject::invokeMethod(r.w.findChild<QMenu*>("RoletkaTools"), "aboutToShow");
             EXPECT_TRUE(r.w.isChecked("RolWork"));
         },
         [](Rig& r) { EXPECT_FALSE(r.w.toolbar("BarWork")->isVisible()); }},
        {"HM_PrjSettings", Start::Empty,
         [](Rig& r) {
             r.prompter.dialogs.push_back([](QDialog& d) {
                 d.findChild<QCheckBox*>("CheckBoxVelke")->setChecked(true);
                 d.findChild<QCheckBox*>("CheckBoxRychly")->setChecked(true);
                 d.findChild<QComboBox*>("cesta_k_C")->setEditText("/opt/cc");
                 saveShot(d, "settings");
                 return int(QDialog::Accepted);
             });
         },
         [](Rig& r) {
             EXPECT_TRUE(r.w.configuration().largeTables);
             EXPECT_TRUE(r.w.configuration().fastParser);
             EXPECT_EQ(r.w.configuration().cCompilerPath, "/opt/cc");
         }},
        {"HM_OPrograme", Start::Empty,
         [](Rig& r) {
             r.prompter.dialogs.push_back([&r](QDialog& d) {
                 r.prompter.messages.push_back({d.windowTitle(), ""});
                 return int(QDialog::Accepted);
             });
         },
         [](Rig& r) {
             ASSERT_EQ(r.prompter.messages.size(), 1u);
             EXPECT_EQ(r.prompter.messages[0].caption, "O programe VORK");
         }},
        {"HM_Koniec", Start::OnePage, nullptr,
         [](Rig& r) {
             EXPECT_FALSE(r.w.isVisible());
             EXPECT_TRUE(vork::test::exists(r.path("config/konfig.ide")));
         }},
    };
    return table;
}

} // namespace

TEST(Commands, EveryRowDoesWhatItSays)
{
    for (const CommandCase& c : cases()) {
        SCOPED_TRACE(c.command);
        TempDir dir;
        ScriptedPrompter prompter;
        vork::test::writeFile(dir / "a.txt", "alfa\n");
        vork::test::writeFile(dir / "b.txt", "beta\n");
        auto window = makeWindow(prompter, dir);
        Rig rig{dir, prompter, *window};
        switch (c.start) {
        case Start::Empty:
            break;
        case Start::TwoPages:
            window->showFile(rig.qpath("b.txt"));
            [[fallthrough]];
        case Start::OnePage:
            window->showFile(rig.qpath("a.txt"));
            break;
        case Start::Calc:
            ASSERT_TRUE(window->openProject(copyExample(dir, "calc", "calc.lyy"), false));
            break;
        }
        if (c.before)
            c.before(rig);
        ASSERT_TRUE(window->runCommand(c.command)) << "disabled";
        c.check(rig);
        if (window->project())
            waitFor([&] { return !window->project()->busy(); });
        // Leave no question behind for the shut-down.
        for (int i = 0; i < window->pageCount(); ++i)
            window->pageAt(i)->editor()->document()->setModified(false);
        window->closeProject();
    }
}

} // namespace vork::shell::test
