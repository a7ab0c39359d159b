// What grammars from real programs bring along: %expect, the directives of
// other parser generators, stray NUL bytes, long names, and nonterminals
// that are used but never defined.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace yacctest;

namespace {

struct Expected {
    std::string english;
    std::string slovak;
    int line;
};

struct Case {
    const char* name;
    std::string grammar;
    int status;
    std::vector<Expected> errors;        // every error item, in order
    std::vector<std::string> inMessages; // lines that must be in the message list
    std::vector<std::string> inParser;   // texts that must be in the parser file
};

void check(const Case& c)
{
    for (int slovak = 0; slovak < 2; ++slovak) {
        SCOPED_TRACE(std::string(c.name) + (slovak ? " (Slovak)" : ""));
        TempDir dir;
        const Generation g = generate(c.grammar, slovak);
        EXPECT_EQ(g.status, c.status);
        ASSERT_EQ(g.sinks.errors.size(), c.errors.size()) << (g.sinks.errors.empty() ? "" : g.sinks.errors[0].text);
        for (size_t i = 0; i < c.errors.size(); ++i) {
            EXPECT_EQ(g.sinks.errors[i].text, slovak ? c.errors[i].slovak : c.errors[i].english);
            EXPECT_EQ(g.sinks.errors[i].line, c.errors[i].line);
        }
        for (const std::string& m : c.inMessages) {
            if (slovak)
                continue;  // the conflict lines' texts are checked in English
            EXPECT_NE(std::find(g.sinks.messages.begin(), g.sinks.messages.end(), m), g.sinks.messages.end()) << m;
        }
        for (const std::string& p : c.inParser)
            EXPECT_NE(g.output.find(p), std::string::npos) << p;
        // A failed run leaves no parser behind.
        EXPECT_EQ(exists("g.cpp"), c.status == 0);
    }
}

const std::string kIfElse = "%token IF ELSE X\n%%\ns : IF s | IF s ELSE s | X ;\n";  // 1 shift/reduce
const std::string kTwoReadings = "%%\ns : a | b ;\na : 'z' ;\nb : 'z' ;\n";       // 1 reduce/reduce
const std::string kBoth = "%token IF ELSE X\n%%\ns : IF s | IF s ELSE s | X | a 'x' | b 'x' ;\na : 'z' ;\nb : 'z' ;\n";

Expected srDiffers(int expected, int found, int line)
{
    return {vork::format("expected %d shift/reduce conflicts, found %d", expected, found),
            vork::format("ocakavanych konfliktov posun/redukcia: %d, najdenych: %d", expected, found), line};
}

Expected rrDiffers(int expected, int found, int line)
{
    return {vork::format("expected %d reduce/reduce conflicts, found %d", expected, found),
            vork::format("ocakavanych konfliktov redukcia/redukcia: %d, najdenych: %d", expected, found), line};
}

} // namespace

