// The debug panel and the session around it: the change each record makes,
// the start display, titles and the enabled debug commands.
#include "support.h"

#include "vork/debuglink/debug_session.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <set>

using namespace vork::debuglink;
using namespace dltest;

namespace {

struct Prompts : DebugPrompts {
    bool answer = false;
    Lines asked, errors;
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        asked.push_back(caption + "|" + text);
        return answer;
    }
    void showError(const std::string& text) override { errors.push_back(text); }
};

struct Fixture {
    Prompts prompts;
    GrammarText grammar{true, {"%token A", "%%", "s : A { x(); } ;"}, ""};
    DebugSession session{"VORK - calc", [this] { return grammar; }, prompts};

    void feed(uint32_t kind, int32_t v1 = 0, int32_t v2 = 0) { session.showRecord(Record{kind, v1, v2}); }
};

} // namespace

// Every record after a start display, and what the panel shows then.
TEST(DebugPanel, WhatEachRecordShows)
{
    struct Case {
        std::vector<Record> records;
        Lines trace; // after "Start analyzy"
        std::string tokenCode, characters, stepLine;
        int selected = -1;
    };
    const Case cases[] = {
        {{{1, 0, 0}}, {"Syntakticka chyba !"}, "", "", ""},
        {{{2, 0, 0}}, {"Pretečený zásobnik syntaktického analyzátora !"}, "", "", ""},
        {{{3, 4, 2}}, {"Error recovery pops state 4 uncovers 2"}, "", "", ""},
        {{{3, -1, INT_MAX}}, {"Error recovery pops state -1 uncovers 2147483647"}, "", "", ""},
        {{{4, 7, 0}}, {"Error recovery discards 7 uncovers"}, "", "", ""},
        {{{4, INT_MIN, 0}}, {"Error recovery discards -2147483648 uncovers"}, "", "", ""},
        {{{12, 0, 0}}, {"Syntaktická analýza skončila v poriadku"}, "", "", ""},
        {{{12, 1, 0}}, {"Syntaktická analýza skončila s chybou!"}, "", "", ""},
        {{{12, -1, 0}}, {"Syntaktická analýza skončila s chybou!"}, "", "", ""},
        {{{5, 17, 0}}, {}, "", "", "REDUKCIA: 17"},
        {{{7, -3, 0}}, {}, "", "", "POSUN: -3"},
        {{{5, 1, 0}, {7, 2, 0}}, {}, "", "", "POSUN: 2"},
        {{{8, 258, 0}}, {}, "258", "", ""},
        {{{8, 0, 0}}, {}, "0", "", ""},
        {{{9, 'a', 0}, {9, 'b', 0}}, {}, "", "ab", ""},
        // A line end empties the field; the next characters start afresh.
        {{{9, 'a', 0}, {9, 10, 0}, {9, 'c', 0}}, {}, "", "c", ""},
        {{{9, 0, 0}}, {}, "", "", ""},
        {{{9, 0x141, 0}}, {}, "", "A", ""}, // only the low byte counts
        {{{9, 'x', 0}, {9, 'y', 0}, {10, 0, 0}}, {}, "", "x", ""},
        {{{10, 0, 0}, {10, 0, 0}}, {}, "", "", ""},
        {{{10, 0, 0}, {9, 'q', 0}}, {}, "", "q", ""},
        {{{6, 99, 0}}, {}, "", "", ""}, // State changes nothing at all
        // A semantic action selects its grammar line; a line out of range
        // clears the selection.
        {{{20, 1, 0}}, {}, "", "", "", 0},
        {{{20, 2, 0}, {20, 3, 0}}, {}, "", "", "", 2},
        {{{20, 2, 0}, {20, 4, 0}}, {}, "", "", "", -1},
        {{{20, 2, 0}, {20, 0, 0}}, {}, "", "", "", -1},
        {{{20, 2, 0}, {20, -5, 0}}, {}, "", "", "", -1},
        {{{20, 2, 0}, {20, INT_MAX, 0}}, {}, "", "", "", -1},
        // A second run starts with fresh lists but keeps the fields.
        {{{8, 5, 0}, {9, 'z', 0}, {5, 3, 0}, {1, 0, 0}, {20, 2, 0}, {12, 0, 0}, {11, 0, 0}}, {}, "5", "z", "REDUKCIA: 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.trace) + c.tokenCode + "|" + c.characters + "|" + c.stepLine);
        Fixture f;
        f.feed(11);
        for (const Record& r : c.records)
            f.session.showRecord(r);
        const DebugPanel& p = f.session.panel();
        Lines trace = c.trace;
        trace.insert(trace.begin(), "Start analyzy");
        EXPECT_EQ(p.trace(), trace);
        EXPECT_EQ(p.tokenCode(), c.tokenCode);
        EXPECT_EQ(p.characters(), c.characters);
        EXPECT_EQ(p.stepLine(), c.stepLine);
        EXPECT_EQ(p.selectedGrammarItem(), c.selected);
        EXPECT_EQ(p.grammar(), f.grammar.lines);
        EXPECT_EQ(p.inputStream(), "");
    }
}

TEST(DebugPanel, UnreadableGrammarAsksAndLeavesTheListEmpty)
{
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        Fixture f;
        f.prompts.answer = yes;
        f.feed(11);
        f.grammar = GrammarText{false, {}, "No such file or directory"};
        f.feed(11); // the first run's list is dropped
        EXPECT_EQ(f.prompts.asked, Lines{"Korvalen|Nie je možné otvoriť zdrojový súbor syntaktického analyzátora "
                                         "\nChcete vedieť viac ?"});
        EXPECT_EQ(f.prompts.errors, yes ? Lines{"No such file or directory"} : Lines{});
        EXPECT_TRUE(f.session.panel().grammar().empty());
        EXPECT_EQ(f.session.panel().trace(), Lines{"Start analyzy"});
        f.feed(20, 1);
        EXPECT_EQ(f.session.panel().selectedGrammarItem(), -1);
    }
}

