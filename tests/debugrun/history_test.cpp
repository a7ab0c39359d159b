// vork --debug-run looking back over the run: "back" and "fwd" move over
// the records while the program stays stopped, "stack" follows the view,
// and forward past the newest record lets the run go on.
#include "support.h"

#include "vork/debuglink/terminal_debugger.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace drtest;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

TEST(ViewMove, Parse)
{
    const struct {
        const char* line;
        bool ok;
        long delta;
    } cases[] = {
        {"back", true, -1}, {"fwd", true, 1},     {"back 3", true, -3}, {"fwd  12", true, 12},
        {"back 0", true, -1}, {"backup", false, 0}, {"fwd x", false, 0}, {"back -2", false, 0},
        {"back 99999999999", false, 0},
    };
    for (const auto& c : cases) {
        long delta = 0;
        EXPECT_EQ(vork::debuglink::parseViewMove(c.line, delta), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(delta, c.delta) << c.line;
        }
    }
}

TEST(DebugRunHistory, BackAndForwardOverTheRecords)
{
    TempDir dir;
    copyExample("calc", {"calc.lyy", "calc.l", "calc.y"}, dir);
    writeFile(dir / "in.txt", "1 + 2\n");
    // Stops: the start, "lines :", "expr : NUMBER" (there: back one
    // record, stack, back to the lexical unit and forward to where it was,
    // forward twice, the second going on), then Enter.
    const std::string script = "\n\nback\nstack\nback 2\nfwd 2\nfwd\nfwd\n" + std::string(40, '\n');
    const ProgramRun run = runProgram({vorkProgram(), "--debug-run", "calc.lyy", "--stop", "red", "--", "in.txt"},
                                      dir.path(), script, uniqueSuffix(), 120s);
    ASSERT_FALSE(run.timedOut) << run.out;
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const Lines lines = run.lines();
    Lines positions;
    for (const std::string& l : lines)
        if (l.rfind("záznam ", 0) == 0)
            positions.push_back(l);
    ASSERT_EQ(positions.size(), 4u) << run.out;
    const std::string total = positions[0].substr(positions[0].find(" / "));
    const long n = std::stol(total.substr(3));
    auto at = [&](long i) { return "záznam " + std::to_string(i) + total; };
    EXPECT_EQ(positions, (Lines{at(n - 1), at(n - 3), at(n - 1), at(n)}));
    // The panel as of the record before the reduction, and the stack as of
    // it: NUMBER is still on it, where the reduction's stop has popped it.
    const auto back = std::find(lines.begin(), lines.end(), positions[0]);
    ASSERT_GT(lines.end() - back, 6);
    EXPECT_EQ(back[1], "Kód lexikálnej jednotky: 257 (NUMBER)");
    EXPECT_EQ(back[4].rfind("POSUN: ", 0), 0u) << back[4];
    EXPECT_EQ(back[5].rfind("zásobník: 0 lines 1 NUMBER ", 0), 0u) << back[5];
    EXPECT_EQ(back[6], back[5]) << "stack follows the view";
    // At the lexical unit, the scanner rule that matched it, as at its stop.
    const auto unit = std::find(back + 1, lines.end(), positions[1]);
    ASSERT_GT(lines.end() - unit, 6);
    EXPECT_EQ(unit[6].rfind("skener ", 0), 0u) << unit[6];
    EXPECT_NE(unit[6].find("{D}+"), std::string::npos) << unit[6];
    // Forward past the newest record went on: the run reached its end.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Syntaktická analýza skončila v poriadku"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "3"), lines.end());
}

} // namespace
