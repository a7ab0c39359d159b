// vork --debug-run stopping after each lexical unit: the line of the .l
// rule that matched the unit follows the stop, for a parser project (whose
// units carry token codes) and for a scanner-only one (rule numbers).
#include "support.h"

#include <gtest/gtest.h>

namespace {

using namespace drtest;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

bool startsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }
bool endsWith(const std::string& s, const std::string& p)
{
    return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}

// The 1-based number and the text of the first line of file that starts
// with prefix.
std::pair<int, std::string> lineStarting(const std::string& file, const std::string& prefix)
{
    const std::string text = sourceFile(file);
    int number = 1;
    for (size_t pos = 0; pos < text.size(); ++number) {
        const size_t nl = text.find('\n', pos);
        const std::string line = text.substr(pos, nl - pos);
        if (startsWith(line, prefix))
            return {number, line};
        pos = nl == std::string::npos ? text.size() : nl + 1;
    }
    return {0, ""};
}

TEST(ScannerRuleStop, EachUnitStopShowsItsRule)
{
    struct Unit {
        const char* codeLineEnd; // how the unit's line ends
        const char* rule;        // how the rule's line begins; nullptr: none
    };
    struct Case {
        const char* example;
        Lines files;
        const char* project;
        const char* input;
        std::vector<Unit> units;
        size_t stops; // lexical units
    };
    const Case cases[] = {
        {"calc",
         {"calc.lyy", "calc.l", "calc.y"},
         "calc.lyy",
         "12 + a\n",
         {{"(NUMBER)", "{D}+\t"}, {"(NAME)", "{L}\t"}, {"('\\n')", "\\n\t"}, {"('+')", ".\t"}, {"($end)", nullptr}},
         5},
        {"wc",
         {"wc.lye", "wc.l"},
         "wc.lye",
         "ab c\n",
         {{" 1", "[^ \\t\\r\\n]+\t"}, {" 2", "\\n\t"}, {" 3", ".\t"}},
         4},
    };
    const std::string unitLine = "Kód lexikálnej jednotky: ";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.project);
        TempDir dir;
        copyExample(c.example, c.files, dir);
        writeFile(dir / "in.txt", c.input);
        const std::string spec = std::string("examples/") + c.example + "/" + c.example + ".l";
        const ProgramRun run = runProgram({vorkProgram(), "--debug-run", c.project, "--stop", "lex", "--", "in.txt"},
                                          dir.path(), std::string(100, '\n'), uniqueSuffix(), 120s);
        ASSERT_FALSE(run.timedOut) << run.out;
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const Lines lines = run.lines();
        size_t unitStops = 0;
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            if (!startsWith(lines[i], "titulok: ") || !endsWith(lines[i], "[Zastaveny]") ||
                !startsWith(lines[i - 1], unitLine))
                continue;
            ++unitStops;
            const Unit* unit = nullptr;
            for (const Unit& u : c.units)
                if (endsWith(lines[i - 1], u.codeLineEnd))
                    unit = &u;
            ASSERT_TRUE(unit) << lines[i - 1];
            if (!unit->rule) {
                EXPECT_FALSE(startsWith(lines[i + 1], "skener ")) << lines[i + 1];
                continue;
            }
            const auto [number, text] = lineStarting(spec, unit->rule);
            ASSERT_GT(number, 0) << unit->rule;
            EXPECT_EQ(lines[i + 1], "skener " + std::to_string(number) + ": " + text) << lines[i - 1];
        }
        EXPECT_EQ(unitStops, c.stops);
    }
}

} // namespace
