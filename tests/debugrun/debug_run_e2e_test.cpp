// vork --debug-run on the example projects, with scripted step commands:
// the generated debug programs speak to the terminal debugger through the
// real channel, under channel names private to each test.
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace {

using namespace drtest;
using namespace std::chrono_literals;

// No single step below takes long; the limit only keeps a fault from
// hanging the suite.
constexpr auto kLimit = 120s;

const char* const kStartTrace = "Start analyzy";
const char* const kEndOk = "Syntaktická analýza skončila v poriadku";
const char* const kTokenPrefix = "Kód lexikálnej jednotky: ";

bool startsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool isStop(const std::string& line)
{
    const std::string marker = "[Zastaveny]";
    return startsWith(line, "titulok: ") && line.size() >= marker.size() &&
           line.compare(line.size() - marker.size(), marker.size(), marker) == 0;
}

std::vector<size_t> stopIndexes(const std::vector<std::string>& lines)
{
    std::vector<size_t> at;
    for (size_t i = 0; i < lines.size(); ++i)
        if (isStop(lines[i]))
            at.push_back(i);
    return at;
}

size_t countPrefixed(const std::vector<std::string>& lines, const std::string& prefix)
{
    return static_cast<size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return startsWith(l, prefix); }));
}

// The 1-based line of calc.y that holds text.
int grammarLine(const std::string& text)
{
    const std::string grammar = sourceFile("examples/calc/calc.y");
    const size_t at = grammar.find(text);
    if (at == std::string::npos)
        return -1;
    return 1 + static_cast<int>(std::count(grammar.begin(), grammar.begin() + static_cast<long>(at), '\n'));
}

class DebugRun : public ::testing::Test {
protected:
    void SetUp() override { copyExample("calc", {"calc.lyy", "calc.l", "calc.y"}, dir); }

    ProgramRun debugRun(const std::vector<std::string>& options, const std::string& input, const std::string& script,
                 const std::string& project = "calc.lyy")
    {
        writeFile(dir / "in.txt", input);
        std::vector<std::string> argv = {vorkProgram(), "--debug-run", project};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back("--");
        argv.push_back("in.txt");
        return runProgram(argv, dir.path(), script, uniqueSuffix(), kLimit);
    }

    TempDir dir;
};

// Enter alone goes on with the preset flags: every stop between the first
// and the last follows a record of a kind the flags name, and every such
// record stops the run.
TEST_F(DebugRun, StopsExactlyWhereTheFlagsSay)
{
    struct Case {
        const char* stop;
        const char* input;
        std::vector<std::string> stoppingLines;
    };
    const Case cases[] = {
        {"red,sem", "1 + 2\n", {"REDUKCIA: ", "gramatika "}},
        {"lex", "1 + 2\n", {kTokenPrefix}},
        {"shift", "(1)\n", {"POSUN: "}},
        {"err", "3 + * 4\n1\n", {"Syntakticka chyba !"}},
    };
    const std::string enters(400, '\n');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stop);
        const ProgramRun run = debugRun({"--stop", c.stop}, c.input, enters);
        ASSERT_FALSE(run.timedOut) << run.out;
        EXPECT_EQ(run.exitCode, 0) << run.out;
        const std::vector<std::string> lines = run.lines();
        const std::vector<size_t> stops = stopIndexes(lines);
        ASSERT_GE(stops.size(), 3u) << run.out;
        EXPECT_EQ(lines[stops.front() - 1], kStartTrace);
        EXPECT_EQ(lines[stops.back() - 1], kEndOk);
        size_t stopping = 0;
        for (size_t i = 0; i < lines.size(); ++i)
            for (const std::string& prefix : c.stoppingLines)
                if (startsWith(lines[i], prefix))
                    ++stopping;
        EXPECT_EQ(stops.size(), stopping + 2) << run.out;
        for (size_t k = 1; k + 1 < stops.size(); ++k) {
            const std::string& before = lines[stops[k] - 1];
            const bool named = std::any_of(c.stoppingLines.begin(), c.stoppingLines.end(),
                                           [&](const std::string& p) { return startsWith(before, p); });
            EXPECT_TRUE(named) << "stop " << k << " after: " << before;
        }
    }
}

