// Lex specifications run end to end: each case is generated, compiled and
// run on its input, with optimised tables and with plain ones as C++, and
// with optimised tables as C; every scanner must print exactly the
// expected text.
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct Case {
    const char* name;
    std::string defs;   // definitions section after the common %{ %} block
    std::string rules;  // rules section
    std::string user;   // user code; empty: a yywrap of 1 and a main that scans stdin
    std::string input;  // standard input
    std::string expected;
    std::string errContains = "";  // "": standard error must stay empty
    std::vector<std::pair<std::string, std::string>> files = {};
    std::vector<std::string> args = {};
};

// What a user's specification declares up front: yylex() calls yywrap(),
// and REJECT calls yyreject(), before the skeleton that defines them.
const char* const kPrologue =
    "%{\n"
    "#include <stdio.h>\n"
    "#include <stdlib.h>\n"
    "int yywrap(void);\n"
    "int yyreject(void);\n"
    "%}\n";

const char* const kDefaultUser =
    "int yywrap(void) { return 1; }\n"
    "int main(void) { yylex(); return 0; }\n";

const char* const kFilesUser = R"L(static char **files;
static int nfiles, next;
int yywrap(void) { if (next >= nfiles) return 1; fclose(yyin); yyin = fopen(files[next++], "r"); return yyin ? 0 : 1; }
int main(int argc, char **argv) { files = argv + 1; nfiles = argc - 1; next = 0; if (nfiles > 0) yyin = fopen(files[next++], "r"); yylex(); printf("end\n"); return 0; }
)L";

std::string specOf(const Case& c)
{
    return kPrologue + c.defs + "%%\n" + c.rules + "%%\n" + (c.user.empty() ? kDefaultUser : c.user);
}

