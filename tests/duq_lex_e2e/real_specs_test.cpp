// Whole specifications written the way real programs write them, generated,
// compiled and run: blank and comment lines between the rules, actions that
// are a comment, several statements or a macro call, REJECT, exclusive
// start conditions, other line ends, programs that bring their own
// input(), unput() and output(), and whole classic programs: a scanner
// using most of what lex offers, one that cuts tokens with yyless() and
// reads a file through yyin, and a wc of K&R C.
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Case {
    const char* name;
    std::string spec;  // the whole specification
    std::string input;
    std::string expected;
    std::vector<std::string> args = {};
    std::vector<std::pair<const char*, std::string>> files = {};  // written beside the program
    bool asC = false;  // compiled as C (lexyy.c), else as C++
    std::string stderrText = "";
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


// Most of what a lex user reaches for: named definitions, %s and %x, a
// %{ %} block at the head of the rules, ^ and $, trailing context, {n,m},
// classes with escapes, yymore(), yyless(), REJECT, ECHO, input() and
// unput(), and a yywrap() that goes on with a second file.  The plain
// tables need a larger %o than the default.
const std::string kEverything = R"L(%o 6000
%{
#include <stdio.h>
#include <string.h>
#include <ctype.h>
int yywrap(void);
static int files = 0;
%}
D	[0-9]
L	[A-Za-z_]
%s TAG
%x STR
%%
%{
	/* runs at every call of yylex */
	static int calls = 0;
	calls++;
%}
^#.*	printf("[dir:%s]", yytext + 1);
"<"	{ BEGIN TAG; ECHO; }
<TAG>">"	{ BEGIN INITIAL; ECHO; }
<TAG>{L}+	printf("tag(%s)", yytext);
\"	{ BEGIN STR; yymore(); }
<STR>\"	{ BEGIN INITIAL; printf("str[%s]%d", yytext, yyleng); }
<STR>\\.	yymore();
<STR>[^"\\\n]+	yymore();
<STR>\n	{ printf("unterminated\n"); BEGIN INITIAL; }
"/*"	{ int c, prev = 0;
	  while ((c = input()) != 0) {
		if (prev == '*' && c == '/') break;
		prev = c;
	  }
	  printf("{c}");
	}
"@"{L}+	{ int i; for (i = yyleng - 1; i >= 1; i--) unput(toupper(yytext[i])); }
{D}{2,3}/"%"	printf("pct(%s)", yytext);
{D}+	printf("num(%s)", yytext);
end$	printf("END@eol");
"-"{2,3}	printf("D%d", yyleng);
foobar	{ yyless(3); printf("foo-of(%s)", yytext); }
int	{ printf("kw:"); REJECT; }
{L}({L}|{D})*	printf("id(%s)", yytext);
[\t ]+	putchar(' ');
[\-+*/=]	printf("op%c", yytext[0]);
\n	{ ECHO; }
.	ECHO;
%%
int yywrap(void)
{
	if (files++ == 0) {
		FILE *f = fopen("two.txt", "r");
		if (f) { yyin = f; return 0; }
	}
	return 1;
}
int main(int argc, char **argv)
{
	if (argc > 1 && !(yyin = fopen(argv[1], "r"))) { perror(argv[1]); return 1; }
	while (yylex())
		;
	printf("lines %d\n", yylineno);
	return 0;
}
)L";

// yyless() keeps part of the token and gives the rest back; yyless(0)
// gives all back, to be scanned again in another start condition, where
// the ^ rule still sees the start of the line.  The input is a file set
// as yyin.
const std::string kYyless = R"L(%{
#include <stdio.h>
int yywrap(void) { return 1; }
%}
%x LINE
%%
[a-z]+":"	{ yyless(yyleng - 1); printf("label(%s,%d)", yytext, yyleng); }
":"		printf("colon ");
"="[a-z]+	{ yyless(1); printf("eq[%s]%d ", yytext, yyleng); }
^"!".*		{ yyless(0); BEGIN LINE; }
<LINE>^"!"[^\n]*	{ printf("bang<%s>", yytext + 1); BEGIN 0; }
<LINE>.		printf("?");
[a-z]+		printf("w(%s)", yytext);
\n		printf("|\n");
.		;
%%
int main(int argc, char **argv)
{
	FILE *f;
	if (argc < 2)
		return 2;
	if ((f = fopen(argv[1], "r")) == NULL) {
		perror(argv[1]);
		return 1;
	}
	yyin = f;
	yylex();
	fclose(f);
	printf("done %d\n", yylineno);
	return 0;
}
)L";

// wc with an option of tr's, in K&R C: implicit int, an old-style main.
const std::string kWc = R"L(	/* wc and a little of tr: counts lines, words and characters of the
	   standard input; -u copies it in upper case, -s squeezes blanks */
	long nchar, nword, nline;
	int upper, squeeze;
%%
[^ \t\n]+	{
			nword++;
			nchar += yyleng;
			if (upper) {
				register char *p;
				for (p = yytext; *p; p++)
					if (*p >= 'a' && *p <= 'z')
						*p += 'A' - 'a';
			}
			ECHO;
		}
[ \t]+		{ nchar += yyleng; if (squeeze) output(' '); else ECHO; }
\n		{ nchar++; nline++; ECHO; }
%%
yywrap()
{
	return(1);
}

