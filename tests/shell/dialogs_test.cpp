// The five dialogs: what they show when filled and what OK hands over.
#include "scripted_prompter.h"
#include "vork/progdir.h"
#include "vork/project/projekt.h"
#include "vork/shell/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vork::shell {
namespace {

using test::ScriptedPrompter;

std::vector<std::string> items(const QComboBox* box)
{
    std::vector<std::string> out;
    for (int i = 0; i < box->count(); ++i)
        out.push_back(box->itemText(i).toStdString());
    return out;
}

TEST(ArgumentsDialog, HistoryAfterOk)
{
    struct Case {
        std::vector<std::string> before; // typed in this order
        const char* typed;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {{}, "in.txt", {"in.txt"}},
        {{"a", "b"}, "c", {"c", "b", "a"}},
        {{"a", "b"}, "a", {"b", "a"}}, // known: stays single, where it was
        {{"a"}, "", {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ArgumentHistory history;
        for (const std::string& s : c.before)
            history.add(s);
        Tdialargum dialog;
        dialog.setCaptions("Argumenty Pre Jal ...", "Argumenty Pre Jal");
        dialog.fill(history, "previous");
        EXPECT_EQ(dialog.windowTitle(), "Argumenty Pre Jal ...");
        EXPECT_EQ(dialog.group->title(), "Argumenty Pre Jal");
        EXPECT_EQ(dialog.arg_prikaz_riadku->currentText(), "previous");
        std::vector<std::string> shown(c.before.rbegin(), c.before.rend());
        EXPECT_EQ(items(dialog.arg_prikaz_riadku), shown);

        dialog.arg_prikaz_riadku->setCurrentText(c.typed);
        QTest::keyClick(dialog.arg_prikaz_riadku, Qt::Key_Return); // no entry of its own
        EXPECT_EQ(dialog.takeInto(history), c.typed);
        EXPECT_EQ(history.items(), c.after);
    }
}

TEST(SettingsDialog, FontSizeText)
{
    struct Case {
        const char* text;
        int size; // 0: refused
    };
    const Case cases[] = {
        {"12", 12}, {" 9 ", 9}, {"+10", 10}, {"2", 2}, {"99", 99},   {"1", 0},   {"100", 0},
        {"-5", 0},  {"abc", 0}, {"12a", 0},  {"", 0}, {"0x10", 0}, {"1 2", 0}, {"99999999999", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int size = -1;
        QString error;
        EXPECT_EQ(parseFontSize(c.text, &size, &error), c.size != 0);
        if (c.size) {
            EXPECT_EQ(size, c.size);
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
    }
}

struct SettingsDialogs : ::testing::Test {
    ScriptedPrompter prompter;
    Tdialog_nastavenie_C dialog{prompter};
    Configuration config;

    void SetUp() override
    {
        config.cCompilerPath = "/usr/bin/old-cc";
        config.scannerOptimisation = true;
        config.scannerStatistics = false;
        config.slovakMessages = true;
        config.largeTables = false;
        config.fontName = "Courier New";
        config.fontSize = 8;
        dialog.fill(config);
    }
};

TEST_F(SettingsDialogs, OkWithoutChangesKeepsEverything)
{
    Configuration others{"cc2", false, true, false, true, "Mono", 13, true};
    others.fastParser = true;
    for (const Configuration& c : {config, others}) {
        dialog.fill(c);
        Configuration taken;
        taken.syntaxColouring = c.syntaxColouring; // not the dialog's
        QString error;
        ASSERT_TRUE(dialog.takeInto(taken, &error));
        EXPECT_EQ(serializeConfiguration(taken), serializeConfiguration(c));
        EXPECT_EQ(taken.largeTables, c.largeTables);
        EXPECT_EQ(taken.fastParser, c.fastParser);
        EXPECT_EQ(dialog.CheckBoxRychly->isChecked(), c.fastParser);
    }
}

TEST_F(SettingsDialogs, OkTakesEverythingInOrderUntilABadSize)
{
    struct Case {
        const char* size;
        bool ok;
    };
    for (const Case c : {Case{"11", true}, Case{"11pt", false}}) {
        SCOPED_TRACE(c.size);
        Configuration taken = config;
        dialog.cesta_k_C->setCurrentText("/opt/cc");
        dialog.CheckBoxSlov->setChecked(false);
        dialog.CheckBoxLexOptim->setChecked(false);
        dialog.CheckBoxLexStat->setChecked(true);
        dialog.CheckBoxVelke->setChecked(true);
        dialog.CheckBoxRychly->setChecked(true);
        dialog.FontName->setText("Mono");
        dialog.BoxFontSize->setText(c.size);
        QString error;
        EXPECT_EQ(dialog.takeInto(taken, &error), c.ok);
        EXPECT_EQ(taken.cCompilerPath, "/opt/cc");
        EXPECT_FALSE(taken.slovakMessages);
        EXPECT_FALSE(taken.scannerOptimisation);
        EXPECT_TRUE(taken.scannerStatistics);
        EXPECT_TRUE(taken.largeTables);
        EXPECT_TRUE(taken.fastParser);
        EXPECT_EQ(taken.fontSize, c.ok ? 11 : 8);
        EXPECT_EQ(taken.fontName, c.ok ? "Mono" : "Courier New");
        EXPECT_EQ(error.isEmpty(), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(error.contains("11pt"));
        }
    }
}

TEST_F(SettingsDialogs, BrowseAndFontButtons)
{
    prompter.files = {"/usr/local/bin/cc9"};
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    EXPECT_EQ(dialog.cesta_k_C->currentText(), "/usr/local/bin/cc9");
    ASSERT_EQ(prompter.fileDialogs.size(), 1u);
    const Prompter::FileDialog& d = prompter.fileDialogs[0];
    EXPECT_EQ(d.title, "Hľadanie programu ...");
    EXPECT_TRUE(d.executablesOnly);
    EXPECT_TRUE(d.mustExist);
    ASSERT_EQ(d.filters.size(), 2);
    EXPECT_TRUE(d.filters[0].startsWith("Programy"));
    EXPECT_TRUE(d.filters[1].startsWith("Všetky súbory"));

    QTest::mouseClick(dialog.Button1, Qt::LeftButton); // cancelled: nothing changes
    EXPECT_EQ(dialog.cesta_k_C->currentText(), "/usr/local/bin/cc9");

    QFont chosen("DejaVu Sans Mono");
    chosen.setPointSize(14);
    prompter.fonts = {chosen};
    QFont applied;
    dialog.onFontChosen = [&applied](const QFont& f) { applied = f; };
    QTest::mouseClick(dialog.ButChangeFont, Qt::LeftButton);
    EXPECT_EQ(applied.family(), chosen.family());
    EXPECT_EQ(dialog.FontName->text(), chosen.family());
    EXPECT_EQ(dialog.BoxFontSize->text(), "14");
}

struct ProjectDialogs : ::testing::Test {
    QTemporaryDir dir;
    FixedAnswerUi ui{FixedAnswerUi::Answer::Yes, nullptr};
    std::unique_ptr<Projekt> project;
    ScriptedPrompter prompter;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        project = std::make_unique<Projekt>(dir.filePath("calc.lyy").toStdString(), true, ui);
    }
};

TEST_F(ProjectDialogs, SettingsFollowTheFirstBox)
{
    Tnastav_proj dialog(prompter);
    dialog.fill(*project);
    EXPECT_FALSE(dialog.CheckBox1->isChecked());
    EXPECT_FALSE(dialog.Edit1->isEnabled());
    EXPECT_FALSE(dialog.Button3->isEnabled());
    EXPECT_EQ(dialog.Edit1->text().toStdString(), project->getCSource());

    dialog.CheckBox1->setChecked(true);
    EXPECT_TRUE(dialog.Edit1->isEnabled());
    EXPECT_TRUE(dialog.Button3->isEnabled());
    const std::string own = dir.filePath("main.c").toStdString();
    prompter.files = {QString::fromStdString(own)};
    QTest::mouseClick(dialog.Button3, Qt::LeftButton);
    EXPECT_EQ(dialog.Edit1->text().toStdString(), own);
    ASSERT_EQ(prompter.fileDialogs.size(), 1u);
    EXPECT_EQ(prompter.fileDialogs[0].title, "Hľadanie súboru");
    dialog.CheckBox2->setChecked(true);
    dialog.takeInto(*project);
    EXPECT_FALSE(project->isDefaultCSource());
    EXPECT_EQ(project->getCSource(), own);
    EXPECT_TRUE(project->alwaysCompile());

    Tnastav_proj again(prompter);
    again.fill(*project);
    EXPECT_TRUE(again.CheckBox1->isChecked());
    EXPECT_TRUE(again.Edit1->isEnabled());
    EXPECT_TRUE(again.CheckBox2->isChecked());
    again.CheckBox1->setChecked(false);
    EXPECT_FALSE(again.Button3->isEnabled());
    again.takeInto(*project);
    EXPECT_TRUE(project->isDefaultCSource());
    EXPECT_EQ(project->getCSource(), project->parserOutputFile());
}

TEST_F(ProjectDialogs, RemoveListsBareNamesInOrder)
{
    for (const char* name : {"sub/b.c", "a.c", "x.h"})
        ASSERT_TRUE(project->addFile(dir.filePath(name).toStdString()));
    Todstrokn dialog;
    dialog.fill(*project);
    ASSERT_EQ(dialog.ListBox1->count(), 3);
    EXPECT_EQ(dialog.ListBox1->item(0)->text(), "b.c");
    EXPECT_EQ(dialog.ListBox1->item(1)->text(), "a.c");
    EXPECT_EQ(dialog.selectedIndex(), -1);
    dialog.ListBox1->setCurrentRow(2);
    EXPECT_EQ(dialog.selectedIndex(), 2);

    project->removeFile(0);
    dialog.fill(*project); // afresh: the old selection is gone
    EXPECT_EQ(dialog.ListBox1->count(), 2);
    EXPECT_EQ(dialog.selectedIndex(), -1);
}

TEST(AboutBox, NamesTheVersion)
{
    Toprog_okno about;
    EXPECT_EQ(about.windowTitle(), "O programe VORK");
    EXPECT_TRUE(about.versionText().startsWith(QStringLiteral("Verzia ") + vork::versionString()));
}

} // namespace
} // namespace vork::shell
