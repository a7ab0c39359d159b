// The debug panel and the session around it: the change each record makes,
// the start display, titles and the enabled debug commands.
#include "vork/debuglink/debug_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

using namespace vork::debuglink;

namespace {

struct Prompts : DebugPrompts {
    bool answer = false;
    std::vector<std::string> asked;
    std::vector<std::string> errors;
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        asked.push_back(caption + "|" + text);
        return answer;
    }
    void showError(const std::string& text) override { errors.push_back(text); }
};

GrammarText grammarOf(std::vector<std::string> lines)
{
    GrammarText g;
    g.ok = true;
    g.lines = std::move(lines);
    return g;
}

struct Fixture {
    Prompts prompts;
    GrammarText grammar = grammarOf({"%token A", "%%", "s : A { x(); } ;"});
    DebugSession session{"VORK - calc", [this] { return grammar; }, prompts};

    void feed(uint32_t kind, int32_t v1 = 0, int32_t v2 = 0) { session.showRecord(Record{kind, v1, v2}); }
};

} // namespace

TEST(DebugPanel, TraceTexts)
{
    struct Case {
        uint32_t kind;
        int32_t v1, v2;
        const char* item;
    };
    const Case cases[] = {
        {1, 0, 0, "Syntakticka chyba !"},
        {2, 0, 0, "Pretečený zásobnik syntaktického analyzátora !"},
        {3, 4, 2, "Error recovery pops state 4 uncovers 2"},
        {3, -1, 2147483647, "Error recovery pops state -1 uncovers 2147483647"},
        {4, 7, 0, "Error recovery discards 7 uncovers"},
        {4, -2147483647 - 1, 0, "Error recovery discards -2147483648 uncovers"},
        {12, 0, 0, "Syntaktická analýza skončila v poriadku"},
        {12, 1, 0, "Syntaktická analýza skončila s chybou!"},
        {12, -1, 0, "Syntaktická analýza skončila s chybou!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Fixture f;
        f.feed(11);
        f.feed(c.kind, c.v1, c.v2);
        EXPECT_EQ(f.session.panel().trace(), (std::vector<std::string>{"Start analyzy", c.item}));
    }
}

TEST(DebugPanel, FieldsAndStepLine)
{
    struct Case {
        std::vector<Record> records;
        std::string tokenCode, characters, stepLine;
    };
    const Case cases[] = {
        {{{5, 17, 0}}, "", "", "REDUKCIA: 17"},
        {{{7, -3, 0}}, "", "", "POSUN: -3"},
        {{{5, 1, 0}, {7, 2, 0}}, "", "", "POSUN: 2"},
        {{{8, 258, 0}}, "258", "", ""},
        {{{8, 0, 0}}, "0", "", ""},
        {{{9, 'a', 0}, {9, 'b', 0}}, "", "ab", ""},
        // A line end empties the field; the next characters start afresh.
        {{{9, 'a', 0}, {9, 10, 0}, {9, 'c', 0}}, "", "c", ""},
        {{{9, 0, 0}}, "", "", ""},
        // Only the low byte counts: 0x141 is 'A'.
        {{{9, 0x141, 0}}, "", "A", ""},
        {{{9, 'x', 0}, {9, 'y', 0}, {10, 0, 0}}, "", "x", ""},
        {{{10, 0, 0}, {10, 0, 0}}, "", "", ""},
        {{{10, 0, 0}, {9, 'q', 0}}, "", "q", ""},
        // State changes nothing at all.
        {{{6, 99, 0}}, "", "", ""},
    };
    for (const Case& c : cases) {
        Fixture f;
        for (const Record& r : c.records)
            f.session.showRecord(r);
        const DebugPanel& p = f.session.panel();
        EXPECT_EQ(p.tokenCode(), c.tokenCode);
        EXPECT_EQ(p.characters(), c.characters);
        EXPECT_EQ(p.stepLine(), c.stepLine);
        EXPECT_TRUE(p.trace().empty());
        EXPECT_EQ(p.inputStream(), "");
    }
}

TEST(DebugPanel, SemanticActionSelectsItsGrammarLine)
{
    struct Case {
        int32_t line;
        int selected;
    };
    const Case cases[] = {{1, 0}, {3, 2}, {4, -1}, {0, -1}, {-5, -1}, {2147483647, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Fixture f;
        f.feed(11);
        f.feed(20, 2); // something selected before
        ASSERT_EQ(f.session.panel().selectedGrammarItem(), 1);
        f.feed(20, c.line);
        EXPECT_EQ(f.session.panel().selectedGrammarItem(), c.selected);
    }
}

TEST(DebugPanel, StartDisplayResetsListsButKeepsFields)
{
    Fixture f;
    f.feed(11);
    f.feed(8, 5);
    f.feed(9, 'z');
    f.feed(5, 3);
    f.feed(1);
    f.feed(20, 2);
    f.feed(12, 0);
    // The second run: a grammar edited in between.
    f.grammar = grammarOf({"only line"});
    f.feed(11);
    const DebugPanel& p = f.session.panel();
    EXPECT_EQ(p.trace(), std::vector<std::string>{"Start analyzy"});
    EXPECT_EQ(p.grammar(), std::vector<std::string>{"only line"});
    EXPECT_EQ(p.selectedGrammarItem(), -1);
    EXPECT_EQ(p.tokenCode(), "5");
    EXPECT_EQ(p.characters(), "z");
    EXPECT_EQ(p.stepLine(), "REDUKCIA: 3");
}

TEST(DebugPanel, UnreadableGrammarAsksAndLeavesTheListEmpty)
{
    for (bool yes : {false, true}) {
        Fixture f;
        f.prompts.answer = yes;
        f.feed(11);
        f.feed(20, 1); // the first run's list, to be dropped
        f.grammar = GrammarText{false, {}, "No such file or directory"};
        f.feed(11);
        EXPECT_EQ(f.prompts.asked,
                  std::vector<std::string>{"Korvalen|Nie je možné otvoriť zdrojový súbor syntaktického analyzátora "
                                           "\nChcete vedieť viac ?"});
        EXPECT_EQ(f.prompts.errors,
                  yes ? std::vector<std::string>{"No such file or directory"} : std::vector<std::string>{});
        EXPECT_TRUE(f.session.panel().grammar().empty());
        EXPECT_EQ(f.session.panel().trace(), std::vector<std::string>{"Start analyzy"});
        f.feed(20, 1);
        EXPECT_EQ(f.session.panel().selectedGrammarItem(), -1);
    }
}

TEST(DebugPanel, GrammarFileLines)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"", {}},
        {"\n\n", {"", ""}},
        {"x\ty\r\n", {"x\ty"}},
        {std::string(100000, 'w') + "\n", {std::string(100000, 'w')}},
    };
    char dir[] = "/tmp/vork-panel-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path = std::string(dir) + "/g.y";
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary) << c.bytes;
        GrammarText g = readGrammarFile(path);
        EXPECT_TRUE(g.ok);
        EXPECT_EQ(g.lines, c.lines);
    }
    std::remove(path.c_str());
    GrammarText missing = readGrammarFile(path);
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
    rmdir(dir);
}

