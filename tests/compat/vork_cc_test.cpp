// vork-cc must take the old-style C the generators and the templates emit,
// and leave the program where the make engine looks for it.
#include "../common/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

using vorktest::exists;
using vorktest::quoted;
using vorktest::readFile;
using vorktest::writeFile;

// The command's standard output and error together.
vorktest::Run run(const std::string& cmd) { return vorktest::runCommand(cmd + " 2>&1"); }

const std::string kVorkCc = std::string(VORK_BIN_DIR) + "/vork-cc";

// The program lands next to the source, named after it up to its last dot
// (dots in the directory's name do not count).
TEST(VorkCc, CompilesOldStyleSourcesIntoDotExe)
{
    struct Case {
        const char* name;
        const char* file;
        const char* exe;
        const char* source;
        const char* expectedOutput;
    };
    const char* const trivial = "int main(){ return 0; }\n";
    const char* const borland = "#include <stdio.h>\n#include <alloc.h>\n#pragma warn -rch\n"
                                "count(){ char *p = (char*)malloc(8); free(p); return 3; }\n"
                                "main(){ printf(\"%d\\n\", count()); return 0; }\n#pragma warn +rch\n";
    const char* const callsFirst = "#include <stdio.h>\n"
                                   "int use(){ return yyreject() + yywrap(); }\n"
                                   "int yyreject(void){ return 40; }\n"
                                   "yywrap(){ return 2; }\n"
                                   "int main(){ printf(\"%d\\n\", use()); return 0; }\n";
    // 123 Slovak letters: the program's name is 250 bytes of the 255 a name
    // may have, too few for a temporary name made longer still.
    std::string stem;
    for (int i = 0; i < 123; ++i)
        stem += "č";
    const std::string longSource = stem + ".cpp", longProgram = stem + ".exe";
    const Case cases[] = {
        {"a name near the length limit", longSource.c_str(), longProgram.c_str(), trivial, ""},
        {"implicit int, alloc.h and Borland pragmas", "prog.c", "prog.exe", borland, "3\n"},
        {"implicit int, alloc.h and Borland pragmas, C++", "prog.cpp", "prog.exe", borland, "3\n"},
        {"functions called before their definition, as generated scanners do", "prog.c", "prog.exe", callsFirst,
         "42\n"},
        // The same as C++, where only the forced declarations make it work.
        {"functions called before their definition, C++", "prog.cpp", "prog.exe", callsFirst, "42\n"},
        {"bytes above 127 stay positive codes", "prog.c", "prog.exe",
         "#include <stdio.h>\n"
         "char buf[] = \"\\xff\\x80\";\n"
         "int main(){ int c = buf[0]; int d = buf[1]; printf(\"%d %d\\n\", c, d); return 0; }\n",
         "255 128\n"},
        // C++ programs declare what lex's and yacc's libraries supply with
        // C linkage; that must match the forced declarations.
        {"yywrap and yylex declared extern \"C\", C++", "prog.cpp", "prog.exe",
         "#include <stdio.h>\n"
         "int use(){ return yywrap() + yylex() + yyparse(); }\n"
         "extern \"C\" int yywrap(void);\n"
         "extern \"C\" { int yylex(void); int yyparse(void); }\n"
         "extern \"C\" int yywrap(){ return 40; }\n"
         "int yylex(void){ return 2; }\n"
         "int yyparse(){ return 0; }\n"
         "int main(){ printf(\"%d\\n\", use()); return 0; }\n",
         "42\n"},
        {"only the last extension goes", "a.b.c", "a.b.exe", trivial, ""},
        {"no extension", "plain", "plain.exe", trivial, ""},
        {"a blank in the name", "with blank.cpp", "with blank.exe", trivial, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp / "dir.with.dots";
        ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
        writeFile(dir + "/" + c.file, c.source);
        const vorktest::Run cc = run(quoted(kVorkCc) + " " + quoted(dir + "/" + c.file));
        ASSERT_EQ(cc.status, 0) << cc.out;
        ASSERT_TRUE(exists(dir + "/" + c.exe));
        const vorktest::Run prog = run(quoted(dir + "/" + c.exe));
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.out, c.expectedOutput);
    }
}