// The calculator on one line, stepping by semantic actions: the units,
// shifts, reductions and actions come in the parser's order and the run
// ends well.
TEST_F(DebugRun, TracesTheCalculator)
{
    const ProgramRun run = debugRun({"--stop", "sem"}, "1 + 2\n", std::string(20, '\n'));
    ASSERT_FALSE(run.timedOut) << run.out;
    EXPECT_EQ(run.exitCode, 0) << run.out;
    const std::vector<std::string> lines = run.lines();

    std::vector<std::string> tokens, actions;
    for (const std::string& l : lines) {
        if (startsWith(l, kTokenPrefix))
            tokens.push_back(l.substr(std::string(kTokenPrefix).size()));
        if (startsWith(l, "gramatika "))
            actions.push_back(l.substr(0, l.find(':')));
    }
    ASSERT_EQ(tokens.size(), 5u) << run.out;
    EXPECT_EQ(tokens[0], tokens[2]) << "both numbers are NUMBER";
    EXPECT_EQ(tokens[1], "43");
    EXPECT_EQ(tokens[3], "10");
    EXPECT_EQ(tokens[4], "0");

    auto at = [](int line) { return "gramatika " + std::to_string(line); };
    const int number = grammarLine("| NUMBER\t\t{");
    const int plus = grammarLine("expr '+' expr");
    const int print = grammarLine("| expr '\\n'");
    ASSERT_GT(number, 0);
    EXPECT_EQ(actions, (std::vector<std::string>{at(number), at(number), at(plus), at(print)}));
    // lines: empty, expr: NUMBER twice, expr '+' expr, line, lines line.
    EXPECT_EQ(countPrefixed(lines, "REDUKCIA: "), 6u);
    EXPECT_EQ(countPrefixed(lines, "POSUN: "), 4u); // 1, '+', 2, '\n'
    EXPECT_EQ(stopIndexes(lines).size(), 6u) << run.out;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kEndOk), 1);
    // The program's own output, after the analysis.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "3"), lines.end()) << run.out;
}

// Commands typed at the stops: a stop command replaces the flags, "free"
// or the end of the input lets the program finish unwatched, "halt" ends
// it while it is stopped.
TEST_F(DebugRun, StepCommandsFromTheInput)
{
    struct Case {
        const char* name;
        const char* script;
        size_t stops;
        int exitCode;
        bool analysisEnd;
    };
    const Case cases[] = {
        {"free at the first stop", "free\n", 1, 0, false},
        {"input ends at once", "", 1, 0, false},
        {"two units, then the input ends", "lex\nlex\n", 3, 0, false},
        {"an unknown command is skipped", "lex\nbogus\nlex\n", 3, 0, false},
        {"no error to stop at: only the end", "err\n", 2, 0, true},
        {"halt while stopped", "lex\nhalt\n", 2, 124, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = debugRun({}, "1 + 2\n", c.script);
        ASSERT_FALSE(run.timedOut) << run.out;
        EXPECT_EQ(run.exitCode, c.exitCode) << run.out;
        const std::vector<std::string> lines = run.lines();
        const std::vector<size_t> stops = stopIndexes(lines);
        EXPECT_EQ(stops.size(), c.stops) << run.out;
        ASSERT_FALSE(stops.empty());
        EXPECT_EQ(lines[stops.front() - 1], kStartTrace);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kEndOk), c.analysisEnd ? 1 : 0) << run.out;
        // Nothing is shown after the run went free or was ended.
        if (!c.analysisEnd) {
            for (size_t i = stops.back() + 1; i < lines.size(); ++i)
                EXPECT_FALSE(startsWith(lines[i], kTokenPrefix) || startsWith(lines[i], "POSUN: ")) << lines[i];
        }
        if (c.exitCode == 0) {
            EXPECT_NE(std::find(lines.begin(), lines.end(), "3"), lines.end()) << run.out;
        }
    }
}