TEST(DebugPanel, GrammarFileLines)
{
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"", {}},
        {"\n\n", {"", ""}},
        {"x\ty\r\n", {"x\ty"}},
        {std::string(100000, 'w') + "\n", {std::string(100000, 'w')}},
    };
    TempDir dir;
    const std::string path = dir.file("g.y");
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary) << c.bytes;
        GrammarText g = readGrammarFile(path);
        EXPECT_TRUE(g.ok);
        EXPECT_EQ(g.lines, c.lines);
    }
    GrammarText missing = readGrammarFile(dir.file("none.y"));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
}

TEST(DebugSession, TitlesAndCommands)
{
    Fixture f;
    const DebugCommandState& cmds = f.session.commands();
    EXPECT_FALSE(cmds.isEnabled("HM_BezKrok"));
    f.feed(11); // the start display enables all eighteen
    EXPECT_EQ(cmds.states().size(), 18u);
    for (const auto& [name, on] : cmds.states())
        EXPECT_TRUE(on) << name;

    // Running: only the four list commands stay on.
    f.session.showRunning();
    EXPECT_EQ(f.session.title(), "VORK - calc[Spusteny]");
    const std::set<std::string> lists = {"HM_Hlasenia", "HM_LexJednotky", "HM_PosuvyRedukcie", "HM_SemAction"};
    for (const auto& [name, on] : cmds.states())
        EXPECT_EQ(on, lists.count(name) == 1) << name;

    f.session.showStopped();
    EXPECT_EQ(f.session.title(), "VORK - calc[Zastaveny]");
    EXPECT_TRUE(cmds.isEnabled("BarLad_PoStav"));

    f.session.threadEnded();
    EXPECT_TRUE(f.session.ended());
    EXPECT_EQ(f.session.title(), "VORK - calc[Zastaveny]"); // left to the process runner
    for (const auto& [name, on] : cmds.states())
        EXPECT_FALSE(on) << name;
    EXPECT_THROW(cmds.isEnabled("HM_RunRun"), std::out_of_range);
}