// A yywrap() of type void cannot tell the scanner whether to go on, and in
// C++ the scanner's `if ( yywrap() )` cannot take it: the compile fails and
// the compiler shows the declaration it clashes with, which says why.
TEST(VorkCc, VoidYywrapInCppIsRefusedWithTheReason)
{
    vorktest::TempDir tmp;
    const std::string dir = tmp.path();
    writeFile(dir + "/prog.cpp", "int use(){ return yywrap() ? 1 : 0; }\nvoid yywrap(){}\nint main(){ return use(); }\n");
    const vorktest::Run cc = run(quoted(kVorkCc) + " " + quoted(dir + "/prog.cpp"));
    EXPECT_NE(cc.status, 0);
    EXPECT_NE(cc.out.find("void yywrap()"), std::string::npos) << cc.out;
    EXPECT_NE(cc.out.find("0 = go on reading the new yyin, 1 = the input is over"), std::string::npos) << cc.out;
    EXPECT_FALSE(exists(dir + "/prog.exe"));
}

TEST(VorkCc, ErrorsPassThroughWithTheCompilersStatus)
{
    vorktest::TempDir tmp;
    const std::string dir = tmp.path();
    writeFile(dir + "/bad.c", "int main(){ return undeclared_name; }\n");
    const vorktest::Run cc = run(quoted(kVorkCc) + " " + quoted(dir + "/bad.c"));
    EXPECT_NE(cc.status, 0);
    EXPECT_NE(cc.out.find("undeclared_name"), std::string::npos) << cc.out;
    EXPECT_FALSE(exists(dir + "/bad.exe"));

    const vorktest::Run usage = run(quoted(kVorkCc));
    EXPECT_EQ(usage.status, 2);
}

// A directory where the program belongs is no place for it: the compile
// fails with a message, instead of succeeding with the program hidden
// inside the directory.
TEST(VorkCc, AProgramNameThatIsADirectoryFailsTheCompile)
{
    for (const char* option : {"", " -o 'out dir'"}) {
        SCOPED_TRACE(option);
        vorktest::TempDir tmp;
        const std::string dir = tmp.path();
        writeFile(dir + "/p.cpp", "int main(){ return 0; }\n");
        const std::string program = *option ? dir + "/out dir" : dir + "/p.exe";
        ASSERT_EQ(::mkdir(program.c_str(), 0755), 0);
        const vorktest::Run cc = vorktest::runIn(dir, quoted(kVorkCc) + " p.cpp" + option + " 2>&1");
        EXPECT_EQ(cc.status, 1);
        EXPECT_NE(cc.out.find("is a directory"), std::string::npos) << cc.out;
        EXPECT_TRUE(vorktest::namesStartingWith(program, "").empty());
        EXPECT_TRUE(vorktest::namesStartingWith(dir, ".").empty());
    }
}

// Classic lex/yacc programs (data/classic_*), written the old way: main()
// in the grammar's last section calls yyparse() before the parser engine
// defines it, the scanner is included after main(), yywrap() and yyerror()
// have implicit int, and yyerror() ends without a return; the scanner on
// its own reads ahead with input() and gives back with yyunput().  Each
// goes through the two generators and vork-cc like a project build; the
// debug skeletons must take the same declarations.
TEST(VorkCc, CompilesClassicLexYaccProgramsWrittenTheOldWay)
{
    struct Program {
        const char* name;
        const char* lex;
        const char* grammar;  // nullptr: a scanner on its own
        bool debug;           // the debug skeletons: compiled, not run
        const char* input;
        const char* out;
        const char* err;
    };
    const Program programs[] = {
        {"calculator", "classic_calc.l", "classic_calc.y", false, "1+2*3\n4-x\n10-3\n", "7\n7\n",
         "syntax error\n"},
        {"calculator, debug build", "classic_calc.l", "classic_calc.y", true, "", "", ""},
        {"scanner", "classic_count.l", nullptr, false, "one /* two */ three-four--five\n", "4 1\n", ""},
        {"scanner, debug build", "classic_count.l", nullptr, true, "", "", ""},
    };
    const std::string bin = std::string(VORK_BIN_DIR) + "/";
    for (const Program& p : programs) {
        SCOPED_TRACE(p.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp.path();
        const std::string in = "cd " + quoted(dir) + " && ";
        const std::string debug = p.debug ? " --debug" : "";
        writeFile(dir + "/calc.l", vorktest::sourceFile(std::string("tests/compat/data/") + p.lex));
        const vorktest::Run lex = run(in + quoted(bin + "duq-lex") + debug + " calc.l");
        ASSERT_EQ(lex.status, 0) << lex.out;
        std::string source = "lexyy.cpp";
        if (p.grammar) {
            writeFile(dir + "/calc.y", vorktest::sourceFile(std::string("tests/compat/data/") + p.grammar));
            const vorktest::Run yacc = run(in + quoted(bin + "duq-yacc") + debug + " calc.y");
            ASSERT_EQ(yacc.status, 0) << yacc.out;
            source = "calc.cpp";
        }
        const vorktest::Run cc = run(in + quoted(kVorkCc) + " " + source);
        ASSERT_EQ(cc.status, 0) << cc.out;
        if (p.debug)
            continue;
        writeFile(dir + "/input", p.input);
        const std::string exe = "./" + source.substr(0, source.find('.')) + ".exe";
        const vorktest::Run prog = run("(" + in + exe + " <input 2>stderr)");
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.out, p.out);
        EXPECT_EQ(readFile(dir + "/stderr"), p.err);
    }
}

