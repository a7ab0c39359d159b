// The automaton API: what it says must be what the parser's tables do.
#include "duq_yacc/automaton.h"
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace yacctest;

namespace {

// The numbers of "short NAME[]={ ... };" in a parser file.
std::vector<int> array(const std::string& parser, const std::string& name)
{
    std::vector<int> v;
    const std::string head = "short " + name + "[]={";
    size_t at = parser.find(head);
    if (at == std::string::npos)
        return v;
    at += head.size();
    const size_t end = parser.find("};", at);
    std::string text = parser.substr(at, end - at);
    std::replace(text.begin(), text.end(), ',', ' ');
    std::istringstream in(text);
    int x;
    while (in >> x)
        v.push_back(x);
    return v;
}

struct Exceptions {
    std::map<int, std::vector<std::pair<int, int>>> entries;  // state: (token code, action)
    std::map<int, int> defaults;                              // state: default rule
};

Exceptions exceptionTable(const std::string& parser)
{
    Exceptions e;
    const size_t at = parser.find("short yyexca[] ={\n");
    std::istringstream in(parser.substr(at + 18, parser.find("\t};", at) - at - 18));
    std::string line;
    int state = -1;
    while (std::getline(in, line)) {
        int a = 0, b = 0;
        if (std::sscanf(line.c_str(), " %d, %d,", &a, &b) != 2)
            continue;
        if (a == -1)
            state = b;
        else if (a == -2)
            e.defaults[state] = b;
        else
            e.entries[state].emplace_back(a, b);
    }
    return e;
}

bool has(const std::vector<int>& v, int x)
{
    return std::find(v.begin(), v.end(), x) != v.end();
}

void expectAgreement(const duq_yacc::Automaton& a, const std::string& parser)
{
    const std::vector<int> r1 = array(parser, "yyr1"), r2 = array(parser, "yyr2"), chk = array(parser, "yychk"),
                           def = array(parser, "yydef");
    ASSERT_EQ(a.productions.size(), r1.size());
    for (const duq_yacc::Production& p : a.productions) {
        ASSERT_EQ(p.number, &p - a.productions.data());
        EXPECT_FALSE(a.symbols[static_cast<size_t>(p.lhs)].terminal);
        if (p.number == 0)
            continue;  // yyr1 and yyr2 hold 0 there
        EXPECT_EQ(r1[static_cast<size_t>(p.number)], a.symbols[static_cast<size_t>(p.lhs)].code);
        EXPECT_EQ(r2[static_cast<size_t>(p.number)], static_cast<int>(p.rhs.size()));
    }
    ASSERT_EQ(a.states.size(), chk.size());
    const Exceptions exca = exceptionTable(parser);
    for (const duq_yacc::State& s : a.states) {
        ASSERT_EQ(s.number, &s - a.states.data());
        // The state a transition enters is checked against its symbol.
        for (const duq_yacc::Transition& t : s.shifts) {
            ASSERT_TRUE(a.symbols[static_cast<size_t>(t.symbol)].terminal);
            EXPECT_EQ(chk[static_cast<size_t>(t.state)], a.symbols[static_cast<size_t>(t.symbol)].code);
        }
        for (const duq_yacc::Transition& t : s.gotos) {
            ASSERT_FALSE(a.symbols[static_cast<size_t>(t.symbol)].terminal);
            EXPECT_EQ(chk[static_cast<size_t>(t.state)], -a.symbols[static_cast<size_t>(t.symbol)].code);
        }
        const size_t n = static_cast<size_t>(s.number);
        if (def[n] != -2) {
            EXPECT_EQ(def[n], s.default_reduction) << "state " << s.number;
            EXPECT_EQ(exca.entries.count(s.number), 0u);
            continue;
        }
        EXPECT_EQ(exca.defaults.at(s.number), s.default_reduction) << "state " << s.number;
        for (const auto& [code, action] : exca.entries.at(s.number)) {
            int t = -1;
            for (int i = 0; i < a.terminal_count; ++i)
                if (a.symbols[static_cast<size_t>(i)].code == code)
                    t = i;
            ASSERT_GE(t, 0);
            if (action == -1) {
                EXPECT_TRUE(s.accepts && t == 0);
            } else if (action == 0) {
                EXPECT_TRUE(has(s.errors, t));
            } else {
                const auto r = std::find_if(s.reductions.begin(), s.reductions.end(),
                                            [&](const duq_yacc::Reduction& x) { return x.production == action; });
                ASSERT_NE(r, s.reductions.end());
                EXPECT_TRUE(has(r->lookaheads, t));
            }
        }
    }
}

} // namespace

