// Generated parsers at work: each grammar is generated with duq-yacc,
// compiled with vork-cc and fed inputs through its own hand-written yylex.
#include "e2e_support.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Reads single characters from stdin; digits make NUM.  Shared by the
// grammars below, which put it into their user code.
const char kCharLexer[] = R"(
int yylex()
{
    int c;
    while ((c = getchar()) == ' ')
        ;
    if (c == EOF)
        return 0;
#ifdef NUM
    if (isdigit(c)) {
        int v = c - '0';
        while (isdigit(c = getchar()))
            v = v * 10 + c - '0';
        ungetc(c, stdin);
        yylval.ival = v;
        return NUM;
    }
#endif
    return LEXMAP(c);
}
void yyerror(const char *s) { printf("%s\n", s); }
int main() { int r = yyparse(); printf("result %d\n", r); return 0; }
)";

const char kPrologue[] = R"(%{
#include <stdio.h>
#include <ctype.h>
int yylex();
void yyerror(const char *s);
int yyparse();
#define LEXMAP(c) (c)
%}
)";

struct InputCase {
    const char* input;
    const char* output;
};

void expectOutputs(const std::string& grammar, const std::vector<InputCase>& cases, Result* gen = nullptr)
{
    yacctest::TempDir dir;
    ASSERT_TRUE(build(grammar, "", gen));
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.input);
        const Result r = run("./g.exe", c.input);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.output);
    }
}

} // namespace

TEST(GeneratedParser, CalculatorWithPrecedenceTypesAndInnerActions)
{
    const std::string grammar = std::string(kPrologue) + R"(%union { int ival; }
%token <ival> NUM
%type <ival> expr line
%left '+' '-'
%left '*' '/'
%right UMINUS
%%
input : /* empty */
      | input line
      ;
line  : '\n'                { $$ = 0; }
      | expr '\n'           { printf("%d\n", $1); $$ = $1; }
      | expr { $<ival>$ = $1 * 10; } '=' expr '\n'
                            { printf("%d %d\n", $<ival>2, $4); $$ = $4; }
      | error '\n'          { yyerrok; printf("bad line\n"); $$ = 0; }
      ;
expr  : expr '+' expr       { $$ = $1 + $3; }
      | expr '-' expr       { $$ = $1 - $3; }
      | expr '*' expr       { $$ = $1 * $3; }
      | expr '/' expr       { $$ = $3 ? $1 / $3 : 0; }
      | '-' expr %prec UMINUS { $$ = -$2; }
      | '(' expr ')'        { $$ = $2; }
      | NUM
      ;
%%
)" + kCharLexer;
    Result gen;
    expectOutputs(grammar,
                  {
                      {"1+2*3\n", "7\nresult 0\n"},
                      {"(1+2)*3\n", "9\nresult 0\n"},
                      {"2-3-4\n", "-5\nresult 0\n"},
                      {"100/7/2\n", "7\nresult 0\n"},
                      {"-2+3\n", "1\nresult 0\n"},
                      {"--4*-2\n", "-8\nresult 0\n"},
                      {"6 = 1+1\n", "60 2\nresult 0\n"},
                      {"1+\n3\n\n(4\n5*5\n", "syntax error\nbad line\n3\nsyntax error\nbad line\n25\nresult 0\n"},
                      {"", "result 0\n"},
                      {"7", "syntax error\nresult 1\n"},
                  },
                  &gen);
    EXPECT_EQ(gen.out.find("conflicts"), std::string::npos) << gen.out;
}

TEST(GeneratedParser, DanglingElseShifts)
{
    const std::string grammar = std::string(kPrologue) + R"(%token IF ELSE X
%%
stmt : IF stmt              { printf("if "); }
     | IF stmt ELSE stmt    { printf("ifelse "); }
     | X                    { printf("x "); }
     ;
%%
#undef LEXMAP
#define LEXMAP(c) ((c) == 'i' ? IF : (c) == 'e' ? ELSE : (c) == 'x' ? X : (c))
)" + kCharLexer;
    Result gen;
    // The else goes with the nearest if.
    expectOutputs(grammar,
                  {
                      {"iix", "x if if result 0\n"},
                      {"iixex", "x x ifelse if result 0\n"},
                      {"ixex", "x x ifelse result 0\n"},
                      {"ixexe", "x x ifelse syntax error\nresult 1\n"},
                  },
                  &gen);
    EXPECT_NE(gen.out.find("conflicts: \n1 shift/reduce\n"), std::string::npos) << gen.out;
}