// ---------------------------------------------------------------------------
// C mode: a source ending in .c is compiled as C, so classic programs go
// through as their authors wrote them.

// A program in one C file, as classic makefiles build it: lex.yy.c with
// its own main(), y.tab.c with a hand-written yylex(), or y.tab.c ending
// with #include "lex.yy.c".
struct ClassicProgram {
    const char* name;
    const char* lex;      // the scanner specification, or nullptr
    const char* grammar;  // the grammar, or nullptr
    const char* input;
    const char* out;
    const char* err;
    int status;           // -1: not checked (main() ends without return)
};

// Generates the program's C files in dir and returns the one to compile.
std::string generateClassic(const std::string& dir, const ClassicProgram& p)
{
    const std::string bin = std::string(VORK_BIN_DIR) + "/";
    if (p.lex) {
        writeFile(dir + "/scan.l", p.lex);
        const vorktest::Run lex = vorktest::runIn(dir, quoted(bin + "duq-lex") + " -o lex.yy.c scan.l");
        EXPECT_EQ(lex.status, 0) << lex.out << lex.err;
    }
    if (!p.grammar)
        return "lex.yy.c";
    writeFile(dir + "/gram.y", p.grammar);
    const vorktest::Run yacc = vorktest::runIn(dir, quoted(bin + "duq-yacc") + " -o y.tab.c gram.y");
    EXPECT_EQ(yacc.status, 0) << yacc.out << yacc.err;
    return "y.tab.c";
}

TEST(VorkCcCMode, BuildsClassicProgramsAsTheyWereWritten)
{
    const ClassicProgram programs[] = {
        // The first calculator of the book on the UNIX environment: yylex
        // in the grammar, every function K&R, warning() called before it
        // is declared with two char * arguments.
        {"hoc1: hand-written yylex and K&R definitions", nullptr,
         R"(%{
#define	YYSTYPE	double	/* data type of yacc stack */
%}
%token	NUMBER
%left	'+' '-'	/* left associative, same precedence */
%left	'*' '/'	/* left assoc., higher precedence */
%%
list:	  /* nothing */
	| list '\n'
	| list expr '\n'	{ printf("\t%.8g\n", $2); }
	;
expr:	  NUMBER	{ $$ = $1; }
	| expr '+' expr	{ $$ = $1 + $3; }
	| expr '-' expr	{ $$ = $1 - $3; }
	| expr '*' expr	{ $$ = $1 * $3; }
	| expr '/' expr	{ $$ = $1 / $3; }
	| '(' expr ')'	{ $$ = $2; }
	;
%%
#include <stdio.h>
#include <ctype.h>
char	*progname;	/* for error messages */
int	lineno = 1;

main(argc, argv)	/* hoc1 */
	char *argv[];
{
	progname = argv[0];
	yyparse();
}

yylex()		/* hoc1 */
{
	int c;

	while ((c=getchar()) == ' ' || c == '\t')
		;
	if (c == EOF)
		return 0;
	if (c == '.' || isdigit(c)) {	/* number */
		ungetc(c, stdin);
		scanf("%lf", &yylval);
		return NUMBER;
	}
	if (c == '\n')
		lineno++;
	return c;
}

yyerror(s)	/* called for yacc syntax error */
	char *s;
{
	warning(s, (char *) 0);
}

warning(s, t)	/* print warning message */
	char *s, *t;
{
	fprintf(stderr, "%s: %s", progname, s);
	if (t)
		fprintf(stderr, " %s", t);
	fprintf(stderr, " near line %d\n", lineno);
}
)",
         "1+2*3\n(1+2)/4\n2 3\n", "\t7\n\t0.75\n", "./prog.exe: syntax error near line 3\n", -1},
        // The desk calculator of the yacc paper: the scanner included at the
        // end, yyerror(s) char *s; and exit() without <stdlib.h>.
        {"desk calculator: scanner included, old-style yyerror",
         R"(%%
" "	;
[a-z]	{ yylval = yytext[0] - 'a'; return(LETTER); }
[0-9]	{ yylval = yytext[0] - '0'; return(DIGIT); }
.|\n	return(yytext[0]);
)",
         R"(%{
