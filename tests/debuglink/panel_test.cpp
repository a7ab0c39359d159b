// The debug panel: the change each record makes after the start display.
#include "support.h"

#include "vork/debuglink/debug_session.h"

#include <gtest/gtest.h>

#include <climits>

using namespace vork::debuglink;
using namespace dltest;

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
        {{{4, 7, 0}}, {"Error recovery discards 7 uncovers"}, "", "", ""},
        {{{12, 0, 0}}, {"Syntaktická analýza skončila v poriadku"}, "", "", ""},
        {{{12, 1, 0}}, {"Syntaktická analýza skončila s chybou!"}, "", "", ""},
        {{{12, -1, 0}}, {"Syntaktická analýza skončila s chybou!"}, "", "", ""},
        {{{5, 1, 0}, {7, -3, 0}}, {}, "", "", "POSUN: -3"},
        {{{7, 1, 0}, {5, 17, 0}}, {}, "", "", "REDUKCIA: 17"},
        {{{8, 258, 0}}, {}, "258", "", ""},
        // A line end empties the field; a 0 byte appends nothing.
        {{{9, 'a', 0}, {9, 10, 0}, {9, 0, 0}, {9, 'c', 0}}, {}, "", "c", ""},
        {{{9, 0x141, 0}}, {}, "", "A", ""}, // only the low byte counts
        {{{9, 'x', 0}, {9, 'y', 0}, {10, 0, 0}}, {}, "", "x", ""},
        {{{10, 0, 0}, {10, 0, 0}, {9, 'q', 0}}, {}, "", "q", ""},
        {{{6, 99, 0}}, {}, "", "", ""}, // State changes nothing at all
        // A semantic action selects its grammar line; one out of range
        // clears the selection.
        {{{20, 1, 0}}, {}, "", "", "", 0},
        {{{20, 2, 0}, {20, 3, 0}}, {}, "", "", "", 2},
        {{{20, 2, 0}, {20, 4, 0}}, {}, "", "", "", -1},
        {{{20, 2, 0}, {20, 0, 0}}, {}, "", "", "", -1},
        {{{20, 2, 0}, {20, INT_MIN, 0}}, {}, "", "", "", -1},
        // A second run starts with fresh lists but keeps the fields.
        {{{8, 5, 0}, {9, 'z', 0}, {5, 3, 0}, {1, 0, 0}, {20, 2, 0}, {12, 0, 0}, {11, 0, 0}}, {}, "5", "z", "REDUKCIA: 3"},
    };
    const GrammarText grammar{true, {"%token A", "%%", "s : A { x(); } ;"}, ""};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.trace) + c.tokenCode + "|" + c.characters + "|" + c.stepLine);
        NoPrompts prompts;
        DebugSession session("VORK", [&] { return grammar; }, prompts);
        session.showRecord(Record{11, 0, 0});
        for (const Record& r : c.records)
            session.showRecord(r);
        const DebugPanel& p = session.panel();
        Lines trace = c.trace;
        trace.insert(trace.begin(), "Start analyzy");
        EXPECT_EQ(p.trace(), trace);
        EXPECT_EQ(p.tokenCode(), c.tokenCode);
        EXPECT_EQ(p.characters(), c.characters);
        EXPECT_EQ(p.stepLine(), c.stepLine);
        EXPECT_EQ(p.selectedGrammarItem(), c.selected);
        EXPECT_EQ(p.grammar(), grammar.lines);
    }
}
