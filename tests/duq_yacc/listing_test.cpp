// The state listing and the conflict explanations in the message list.
#include "explain.h"
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

using namespace yacctest;

namespace {

using vorktest::lines;

// The lines between the last progress line and the result, without the
// summary: the explanations of the conflicts.
std::vector<std::string> explanation(const std::vector<std::string>& messages)
{
    std::vector<std::string> out;
    bool in = false;
    for (const std::string& m : messages) {
        if (m.rfind("Parser was written", 0) == 0 || m.rfind("Syntakticky analyzator bol", 0) == 0)
            break;
        // The summary: "conflicts: ", then counts ("1 shift/reduce", "1
        // rules never reduced").
        const bool summary = m == "conflicts: " || m == "Konflikty: " || (!m.empty() && std::isdigit(m[0]));
        if (in && !summary)
            out.push_back(m);
        if (m.rfind("Writing tables", 0) == 0 || m.rfind("Zapis tabuliek", 0) == 0)
            in = true;
    }
    return out;
}

Options withListing(const std::string& name = "g.stv")
{
    Options o;
    o.stateFile = name;
    return o;
}

} // namespace

TEST(Listing, ConflictsAreExplainedWithExamples)
{
    // Each grammar comes with the explanation it must get and the section
    // of the listing for its conflicting state (or, without a reported
    // conflict, a state whose conflicts precedence settled).
    const char* grammars[] = {"dangling-else", "expressions",  "reduce-reduce",
                              "lalr-merge",    "two-tokens",   "no-conflict"};
    for (const char* name : grammars) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string base = std::string("cex-") + name;
        const Generation g = generate(dataFile(base + ".y"), withListing());
        ASSERT_EQ(g.status, 0);
        EXPECT_TRUE(g.sinks.errors.empty());
        const std::vector<std::string> said = explanation(g.sinks.messages);
        EXPECT_EQ(said, lines(dataFile(base + ".messages")));
        const std::string listing = readFile("g.stv");
        EXPECT_NE(listing.find(dataFile(base + ".state")), std::string::npos) << listing;

        // "g.stv(N): conflict in state K": line N of the listing opens state K.
        const std::vector<std::string> listed = lines(listing);
        for (const std::string& m : said) {
            int line = 0, state = 0;
            if (std::sscanf(m.c_str(), "g.stv(%d): conflict in state %d:", &line, &state) != 2)
                continue;
            ASSERT_GE(line, 1);
            ASSERT_LE(line, static_cast<int>(listed.size()));
            EXPECT_EQ(listed[static_cast<size_t>(line - 1)], "state " + std::to_string(state));
        }
    }
}