#include <stdio.h>
int regs[26];
int base;
%}
%start	list
%token	DIGIT LETTER
%left	'|'
%left	'&'
%left	'+' '-'
%left	'*' '/' '%'
%left	UMINUS	/* supplies precedence for unary minus */
%%	/* beginning of rules section */
list	:	/* empty */
	|	list stat '\n'
	|	list error '\n'
			{ yyerrok; }
	;
stat	:	expr
			{ printf("%d\n", $1); }
	|	LETTER '=' expr
			{ regs[$1] = $3; }
	;
expr	:	'(' expr ')'
			{ $$ = $2; }
	|	expr '+' expr
			{ $$ = $1 + $3; }
	|	expr '-' expr
			{ $$ = $1 - $3; }
	|	expr '*' expr
			{ $$ = $1 * $3; }
	|	expr '/' expr
			{ $$ = $1 / $3; }
	|	expr '%' expr
			{ $$ = $1 % $3; }
	|	expr '&' expr
			{ $$ = $1 & $3; }
	|	expr '|' expr
			{ $$ = $1 | $3; }
	|	'-' expr	%prec UMINUS
			{ $$ = - $2; }
	|	LETTER
			{ $$ = regs[$1]; }
	|	number
	;
number	:	DIGIT
			{ $$ = $1; base = ($1==0) ? 8 : 10; }
	|	number DIGIT
			{ $$ = base * $1 + $2; }
	;
%%	/* start of programs */
main()
{
	yyparse();
	exit(0);
}

yyerror(s)
char *s;
{
	fprintf(stderr, "%s\n", s);
}

yywrap()
{
	return(1);
}

#include "lex.yy.c"
)",
         "a = 12\nb = 010\na+b*2\n(a-3)%5\n1 +\n-a|3\n", "28\n4\n-9\n", "syntax error\n", 0},
        {"word count: main(argc, argv) and an implicit-int yywrap",
         R"(	int nchar, nword, nline;
%%
\n		{ nline++; nchar++; }
[^ \t\n]+	{ nword++; nchar += yyleng; }
.		{ nchar++; }
%%
main(argc, argv)
int argc;
char *argv[];
{
	yylex();
	printf("%d %d %d\n", nline, nword, nchar);
	exit(0);
}

yywrap() { return(1); }
)",
         nullptr, "the quick  brown\nfox\n", "2 4 21\n", "", 0},
        {"REJECT counts overlapping words; void main()",
         R"(	int s, h;
%%
she	{ s++; REJECT; }
he	{ h++; REJECT; }
\n	|
.	;
%%
int yywrap(void) { return 1; }

void main()
{
	yylex();
	printf("she %d he %d\n", s, h);
	exit(0);
}
)",
         nullptr, "she sells shells; he hears\n", "she 2 he 4\n", "", 0},
        // The scanner stops on a line holding a dot, so yywrap() is never
        // asked; a yywrap() of type void is what the program's author wrote.
        {"void yywrap() after the scanner that calls it",
         R"(%%
^"."\n		return(0);
[a-z]		putchar(yytext[0] - 'a' + 'A');
%%
void yywrap() {}

main()
{
	yylex();
	printf("done\n");
	return 0;
}
)",
         nullptr, "Hello, world\n.\nnot read\n", "HELLO, WORLD\ndone\n", "", 0},
        {"void yyerror(const char *) and int main(void)",
         R"(%%
[0-9]+	{ yylval = atoi(yytext); return NUM; }
[ \t]	;
\n	return '\n';
.	return yytext[0];
%%
int yywrap() { return 1; }
)",
         R"(%{