std::string repeat(char ch, size_t n) { return std::string(n, ch); }

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"classes", "",
         "[a-z]+\t{ printf(\"W(%s)\", yytext); }\n"
         "[^a-z\\n]+\t{ printf(\"N(%s)\", yytext); }\n",
         "", "abc12 x\n", "W(abc)N(12 )W(x)\n"},
        {"class_ranges_reversed_and_escaped", "",
         "[z-x]+\t{ printf(\"R(%s)\", yytext); }\n"
         "[\\t-]+\t{ printf(\"E(%d)\", yyleng); }\n",
         "", "xzy-\t-a\n", "R(xzy)E(3)a\n"},
        {"strings_and_escapes", "",
         R"L("a+b"	{ printf("S"); }
\t	{ printf("T"); }
"\"q\""	{ printf("Q"); }
\101	{ printf("O"); }
)L",
         "", "a+b\t\"q\"Aa\n", "STQOa\n"},
        {"definitions", "D\t[0-9]\nL\t[a-z]\n",
         "{L}({L}|{D})*\t{ printf(\"ID(%s)\", yytext); }\n"
         "{D}+\t{ printf(\"NUM(%s)\", yytext); }\n",
         "", "x1 42 y\n", "ID(x1) NUM(42) ID(y)\n"},
        {"repetition_counts", "",
         "a{2,3}\t{ printf(\"[%s]\", yytext); }\n"
         "b{2}\t{ printf(\"<%s>\", yytext); }\n"
         "c{2,}\t{ printf(\"{%s}\", yytext); }\n"
         "(xy){2}\t{ printf(\"(%s)\", yytext); }\n",
         "", "aaaaa bbb ccccc c xyxyxy\n", "[aaa][aa] <bb>b {ccccc} c (xyxy)xy\n"},
        {"alternation_and_optional", "",
         "(ab|cd)?e\t{ printf(\"[%s]\", yytext); }\n",
         "", "abe cde e ab\n", "[abe] [cde] [e] ab\n"},
        {"shared_action_bar", "",
         "x\t|\n"
         "y\t{ printf(\"XY(%s)\", yytext); }\n",
         "", "xyz\n", "XY(x)XY(y)z\n"},
        {"line_start_and_end", "",
         "^a\t{ printf(\"START\"); }\n"
         "a$\t{ printf(\"END\"); }\n"
         "a\t{ printf(\"MID\"); }\n",
         "", "aaa\na\nba\n", "STARTMIDEND\nEND\nbEND\n"},
        {"trailing_context", "",
         "ab/cd\t{ printf(\"H(%s)\", yytext); }\n"
         "abc\t{ printf(\"ABC\"); }\n"
         "x+/y\t{ printf(\"T(%s)\", yytext); }\n"
         ".\t{ ECHO; }\n",
         "", "abcd abce xxxy\n", "H(ab)cd ABCe T(xxx)y\n"},
        {"start_conditions", "%s STR\n",
         R"L(<INITIAL>\"	{ BEGIN STR; printf("<"); }
<STR>[^"]+	{ printf("s(%s)", yytext); }
<STR>\"	{ BEGIN INITIAL; printf(">%d", YYSTATE); }
[a-z]+	{ printf("w(%s)", yytext); }
)L",
         "", "ab \"cd ef\" gh\n", "w(ab) <s(cd ef)>2 w(gh)\n"},
        {"start_condition_at_line_start", "%s C\n",
         "<C>^b\t{ printf(\"CB\"); }\n"
         "<C>b\t{ printf(\"cb\"); }\n"
         "<INITIAL>b\t{ printf(\"ib\"); }\n"
         "c\t{ BEGIN C; }\n",
         "", "b\ncb\nb\n", "ib\ncb\nCB\n"},
        {"reject_to_shorter_matches", "",
         "abc\t{ printf(\"1(%s)\", yytext); REJECT; }\n"
         "ab\t{ printf(\"2(%s)\", yytext); REJECT; }\n"
         "a\t{ printf(\"3(%s)\", yytext); }\n",
         "", "abc\n", "1(abc)2(ab)3(a)bc\n"},
        {"reject_until_nothing_is_left", "",
         "abc\t{ printf(\"1(%s)\", yytext); REJECT; }\n"
         "a\t{ printf(\"3(%s)\", yytext); REJECT; }\n",
         "", "abc\n", "1(abc)3(a)abc\n"},
        {"reject_to_next_rule_same_length", "",
         "she\t{ printf(\"[she]\"); REJECT; }\n"
         "[a-z]+\t{ printf(\"<%s>\", yytext); }\n",
         "", "she he\n", "[she]<she> <he>\n"},
        {"reject_from_trailing_context_to_longer_token", "",
         "ab/c\t{ printf(\"T(%s)\", yytext); REJECT; }\n"
         "abc\t{ printf(\"F(%s)\", yytext); }\n",
         "", "abc\n", "T(ab)F(abc)\n"},
        {"reject_counts_overlapping_words", "\tint s, h;\n",
         "she\t{ s++; REJECT; }\n"
         "he\t{ h++; REJECT; }\n"
         "\\n\t|\n"
         ".\t;\n",
         "int yywrap(void) { return 1; }\n"
         "int main(void) { yylex(); printf(\"s%d h%d\\n\", s, h); return 0; }\n",
         "she sells; he shed\n", "s2 h3\n"},
        {"yymore_appends", "",
         "a+\t{ yymore(); }\n"
         "b\t{ printf(\"[%s:%d]\", yytext, yyleng); }\n",
         "", "aab b\n", "[aab:3] [b:1]\n"},
        {"input_and_unput", "",
         R"L("/*"	{ int c, p = 0; while ((c = input()) != 0) { if (p == '*' && c == '/') break; p = c; } printf("C"); }
x	{ unput('y'); unput('z'); }
z	{ printf("Z"); }
y	{ printf("Y"); }
[a-w]+	{ printf("w(%s)", yytext); }
)L",
         "", "ab/* x * y */cd x\n", "w(ab)Cw(cd) ZY\n"},
        {"input_reads_to_end_of_input", "",
         R"L("/*"	{ int c, n = 0; while ((c = input()) != 0) n++; printf("C%d", n); }
)L",
         "", "x/* abc", "xC4"},
        {"line_numbers_survive_lookahead", "",
         "[a-z]+\t{ ECHO; }\n"
         "\\n\t{ printf(\"<%d>\\n\", yylineno); }\n",
         "", "aa\nbb\n\ncc\n", "aa<2>\nbb<3>\n<4>\ncc<5>\n"},
        {"yywrap_moves_through_files", "",
         "[a-z]+\t{ printf(\"w(%s)\", yytext); }\n",
         kFilesUser, "", "w(ab)w(cd)\nw(ef)end\n", "",
         {{"f1", "ab"}, {"f2", "cd\n"}, {"f3", ""}, {"f4", "ef"}},
         {"f1", "f2", "f3", "f4"}},
        {"empty_rules_section_copies_input", "", "", "",
         "hello \xff\x01 world\n"s, "hello \xff\x01 world\n"s},
        {"translation_table", "%T\n1\tAa\n2\tBb\n3\t\\n\n%T\n",
         "A+\t{ printf(\"A%d\", yyleng); }\n"
         "^B\t{ printf(\"LB\"); }\n"
         "B\t{ printf(\"B\"); }\n"
         "\\n\t{ printf(\"NL%d\", yylineno); }\n",
         "", "\x02\x01\x01\x02\x03\x02"s, "LBA2BNL2LB"},
        // Characters that share a code are one input byte, so the rules
        // name them together.
        {"translation_table_with_codes_above_127", "%T 256\n1\tAa\n200\tBb\n3\t\\n\n%T\n",
         "[Aa]+\t{ printf(\"A%d\", yyleng); }\n"
         "[^AaBb\\n]\t{ printf(\"o\"); }\n"
         "[Bb]\t{ printf(\"B\"); }\n"
         "\\n\t{ printf(\"NL\"); }\n",
         "", "\x01\xc8\x03\x01\x01\x05\x03"s, "A1BNLA2oNL"},
        // A and a share a code but not a rule.  The byte is the code; the
        // plain tables give it the target of a, the later character, and
        // the optimised ones must too, also where a line-start state falls
        // back on the state that differs from it only in A.
        {"translation_table_code_of_distinct_characters", "%T\n1\tAa\n2\tBb\n3\t\\n\n%T\n",
         "^A\t{ printf(\"3\"); }\n"
         "A\t{ printf(\"1\"); }\n"
         "a\t{ printf(\"2\"); }\n"
         "\\n\t{ printf(\"N\"); }\n",
         "", "\x01\x03\x01\x01\x03"s, "2N22N"},
        {"bytes_above_127_and_nul", "",
         "[a-z]+\t{ printf(\"w(%s)\", yytext); }\n",
         "", "ab\xe9\xff" "cd\x80\0e\n"s, "w(ab)\xe9\xffw(cd)\x80\0w(e)\n"s},
        {"negated_class_over_most_characters", "",
         "\"#\"[^\\n]*\t{ printf(\"C(%d)\", yyleng); }\n"
         "[^#\\n]+\t{ printf(\"T\"); }\n",
         "", "ab#cd ef\nx#\n", "TC(6)\nTC(1)\n"},
        {"token_longer_than_yylmax_is_split", "",
         "[a-z]+\t{ printf(\"w%d \", yyleng); }\n",
         "", repeat('a', 450) + "\n", "w200 w200 w50 \n", "YYLMAX"},
        {"yymore_beyond_yylmax_drops_kept_text", "",
         "a\t{ yymore(); }\n"
         "b\t{ printf(\"[%d]\", yyleng); }\n",
         "", repeat('a', 450) + "b\n", "[51]\n", "YYLMAX"},
        {"automaton_of_128_states", "",
         "a{126}\t{ printf(\"X\"); }\n",
         "", repeat('a', 126) + "\n" + repeat('a', 125) + "\n", "X\n" + repeat('a', 125) + "\n"},
        {"automaton_of_129_states", "",
         "a{127}\t{ printf(\"X\"); }\n",
         "", repeat('a', 127) + "\n", "X\n"},
    };
    return all;
}

struct Param {
    size_t index;
    bool optimise;
    bool asC;  // the scanner compiled as C rather than C++
};

std::string suffixOf(const Param& p) { return std::string(p.optimise ? "_optimised" : "_plain") + (p.asC ? "_c" : ""); }

void PrintTo(const Param& p, std::ostream* os) { *os << cases()[p.index].name << suffixOf(p); }

class LexE2E : public ::testing::TestWithParam<Param> {};

TEST_P(LexE2E, ScannerPrintsExpectedTokens)
{
    const Case& c = cases()[GetParam().index];
    e2e::TempDir dir;
    for (const auto& f : c.files) e2e::writeFile(dir.file(f.first), f.second);
    std::string spec = specOf(c);
    std::string failure = e2e::buildScanner(dir, spec, GetParam().optimise, "", GetParam().asC);
    ASSERT_EQ(failure, "") << "specification:\n" << spec;
    e2e::RunResult r = e2e::runScanner(dir, c.args, c.input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.expected) << "specification:\n" << spec;
    if (c.errContains.empty())
        EXPECT_EQ(r.err, "");
    else
        EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
}

std::vector<Param> allParams()
{
    std::vector<Param> p;
    for (size_t i = 0; i < cases().size(); ++i) {
        p.push_back({i, true, false});
        p.push_back({i, false, false});
        p.push_back({i, true, true});
    }
    return p;
}

// A scanner whose tables only the large-tables mode can hold (over 500
// states, over 1000 tree nodes) still scans, with either kind of tables.
TEST(LexE2ELarge, ScannerOfTheLargeTablesMode)
{
    std::string rules;
    for (char c : std::string("abcd"))
        rules += std::string(1, c) + "{150}\t{ printf(\"" + static_cast<char>(c - 32) + "\"); }\n";
    const std::string spec = std::string(kPrologue) + "%%\n" + rules + "%%\n" + kDefaultUser;
    for (bool optimise : {true, false}) {
        SCOPED_TRACE(optimise);
        e2e::TempDir dir;
        EXPECT_NE(e2e::buildScanner(dir, spec, optimise), "");
        ASSERT_EQ(e2e::buildScanner(dir, spec, optimise, "--large"), "");
        std::string a(150, 'a'), d(150, 'd');
        e2e::RunResult r = e2e::runScanner(dir, {}, d + a + "\n" + a.substr(1) + "\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, "DA\n" + a.substr(1) + "\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LexE2E, ::testing::ValuesIn(allParams()),
                         [](const ::testing::TestParamInfo<Param>& info) {
                             return std::string(cases()[info.param.index].name) + suffixOf(info.param);
                         });

} // namespace