TEST(Automaton, AgreesWithTheParserTables)
{
    struct Case {
        std::string name, grammar;
        int large;
    };
    const Case cases[] = {
        {"dangling else", dataFile("cex-dangling-else.y"), 0},
        {"expressions", dataFile("cex-expressions.y"), 0},
        {"precedence", dataFile("cex-no-conflict.y"), 0},
        {"lalr merge", dataFile("cex-lalr-merge.y"), 0},
        {"nonassociative", dataFile("nonassoc.y"), 0},
        {"mid-rule actions", dataFile("mid-rule.y"), 0},
        {"C", readFile(std::string(VORK_SOURCE_DIR) + "/tests/duq_yacc_e2e/data/c/c.y"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Options o;
        o.large = c.large;
        o.cexSeconds = -1;
        const Generation g = generate(c.grammar, o);
        ASSERT_EQ(g.status, 0);
        duq_yacc::Automaton a;
        std::string error = "unchanged";
        ASSERT_TRUE(duq_yacc::build_automaton("g.y", a, &error, c.large)) << error;
        EXPECT_EQ(error, "");
        expectAgreement(a, g.output);
    }
}

TEST(Automaton, RulesSymbolsAndConflicts)
{
    TempDir dir;
    writeFile("g.y", "%token IF ELSE X\n"   // 1
                     "%left '+'\n"          // 2
                     "%%\n"                 // 3
                     "s : IF s\n"           // 4
                     "  | IF s ELSE s\n"    // 5
                     "  | s '+' s\n"        // 6
                     "  | X { } y\n"        // 7
                     "  ;\n"
                     "y : ;\n");            // 9
    duq_yacc::Automaton a;
    ASSERT_TRUE(duq_yacc::build_automaton("g.y", a, nullptr));
    const int IF = a.find_symbol("IF"), ELSE = a.find_symbol("ELSE"), plus = a.find_symbol("'+'");
    const int s = a.find_symbol("s"), y = a.find_symbol("y"), act = a.find_symbol("$$4");
    ASSERT_TRUE(IF >= 0 && ELSE >= 0 && plus >= 0 && s >= 0 && y >= 0 && act >= 0);
    EXPECT_EQ(a.find_symbol("nothing"), -1);
    EXPECT_EQ(a.symbols[0].name, "$end");
    EXPECT_EQ(a.symbols[1].code, 256);
    EXPECT_EQ(a.symbols[static_cast<size_t>(IF)].code, 257);
    EXPECT_EQ(a.symbols[static_cast<size_t>(plus)].code, '+');
    EXPECT_TRUE(a.symbols[static_cast<size_t>(plus)].terminal);
    EXPECT_FALSE(a.symbols[static_cast<size_t>(s)].terminal);
    EXPECT_EQ(a.symbols[static_cast<size_t>(a.terminal_count)].name, "$accept");

    struct Rule {
        int lhs;
        std::vector<int> rhs;
        int line;
    };
    // The action inside rule 5 becomes rule 4, an empty rule of its own.
    const Rule rules[] = {{a.terminal_count, {s, 0}, 0}, {s, {IF, s}, 4},        {s, {IF, s, ELSE, s}, 5},
                          {s, {s, plus, s}, 6},          {act, {}, 7},          {s, {a.find_symbol("X"), act, y}, 7},
                          {y, {}, 9}};
    ASSERT_EQ(a.productions.size(), std::size(rules));
    for (size_t i = 0; i < std::size(rules); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.productions[i].lhs, rules[i].lhs);
        EXPECT_EQ(a.productions[i].rhs, rules[i].rhs);
        EXPECT_EQ(a.productions[i].line, rules[i].line);
    }
    EXPECT_EQ(a.states[0].kernel.size(), 1u);
    EXPECT_EQ(a.states[0].kernel[0].production, 0);
    EXPECT_EQ(a.states[0].kernel[0].dot, 0);

    // Reported (the rules of IF have no level): ELSE and '+' after "IF s",
    // '+' after "IF s ELSE s"; settled: '+' after "s + s" by associativity.
    int reported = 0, settled = 0;
    for (const duq_yacc::State& st : a.states)
        for (const duq_yacc::Conflict& c : st.conflicts) {
            EXPECT_EQ(c.kind, duq_yacc::ConflictKind::ShiftReduce);
            if (c.reported) {
                ++reported;
                EXPECT_EQ(c.choice, duq_yacc::ConflictChoice::Shift);
                EXPECT_EQ(c.rule, duq_yacc::ConflictRule::Default);
                EXPECT_TRUE((c.production == 1 && (c.symbol == ELSE || c.symbol == plus)) ||
                            (c.production == 2 && c.symbol == plus));
            } else {
                ++settled;
                EXPECT_EQ(c.symbol, plus);
                EXPECT_EQ(c.production, 3);
                EXPECT_EQ(c.rule, duq_yacc::ConflictRule::Associativity);
                EXPECT_EQ(c.choice, duq_yacc::ConflictChoice::Reduce);
            }
        }
    EXPECT_EQ(reported, 3);
    EXPECT_EQ(settled, 1);
}

TEST(Automaton, GrammarErrorsAndNoFilesWritten)
{
    struct Case {
        const char* name;
        const char* grammar;  // nullptr: no grammar file
        const char* error;
    };
    const Case cases[] = {
        {"missing grammar", nullptr, "line 1: cannot open input file"},
        {"syntax error", "%token A\n%%\ns : A\n%left\n", "line 4: "},
        {"undefined nonterminal", "%%\ns : a ;\n", "line 2: nonterminal \"a\" not defined!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (c.grammar)
            writeFile("g.y", c.grammar);
        duq_yacc::Automaton a;
        a.terminal_count = 99;  // left alone on failure
        std::string error;
        EXPECT_FALSE(duq_yacc::build_automaton("g.y", a, &error));
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        EXPECT_EQ(a.terminal_count, 99);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()),
                  c.grammar ? 1 : 0);
    }
    // A good grammar leaves nothing behind either.
    TempDir dir;
    writeFile("g.y", "%%\ns : 'a' ;\n");
    duq_yacc::Automaton a;
    ASSERT_TRUE(duq_yacc::build_automaton("g.y", a, nullptr));
    EXPECT_EQ(a.states.size(), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 1);
}
