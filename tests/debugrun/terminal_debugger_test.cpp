// The terminal debugger's pieces: command names, the --stop list, the lines
// printed for the panel's changes, and the command reader.
#include "vork/debuglink/debug_panel.h"
#include "vork/debuglink/record.h"
#include "vork/debuglink/terminal_debugger.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vork::debuglink;

namespace {

TEST(StepCommandNames, FollowTheStepTableOrder)
{
    ASSERT_EQ(kStepCommandNames.size(), kStepCommands.size());
    for (size_t i = 0; i < kStepCommandNames.size(); ++i) {
        const auto cmd = parseStepCommand(kStepCommandNames[i]);
        ASSERT_TRUE(cmd.has_value()) << kStepCommandNames[i];
        EXPECT_EQ(*cmd, kStepCommands[i].command) << kStepCommandNames[i];
    }
    for (const char* bad : {"", "LEX", "halt", "lex ", "reduction"})
        EXPECT_FALSE(parseStepCommand(bad).has_value()) << bad;
}

TEST(StopList, SetsEveryNamedFlag)
{
    struct Case {
        const char* list;
        bool ok;
        StepFlags flags;
        const char* bad;
    };
    auto f = [](bool sem, bool lex, bool err, bool red, bool shift, bool state, bool free) {
        StepFlags s;
        s.afterSemanticAction = sem;
        s.afterLexicalUnit = lex;
        s.afterSyntaxError = err;
        s.afterReduction = red;
        s.afterShift = shift;
        s.afterState = state;
        s.runFree = free;
        return s;
    };
    const Case cases[] = {
        {"red,sem", true, f(true, false, false, true, false, false, false), ""},
        {"lex", true, f(false, true, false, false, false, false, false), ""},
        {"err,shift,state", true, f(false, false, true, false, true, true, false), ""},
        {"sem,sem", true, f(true, false, false, false, false, false, false), ""},
        {"free", true, f(false, false, false, false, false, false, true), ""},
        {"", false, {}, ""},
        {"red,", false, {}, ""},
        {"red,,sem", false, {}, ""},
        {"red,semantic", false, {}, "semantic"},
    };
    for (const Case& c : cases) {
        StepFlags flags = f(true, true, true, true, true, true, true);
        const StepFlags before = flags;
        std::string bad = "?";
        EXPECT_EQ(parseStopList(c.list, flags, bad), c.ok) << c.list;
        if (c.ok) {
            EXPECT_TRUE(flags == c.flags) << c.list;
        } else {
            EXPECT_TRUE(flags == before) << c.list << ": flags changed by a bad list";
            EXPECT_EQ(bad, c.bad) << c.list;
        }
    }
}

class NoOwner : public DebugPanelOwner {
public:
    void enableDebugCommands() override {}
    GrammarText loadGrammar() override
    {
        GrammarText g;
        g.ok = true;
        g.lines = {"first", "second", "third"};
        return g;
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void showErrorText(const std::string&) override {}
};

TEST(PanelPrinter, PrintsWhatEachRecordChanged)
{
    struct Step {
        uint32_t kind;
        int32_t v1;
        int32_t v2;
        std::vector<std::string> lines;
    };
    const std::string token = std::string(kLabelTokenCode) + " ";
    const std::string chars = std::string(kLabelLexicalUnit) + " ";
    const std::vector<Step> steps = {
        {11, 0, 0, {"Start analyzy"}},
        {6, 4, 0, {}},
        {9, 'a', 0, {chars + "a"}},
        {9, 'b', 0, {chars + "ab"}},
        {10, 0, 0, {chars + "a"}},
        {9, 0, 0, {}}, // a 0 byte appends nothing
        {8, 257, 0, {token + "257"}},
        {8, 257, 0, {token + "257"}}, // the same unit again is a unit of its own
        {7, 5, 0, {"POSUN: 5"}},
        {5, 3, 0, {"REDUKCIA: 3"}},
        {5, 3, 0, {"REDUKCIA: 3"}},
        {20, 2, 0, {"gramatika 2: second"}},
        {20, 2, 0, {"gramatika 2: second"}},
        {20, 9, 0, {}}, // no such line: nothing selected, nothing shown
        {9, 10, 0, {chars}},
        {3, 4, 2, {"Error recovery pops state 4 uncovers 2"}},
        {4, 7, 0, {"Error recovery discards 7 uncovers"}},
        {1, 0, 0, {"Syntakticka chyba !"}},
        {12, 1, 0, {"Syntaktická analýza skončila s chybou!"}},
        // A second analysis on the same panel starts a fresh trace.
        {11, 0, 0, {"Start analyzy"}},
        {12, 0, 0, {"Syntaktická analýza skončila v poriadku"}},
    };
    DebugPanel panel;
    NoOwner owner;
    PanelPrinter printer;
    for (size_t i = 0; i < steps.size(); ++i) {
        panel.show(steps[i].kind, steps[i].v1, steps[i].v2, owner);
        EXPECT_EQ(printer.changes(panel, steps[i].kind), steps[i].lines) << "step " << i;
    }
}

TEST(LineReader, SplitsLinesAndEndsAtTheEnd)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const std::string text = "lex\r\n\n  red \nfree";
    ASSERT_EQ(::write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fds[1]);
    LineReader reader(fds[0]);
    std::vector<std::string> got;
    std::string line;
    LineReader::Result r;
    while ((r = reader.next(line, nullptr)) == LineReader::Result::Line)
        got.push_back(line);
    EXPECT_EQ(r, LineReader::Result::End);
    EXPECT_EQ(got, (std::vector<std::string>{"lex", "", "  red ", "free"}));
    EXPECT_EQ(reader.next(line, nullptr), LineReader::Result::End);
    ::close(fds[0]);
}

TEST(LineReader, GivesUpWhenCancelledWithoutInput)
{
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    LineReader reader(fds[0]);
    int asked = 0;
    std::string line;
    EXPECT_EQ(reader.next(line, [&] { return ++asked >= 3; }, 10), LineReader::Result::Cancelled);
    EXPECT_EQ(asked, 3);
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