#include <stdio.h>
void yyerror(const char *s);
%}
%token NUM
%%
lines	: /* empty */
	| lines NUM ',' NUM '\n'	{ printf("%d\n", $2 > $4 ? $2 : $4); }
	| lines error '\n'		{ yyerrok; }
	;
%%
void yyerror(const char *s)
{
	fprintf(stderr, "max: %s\n", s);
}

int main(void)
{
	return yyparse();
}

#include "lex.yy.c"
)",
         "3,9\n4 5\n12,7\n", "9\n12\n", "max: syntax error\n", 0},
    };
    for (const ClassicProgram& p : programs) {
        SCOPED_TRACE(p.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp.path();
        const std::string source = generateClassic(dir, p);
        // Always the same program name, as hoc prints it.
        const vorktest::Run mv = vorktest::runIn(dir, "mv " + source + " prog.c");
        ASSERT_EQ(mv.status, 0);
        const vorktest::Run cc = vorktest::runIn(dir, quoted(kVorkCc) + " prog.c");
        EXPECT_EQ(cc.status, 0) << cc.out << cc.err;
        if (cc.status != 0)
            continue;
        const vorktest::Run prog = vorktest::runIn(dir, "timeout 20 ./prog.exe", p.input);
        if (p.status >= 0) {
            EXPECT_EQ(prog.status, p.status);
        }
        EXPECT_EQ(prog.out, p.out);
        EXPECT_EQ(prog.err, p.err);
    }
}

