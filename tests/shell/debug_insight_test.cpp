// The Ladenie tab names what the parser does, shows its stack and tree, and
// looks back over the run's records: a debug run of the calculator through
// the window.
#include "window_fixture.h"

#include "vork/shell/debug_panel_widget.h"

#include <QAction>
#include <QLabel>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTabWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace vork::shell::test {
namespace {

struct PanelLook {
    QStringList fields;
    QStringList trace;
    int grammarRow;
    QStringList stack;
    QStringList items;
    bool operator==(const PanelLook& o) const
    {
        return fields == o.fields && trace == o.trace && grammarRow == o.grammarRow && stack == o.stack &&
               items == o.items;
    }
};

PanelLook look(const DebugPanelWidget* p)
{
    return {{p->Label2x->text(), p->TokenName->text(), p->Label6->text(), p->Label8->text(), p->Panel7->text(),
             p->StepNote->text()},
            items(p->ListBox1),
            p->ListBox2->currentRow(),
            items(p->StackList),
            items(p->ItemsList)};
}

// Every item of the tree with its depth, so a count by label is easy.
void walk(QTreeWidgetItem* item, std::vector<QTreeWidgetItem*>& out)
{
    out.push_back(item);
    for (int i = 0; i < item->childCount(); ++i)
        walk(item->child(i), out);
}

class DebugInsightTest : public WindowTest {
protected:
    bool stopped() const { return window->windowTitle().endsWith("[Zastaveny]"); }
    void step(const char* command)
    {
        ASSERT_TRUE(window->runCommand(command)) << command;
        ASSERT_TRUE(waitFor([&] { return !stopped(); }, 15000) || stopped());
        ASSERT_TRUE(waitFor([&] { return stopped(); })) << command;
        QApplication::processEvents();
    }
};

TEST_F(DebugInsightTest, NamesHistoryAndTreeOfACalculatorRun)
{
    ASSERT_TRUE(window->openProject(copyExample("calc", "calc.lyy"), false));
    ASSERT_TRUE(window->runCommand("HM_PrjLadiaciRezim"));
    ASSERT_TRUE(window->runCommand("HM_RunRun"));
    DebugPanelWidget* panel = window->debugPanel();
    ASSERT_TRUE(waitFor([&] { return stopped(); }));

    // "lines :" first, then the first number becomes an expression.
    ASSERT_TRUE(window->runCommand("HM_AfterReduction"));
    ASSERT_TRUE(waitFor([&] { return stopped() && panel->Panel7->text().startsWith("REDUKCIA: "); }));
    EXPECT_EQ(panel->StepNote->text(), "lines :");
    step("HM_AfterReduction");
    ASSERT_TRUE(waitFor([&] { return panel->StepNote->text() == "expr : NUMBER"; }))
        << panel->StepNote->text().toStdString();
    // The described field keeps its own text; the rule is beside it.
    EXPECT_TRUE(panel->Panel7->text().startsWith("REDUKCIA: "));
    EXPECT_FALSE(panel->Panel7->text().contains("expr"));
    EXPECT_EQ(panel->TokenName->text(), "NUMBER"); // reduced by default, before reading on
    // NUMBER is popped; "lines" is on the stack over the start state, and
    // the items of that state show where the parser is.
    ASSERT_EQ(panel->StackList->count(), 2);
    EXPECT_TRUE(panel->StackList->item(0)->text().endsWith("lines"));
    EXPECT_TRUE(items(panel->ItemsList).contains("lines : lines . line"));

    const PanelLook now = look(panel);
    ASSERT_TRUE(window->isEnabled("HM_HistoriaSpat"));
    ASSERT_TRUE(window->runCommand("HM_HistoriaSpat"));
    ASSERT_TRUE(window->runCommand("HM_HistoriaSpat"));
    EXPECT_TRUE(panel->Panel7->text().startsWith("POSUN: ")) << panel->Panel7->text().toStdString();
    EXPECT_FALSE(panel->HistoryPosition->text().isEmpty());
    EXPECT_FALSE(look(panel) == now);
    shot("debug-history");
    EXPECT_TRUE(stopped()) << "looking back leaves the program where it stopped";
    ASSERT_TRUE(window->runCommand("HM_HistoriaVpred"));
    ASSERT_TRUE(window->runCommand("HM_HistoriaVpred"));
    EXPECT_TRUE(look(panel) == now);
    EXPECT_TRUE(panel->HistoryPosition->text().isEmpty());

    // Forward past the last record goes on to the next reduction.
    const size_t records = window->debugSession().history().size();
    ASSERT_TRUE(window->runCommand("HM_HistoriaVpred"));
    ASSERT_TRUE(waitFor([&] { return stopped() && window->debugSession().history().size() > records; }));
    EXPECT_TRUE(panel->Panel7->text().startsWith("REDUKCIA: "));

    // A semantic action's line is selected in the grammar's page as well.
    step("HM_AfterSemAction");
    ASSERT_GE(panel->ListBox2->currentRow(), 0);
    TStranka* grammar = window->activePage();
    ASSERT_TRUE(grammar);
    EXPECT_TRUE(grammar->fileName().endsWith("calc.y")) << grammar->fileName().toStdString();
    const QTextCursor selected = grammar->editor()->textCursor();
    EXPECT_EQ(selected.blockNumber(), panel->ListBox2->currentRow());
    EXPECT_TRUE(selected.hasSelection());
    shot("debug-source");

    // The four debug items filter the trace list: all on, it names every
    // reduction; with shifts and reductions off, only the other groups
    // stay, and on again the same list is back.
    // The list follows the run at the next refresh.
    vork::debuglink::TraceRows rows;
    rows.update(window->debugSession().history(), window->debugSession().history().size(), {}, true);
    ASSERT_TRUE(waitFor([&] { return items(panel->ListBox1).size() == static_cast<int>(rows.rows().size()); }));
    const QStringList trace = items(panel->ListBox1);
    EXPECT_GT(trace.filter("(expr : NUMBER)").size(), 0)
        << trace.join('|').toStdString();
    EXPECT_GT(trace.filter(QRegularExpression("^gramatika \\d+: ")).size(), 0);
    EXPECT_GT(trace.filter(QRegularExpression("^Kód lexikálnej jednotky: \\d+ \\(")).size(), 0);
    window->action("HM_PosuvyRedukcie")->trigger();
    const QStringList some = items(panel->ListBox1);
    EXPECT_TRUE(some.filter(QRegularExpression("^(POSUN|REDUKCIA): ")).isEmpty());
    EXPECT_EQ(some.size(), trace.size() - trace.filter(QRegularExpression("^(POSUN|REDUKCIA): ")).size());
    shot("debug-filter");
    for (const char* item : {"HM_Hlasenia", "HM_LexJednotky", "HM_SemAction"})
        window->action(item)->trigger();
    EXPECT_TRUE(items(panel->ListBox1).isEmpty());
    // Looking back shows the list as of that record, filter and all.
    for (const char* item : {"HM_Hlasenia", "HM_LexJednotky", "HM_SemAction", "HM_PosuvyRedukcie"})
        window->action(item)->trigger();
    EXPECT_EQ(items(panel->ListBox1), trace);
    ASSERT_TRUE(window->runCommand("HM_HistoriaSpat"));
    EXPECT_LT(items(panel->ListBox1).size(), trace.size());
    ASSERT_TRUE(window->runCommand("HM_HistoriaVpred"));
    EXPECT_EQ(items(panel->ListBox1), trace);

    // To the syntax error, then to the end of the analysis.
    step("HM_AfterBadSyntax");
    EXPECT_TRUE(items(panel->ListBox1).contains("Syntakticka chyba !"));
    step("HM_AfterBadSyntax");
    ASSERT_TRUE(waitFor([&] { return items(panel->ListBox1).contains("Syntaktická analýza skončila v poriadku"); }));

    // The tree is built when its tab is shown.
    panel->InsightTabs->setCurrentIndex(1);
    // One tree: lines at the top, a line per input line, one error node
    // whose discarded parts are struck out.
    ASSERT_EQ(panel->ParseTree->topLevelItemCount(), 1);
    EXPECT_EQ(panel->ParseTree->topLevelItem(0)->text(0), "lines");
    std::vector<QTreeWidgetItem*> all;
    walk(panel->ParseTree->topLevelItem(0), all);
    int lines = 0, errors = 0, struck = 0;
    for (QTreeWidgetItem* i : all) {
        lines += i->text(0) == "line";
        errors += i->text(0) == "error";
        struck += i->font(0).strikeOut();
    }
    EXPECT_EQ(lines, 8);
    EXPECT_EQ(errors, 1);
    EXPECT_GT(struck, 0);
    const std::string dotFile = dir / "tree.dot";
    ASSERT_TRUE(panel->exportTree(QString::fromStdString(dotFile)));
    EXPECT_NE(vork::test::readFile(dotFile).find("label=\"error\""), std::string::npos);
    shot("debug-tree");
    panel->InsightTabs->setCurrentIndex(0);

    ASSERT_TRUE(window->runCommand("HM_BezKrok"));
    ASSERT_TRUE(waitFor([&] { return idle(); }));
    EXPECT_FALSE(window->isEnabled("HM_HistoriaSpat"));
}

} // namespace
} // namespace vork::shell::test
