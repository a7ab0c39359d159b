// vork --debug-run on the example projects, with scripted step commands:
// the generated debug programs speak to the terminal debugger through the
// real channel, under channel names private to each test.
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace drtest;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

const char* const kStartTrace = "Start analyzy";
const char* const kEndOk = "Syntaktická analýza skončila v poriadku";
const std::string kToken = "Kód lexikálnej jednotky: ";

bool startsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// Where the run stopped: the title lines that end in "[Zastaveny]".
std::vector<size_t> stopIndexes(const Lines& lines)
{
    const std::string marker = "[Zastaveny]";
    std::vector<size_t> at;
    for (size_t i = 0; i < lines.size(); ++i)
        if (startsWith(lines[i], "titulok: ") && lines[i].size() >= marker.size() &&
            lines[i].compare(lines[i].size() - marker.size(), marker.size(), marker) == 0)
            at.push_back(i);
    return at;
}

// What follows prefix on each line that starts with it, up to until.
Lines after(const Lines& lines, const std::string& prefix, char until = '\0')
{
    Lines out;
    for (const std::string& l : lines)
        if (startsWith(l, prefix))
            out.push_back(l.substr(prefix.size(), l.find(until, prefix.size()) - prefix.size()));
    return out;
}

// The 1-based line of calc.y that holds text, as its semantic action shows it.
std::string grammarLine(const std::string& text)
{
    const std::string grammar = sourceFile("examples/calc/calc.y");
    const auto at = grammar.begin() + static_cast<long>(std::min(grammar.find(text), grammar.size()));
    return std::to_string(1 + std::count(grammar.begin(), at, '\n'));
}

class DebugRun : public ::testing::Test {
protected:
    void SetUp() override { copyExample("calc", {"calc.lyy", "calc.l", "calc.y"}, dir); }

    // Runs the project; the limit only keeps a fault from hanging the suite.
    Lines debugRun(const Lines& options, const std::string& input, const std::string& script, int exitCode = 0,
                   const std::string& project = "calc.lyy")
    {
        writeFile(dir / "in.txt", input);
        Lines argv = {vorkProgram(), "--debug-run", project};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.insert(argv.end(), {"--", "in.txt"});
        const ProgramRun run = runProgram(argv, dir.path(), script, uniqueSuffix(), 120s);
        EXPECT_FALSE(run.timedOut) << run.out;
        EXPECT_EQ(run.exitCode, exitCode) << run.out;
        return run.lines();
    }

    TempDir dir;
};

// Enter alone goes on with the flags --stop preset: every stop between the
// first and the last follows a record of a kind the flags name, and every
// such record stops the run.
TEST_F(DebugRun, StopsExactlyWhereTheFlagsSay)
{
    struct Case {
        const char* stop;
        const char* input;
        Lines stoppingLines;
    };
    const Case cases[] = {
        {"red,sem", "1 + 2\n", {"REDUKCIA: ", "gramatika "}},
        {"lex", "1 + 2\n", {kToken}},
        {"shift", "(1)\n", {"POSUN: "}},
        {"err", "3 + * 4\n1\n", {"Syntakticka chyba !"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stop);
        const Lines lines = debugRun({"--stop", c.stop}, c.input, std::string(400, '\n'));
        const std::vector<size_t> stops = stopIndexes(lines);
        ASSERT_GE(stops.size(), 3u);
        EXPECT_EQ(lines[stops.front() - 1], kStartTrace);
        EXPECT_EQ(lines[stops.back() - 1], kEndOk);
        size_t stopping = 0;
        for (const std::string& prefix : c.stoppingLines)
            stopping += after(lines, prefix).size();
        EXPECT_EQ(stops.size(), stopping + 2);
        for (size_t k = 1; k + 1 < stops.size(); ++k) {
            const std::string& before = lines[stops[k] - 1];
            EXPECT_TRUE(std::any_of(c.stoppingLines.begin(), c.stoppingLines.end(),
                                    [&](const std::string& p) { return startsWith(before, p); }))
                << "stop " << k << " after: " << before;
        }
    }
}

// The calculator on one line, stepping by semantic actions: the units,
// shifts, reductions and actions come in the parser's order and the run
// ends well.
TEST_F(DebugRun, TracesTheCalculator)
{
    const Lines lines = debugRun({"--stop", "sem"}, "1 + 2\n", std::string(20, '\n'));
    const Lines tokens = after(lines, kToken, ' ');
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[0], tokens[2]) << "both numbers are NUMBER";
    EXPECT_EQ(Lines(tokens.begin() + 1, tokens.end()), (Lines{"43", tokens[0], "10", "0"}));
    const std::string number = grammarLine("| NUMBER\t\t{");
    EXPECT_EQ(after(lines, "gramatika ", ':'),
              (Lines{number, number, grammarLine("expr '+' expr"), grammarLine("| expr '\\n'")}));
    // lines: empty, expr: NUMBER twice, expr '+' expr, line, lines line.
    EXPECT_EQ(after(lines, "REDUKCIA: ").size(), 6u);
    EXPECT_EQ(after(lines, "POSUN: ").size(), 4u); // 1, '+', 2, '\n'
    EXPECT_EQ(stopIndexes(lines).size(), 6u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kEndOk), 1);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "3"), lines.end()); // the program's own output
}

