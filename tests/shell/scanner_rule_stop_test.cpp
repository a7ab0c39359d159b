// A debug run through the window stopping after lexical units: each stop
// selects the line of the .l rule that matched the unit in the .l page, for
// a parser project and for a scanner-only one.
#include "window_fixture.h"

#include "vork/shell/debug_panel_widget.h"

#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace vork::shell::test {
namespace {

class ScannerRuleStopTest : public WindowTest {
protected:
    bool stopped() const { return window->windowTitle().endsWith("[Zastaveny]"); }
    // The 1-based line of the project's .l that starts with prefix.
    int lineStarting(const std::string& file, const std::string& prefix) const
    {
        const QStringList lines = QString::fromStdString(vork::test::readFile(dir / file)).split('\n');
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(QString::fromStdString(prefix)))
                return i + 1;
        return 0;
    }
};

TEST_F(ScannerRuleStopTest, SelectsTheRuleOfEachUnit)
{
    struct Case {
        const char* example;
        const char* project;
        const char* spec;
        std::vector<std::string> rules; // how the rule of each unit in turn begins
    };
    const Case cases[] = {
        // input.txt: "1 + 2 * 3"
        {"calc", "calc.lyy", "calc.l", {"{D}+\t", ".\t", "{D}+\t"}},
        // in.txt: "ab c"
        {"wc", "wc.lye", "wc.l", {"[^ ", ".\t", "[^ ", "\\n\t"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.project);
        ASSERT_TRUE(window->openProject(copyExample(c.example, c.project), false));
        vork::test::writeFile(dir / "in.txt", "ab c\n");
        if (std::string(c.example) == "wc")
            window->project()->setRunArguments("in.txt");
        ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
        ASSERT_TRUE(window->runCommand("HM_RunRun"));
        ASSERT_TRUE(waitFor([&] { return stopped(); }));
        for (size_t k = 0; k < c.rules.size(); ++k) {
            SCOPED_TRACE(k);
            const size_t records = window->debugSession().history().size();
            QWidget* focus = QApplication::focusWidget();
            ASSERT_TRUE(window->runCommand("HM_AfterLexJed"));
            ASSERT_TRUE(waitFor([&] { return stopped() && window->debugSession().history().size() > records; }))
                << window->windowTitle().toStdString() << " " << window->debugSession().history().size() << " "
                << records;
            QApplication::processEvents();
            TStranka* page = window->activePage();
            ASSERT_TRUE(page);
            EXPECT_TRUE(page->fileName().endsWith(c.spec)) << page->fileName().toStdString();
            const QTextCursor selected = page->editor()->textCursor();
            EXPECT_EQ(selected.blockNumber() + 1, lineStarting(c.spec, c.rules[k]));
            EXPECT_EQ(selected.selectedText(), selected.block().text());
            EXPECT_EQ(QApplication::focusWidget(), focus) << "the step keys keep working";
        }
        ASSERT_TRUE(window->runCommand("HM_BezKrok"));
        ASSERT_TRUE(waitFor([&] { return idle(); }));
        window->closeProject();
    }
}

} // namespace
} // namespace vork::shell::test
