// A debug run of the calculator through the window stopping after lexical
// units: each stop selects, in the .l page, the line of the rule that
// matched the unit.  (A scanner-only project differs only in the record,
// which tests/debuglink and tests/debugrun cover.)
#include "window_fixture.h"

#include "vork/shell/debug_panel_widget.h"

#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace vork::shell::test {
namespace {

using ScannerRuleStopTest = WindowTest;

TEST_F(ScannerRuleStopTest, SelectsTheRuleOfEachUnit)
{
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    const QStringList spec = QString::fromStdString(vork::test::readFile(dir / "calc.l")).split('\n');
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    auto stopped = [&] { return window->windowTitle().endsWith("[Zastaveny]"); };
    ASSERT_TRUE(waitFor(stopped));
    // input.txt begins "1 + 2": how the rules of the first three units begin.
    for (const QString& rule : QStringList{"{D}+\t", ".\t", "{D}+\t"}) {
        SCOPED_TRACE(rule.toStdString());
        const size_t records = window->debugSession().history().size();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(window->runCommand("HM_AfterLexJed"));
        // The title still says the run is stopped once the page is shown.
        ASSERT_TRUE(waitFor([&] { return stopped() && window->debugSession().history().size() > records; }))
            << window->windowTitle().toStdString();
        QApplication::processEvents();
        TStranka* page = window->activePage();
        ASSERT_TRUE(page);
        EXPECT_TRUE(page->fileName().endsWith("calc.l")) << page->fileName().toStdString();
        const QTextCursor selected = page->editor()->textCursor();
        EXPECT_TRUE(spec.value(selected.blockNumber()).startsWith(rule)) << spec.value(selected.blockNumber()).toStdString();
        EXPECT_EQ(selected.selectedText(), selected.block().text());
        EXPECT_EQ(QApplication::focusWidget(), focus) << "the step keys keep working";
    }
    shot("debug-lex-rule");

    // Looking back at the unit before ("+") selects its rule again.
    const auto& history = window->debugSession().history();
    const uint32_t unit = static_cast<uint32_t>(vork::debuglink::RecordKind::LexicalUnit);
    DebugPanelWidget* panel = window->debugPanel();
    do
        ASSERT_TRUE(window->runCommand("HM_HistoriaSpat"));
    while (panel->historyIndex() > 0 && history.kind(static_cast<size_t>(panel->historyIndex())) != unit);
    auto selectedRule = [&] { return spec.value(window->activePage()->editor()->textCursor().blockNumber()); };
    EXPECT_TRUE(selectedRule().startsWith(".\t")) << selectedRule().toStdString();
    // A step command from there shows its own stop (the unit "*"), not the
    // record looked at.
    const size_t records = history.size();
    ASSERT_TRUE(window->runCommand("HM_AfterLexJed"));
    ASSERT_TRUE(waitFor([&] { return stopped() && history.size() > records; }));
    QApplication::processEvents();
    EXPECT_EQ(panel->historyIndex(), -1);
    EXPECT_TRUE(panel->HistoryPosition->text().isEmpty());
    EXPECT_EQ(panel->TokenName->text(), "'*'");
    EXPECT_TRUE(selectedRule().startsWith(".\t")) << selectedRule().toStdString();

    ASSERT_TRUE(window->runCommand("HM_BezKrok"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
}

} // namespace
} // namespace vork::shell::test