// Classic files that leave main(), yywrap() and yyerror() to lex's and
// yacc's libraries, linked with -ll and -ly as their makefiles do; what the
// program defines itself wins.
TEST(VorkCcCMode, LexAndYaccLibrariesFillWhatTheProgramLeavesOut)
{
    const char* const numbers = "%%\n[0-9]+\tprintf(\"NUM\");\n";
    const std::string ownWrap = std::string(numbers) + "%%\nyywrap() { printf(\"own wrap \"); return 1; }\n";
    struct Case {
        const char* name;
        std::string lex;
        const char* grammar;  // or nullptr
        const char* source;   // the name the program's C file gets: C or C++
        const char* flags;
        const char* input;
        const char* out;
        const char* err;
        int status;
    };
    const Case cases[] = {
        {"scanner without main and yywrap", numbers, nullptr, "prog.c", "-ll", "ab 12 c3\n", "ab NUM cNUM\n", "", 0},
        {"scanner without main and yywrap, C++", numbers, nullptr, "prog.cpp", "-ll", "ab 12 c3\n", "ab NUM cNUM\n",
         "", 0},
        {"the scanner's own yywrap", ownWrap, nullptr, "prog.c", "-ll", "7\n", "NUM\nown wrap ", "", 0},
        {"the scanner's own yywrap, C++", ownWrap, nullptr, "prog.cpp", "-ll", "7\n", "NUM\nown wrap ", "", 0},
        {"grammar without main and yyerror",
         "%%\n[0-9]\t{ yylval = yytext[0] - '0'; return DIGIT; }\n[ \\t]\t;\n.|\\n\treturn yytext[0];\n",
         "%token DIGIT\n%%\nlist\t: /* empty */\n\t| list expr '\\n'\t{ printf(\"%d\\n\", $2); }\n\t;\n"
         "expr\t: DIGIT\n\t| expr '+' DIGIT\t{ $$ = $1 + $3; }\n\t;\n%%\n#include \"lex.yy.c\"\n",
         "prog.c", "-ly -ll", "1+2\n3+\n4\n", "3\n", "syntax error\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp.path();
        const ClassicProgram p{c.name, c.lex.c_str(), c.grammar, "", "", "", 0};
        const std::string source = generateClassic(dir, p);
        ASSERT_EQ(vorktest::runIn(dir, "cp " + source + " " + c.source).status, 0);
        const vorktest::Run cc = vorktest::runIn(dir, quoted(kVorkCc) + " " + c.source + " " + c.flags);
        ASSERT_EQ(cc.status, 0) << cc.out << cc.err;
        const vorktest::Run prog = vorktest::runIn(dir, "timeout 20 ./prog.exe", c.input);
        EXPECT_EQ(prog.status, c.status);
        EXPECT_EQ(prog.out, c.out);
        EXPECT_EQ(prog.err, c.err);
    }
}

// A classic two-file program: the grammar with its token header, the
// scanner in a file of its own that includes the header, both compiled
// and linked by one vork-cc call.  The program reads the file named on
// its command line through freopen() on stdin, which the scanner's yyin
// is.
TEST(VorkCcCMode, BuildsAParserAndASeparateScannerWithATokenHeader)
{
    vorktest::TempDir tmp;
    const std::string dir = tmp.path();
    const std::string bin = std::string(VORK_BIN_DIR) + "/";
    writeFile(dir + "/gram.y", R"(%{
#include <stdio.h>
#include <stdlib.h>
extern int yylineno;
%}
%union {
	int ival;
	char *sval;
}
%token <sval> NAME
%token <ival> NUMBER
%type <ival> expr
%left '+' '-'
%%
input	:	/* empty */
	|	input line
	;
line	:	NAME '=' expr ';'	{ printf("%s=%d\n", $1, $3); free($1); }
	|	error ';'		{ yyerrok; }
	;
expr	:	NUMBER
	|	expr '+' expr		{ $$ = $1 + $3; }
	|	expr '-' expr		{ $$ = $1 - $3; }
	;
%%
void yyerror(const char *s)
{
	fprintf(stderr, "line %d: %s\n", yylineno, s);
}

int main(int argc, char **argv)
{
	if (argc > 1 && freopen(argv[1], "r", stdin) == NULL) {
		perror(argv[1]);
		return 2;
	}
	return yyparse();
}
)");
    writeFile(dir + "/scan.l", R"(%{
#include <string.h>
#include "y.tab.h"
%}
%%
[a-z][a-z0-9]*	{ yylval.sval = strdup(yytext); return NAME; }
[0-9]+		{ yylval.ival = atoi(yytext); return NUMBER; }
[ \t\n]		;
"#".*		;
.		return yytext[0];
%%
int yywrap(void) { return 1; }
)");
    writeFile(dir + "/settings", "# sizes\nwidth = 10 + 20;\nheight = 5 - 2 + 1;\noops = ;\ndepth = 7;\n");

    // The scanner in its own file knows the token codes through the header
    // that -d writes beside the parser.
    const vorktest::Run yacc = vorktest::runIn(dir, quoted(bin + "duq-yacc") + " -d -o y.tab.c gram.y");
    ASSERT_EQ(yacc.status, 0) << yacc.out << yacc.err;
    ASSERT_TRUE(exists(dir + "/y.tab.h"));
    const vorktest::Run lex = vorktest::runIn(dir, quoted(bin + "duq-lex") + " -o lex.yy.c scan.l");
    ASSERT_EQ(lex.status, 0) << lex.out << lex.err;

    const vorktest::Run cc = vorktest::runIn(dir, quoted(kVorkCc) + " y.tab.c lex.yy.c");
    ASSERT_EQ(cc.status, 0) << cc.out << cc.err;
    ASSERT_TRUE(exists(dir + "/y.tab.exe"));
    const vorktest::Run prog = vorktest::runIn(dir, "timeout 20 ./y.tab.exe settings");
    EXPECT_EQ(prog.status, 0);
    EXPECT_EQ(prog.out, "width=30\nheight=4\ndepth=7\n");
    EXPECT_EQ(prog.err, "line 4: syntax error\n");
}