main(argc, argv)
int argc;
char *argv[];
{
	while (--argc > 0 && (*++argv)[0] == '-')
		switch ((*argv)[1]) {
		case 'u': upper = 1; break;
		case 's': squeeze = 1; break;
		default:
			fprintf(stderr, "wc: unknown option %s\n", *argv);
			exit(2);
		}
	yylex();
	fprintf(stderr, "%7ld%8ld%8ld\n", nline, nword, nchar);
	exit(0);
}
)L";

// %Start, BEGIN(X), YYSTATE, start-condition lists, ^ in a start
// condition, definitions inside definitions, (ab){1,2}, octal escapes and
// ranges, ] and [ in a class, | actions, input() at the end, $ at the end
// of the input without a newline.
const std::string kPatterns = R"L(%{
#include <stdio.h>
int yywrap(void) { return 1; }
%}
%Start AA BB
D	[0-9]
NUM	{D}+("."{D}*)?
%%
^"@a"	{ BEGIN AA; printf("[AA]"); }
^"@b"	{ BEGIN(BB); printf("[BB]"); }
^"@0"	{ BEGIN INITIAL; printf("[0]"); }
<AA,BB>"k"	printf("k%d", YYSTATE == 0 ? 0 : 1);
<AA>^"x"	printf("AAfirst");
<BB>"y"+	printf("BBy%d", yyleng);
{NUM}	printf("num<%s>", yytext);
[a-z]+/{D}+x	printf("head<%s>", yytext);
(ab){1,2}	printf("AB%d", yyleng);
[\]\[]	printf("br%c", yytext[0]);
[-+]	printf("sign%c", yytext[0]);
[\101-\103]+	printf("ABC<%s>", yytext);
\040\040	printf("two-blanks");
"\t"	printf("TAB");
"}"	{ printf("%s", "close}"); }
"q"	{
		int c = input();
		printf("q then %d", c);
	}
"w"	|
"v"	|
"u"	printf("uvw<%s>", yytext);
zz$	printf("zz-eol");
.	printf("(%c)", yytext[0]);
\n	printf("|\n");
%%
int main(void)
{
	yylex();
	printf("end %d\n", yylineno);
	return 0;
}
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
        {"most_of_lex", kEverything, "",
         "[dir:define X]\n"
         "<tag(a) tag(href)> str[\"say \\\"hi\\\"\"]12 pct(50)% num(5)% num(1234)%\n"
         "kw:id(int) id(integer) foo-of(foo)id(bar) D3op- END@eol\n"
         "id(a) {c} id(b) id(UP) id(end) id(now)\n"
         "id(x) unterminated\n"
         "id(last) END@eol\n"
         "lines 8\n",
         {"one.txt"},
         {{"one.txt", "#define X\n<a href> \"say \\\"hi\\\"\" 50% 5% 1234%\nint integer foobar ---- end\n"
                      "a /* skip\n me */ b @up end now\n"},
          {"two.txt", "x \"open\nlast end\n"}}},
        {"yyless_and_yyin_from_a_file", kYyless, "",
         "label(start,5)colon w(x)eq[=]1 w(abc)|\nbang<shout it>|\nlabel(go,2)colon |\ndone 4\n",
         {"src.txt"}, {{"src.txt", "start: x=abc\n!shout it\ngo:\n"}}},
        {"yyless_and_yyin_from_a_file_as_C", kYyless, "",
         "label(start,5)colon w(x)eq[=]1 w(abc)|\nbang<shout it>|\nlabel(go,2)colon |\ndone 4\n",
         {"src.txt"}, {{"src.txt", "start: x=abc\n!shout it\ngo:\n"}}, true},
        // yyless(0) of a token that yymore() began earlier: the text is
        // scanned again from the start of the line.
        {"yyless_0_after_yymore",
         "%x B\n%%\n^a\tyymore();\n<INITIAL>b\t{ yyless(0); BEGIN B; }\n"
         "<B>^ab\t{ printf(\"line-start<%s>\", yytext); BEGIN 0; }\n"
         "<B>.\t{ printf(\"mid<%s>\", yytext); BEGIN 0; }\n%%\n" + std::string(kMain),
         "ab\nab\n", "line-start<ab>\nline-start<ab>\n"},
        {"wc_in_KR_C", kWc, "The quick\tbrown  fox\n\njumps over   the lazy dog.\nend",
         "THE QUICK BROWN FOX\n\nJUMPS OVER THE LAZY DOG.\nEND", {"-u", "-s"}, {}, true, "      3      10      52\n"},
        {"patterns_and_start_conditions", kPatterns,
         "@a kx\nx @b yyyk\n@0 3.14 12 abc12x abab ababab\n[] +- ABCD  \t}zz\nw v u zz",
         "[AA]( )k1(x)|\nAAfirst( )(@)(b)( )(y)(y)(y)k1|\n"
         "[0]( )num<3.14>( )num<12>( )head<abc>num<12>(x)( )AB4( )AB4AB2|\n"
         "br[br]( )sign+sign-( )ABC<ABC>(D)two-blanksTABclose}zz-eol|\n"
         "uvw<w>( )uvw<v>( )uvw<u>( )(z)(z)end 5\n"},
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
        ASSERT_EQ(e2e::buildScanner(dir, c.spec, optimise, "", c.asC), "") << c.spec;
        for (const auto& f : c.files)
            e2e::writeFile(dir.file(f.first), f.second);
        e2e::RunResult r = e2e::runScanner(dir, c.args, c.input);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.expected);
        EXPECT_EQ(r.err, c.stderrText);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RealSpecs, ::testing::Range<size_t>(0, cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) { return cases()[info.param].name; });

} // namespace