TEST(Directives, ExpectAndOtherGeneratorsDirectives)
{
    const std::vector<std::string> oneSr = {"conflicts: ", "1 shift/reduce"};
    const std::vector<std::string> oneRr = {"conflicts: ", "1 reduce/reduce"};
    const Case cases[] = {
        // Met counts: the conflict lines stay, the run is clean.
        {"expect met", "%expect 1\n" + kIfElse, 0, {}, oneSr, {}},
        {"upper case", "%EXPECT 1\n" + kIfElse, 0, {}, oneSr, {}},
        {"expect-rr met", "%expect-rr 1\n" + kTwoReadings, 0, {}, oneRr, {}},
        {"both met", "%expect 1\n%expect-rr 1\n" + kBoth, 0, {}, {"conflicts: ", "1 shift/reduce", "1 reduce/reduce"}, {}},
        // Other counts: both numbers, on the directive's line, after the
        // conflict lines.
        {"fewer expected", "%expect 0\n" + kIfElse, 1, {srDiffers(0, 1, 1)}, oneSr, {}},
        {"more expected", "%token Z\n%expect 2\n" + kIfElse, 1, {srDiffers(2, 1, 2)}, oneSr, {}},
        {"none found", "%expect 1\n%token A\n%%\ns : A ;\n%%\n", 1, {srDiffers(1, 0, 1)}, {}, {}},
        // Once one count is stated, the other one is 0.
        {"reduce/reduce unstated", "%expect 1\n" + kBoth, 1, {rrDiffers(0, 1, 1)}, {}, {}},
        {"shift/reduce unstated", "%expect-rr 0\n" + kIfElse, 1, {srDiffers(0, 1, 1)}, {}, {}},
        {"both differ", "%expect 0\n%expect-rr 0\n" + kBoth, 1, {srDiffers(0, 1, 1), rrDiffers(0, 1, 2)}, {}, {}},
        {"no number", "%expect X\n%%\ns : 'a' ;\n", 1, {{"bad %expect construction", "chybna %expect konstrukcia", 1}}, {}, {}},
        {"rr no number", "%token A\n%expect-rr ;\n", 1,
         {{"bad %expect-rr construction", "chybna %expect-rr konstrukcia", 2}}, {}, {}},
        // Directives of other generators are named as such.
        {"define", "%token A\n%define api.pure full\n%%\ns : A ;\n", 1,
         {{"%define is not supported by DUQ-yacc", "%define nie je v DUQ-yacc podporovane", 2}}, {}, {}},
        {"code", "%code requires { int x; }\n%%\ns : 'a' ;\n", 1,
         {{"%code is not supported by DUQ-yacc", "%code nie je v DUQ-yacc podporovane", 1}}, {}, {}},
        {"locations", "\n\n%locations\n", 1,
         {{"%locations is not supported by DUQ-yacc", "%locations nie je v DUQ-yacc podporovane", 3}}, {}, {}},
        {"pure-parser", "%pure-parser\n", 1,
         {{"%pure-parser is not supported by DUQ-yacc", "%pure-parser nie je v DUQ-yacc podporovane", 1}}, {}, {}},
        {"token-table", "%token A\n%token-table\n", 1,
         {{"%token-table is not supported by DUQ-yacc", "%token-table nie je v DUQ-yacc podporovane", 2}}, {}, {}},
        {"parse-param", "%Parse-Param { int *n }\n", 1,
         {{"%parse-param is not supported by DUQ-yacc", "%parse-param nie je v DUQ-yacc podporovane", 1}}, {}, {}},
        // A word no generator knows keeps its own message.
        {"unknown", "%tokens A\n", 1,
         {{"invalid escape, or illegal reserved word: tokens",
           "nedovolena 'escape' sekvencia, alebo nedovolene klucove slovo: tokens", 1}}, {}, {}},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(Directives, TheGrammarIsReadWhole)
{
    const std::string nul(1, '\0');
    auto nulAt = [](int line) { return Expected{"NUL character in the grammar", "znak NUL v gramatike", line}; };
    // Names that agree in their first 49 characters.
    const std::string stem(49, 'n'), one = stem + "_one", two = stem + "_two";
    const std::string tag(49, 't'), tagA = tag + "a", tagB = tag + "b";
    const Case cases[] = {
        // A NUL byte is an error on its line, wherever it stands.
        {"NUL between rules", "%token A\n%%\ns : A ;\n" + nul + "\nt : B ;\n%%\nint x;\n", 1, {nulAt(4)}, {}, {}},
        {"NUL in a rule", "%%\ns : 'a'" + nul + " t ;\nt : 'b' ;\n", 1, {nulAt(2)}, {}, {}},
        {"NUL in declarations", "%token A\n\n" + nul + "%token B\n%%\ns : A ;\n", 1, {nulAt(3)}, {}, {}},
        {"NUL in a literal", "%token 'a" + nul + "b'\n", 1, {nulAt(1)}, {}, {}},
        {"NUL in a tag", "%token <a" + nul + "b> A\n", 1, {nulAt(1)}, {}, {}},
        {"NUL in an action's tag", "%union { int a; }\n%%\ns : 'a' { $<a" + nul + ">$ = 1; } ;\n", 1,
         {{"bad syntax on $<ident> clause", "chybna syntax v $<ident> klauzule", 3}}, {}, {}},
        // Long names stay whole and distinct.
        {"long nonterminals", "%%\ns : " + one + " ;\n" + two + " : 'b' ;\n", 1,
         {{"nonterminal \"" + one + "\" not defined!", "neterminal \"" + one + "\" nebol definovany!", 2}}, {}, {}},
        {"long tokens", "%token " + one + " " + two + "\n%%\ns : " + one + " " + two + " ;\n", 0, {}, {},
         {"# define " + one + " 257\n# define " + two + " 258\n"}},
        {"long tags",
         "%union { int " + tagA + "; int " + tagB + "; }\n%token <" + tagA + "> A\n%token <" + tagB + "> B\n%type <" +
             tagA + "> s\n%%\ns : A B { $$ = $1 + $2 + $<" + tagB + ">2; } ;\n",
         0, {}, {},
         {"yyval." + tagA + " = yypvt[-1]." + tagA + " + yypvt[-0]." + tagB + " + yypvt[-0]." + tagB + ";"}},
        // An undefined nonterminal is reported where it is used first.
        {"first uses", "%%\ns : a 'x' ;\n\nt : s b\n  ;\n%%\n", 1,
         {{"nonterminal \"a\" not defined!", "neterminal \"a\" nebol definovany!", 2},
          {"nonterminal \"b\" not defined!", "neterminal \"b\" nebol definovany!", 4}}, {}, {}},
        {"use after %type", "%type <v> a\n%%\ns : 'x'\n  a ;\n", 1,
         {{"nonterminal \"a\" not defined!", "neterminal \"a\" nebol definovany!", 4}}, {}, {}},
        {"only in %type", "%type <v> c\n%%\ns : 'x' ;\n", 1,
         {{"nonterminal \"c\" not defined!", "neterminal \"c\" nebol definovany!", 1}}, {}, {}},
        {"%start", "%token A\n%start s\n%%\nt : A ;\n", 1,
         {{"nonterminal \"s\" not defined!", "neterminal \"s\" nebol definovany!", 2}}, {}, {}},
    };
    for (const Case& c : cases)
        check(c);
}