// A C main file with a C++ scanner (the IDE's lexyy.cpp), or a C++ main
// file with a classic C source: each source is compiled as its own
// language, with what that language gets (C++ -fpermissive for the
// scanner's `yylex(){`, C the K&R dialect), and the program is linked with
// the C++ library.  clang++ would read a further .c file as C++.
TEST(VorkCcCMode, CompilesEachSourceAsItsOwnLanguage)
{
    const char* const scanner = "%%\n[0-9]+\treturn 1;\n[a-z]+\treturn 2;\n.|\\n\t;\n%%\nyywrap(){ return 1; }\n";
    const char* const cMain = "#include <stdio.h>\n"
                              "main(argc, argv) char **argv;\n"
                              "{\n\tint t, n = 0, w = 0;\n"
                              "\twhile ((t = yylex()) != 0) { if (t == 1) n++; else w++; }\n"
                              "\tprintf(\"%d numbers %d words\\n\", n, w);\n\texit(0);\n}\n";
    const char* const cxxMain = "#include <stdio.h>\n#include <string>\n"
                                "extern \"C\" int count(void);\n"
                                "int main(){ std::string s = \"n=\"; printf(\"%s%d\\n\", s.c_str(), count()); return 0; }\n";
    // Old-style definition and a parameter named as a C++ keyword.
    const char* const kAndR = "twice(new) int new;\n{ return 2 * new; }\n"
                              "int count(void){ return twice(21); }\n";
    const char* const cxxExtra = "#include <string>\n"
                                 "counted(){ std::string s(WIDTH, 'x'); return (int)s.size(); }\n"
                                 "extern \"C\" int count(void) { return counted(); }\n";
    const char* const cMainCalls = "#include <stdio.h>\nmain(){ printf(\"n=%d\\n\", count()); return 0; }\n";
    struct Case {
        const char* name;
        const char* env;
        const char* mainFile;
        const char* mainSource;
        const char* extraFile;  // from scan.l when extraSource is null
        const char* extraSource;
        const char* flags;
        const char* expectedOutput;
    };
    const Case cases[] = {
        {"C main, generated C++ scanner", "", "prog.c", cMain, "lexyy.cpp", nullptr, "", "3 numbers 2 words\n"},
        {"C main, generated C++ scanner, -ll and a library", "", "prog.c", cMain, "lexyy.cpp", nullptr, " -ll -lm",
         "3 numbers 2 words\n"},
        // A compile option among the flags reaches the C++ source as well.
        {"C main, C++ source of the user's, a define", "", "prog.c", cMainCalls, "extra.cpp", cxxExtra,
         " -D WIDTH=7", "n=7\n"},
        {"C++ main, K&R C source", "", "prog.cpp", cxxMain, "old.c", kAndR, "", "n=42\n"},
        {"C++ main, K&R C source, clang", "CXX=clang++ ", "prog.cpp", cxxMain, "old.c", kAndR, "", "n=42\n"},
    };
    const std::string bin = std::string(VORK_BIN_DIR) + "/";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp.path();
        writeFile(dir + "/" + c.mainFile, c.mainSource);
        if (c.extraSource) {
            writeFile(dir + "/" + c.extraFile, c.extraSource);
        } else {
            writeFile(dir + "/scan.l", scanner);
            const vorktest::Run lex =
                vorktest::runIn(dir, quoted(bin + "duq-lex") + " -o " + c.extraFile + " scan.l");
            ASSERT_EQ(lex.status, 0) << lex.out << lex.err;
        }
        const vorktest::Run cc = vorktest::runIn(
            dir, std::string(c.env) + quoted(kVorkCc) + " " + c.mainFile + " " + c.extraFile + c.flags);
        ASSERT_EQ(cc.status, 0) << cc.out << cc.err;
        ASSERT_TRUE(exists(dir + "/prog.exe"));
        const vorktest::Run prog = vorktest::runIn(dir, "timeout 20 ./prog.exe", "ab 12 cd 3 4\n");
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.out, c.expectedOutput);
        // Nothing of the separate compiles is left behind.
        EXPECT_FALSE(exists(dir + "/prog.o"));
    }
}