TEST(GeneratedParser, NonassocComparisonDoesNotChain)
{
    const std::string grammar = std::string(kPrologue) + R"(%nonassoc '<'
%left '+'
%%
top  : e                    { printf("ok\n"); } ;
e    : e '<' e | e '+' e | 'n' ;
%%
)" + kCharLexer;
    expectOutputs(grammar, {
                               {"n<n", "ok\nresult 0\n"},
                               {"n+n<n+n", "ok\nresult 0\n"},
                               {"n<n<n", "syntax error\nresult 1\n"},
                               {"n<n+n<n", "syntax error\nresult 1\n"},
                           });
}

TEST(GeneratedParser, ReduceReduceGoesToTheEarlierRule)
{
    const std::string grammar = std::string(kPrologue) + R"(%%
s : a 'x'   { printf("a\n"); }
  | b 'x'   { printf("b\n"); }
  | b 'y'   { printf("by\n"); }
  ;
a : 'z' ;
b : 'z' ;
%%
)" + kCharLexer;
    Result gen;
    expectOutputs(grammar, {{"zx", "a\nresult 0\n"}, {"zy", "by\nresult 0\n"}}, &gen);
    EXPECT_NE(gen.out.find("conflicts: \n1 reduce/reduce\n"), std::string::npos) << gen.out;
}

TEST(GeneratedParser, ErrorTokenResynchronises)
{
    struct Case {
        const char* errorAction;
        const char* input;
        const char* output;
    };
    // Without yyerrok, errors within three tokens of the last one are not
    // reported again; with it, each one is.
    const Case cases[] = {
        {"", "n;x;n;", "ok\nsyntax error\nrecovered\nok\nresult 0\n"},
        {"", "xx;x;n;n;", "syntax error\nrecovered\nrecovered\nok\nok\nresult 0\n"},
        {"yyerrok;", "xx;x;n;n;", "syntax error\nrecovered\nsyntax error\nrecovered\nok\nok\nresult 0\n"},
        {"", "n;n", "ok\nsyntax error\nresult 1\n"},
        {"", "n;x", "ok\nsyntax error\nresult 1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const std::string grammar = std::string(kPrologue) + "%%\nlist : | list stmt ;\n"
                                                             "stmt : 'n' ';' { printf(\"ok\\n\"); }\n"
                                                             "     | error ';' { " +
                                    c.errorAction + " printf(\"recovered\\n\"); } ;\n%%\n" + kCharLexer;
        expectOutputs(grammar, {{c.input, c.output}});
    }
}

TEST(GeneratedParser, StackOverflowEndsTheParseCleanly)
{
    const std::string grammar = std::string(kPrologue) + R"(%%
list : 'a' list { ++n; } | { n = 0; } ;
%%
int n;
)" + kCharLexer;
    const std::string deep(400, 'a');
    expectOutputs(grammar, {
                               {"aaaa", "result 0\n"},
                               {std::string(100, 'a').c_str(), "result 0\n"},
                               {deep.c_str(), "yacc stack overflow\nresult 1\n"},
                           });
}

