// Whole specifications written the way real programs write them, generated,
// compiled and run: blank and comment lines between the rules, actions that
// are a comment, several statements or a macro call, REJECT, exclusive
// start conditions, other line ends, and programs that bring their own
// input(), unput() and output().
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* name;
    std::string spec;  // the whole specification
    std::string input;
    std::string expected;
};

const char* const kMain =
    "int yywrap(void) { return 1; }\n"
    "int main(void) { yylex(); return 0; }\n";

std::string withLineEnds(std::string text, const std::string& end)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}

const std::string kCounter = std::string(R"L(%{
#include <stdio.h>
int yywrap(void);
int yyreject(void);
int s, h, w, lines;
%}
%%
  /* words that overlap are each counted: REJECT passes the text on */

she	s++; REJECT;
he	h++; REJECT;

	/* white space */
[ \t]+	/* skip */
\n	lines++; printf("|");
[a-z]+	w++; printf("(%s)", yytext);
  /* anything else */
.	;
%%
int yywrap(void) { return 1; }
int main(void) { yylex(); printf("s%d h%d w%d l%d\n", s, h, w, lines); return 0; }
)L");

const std::string kOwnInputFunctions = R"L(%{
#include <stdio.h>
#undef input
#undef unput
int input(void);
void unput(int c);
int yywrap(void);
%}
%%
ab	printf("AB");
a	printf("A");
\n	printf("<nl>");
%%
static const char *src = "aaba\nac";
int input(void) { return *src ? *src++ : 0; }
void unput(int c) { (void)c; src--; }
int yywrap(void) { return 1; }
int main(void) { yylex(); printf("|\n"); return 0; }
)L";

const std::string kOwnInputMacros = R"L(%{
#include <stdio.h>
#include <ctype.h>
static const char *src = "x1 yy22 z";
#undef input
#undef unput
#undef output
#define input() (*src ? toupper(*src++) : 0)
#define unput(c) (--src)
#define output(c) printf("[%c]", c)
int yywrap(void);
%}
%%
[A-Z]+	printf("<%s>", yytext);
" "	;
%%
int yywrap(void) { return 1; }
int main(void) { yylex(); printf("\n"); return 0; }
)L";

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"blank_and_comment_lines_reject_and_multi_statement_actions", kCounter, "she sells\nhe shed\n",
         "(she)(sells)|(he)(shed)|s1 h1 w4 l2\n"},
        {"indented_comment_before_the_first_rule",
         "%%\n  /* keywords */\nif\tprintf(\"IF \");\n[a-z]+\tprintf(\"ID \");\n.|\\n\t;\n%%\n" + std::string(kMain),
         "if x iff\n", "IF ID ID "},
        {"two_statements_on_one_line", "%%\na\tprintf(\"1\"); printf(\"2\");\n.|\\n\t;\n%%\n" + std::string(kMain),
         "aba", "1212"},
        {"macro_call_without_semicolon",
         "%{\n#include <stdio.h>\n#define TOK(n) { printf(\"<%d>\", n); }\n%}\n%%\na\tTOK(1)\nb\tTOK(2)\n%%\n" +
             std::string(kMain),
         "abba\n", "<1><2><2><1>\n"},
        {"rule_without_action_discards", "%%\nabc\n\nx\tprintf(\"X\");\n%%\n" + std::string(kMain), "abcxabcdx",
         "XdX"},
        {"exclusive_start_condition",
         "%x COMMENT\n%%\n\"/*\"\tBEGIN COMMENT;\n<COMMENT>\"*/\"\tBEGIN 0;\n<COMMENT>.|\\n\t;\n"
         "[a-z]+\tprintf(\"<%s>\", yytext);\n%%\n" + std::string(kMain),
         "ab /* cd\n ef */ gh\n", "<ab>  <gh>\n"},
        {"crlf_line_ends", withLineEnds(kCounter, "\r\n"), "he she\n", "(he)(she)|s1 h1 w2 l1\n"},
        {"cr_line_ends", withLineEnds(kCounter, "\r"), "he she\n", "(he)(she)|s1 h1 w2 l1\n"},
        // the look-ahead after "a" goes back through the program's unput()
        {"own_input_and_unput_functions", kOwnInputFunctions, "", "AABA<nl>Ac|\n"},
        {"own_input_unput_and_output_macros", kOwnInputMacros, "ignored", "<X>[1]<YY>[2][2]<Z>\n"},
    };
    return all;
}

class RealSpecs : public ::testing::TestWithParam<size_t> {};

TEST_P(RealSpecs, ScannerPrintsWhatTheSpecificationSays)
{
    const Case& c = cases()[GetParam()];
    for (bool optimise : {true, false}) {
        SCOPED_TRACE(optimise ? "optimised" : "plain");
        e2e::TempDir dir;
        ASSERT_EQ(e2e::buildScanner(dir, c.spec, optimise), "") << c.spec;
        e2e::RunResult r = e2e::runScanner(dir, {}, c.input);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.expected);
        EXPECT_EQ(r.err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RealSpecs, ::testing::Range<size_t>(0, cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) { return cases()[info.param].name; });

} // namespace