TEST(DebugSession, TitlesAndCommands)
{
    Fixture f;
    const DebugCommandState& cmds = f.session.commands();
    EXPECT_FALSE(cmds.isEnabled("HM_BezKrok"));

    f.feed(11); // the start display enables all eighteen
    for (const auto& [name, on] : cmds.states())
        EXPECT_TRUE(on) << name;
    EXPECT_EQ(cmds.states().size(), 18u);

    f.session.showRunning();
    EXPECT_EQ(f.session.title(), "VORK - calc[Spusteny]");
    for (const char* name : {"HM_AfterLexJed", "HM_AfterSemAction", "HM_AfterBadSyntax", "HM_AfterReduction",
                             "HM_AfterPosuny", "HM_AfterStav", "HM_BezKrok", "BarLad_PoLex", "BarLad_PoSemAct",
                             "BarLad_PoSyntErr", "BarLad_PoReduk", "BarLad_PoPosun", "BarLad_PoStav",
                             "BarLad_BezKrok"})
        EXPECT_FALSE(cmds.isEnabled(name)) << name;
    for (const char* name : {"HM_Hlasenia", "HM_LexJednotky", "HM_PosuvyRedukcie", "HM_SemAction"})
        EXPECT_TRUE(cmds.isEnabled(name)) << name;

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