// The generated scanner and parser, engines included, are C in every
// dialect from C89 on as well as C++, given a specification that declares
// what it uses.  Only the compatibility headers are added; calls without a
// declaration are errors, as newer compilers make them.
TEST(VorkCcCMode, GeneratedFilesAreCAndCxx)
{
    const char* const lex = R"(%{
int yywrap(void);
%}
%START NEG
%%
"/*"			{ int c, prev = 0; while ((c = input()) != 0 && !(prev == '*' && c == '/')) prev = c; }
"-"			{ BEGIN NEG; }
<NEG>[0-9]+		{ BEGIN 0; yylval = -atoi(yytext); return NUM; }
[0-9]+/"."		{ yylval = atoi(yytext); return FRAC; }
[0-9]+			{ yylval = atoi(yytext); return NUM; }
"#"			{ int c; while ((c = input()) != '\n' && c != 0) ; unput('\n'); }
abc			{ REJECT; }
[a-z]+			{ return WORD; }
[ \t]			;
.|\n			return yytext[0];
%%
int yywrap(void) { return 1; }
)";
    const char* const grammar = R"(%{
#include <stdio.h>
#include <stdlib.h>
int yylex(void);
int yyparse(void);
void yyerror(const char *s);
%}
%token NUM FRAC WORD
%%
lines	: /* empty */
	| lines '\n'
	| lines item '\n'
	| lines error '\n'	{ yyerrok; }
	;
item	: NUM			{ printf("num %d\n", $1); }
	| FRAC '.' NUM		{ printf("frac %d.%d\n", $1, $3); }
	| WORD			{ printf("word\n"); }
	;
%%
void yyerror(const char *s) { printf("%s\n", s); }
int main(void) { return yyparse(); }
#include "lexyy.c"
)";
    struct Dialect {
        const char* name;
        const char* compiler;
        const char* flags;
        bool debug;  // the debug skeletons: compiled only
        bool fast = false;  // the directly coded parser
    };
    const std::string inc = std::string(VORK_BIN_DIR) + "/include";
    const Dialect dialects[] = {
        {"C89", "gcc -x c", "-std=c89 -pedantic-errors", false},
        {"GNU C89", "gcc -x c", "-std=gnu89", false},
        {"C99", "gcc -x c", "-std=c99", false},
        {"C11", "gcc -x c", "-std=c11", false},
        {"C++17", "g++ -x c++", "-std=c++17 -fpermissive", false},
        {"GNU C89, debug", "gcc -x c", "-std=gnu89", true},
        {"C11, debug", "gcc -x c", "-std=c11", true},
        {"C++17, debug", "g++ -x c++", "-std=c++17 -fpermissive", true},
        {"C89, fast", "gcc -x c", "-std=c89 -pedantic-errors", false, true},
        {"GNU C89, fast", "gcc -x c", "-std=gnu89", false, true},
        {"C99, fast", "gcc -x c", "-std=c99", false, true},
        {"C11, fast", "gcc -x c", "-std=c11", false, true},
        {"C++17, fast", "g++ -x c++", "-std=c++17 -fpermissive", false, true},
        {"GNU C89, fast and debug", "gcc -x c", "-std=gnu89", true, true},
    };
    const std::string bin = std::string(VORK_BIN_DIR) + "/";
    for (const Dialect& d : dialects) {
        SCOPED_TRACE(d.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp.path();
        writeFile(dir + "/scan.l", lex);
        writeFile(dir + "/gram.y", grammar);
        const std::string debug = d.debug ? " --debug" : "";
        const vorktest::Run gen =
            vorktest::runIn(dir, quoted(bin + "duq-lex") + debug + " -o lexyy.c scan.l && " + quoted(bin + "duq-yacc") +
                                     debug + (d.fast ? " --fast" : "") + " -o gram.c gram.y");
        ASSERT_EQ(gen.status, 0) << gen.out << gen.err;
        const vorktest::Run cc = vorktest::runIn(
            dir, std::string(d.compiler) + " " + d.flags +
                     " -funsigned-char -Werror=implicit-function-declaration -I" + quoted(inc) +
                     " -include vork_oldc.h gram.c -o gram.exe" + (d.debug ? " -pthread" : ""));
        EXPECT_EQ(cc.status, 0) << cc.err;
        if (cc.status != 0 || d.debug)
            continue;
        const vorktest::Run prog =
            vorktest::runIn(dir, "timeout 20 ./gram.exe", "12\n/* 34\n56 */ 7\n-5\n3.25\n# note\nabc\nab ab\n");
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.out, "num 12\nnum 7\nnum -5\nfrac 3.25\nword\nword\nsyntax error\n");
    }
}

} // namespace