// The numbers come with names: the token's, the rule's text, the state
// shifted to with its symbol.  "stack" at a stop prints the stack and the
// current state's items, and --tree-out writes the run's tree.
TEST_F(DebugRun, NamesStackAndTree)
{
    // Start, "lines :", "expr : NUMBER": there the stack is printed.
    Lines lines = debugRun({"--stop", "red", "--tree-out", "tree.dot"}, "1 + 2\n",
                           "\n\nstack\ntrace hlasenia\ntrace posuvy\n" + std::string(40, '\n'));
    // "trace GROUPS" after the stack: the messages so far, then the shifts
    // and reductions so far, named.  They are taken out of the panel's
    // lines checked below.
    const auto stack = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return startsWith(l, "zásobník: "); });
    ASSERT_NE(stack, lines.end());
    EXPECT_TRUE(startsWith(*stack, "zásobník: 0 lines ")) << *stack;
    EXPECT_NE(std::find(stack, lines.end(), "  lines : lines . line"), lines.end());
    const auto trace = std::find_if(stack + 1, lines.end(), [](const std::string& l) { return !startsWith(l, "  "); });
    ASSERT_GE(lines.end() - trace, 4);
    EXPECT_EQ((Lines{trace, trace + 2}), (Lines{"Start analyzy", "REDUKCIA: 1 (lines :)"}));
    EXPECT_TRUE(startsWith(trace[2], "POSUN: ")) << trace[2];
    EXPECT_NE(trace[3].find(" (expr : NUMBER)"), std::string::npos) << trace[3];
    lines.erase(stack, trace + 4);
    const Lines units = after(lines, kToken);
    ASSERT_EQ(units.size(), 5u);
    EXPECT_EQ(units[0].substr(units[0].find(' ')), " (NUMBER)");
    EXPECT_EQ(units[1], "43 ('+')");
    EXPECT_EQ(units[3], "10 ('\\n')");
    EXPECT_EQ(units[4], "0 ($end)");
    const Lines reductions = after(lines, "REDUKCIA: ");
    ASSERT_EQ(reductions.size(), 6u);
    EXPECT_EQ(reductions[0], "1 (lines :)");
    EXPECT_NE(reductions[1].find(" (expr : NUMBER)"), std::string::npos);
    EXPECT_NE(reductions[3].find(" (expr : expr '+' expr)"), std::string::npos);
    for (const std::string& shift : after(lines, "POSUN: ")) {
        const std::string state = shift.substr(0, shift.find(' '));
        EXPECT_TRUE(startsWith(shift.substr(state.size()), " (stav " + state + ": ")) << shift;
    }

    const std::string dot = readFile(dir / "tree.dot");
    for (const char* label : {"label=\"NUMBER 1\"", "label=\"NUMBER 2\"", "label=\"'+'\"", "label=\"'\\\\n'\""})
        EXPECT_NE(dot.find(label), std::string::npos) << label << "\n" << dot;
    EXPECT_EQ(dot.find("dashed"), std::string::npos);
}

// Commands typed at the stops: a stop command replaces the flags, "free"
// or the end of the input lets the program finish unwatched, "halt" ends
// it while it is stopped.
TEST_F(DebugRun, StepCommandsFromTheInput)
{
    struct Case {
        const char* script;
        size_t stops;
        int exitCode;
        bool analysisEnd;
    };
    const Case cases[] = {
        {"free\n", 1, 0, false},
        {"lex\nlex\n", 3, 0, false},
        {"err\n", 2, 0, true}, // no error to stop at: only the end
        {"lex\nhalt\n", 2, 124, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const Lines lines = debugRun({}, "1 + 2\n", c.script, c.exitCode);
        const std::vector<size_t> stops = stopIndexes(lines);
        ASSERT_EQ(stops.size(), c.stops);
        EXPECT_EQ(lines[stops.front() - 1], kStartTrace);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kEndOk), c.analysisEnd ? 1 : 0);
        // Nothing is shown after the run went free or was ended.
        const Lines rest(lines.begin() + static_cast<long>(stops.back()) + 1, lines.end());
        EXPECT_TRUE(c.analysisEnd || (after(rest, kToken).empty() && after(rest, "POSUN: ").empty()));
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "3"), c.exitCode == 0 ? 1 : 0);
    }
}

// A scanner without a parser still opens and closes the analysis; its
// units are the numbers of the rules that matched.
TEST_F(DebugRun, ScannerOnlyProjectOpensAndClosesTheAnalysis)
{
    copyExample("wc", {"wc.lye", "wc.l"}, dir);
    const Lines lines = debugRun({}, "ab c\nd\n", "state\n", 0, "wc.lye");
    const std::vector<size_t> stops = stopIndexes(lines);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(lines[stops[0] - 1], kStartTrace);
    EXPECT_EQ(lines[stops[1] - 1], kEndOk);
    // words ab, c, d are rule 1, the blanks rule 3, the line ends rule 2
    EXPECT_EQ(after(lines, kToken), (Lines{"1", "3", "1", "2", "1", "2"}));
    EXPECT_FALSE(after(lines, "riadky: 2, slova: 3, znaky: 7").empty());
}

} // namespace