TEST(GeneratedParser, GrammarErrorsOnTheCommandLine)
{
    struct Case {
        const char* grammar;
        const char* args;
        const char* stderrText;
    };
    const Case cases[] = {
        {"%%\ns : a 'x' b ;\nc : s ;\n", "",
         "[DUQ - YACC Chyba] g.y(4): nonterminal \"a\" not defined!\n"
         "[DUQ - YACC Chyba] g.y(4): nonterminal \"b\" not defined!\n"},
        {"%%\ns : a 'x' b ;\nc : s ;\n", "--slovak",
         "[DUQ - YACC Chyba] g.y(4): neterminal \"a\" nebol definovany!\n"
         "[DUQ - YACC Chyba] g.y(4): neterminal \"b\" nebol definovany!\n"},
        {"%%\ns : s 'x' | t ;\nt : 'y' t ;\n", "",
         "[DUQ - YACC Chyba] g.y(4): nonterminal \"s\" never derives any token string\n"
         "[DUQ - YACC Chyba] g.y(4): nonterminal \"t\" never derives any token string\n"},
        {"%token A\n%%\nA : ;\n", "--slovak",
         "[DUQ - YACC Chyba] g.y(3): nedovoleny lexikalny element na LHS pravidla gramatiky\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grammar);
        yacctest::TempDir dir;
        const Result r = generate(c.grammar, c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.stderrText);
    }
}

TEST(GeneratedParser, ExpressionLanguageWithManyPrecedenceLevels)
{
    const std::string grammar = R"(%{
#include <stdio.h>
#include <ctype.h>
int yylex();
void yyerror(const char *s);
int yyparse();
int vars[26];
%}
%union { int v; int id; }
%token <v> NUM
%token <id> ID
%token PRINT OR AND EQ NE LE GE
%type <v> expr
%right '?' ':'
%left OR
%left AND
%left EQ NE
%left '<' '>' LE GE
%left '+' '-'
%left '*' '/' '%'
%right '!' UMINUS
%%
prog : /* empty */
     | prog stmt
     ;
stmt : ID '=' expr ';'           { vars[$1] = $3; }
     | PRINT expr ';'            { printf("%d\n", $2); }
     | '{' prog '}'
     | ';'
     | error ';'                 { yyerrok; printf("error\n"); }
     ;
expr : expr '?' expr ':' expr    { $$ = $1 ? $3 : $5; }
     | expr OR expr              { $$ = $1 || $3; }
     | expr AND expr             { $$ = $1 && $3; }
     | expr EQ expr              { $$ = $1 == $3; }
     | expr NE expr              { $$ = $1 != $3; }
     | expr '<' expr             { $$ = $1 < $3; }
     | expr '>' expr             { $$ = $1 > $3; }
     | expr LE expr              { $$ = $1 <= $3; }
     | expr GE expr              { $$ = $1 >= $3; }
     | expr '+' expr             { $$ = $1 + $3; }
     | expr '-' expr             { $$ = $1 - $3; }
     | expr '*' expr             { $$ = $1 * $3; }
     | expr '/' expr             { $$ = $3 ? $1 / $3 : 0; }
     | expr '%' expr             { $$ = $3 ? $1 % $3 : 0; }
     | '!' expr                  { $$ = !$2; }
     | '-' expr %prec UMINUS     { $$ = -$2; }
     | '(' expr ')'              { $$ = $2; }
     | NUM
     | ID                        { $$ = vars[$1]; }
     ;
%%
int yylex()
{
    int c, d;
    while (isspace(c = getchar()))
        ;
    if (c == EOF)
        return 0;
    if (isdigit(c)) {
        int v = c - '0';
        while (isdigit(c = getchar()))
            v = v * 10 + c - '0';
        ungetc(c, stdin);
        yylval.v = v;
        return NUM;
    }
    if (islower(c)) {
        char word[16];
        int n = 0;
        word[n++] = (char) c;
        while (islower(c = getchar()) && n < 15)
            word[n++] = (char) c;
        ungetc(c, stdin);
        word[n] = 0;
        if (n == 5 && word[0] == 'p' && word[1] == 'r' && word[2] == 'i' && word[3] == 'n' && word[4] == 't')
            return PRINT;
        yylval.id = word[0] - 'a';
        return ID;
    }
    d = getchar();
    if (c == '|' && d == '|') return OR;
    if (c == '&' && d == '&') return AND;
    if (c == '=' && d == '=') return EQ;
    if (c == '!' && d == '=') return NE;
    if (c == '<' && d == '=') return LE;
    if (c == '>' && d == '=') return GE;
    ungetc(d, stdin);
    return c;
}
void yyerror(const char *s) { printf("%s\n", s); }
int main() { int r = yyparse(); printf("result %d\n", r); return 0; }
)";
    Result gen;
    expectOutputs(grammar,
                  {
                      {"print 1+2*3;", "7\nresult 0\n"},
                      {"a = 5; b = a*2; print a+b;", "15\nresult 0\n"},
                      {"print 8/2/2; print 2-3-4;", "2\n-5\nresult 0\n"},
                      {"print -2*-3; print !0 + 1;", "6\n2\nresult 0\n"},
                      {"print 7 % 4 * 2;", "6\nresult 0\n"},
                      {"print 1 < 2 == 1; print 1 == 2 == 0;", "1\n1\nresult 0\n"},
                      {"print 1 || 0 && 0; print (1 || 0) && 0;", "1\n0\nresult 0\n"},
                      {"print 0 ? 1 : 2 ? 3 : 4; print 1 ? 5 : 6 + 10;", "3\n5\nresult 0\n"},
                      {"{ a = 1; { print a; } } ;;", "1\nresult 0\n"},
                      {"print (1; print 2; x = ; print x;", "syntax error\nerror\n2\nsyntax error\nerror\n0\nresult 0\n"},
                      {"{ print 1;", "1\nsyntax error\nresult 1\n"},
                  },
                  &gen);
    EXPECT_EQ(gen.out.find("conflicts"), std::string::npos) << gen.out;
}
