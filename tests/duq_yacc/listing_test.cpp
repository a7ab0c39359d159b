// The state listing and the conflict explanations in the message list.
#include "explain.h"
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

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
    // Each grammar comes with the explanation it must get with the given
    // budget and the section of the listing for its conflicting state (or,
    // without a reported conflict, a state whose conflicts precedence
    // settled).  cex-budget's first conflict is not ambiguous and its
    // search is long; the second is found in a few pairs when the first
    // leaves it its share.
    const struct {
        const char* grammar;
        const char* expected;  // the .messages file
        double seconds;
    } cases[] = {
        {"dangling-else", "dangling-else", 2},
        {"expressions", "expressions", 2},
        {"reduce-reduce", "reduce-reduce", 2},
        {"lalr-merge", "lalr-merge", 2},
        {"two-tokens", "two-tokens", 2},
        {"no-conflict", "no-conflict", 2},
        {"budget", "budget", 2},
        {"budget", "budget-shared", 0.0005},   // 50 pairs: 25 for each
        {"budget", "budget-used-up", 0.00001},  // one pair, for the first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TempDir dir;
        const std::string base = std::string("cex-") + c.grammar;
        Options o = withListing();
        o.cexSeconds = c.seconds;
        const Generation g = generate(dataFile(base + ".y"), o);
        ASSERT_EQ(g.status, 0);
        EXPECT_TRUE(g.sinks.errors.empty());
        const std::vector<std::string> said = explanation(g.sinks.messages);
        EXPECT_EQ(said, lines(dataFile(std::string("cex-") + c.expected + ".messages")));
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
        double seconds;
        std::vector<std::string> starts;  // the start of each explanation line
    };
    const Case cases[] = {
        {"cex-dangling-else", 2,
         {"g.stv(66): konflikt v stave 6: posun/redukcia na ELSE", "    priklad: ", "    posun: ",
          "    redukcia pravidlom 1: ", "    zjednocujuci: "}},
        {"cex-lalr-merge", 2,
         {"g.stv(74): konflikt v stave 6: redukcia/redukcia na D", "    priklad: ", "    redukcia pravidlom 5: ",
          "    priklad: ", "    redukcia pravidlom 6: ", "    nezjednocujuci: ",
          "g.stv(74): konflikt v stave 6: redukcia/redukcia na E", "    priklad: ", "    redukcia pravidlom 5: ",
          "    priklad: ", "    redukcia pravidlom 6: ", "    nezjednocujuci: "}},
        {"cex-budget", 0.00001,
         {"g.stv(36): konflikt v stave 0: redukcia/redukcia na C", "    priklad: ", "    redukcia pravidlom 6: ",
          "    priklad: ", "    redukcia pravidlom 7: ",
          "    vstup citany oboma sposobmi sa nedohladal: cas na priklady sa minul; viac da --cex-time SEKUNDY "
          "(teraz 1e-05)",
          "g.stv(123): konflikt v stave 11: posun/redukcia na '-'", "    priklad: ", "    posun: ", "    priklad: ",
          "    redukcia pravidlom 4: ",
          "    vstup citany oboma sposobmi sa nehladal: cas na priklady sa minul; viac da --cex-time SEKUNDY "
          "(teraz 1e-05)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grammar);
        TempDir dir;
        Options o = withListing();
        o.slovak = 1;
        o.cexSeconds = c.seconds;
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

    // The run's end is looked at for only some of the conflicts: once seen,
    // every conflict after it says so, not only the ones it was seen at.
    writeFile("g.y", dataFile("operators21.y"));
    ASSERT_TRUE(duq_yacc::build_automaton("g.y", a, nullptr));
    for (const int lang : {0, 1}) {
        CounterexampleSearch search(a, std::chrono::steady_clock::now());
        const auto said = search.explainAll(lang, 2);
        ASSERT_EQ(said.size(), 441u);
        for (const auto& e : said)
            EXPECT_EQ(e.lines(), std::vector<std::string>{lang ? "priklad sa nehladal: cas na priklady sa minul"
                                                             : "no example: the time for examples is used up"});
    }
}

namespace {

duq_yacc::Automaton automatonOf(const std::string& text)
{
    writeFile("g.y", text);
    duq_yacc::Automaton a;
    std::string error;
    EXPECT_TRUE(duq_yacc::build_automaton("g.y", a, &error)) << error;
    return a;
}

std::string manyConflicts()
{
    // A fuzzed grammar of 99 conflicts, some of them long searches that
    // find nothing.
    return readFile(std::string(VORK_SOURCE_DIR) + "/fuzz/duq_yacc/corpus/many_conflicts.y");
}

} // namespace

// The unifying searches of one run draw on one budget of pairs: however
// many conflicts, the work stays within it, and a conflict it does not
// reach says so and names the option that gives more.
TEST(Listing, UnifyingSearchesShareOneBudget)
{
    using duq_yacc::detail::CounterexampleSearch;
    EXPECT_EQ(CounterexampleSearch::pairBudget(2), 200000u);
    EXPECT_EQ(CounterexampleSearch::pairBudget(0), 0u);
    EXPECT_EQ(CounterexampleSearch::pairBudget(-1), 0u);

    const struct {
        const char* name;
        std::string grammar;
        double seconds;
        size_t conflicts;
        size_t unifying;      // at least
        bool someNotSearched;
    } cases[] = {
        // Every conflict is an ambiguity found in a pair or two.
        {"operators, default", dataFile("operators21.y"), 2, 441, 441, false},
        {"operators, 100 pairs", dataFile("operators21.y"), 0.001, 441, 50, true},
        {"operators, none", dataFile("operators21.y"), 0, 441, 0, true},
        {"equations, default", dataFile("equations.y"), 2, 195, 195, false},
        {"equations, none", dataFile("equations.y"), 0, 195, 0, true},
        {"fuzzed, default", manyConflicts(), 2, 99, 45, true},
        {"fuzzed, 1,000 pairs", manyConflicts(), 0.01, 99, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const duq_yacc::Automaton a = automatonOf(c.grammar);
        CounterexampleSearch search(a);
        const std::vector<duq_yacc::detail::ConflictExample> said = search.explainAll(0, c.seconds);
        EXPECT_LE(search.pairsMade(), CounterexampleSearch::pairBudget(c.seconds));
        ASSERT_EQ(said.size(), c.conflicts);
        size_t unifying = 0, notSearched = 0;
        char hint[80];
        std::snprintf(hint, sizeof hint, "; --cex-time SECONDS (now %g) gives more", c.seconds);
        for (const auto& e : said) {
            const std::vector<std::string> shown = e.lines();
            ASSERT_FALSE(shown.empty());
            const std::string& verdict = shown.back();
            unifying += e.unifying;
            EXPECT_EQ(e.unifying, verdict.rfind("unifying: ", 0) == 0) << verdict;
            EXPECT_EQ(shown[0].rfind("example: ", 0), 0u) << shown[0];
            if (verdict.rfind("not searched ", 0) == 0) {
                ++notSearched;
                EXPECT_EQ(verdict.substr(verdict.size() - std::strlen(hint)), hint);
            }
        }
        EXPECT_GE(unifying, c.unifying);
        EXPECT_EQ(notSearched > 0, c.someNotSearched) << notSearched;
        if (c.seconds == 0) {
            // Nothing is searched, and every conflict with one input before
            // the dot says so.
            const size_t apart = static_cast<size_t>(std::count_if(said.begin(), said.end(), [](const auto& e) {
                return e.lines().back().find("need different inputs") != std::string::npos;
            }));
            EXPECT_EQ(notSearched + apart, c.conflicts);
        }
    }
}

// More budget never finds less, and always stays within itself.
TEST(Listing, MoreBudgetFindsMore)
{
    using duq_yacc::detail::CounterexampleSearch;
    TempDir dir;
    const duq_yacc::Automaton a = automatonOf(manyConflicts());
    size_t before = 0;
    for (double seconds : {0.0, 0.0001, 0.001, 0.01, 0.1, 1.0}) {
        SCOPED_TRACE(seconds);
        CounterexampleSearch search(a);
        const auto said = search.explainAll(1, seconds);
        EXPECT_LE(search.pairsMade(), CounterexampleSearch::pairBudget(seconds));
        const size_t found = static_cast<size_t>(
            std::count_if(said.begin(), said.end(), [](const auto& e) { return e.unifying; }));
        EXPECT_GE(found, before);
        before = found;
    }
    EXPECT_GT(before, 0u);
}

// One walk from the start serves every conflict in turn; each conflict
// searched on its own, from a fresh start, must come to the same lines.
// operators21.y has the most conflicts, 21 to a state, all ends reached in
// the same level of the walk.
TEST(Listing, OneWalkFindsWhatSeparateSearchesFind)
{
    using duq_yacc::detail::CounterexampleSearch;
    const char* grammars[] = {"equations.y", "operators21.y", "cex-budget.y", "cex-lalr-merge.y",
                              "cex-reduce-reduce.y", "cex-two-tokens.y"};
    for (const char* name : grammars) {
        SCOPED_TRACE(name);
        TempDir dir;
        const duq_yacc::Automaton a = automatonOf(dataFile(name));
        CounterexampleSearch shared(a);
        const auto all = shared.explainAll(0, 2);
        size_t i = 0;
        for (const duq_yacc::State& st : a.states)
            for (const duq_yacc::Conflict& c : st.conflicts) {
                if (!c.reported)
                    continue;
                ASSERT_LT(i, all.size());
                CounterexampleSearch alone(a);
                bool unifying = false;
                EXPECT_EQ(alone.explain(st.number, c, 0, 2, &unifying), all[i].lines()) << "state " << st.number;
                EXPECT_EQ(unifying, all[i].unifying);
                ++i;
            }
        EXPECT_EQ(i, all.size());
    }
}
