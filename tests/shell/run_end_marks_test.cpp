// When the communication thread lets go of a debug run, the last stop is no
// longer where the program is: run free ("Bez Krokovania") leaves the
// program running unwatched, and the reply to the end of the analysis ends
// the run.  Neither may leave the last stop's source line selected in its
// page, nor the panel showing that stop as the current one.
#include "window_fixture.h"

#include "vork/debuglink/debug_session.h"
#include "vork/shell/debug_panel_widget.h"

#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace vork::shell::test {
namespace {

namespace dl = vork::debuglink;

class RunEndMarksTest : public WindowTest {
protected:
    bool stopped() const { return window->windowTitle().endsWith("[Zastaveny]"); }
    bool threadEnded() const { return window->debugSession().ended(); }

    // Pages with a selection, by file name.
    QStringList selectedPages() const
    {
        QStringList out;
        for (int i = 0; i < window->pageCount(); ++i)
            if (window->pageAt(i)->editor()->textCursor().hasSelection())
                out << window->pageAt(i)->fileName();
        return out;
    }

    void type(const QString& line)
    {
        window->exeInput()->setText(line);
        QMetaObject::invokeMethod(window->exeInput(), "returnPressed");
    }

    // Steps with `command` until the program stops again.
    bool step(const char* command)
    {
        if (!window->runCommand(command))
            return false;
        waitFor([&] { return !stopped(); }, 2000);
        return waitFor([&] { return stopped() || threadEnded(); });
    }

    // The panel marks no stop as current, still shows what the run did,
    // and says how the run stands.
    void expectNoCurrentStop(const char* note) const
    {
        const DebugPanelWidget* panel = window->debugPanel();
        EXPECT_TRUE(selectedPages().isEmpty()) << selectedPages().join('|').toStdString();
        EXPECT_EQ(panel->ListBox2->currentRow(), -1);
        EXPECT_TRUE(panel->RunNote->isVisible());
        EXPECT_EQ(panel->RunNote->text().toStdString(), note);
        for (const QLabel* field : {panel->Label2x, panel->Panel7, panel->StepNote})
            EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
        EXPECT_FALSE(panel->Panel7->text().isEmpty()) << "the last stop's fields keep their text";
        EXPECT_TRUE(items(panel->ListBox1).contains("Start analyzy"));
        EXPECT_GT(panel->StackList->count(), 0);
        EXPECT_TRUE(panel->HistoryPosition->text().isEmpty());
    }
};

TEST_F(RunEndMarksTest, RunFreeLeavesNoStopMarkedWhileTheProgramGoesOn)
{
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    // No arguments: calc reads its standard input and waits for more.
    window->project()->setRunArguments("");
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return stopped(); }));
    EXPECT_FALSE(window->debugPanel()->RunNote->isVisible());
    type("6 * 7");
    // To a semantic action: its line is selected in calc.y and in the panel.
    ASSERT_TRUE(step("HM_AfterSemAction"));
    ASSERT_TRUE(stopped());
    ASSERT_EQ(selectedPages().size(), 1);
    EXPECT_TRUE(selectedPages()[0].endsWith("calc.y"));
    EXPECT_GE(window->debugPanel()->ListBox2->currentRow(), 0);
    EXPECT_TRUE(window->debugPanel()->Panel7->isEnabled());

    ASSERT_TRUE(window->runCommand("HM_BezKrok"));
    ASSERT_TRUE(waitFor([&] { return threadEnded(); }));
    QApplication::processEvents();
    // The program still runs, unwatched: the run has no current stop.
    ASSERT_TRUE(window->project()->running());
    EXPECT_FALSE(window->isEnabled("HM_AfterLexJed"));
    expectNoCurrentStop(dl::kNoteRunFree);
    shot("debug-run-free");
    // It goes on reading its input without stopping.
    type("1 + 2");
    ASSERT_TRUE(waitFor([&] { return items(window->taskListExe()).contains("3"); }))
        << items(window->taskListExe()).join('|').toStdString();

    window->project()->closeRunInput();
    ASSERT_TRUE(waitFor([&] { return idle() && window->debugPanel()->RunNote->text() == dl::kNoteFreeEnded; }))
        << window->debugPanel()->RunNote->text().toStdString();
    expectNoCurrentStop(dl::kNoteFreeEnded);

    // The next debug run serves its stops again.
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return stopped(); }));
    EXPECT_FALSE(window->debugPanel()->RunNote->isVisible());
    EXPECT_TRUE(window->debugPanel()->Panel7->isEnabled());
    ASSERT_TRUE(window->runCommand("HM_BezKrok"));
    window->project()->closeRunInput();
    ASSERT_TRUE(waitFor([&] { return idle(); }));
}

// The end of the analysis is the last stop.  Looking back from it selects an
// earlier action's line; the step that ends the run must not leave that
// line marked as the place the program stands.
TEST_F(RunEndMarksTest, TheEndOfTheAnalysisLeavesNoStopMarked)
{
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    ASSERT_TRUE(waitFor([&] { return stopped(); }));
    DebugPanelWidget* panel = window->debugPanel();
    const QString endOk = QString::fromUtf8("Syntaktická analýza skončila v poriadku");
    for (int i = 0; i < 10 && !items(panel->ListBox1).contains(endOk); ++i)
        ASSERT_TRUE(step("HM_AfterBadSyntax"));
    ASSERT_TRUE(items(panel->ListBox1).contains(endOk));
    ASSERT_TRUE(stopped());

    for (int i = 0; i < 200 && selectedPages().isEmpty(); ++i)
        ASSERT_TRUE(window->runCommand("HM_HistoriaSpat"));
    ASSERT_EQ(selectedPages().size(), 1) << "looking back reaches a semantic action";
    EXPECT_GE(panel->ListBox2->currentRow(), 0);

    ASSERT_TRUE(window->runCommand("HM_AfterLexJed"));
    ASSERT_TRUE(waitFor([&] { return idle() && threadEnded(); }));
    QApplication::processEvents();
    expectNoCurrentStop(dl::kNoteDebugEnded);
}

} // namespace
} // namespace vork::shell::test
