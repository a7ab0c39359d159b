// The parse stack, tree and history, driven by record sequences recorded
// from real debug runs of the calculator example (vork --debug-run
// --records-out): a valid input, a syntax error with recovery and a stack
// overflow.  The inputs lie next to the records.
#include "vork/debuglink/debug_panel.h"
#include "vork/debuglink/parse_insight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using namespace vork::debuglink;

const std::string kSource = VORK_SOURCE_DIR;

std::vector<Record> loadRecords(const std::string& name)
{
    std::ifstream in(kSource + "/tests/debuglink/data/" + name);
    std::vector<Record> out;
    Record r;
    while (in >> r.kind >> r.value1 >> r.value2)
        out.push_back(r);
    return out;
}

std::string readText(const std::string& name)
{
    std::ifstream in(kSource + "/tests/debuglink/data/" + name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const GrammarNames& calcNames()
{
    static const GrammarNames names = [] {
        duq_yacc::Automaton a;
        std::string error;
        if (!duq_yacc::build_automaton(kSource + "/examples/calc/calc.y", a, &error))
            ADD_FAILURE() << error;
        return GrammarNames(std::move(a));
    }();
    return names;
}

struct NullOwner : DebugPanelOwner {
    std::vector<std::string> lines;
    void enableDebugCommands() override {}
    GrammarText loadGrammar() override { return {true, lines, ""}; }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void showErrorText(const std::string&) override {}
};

const char* const kRuns[] = {"calc_valid", "calc_error", "calc_overflow"};

TEST(GrammarNames, NameTokensRulesAndStatesOfTheCalculator)
{
    const GrammarNames& n = calcNames();
    struct Case {
        int code;
        const char* name;
    };
    const Case tokens[] = {{0, "$end"}, {257, "NUMBER"}, {258, "NAME"}, {'+', "'+'"}, {'\n', "'\\n'"}, {9999, ""}};
    for (const Case& c : tokens)
        EXPECT_EQ(n.tokenName(c.code), c.name) << c.code;

    // Every rule's text is its left side, a colon and its symbols, and a
    // state entered by a shift is named by the symbol shifted.
    const duq_yacc::Automaton& a = n.automaton();
    for (const duq_yacc::Production& p : a.productions) {
        std::string expect = a.symbols[static_cast<size_t>(p.lhs)].name + " :";
        for (int s : p.rhs)
            expect += " " + a.symbols[static_cast<size_t>(s)].name;
        EXPECT_EQ(n.ruleText(p.number), expect);
        EXPECT_EQ(n.ruleLength(p.number), static_cast<int>(p.rhs.size()));
    }
    for (const duq_yacc::State& st : a.states)
        for (const duq_yacc::Transition& t : st.shifts)
            EXPECT_EQ(n.accessingSymbol(t.state), t.symbol) << "state " << t.state;
    EXPECT_EQ(n.accessingSymbol(0), -1);
    EXPECT_EQ(n.ruleText(-1), "");
    EXPECT_EQ(n.ruleText(1000), "");
    EXPECT_EQ(n.accessingSymbol(100000), -1);
}

TEST(GrammarNames, ItemsPutTheDotAfterTheSymbolsRead)
{
    const GrammarNames& n = calcNames();
    for (const duq_yacc::State& st : n.automaton().states) {
        const std::vector<std::string> items = n.items(st.number);
        ASSERT_EQ(items.size(), st.kernel.size());
        for (size_t i = 0; i < items.size(); ++i) {
            const duq_yacc::Item& it = st.kernel[i];
            const duq_yacc::Production& p = n.automaton().productions[static_cast<size_t>(it.production)];
            std::string before = n.symbolName(p.lhs) + " :";
            for (int k = 0; k < it.dot; ++k)
                before += " " + n.symbolName(p.rhs[static_cast<size_t>(k)]);
            EXPECT_EQ(items[i].substr(0, before.size() + 2), before + " .") << items[i];
        }
    }
}

// The parser reports every push and every pop itself: the model's stack
// must agree with each of those reports, on every record of the runs.
TEST(ParseInsight, StackFollowsThePushesAndPopsTheParserReports)
{
    const GrammarNames& n = calcNames();
    for (const char* run : kRuns) {
        SCOPED_TRACE(run);
        const std::vector<Record> recs = loadRecords(std::string(run) + ".rec");
        ASSERT_GT(recs.size(), 10u);
        ParseInsight model(&n);
        size_t maxDepth = 0;
        for (size_t i = 0; i < recs.size(); ++i) {
            const Record& r = recs[i];
            const std::vector<StackEntry> before = model.stack();
            model.apply(r, static_cast<uint32_t>(i));
            const std::vector<StackEntry>& st = model.stack();
            maxDepth = std::max(maxDepth, st.size());
            if (r.kind == static_cast<uint32_t>(RecordKind::State)) {
                ASSERT_FALSE(st.empty());
                EXPECT_EQ(st.back().state, r.value1) << "record " << i;
                EXPECT_EQ(st.back().symbol, st.size() == 1 ? -1 : n.accessingSymbol(r.value1));
            }
            if (r.kind == static_cast<uint32_t>(RecordKind::RecoveryPops)) {
                ASSERT_FALSE(before.empty());
                EXPECT_EQ(before.back().state, r.value1) << "record " << i;
                if (r.value2 < 0)
                    EXPECT_TRUE(st.empty());
                else
                    EXPECT_EQ(st.back().state, r.value2) << "record " << i;
            }
            if (r.kind == static_cast<uint32_t>(RecordKind::Reduction)) {
                EXPECT_EQ(before.size() - st.size(), static_cast<size_t>(n.ruleLength(r.value1)));
                EXPECT_EQ(model.notes().stepNote, n.ruleText(r.value1));
            }
            if (r.kind == static_cast<uint32_t>(RecordKind::LexicalUnit)) {
                EXPECT_EQ(model.notes().tokenName, n.tokenName(r.value1));
            }
        }
        // The overflow run nests parentheses until the parser's stack is
        // full; the others stay shallow.
        EXPECT_EQ(model.overflowed(), std::string(run) == "calc_overflow");
        if (model.overflowed())
            EXPECT_GE(maxDepth, 140u);
        else
            EXPECT_LT(maxDepth, 20u);
    }
}

// The leaves of the tree are the input's tokens, in order, with their own
// characters: blanks skipped by the scanner are not part of any token.
TEST(ParseInsight, TreeLeavesSpellTheInput)
{
    const GrammarNames& n = calcNames();
    struct Case {
        const char* run;
        bool anyDiscarded;
    };
    const Case cases[] = {{"calc_valid", false}, {"calc_error", true}, {"calc_overflow", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.run);
        const std::vector<Record> recs = loadRecords(std::string(c.run) + ".rec");
        ParseInsight model(&n);
        for (size_t i = 0; i < recs.size(); ++i)
            model.apply(recs[i], static_cast<uint32_t>(i));
        const TreeView view(model.nodes(), &n, static_cast<uint32_t>(recs.size() - 1));
        std::string leaves;
        bool discarded = false;
        std::vector<int> todo = view.roots();
        std::reverse(todo.begin(), todo.end());
        while (!todo.empty()) {
            const int x = todo.back();
            todo.pop_back();
            discarded |= view.discarded(x);
            const TreeNode& t = model.nodes()[static_cast<size_t>(x)];
            if (t.kind == TreeNode::Kind::Token)
                leaves += t.text;
            std::vector<int> kids = view.children(x);
            todo.insert(todo.end(), kids.rbegin(), kids.rend());
        }
        std::string input = readText(std::string(c.run) + ".txt");
        input.erase(std::remove(input.begin(), input.end(), ' '), input.end());
        if (std::string(c.run) == "calc_overflow") // the parser stops before the end
            EXPECT_EQ(input.compare(0, leaves.size(), leaves), 0) << leaves;
        else
            EXPECT_EQ(leaves, input);
        EXPECT_EQ(discarded, c.anyDiscarded);
    }
}

TEST(ParseInsight, TreeShapeOfAValidRun)
{
    const GrammarNames& n = calcNames();
    const std::vector<Record> recs = loadRecords("calc_valid.rec");
    ParseInsight model(&n);
    for (size_t i = 0; i < recs.size(); ++i)
        model.apply(recs[i], static_cast<uint32_t>(i));
    // "1 + 2 * 3" and "a = 4": the product binds tighter than the sum.
    const char* expected = "lines\n"
                           "  lines\n"
                           "    lines\n"
                           "    line\n"
                           "      expr\n"
                           "        expr\n"
                           "          NUMBER 1\n"
                           "        '+'\n"
                           "        expr\n"
                           "          expr\n"
                           "            NUMBER 2\n"
                           "          '*'\n"
                           "          expr\n"
                           "            NUMBER 3\n"
                           "      '\\n'\n"
                           "  line\n"
                           "    NAME a\n"
                           "    '='\n"
                           "    expr\n"
                           "      NUMBER 4\n"
                           "    '\\n'\n";
    EXPECT_EQ(TreeView(model.nodes(), &n, static_cast<uint32_t>(recs.size() - 1)).text(), expected);
}

// Recovery: "3 + * 4": the error node holds what was popped (3 and '+')
// and the tokens dropped after it ('*' and 4), all marked discarded; the
// error node itself and the rest of the tree are not.
TEST(ParseInsight, RecoveryMarksTheErrorAndWhatItDiscards)
{
    const GrammarNames& n = calcNames();
    const std::vector<Record> recs = loadRecords("calc_error.rec");
    ParseInsight model(&n);
    for (size_t i = 0; i < recs.size(); ++i)
        model.apply(recs[i], static_cast<uint32_t>(i));
    const TreeView view(model.nodes(), &n, static_cast<uint32_t>(recs.size() - 1));
    const std::string text = view.text();
    EXPECT_NE(text.find("    line\n"
                        "      error\n"
                        "        expr [zahodené]\n"
                        "          NUMBER 3 [zahodené]\n"
                        "        '+' [zahodené]\n"
                        "        '*' [zahodené]\n"
                        "        NUMBER 4 [zahodené]\n"
                        "      '\\n'\n"),
              std::string::npos)
        << text;
    // Before the error shift the popped subtrees stand alone, already
    // discarded; before the pops they were not.
    size_t firstPop = 0;
    while (recs[firstPop].kind != static_cast<uint32_t>(RecordKind::RecoveryPops))
        ++firstPop;
    const TreeView beforePop(model.nodes(), &n, static_cast<uint32_t>(firstPop - 1));
    const TreeView afterPop(model.nodes(), &n, static_cast<uint32_t>(firstPop));
    EXPECT_EQ(beforePop.text().find("zahodené"), std::string::npos);
    EXPECT_NE(afterPop.text().find("'+' [zahodené]"), std::string::npos);

    const std::string dot = view.dot();
    EXPECT_NE(dot.find("label=\"error\", shape=ellipse, color=red"), std::string::npos);
    EXPECT_NE(dot.find("label=\"NUMBER 4\", shape=ellipse, style=dashed"), std::string::npos);
    const std::string svg = view.svg();
    size_t rects = 0;
    for (size_t p = svg.find("<rect"); p != std::string::npos; p = svg.find("<rect", p + 1))
        ++rects;
    EXPECT_EQ(rects, static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
}

// The history gives, for every record, what a fresh model and the live
// panel fed with the records up to it show, across snapshot boundaries.
TEST(RunHistory, EveryMomentEqualsAReplayFromTheStart)
{
    const GrammarNames& n = calcNames();
    for (const char* run : kRuns) {
        SCOPED_TRACE(run);
        const std::vector<Record> recs = loadRecords(std::string(run) + ".rec");
        NullOwner owner;
        owner.lines.assign(60, "x");
        RunHistory history(&n);
        history.setGrammarLines(owner.lines.size());
        for (const Record& r : recs)
            history.append(r);
        ASSERT_EQ(history.size(), recs.size());

        ParseInsight fresh(&n);
        DebugPanel panel;
        // Back to front first, as a user stepping back would.
        std::vector<RunHistory::Moment> moments(recs.size());
        for (size_t i = recs.size(); i-- > 0;)
            moments[i] = history.at(i);
        for (size_t i = 0; i < recs.size(); ++i) {
            fresh.apply(recs[i], static_cast<uint32_t>(i));
            panel.show(recs[i].kind, recs[i].value1, recs[i].value2, owner);
            const RunHistory::Moment& m = moments[i];
            ASSERT_EQ(m.stack, fresh.stack()) << "record " << i;
            ASSERT_EQ(m.notes, fresh.notes()) << "record " << i;
            ASSERT_EQ(m.panel.tokenCode, panel.tokenCode()) << "record " << i;
            ASSERT_EQ(m.panel.characters, panel.characters()) << "record " << i;
            ASSERT_EQ(m.panel.stepLine, panel.stepLine()) << "record " << i;
            ASSERT_EQ(m.panel.traceSize, panel.trace().size()) << "record " << i;
            ASSERT_EQ(m.panel.selected, panel.selectedGrammarItem()) << "record " << i;
            ASSERT_EQ(history.treeAt(i).text(), TreeView(fresh.nodes(), &n, static_cast<uint32_t>(i)).text())
                << "record " << i;
            const Record back = history.record(i);
            ASSERT_EQ(back.kind, recs[i].kind);
            ASSERT_EQ(back.value1, recs[i].value1);
            if (recs[i].kind == static_cast<uint32_t>(RecordKind::RecoveryPops)) {
                ASSERT_EQ(back.value2, recs[i].value2);
            }
        }
        // Back two records and forward again: the same moment.
        const size_t last = recs.size() - 1;
        const RunHistory::Moment now = history.at(last);
        history.at(last - 2);
        history.at(last - 1);
        const RunHistory::Moment again = history.at(last);
        EXPECT_EQ(again.stack, now.stack);
        EXPECT_EQ(again.panel, now.panel);
        EXPECT_EQ(again.notes, now.notes);
    }
}

// A second run in the same history starts over: nothing of the first run's
// records or tree is left.
TEST(RunHistory, ANewRunForgetsThePreviousOne)
{
    const GrammarNames& n = calcNames();
    const std::vector<Record> first = loadRecords("calc_error.rec");
    const std::vector<Record> second = loadRecords("calc_valid.rec");
    RunHistory history(&n);
    for (const Record& r : first)
        history.append(r);
    for (const Record& r : second)
        history.append(r);
    RunHistory alone(&n);
    for (const Record& r : second)
        alone.append(r);
    ASSERT_EQ(history.size(), second.size());
    EXPECT_EQ(history.treeAt(second.size() - 1).text(), alone.treeAt(second.size() - 1).text());
    EXPECT_EQ(history.at(second.size() - 1).stack, alone.at(second.size() - 1).stack);
}

// The input stream field: what the scanner has read on the current line
// and the parser has not yet taken.
TEST(ParseInsight, InputStreamIsTheUnconsumedRestOfTheLine)
{
    const GrammarNames& n = calcNames();
    auto ch = [](char c) { return Record{9, c, 0}; };
    struct Step {
        Record record;
        const char* stream;
    };
    // "12 +" then the line end peeked at and given back.
    const Step steps[] = {
        {{11, 0, 0}, ""},       {{6, 0, 0}, ""},        {ch('1'), "1"},         {ch('2'), "12"},
        {ch(' '), "12 "},       {{10, 0, 0}, "12"},     {{8, 257, 0}, "12"},    {{7, 9, 0}, ""},
        {{6, 9, 0}, ""},        {ch(' '), " "},         {ch('+'), " +"},        {ch('\n'), ""},
        {{10, 0, 0}, " +"},     {{10, 0, 0}, " "},      {{10, 0, 0}, ""},       {{10, 0, 0}, ""},
    };
    ParseInsight model(&n);
    uint32_t i = 0;
    for (const Step& s : steps) {
        model.apply(s.record, i);
        EXPECT_EQ(model.notes().inputStream, s.stream) << "step " << i;
        ++i;
    }
}

} // namespace