// A bad --stop list is a usage error found before anything is built or
// switched.
TEST_F(DebugRun, BadStopListChangesNothing)
{
    const std::string before = readFile(dir / "calc.lyy");
    for (const char* list : {"bogus", "red,", ",sem", "red;sem"}) {
        SCOPED_TRACE(list);
        const ProgramRun run = debugRun({"--stop", list}, "1\n", "");
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(readFile(dir / "calc.lyy"), before);
    }
}

// A scanner without a parser still opens and closes the analysis; its
// units are the numbers of the rules that matched.
TEST_F(DebugRun, ScannerOnlyProjectOpensAndClosesTheAnalysis)
{
    copyExample("wc", {"wc.lye", "wc.l"}, dir);
    const ProgramRun run = debugRun({}, "ab c\nd\n", "state\n", "wc.lye");
    ASSERT_FALSE(run.timedOut) << run.out;
    EXPECT_EQ(run.exitCode, 0) << run.out;
    const std::vector<std::string> lines = run.lines();
    const std::vector<size_t> stops = stopIndexes(lines);
    ASSERT_EQ(stops.size(), 2u) << run.out;
    EXPECT_EQ(lines[stops[0] - 1], kStartTrace);
    EXPECT_EQ(lines[stops[1] - 1], kEndOk);
    // words ab, c, d are rule 1, the blanks rule 3, the line ends rule 2
    std::vector<std::string> units;
    for (const std::string& l : lines)
        if (startsWith(l, kTokenPrefix))
            units.push_back(l.substr(std::string(kTokenPrefix).size()));
    EXPECT_EQ(units, (std::vector<std::string>{"1", "3", "1", "2", "1", "2"}));
    EXPECT_NE(run.out.find("riadky: 2, slova: 3, znaky: 7"), std::string::npos) << run.out;
}

// The environment dies while the program waits at a stop: the program
// notices and finishes free instead of waiting for a reply for ever.
TEST_F(DebugRun, ProgramFinishesWhenTheDebuggerDies)
{
    writeFile(dir / "in.txt", "1 + 2\n");
    bool killed = false;
    const ProgramRun run = runWatched({vorkProgram(), "--debug-run", "calc.lyy", "--", "in.txt"}, dir.path(),
                                      uniqueSuffix(), kLimit, [&](const std::string& out, int pid) {
                                          if (!killed && out.find("[Zastaveny]") != std::string::npos) {
                                              ::kill(pid, SIGKILL);
                                              killed = true;
                                          }
                                      });
    // The output ends only when the generated compiler, which shares it,
    // has ended too.
    ASSERT_TRUE(killed) << run.out;
    ASSERT_FALSE(run.timedOut) << run.out;
    EXPECT_EQ(run.exitCode, 128 + SIGKILL);
    EXPECT_NE(run.out.find("\n3\n"), std::string::npos) << run.out;
}

// A debug build started without the environment finishes on its own.
TEST_F(DebugRun, DebugProgramWithoutEnvironmentRunsFree)
{
    const std::string input = "1 + 2 * 3\n(1 + 2) * 3\n3 + * 4\n";
    const std::string project = dir / "calc.lyy";
    ASSERT_EQ(runProgram({vorkProgram(), "--debug-mode", "on", project}, dir.path(), "", uniqueSuffix(), kLimit)
                  .exitCode,
              0);
    const ProgramRun make = runProgram({vorkProgram(), "--make", project}, dir.path(), "", uniqueSuffix(), kLimit);
    ASSERT_EQ(make.exitCode, 0) << make.out;
    ASSERT_NE(readFile(dir / "calc.cpp").find("// Ladiaca verzia prekladaca"), std::string::npos);
    writeFile(dir / "in.txt", input);
    const ProgramRun run = runProgram({dir / "calc.exe", "in.txt"}, dir.path(), "", uniqueSuffix(), kLimit);
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "7\n9\nriadok 3: syntax error\n");
}

} // namespace