TEST(Listing, SlovakRunsExplainInSlovak)
{
    struct Case {
        const char* grammar;
        std::vector<std::string> starts;  // the start of each explanation line
    };
    const Case cases[] = {
        {"cex-dangling-else",
         {"g.stv(66): konflikt v stave 6: posun/redukcia na ELSE", "    priklad: ", "    posun: ",
          "    redukcia pravidlom 1: ", "    zjednocujuci: "}},
        {"cex-lalr-merge",
         {"g.stv(74): konflikt v stave 6: redukcia/redukcia na D", "    priklad: ", "    redukcia pravidlom 5: ",
          "    priklad: ", "    redukcia pravidlom 6: ", "    nezjednocujuci: ",
          "g.stv(74): konflikt v stave 6: redukcia/redukcia na E", "    priklad: ", "    redukcia pravidlom 5: ",
          "    priklad: ", "    redukcia pravidlom 6: ", "    nezjednocujuci: "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grammar);
        TempDir dir;
        Options o = withListing();
        o.slovak = 1;
        const Generation g = generate(dataFile(std::string(c.grammar) + ".y"), o);
        ASSERT_EQ(g.status, 0);
        const std::vector<std::string> said = explanation(g.sinks.messages);
        ASSERT_EQ(said.size(), c.starts.size());
        for (size_t i = 0; i < said.size(); ++i)
            EXPECT_EQ(said[i].rfind(c.starts[i], 0), 0u) << said[i];
        EXPECT_EQ(readFile("g.stv").rfind("DUQ-yacc zoznam stavov pre \"g.y\"\n", 0), 0u);
    }
}

TEST(Listing, ParserIsTheSameWithOrWithoutIt)
{
    const char* grammars[] = {"cex-dangling-else", "cex-expressions", "cex-lalr-merge", "cex-no-conflict",
                              "mid-rule", "union"};
    for (const char* name : grammars) {
        for (int debug = 0; debug < 2; ++debug) {
            SCOPED_TRACE(std::string(name) + (debug ? " debug" : ""));
            TempDir dir;
            const std::string grammar = dataFile(std::string(name) + ".y");
            Options plain;
            plain.debug = debug;
            plain.cexSeconds = -1;  // the generator as it was before listings
            const Generation before = generate(grammar, plain);
            const std::string tokensBefore = debug ? readFile("g.lex") : "";
            ASSERT_EQ(before.status, 0);
            Options listed = withListing();
            listed.debug = debug;
            const Generation after = generate(grammar, listed);
            ASSERT_EQ(after.status, 0);
            EXPECT_EQ(body(after.output), body(before.output));
            if (debug) {
                EXPECT_EQ(readFile("g.lex"), tokensBefore);
            }
            EXPECT_FALSE(readFile("g.stv").empty());
            // Messages differ only by the explanations.
            std::vector<std::string> rest;
            for (const std::string& m : after.sinks.messages)
                if (m.rfind("g.stv(", 0) != 0 && m.rfind("    ", 0) != 0)
                    rest.push_back(m);
            EXPECT_EQ(rest, before.sinks.messages);
        }
    }
}

TEST(Listing, WithoutAStateFileTheExplanationHasNoLocation)
{
    TempDir dir;
    Options o;
    const Generation g = generate(dataFile("cex-dangling-else.y"), o);
    ASSERT_EQ(g.status, 0);
    const std::vector<std::string> said = explanation(g.sinks.messages);
    std::vector<std::string> expected = lines(dataFile("cex-dangling-else.messages"));
    expected[0] = expected[0].substr(expected[0].find(": ") + 2);
    EXPECT_EQ(said, expected);
    EXPECT_FALSE(exists("g.stv"));

    o.cexSeconds = -1;  // no examples: the conflict lines are the summary alone
    EXPECT_TRUE(explanation(generate(dataFile("cex-dangling-else.y"), o).sinks.messages).empty());
}

TEST(Listing, AListingThatCannotBeWrittenIsNoError)
{
    struct Case {
        const char* name;
        const char* stateFile;
    };
    const Case cases[] = {
        {"missing directory", "no/such/dir/g.stv"},
        {"the grammar itself", "g.y"},
        {"the parser itself", "g.cpp"},
        {"the skeleton, still to be read", "skel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string grammar = dataFile("cex-dangling-else.y");
        Options plain;
        plain.cexSeconds = -1;
        const std::string parser = body(generate(grammar, plain).output);
        const Generation g = generate(grammar, withListing(c.stateFile));
        EXPECT_EQ(g.status, 0);
        EXPECT_TRUE(g.sinks.errors.empty());
        EXPECT_EQ(readFile("g.y"), grammar);
        EXPECT_EQ(readFile("skel"), plain.skeleton);
        EXPECT_EQ(body(g.output), parser);
        const std::vector<std::string> said = explanation(g.sinks.messages);
        ASSERT_GE(said.size(), 2u);
        EXPECT_EQ(said[0], std::string("cannot write the state file \"") + c.stateFile + "\"");
        EXPECT_EQ(said[1], "conflict in state 6: shift/reduce on ELSE");  // no location to open
    }
}

TEST(Listing, FailedRunLeavesNoListing)
{
    TempDir dir;
    writeFile("g.y", dataFile("cex-dangling-else.y"));
    RecordingSinks sinks;
    EXPECT_EQ(duq_yacc::yacc_run(sinks, "no-skeleton", "g.y", "g.cpp", 0, nullptr, 0, "", "g.stv"), 1);
    EXPECT_FALSE(exists("g.stv"));
    EXPECT_FALSE(exists("g.cpp"));
}

// All the examples of one run share ten times one conflict's time, so a
// grammar with thousands of conflicts cannot hold a build for hours; a
// conflict reached after that end says so instead of searching.
TEST(Listing, ExamplesEndWithTheRunsTime)
{
    using duq_yacc::detail::CounterexampleSearch;
    EXPECT_EQ(CounterexampleSearch::totalSeconds(2), 20);
    EXPECT_EQ(CounterexampleSearch::totalSeconds(0.01), 1);

    TempDir dir;
    writeFile("g.y", dataFile("cex-dangling-else.y"));
    duq_yacc::Automaton a;
    ASSERT_TRUE(duq_yacc::build_automaton("g.y", a, nullptr));
    const duq_yacc::State* state = nullptr;
    for (const duq_yacc::State& s : a.states)
        if (!s.conflicts.empty() && s.conflicts[0].reported)
            state = &s;
    ASSERT_TRUE(state);
    const struct {
        std::chrono::steady_clock::time_point until;
        int lang;
        const char* first;
    } cases[] = {
        {std::chrono::steady_clock::time_point::max(), 0, "example: "},
        {std::chrono::steady_clock::now(), 0, "no example: the time for examples is used up"},
        {std::chrono::steady_clock::now(), 1, "priklad sa nehladal: cas na priklady sa minul"},
    };
    for (const auto& c : cases) {
        CounterexampleSearch search(a, c.until);
        bool unifying = true;
        const std::vector<std::string> said = search.explain(state->number, state->conflicts[0], c.lang, 2, &unifying);
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said[0].rfind(c.first, 0), 0u) << said[0];
        EXPECT_EQ(unifying, said.size() > 1);
    }
}
