// What the grammar reader writes: declarations, defines, the union, the
// actions with their $ forms and # line directives, the user code, and the
// token file of a debug build.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

using namespace yacctest;

namespace {
// The declaration part: after the header comment, up to the exception table.
std::string declarations(const std::string& out)
{
    return between(out, "----- */ \n\n", "short yyexca");
}
} // namespace

TEST(Reader, CodeBlocksDefinesAndUserCode)
{
    TempDir dir;
    Generation g = generate("%{\nint x;\n%}\n%token A 'abc' '+'\n%%\ns : A 'abc' '+' ;\n%%\nint tail;\n");
    ASSERT_EQ(g.status, 0);
    EXPECT_EQ(declarations(g.output),
              std::string("----- */ \n\n") +
                  "\n# line 2 \"g.y\"\nint x;\n"
                  // A literal's define keeps its leading blank; '+' has no define.
                  "# define A 257\n# define  abc 258\n"
                  "#define yyclearin yychar = -1\n#define yyerrok yyerrflag = 0\n"
                  "extern int yychar;\nextern short yyerrflag;\n"
                  "#ifndef YYMAXDEPTH\n#define YYMAXDEPTH 150\n#endif\n"
                  "#ifndef YYSTYPE\n#define YYSTYPE int\n#endif\n"
                  "YYSTYPE yylval, yyval;\n"
                  "# define YYERRCODE 256\n"
                  "\n# line 7 \"g.y\"\n\nint tail;\n");
}

TEST(Reader, TokenValuesTypesAndUnion)
{
    TempDir dir;
    Generation g = generate("%union { int ival;\n char *s; }\n%token <ival> NUM 300\n%token ID\n%type <s> s\n%%\n"
                            "s : ID { $$ = 0; } | NUM { $$ = 0; } ;\n");
    ASSERT_EQ(g.status, 0);
    const std::string d = declarations(g.output);
    EXPECT_NE(d.find("\n# line 1 \"g.y\"\ntypedef union  { int ival;\n char *s; } YYSTYPE;\n"), std::string::npos) << d;
    EXPECT_NE(d.find("# define NUM 300\n# define ID 258\n"), std::string::npos) << d;
    // With type tags there is no default YYSTYPE.
    EXPECT_EQ(d.find("#define YYSTYPE int"), std::string::npos);
}

struct ActionCase {
    const char* name;
    const char* grammar;
    int debug;
    const char* actions;  // the skeleton is "[$A]": what lands between the brackets
};

TEST(Reader, ActionsAsSplicedIntoTheSkeleton)
{
    const ActionCase cases[] = {
        {"values of the rule's symbols",
         "%%\ns : 'a' b 'c' { f($1, $2, $3, $$); } ;\nb : 'b' { $$ = $0 + $-1; } ;\n", 0,
         "\ncase 1:\n# line 2 \"g.y\"\n{ f(yypvt[-2], yypvt[-1], yypvt[-0], yyval); } break;"
         "\ncase 2:\n# line 3 \"g.y\"\n{ yyval = yypvt[-1] + yypvt[-2]; } break;"},
        {"an action inside a rule becomes an empty rule of its own",
         "%%\na : b { x($1); } c ;\nb : 'b' ;\nc : 'c' ;\n", 0,
         "\ncase 1:\n# line 2 \"g.y\"\n{ x(yypvt[-0]); } break;"},
        {"debug builds report each action with its line",
         "%%\ns : 'a'\n\n  { go(); }\n  | 'b' = stop();\n", 1,
         "\ncase 1:\n# line 4 \"g.y\"\nSemantickaAkcia( 4 ); { go(); } break;"
         "\ncase 2:\n# line 5 \"g.y\"\nSemantickaAkcia( 5 );  stop(); break;"},
        {"strings, characters and comments are copied as they are",
         "%%\ns : 'a' { p(\"}$1\\\"\", '}', '\\''); /* } $$ */ } ;\n", 0,
         "\ncase 1:\n# line 2 \"g.y\"\n{ p(\"}$1\\\"\", '}', '\\''); /* } $$ */ } break;"},
        {"typed values take the member of the symbol's or the explicit type",
         "%union { int i; char c; }\n%token <i> N\n%type <c> s\n%%\ns : N { $$ = $1 + $<c>1 + $<i>0; } ;\n", 0,
         "\ncase 1:\n# line 5 \"g.y\"\n{ yyval.c = yypvt[-0].i + yypvt[-0].c + yypvt[-1].i; } break;"},
        {"a dollar that is not a value reference stays",
         "%%\ns : 'a' { m($x, $-y); } ;\n", 0, "\ncase 1:\n# line 2 \"g.y\"\n{ m($x, $-y); } break;"},
    };
    for (const ActionCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Options opt;
        opt.skeleton = "[$A]";
        opt.debug = c.debug;
        Generation g = generate(c.grammar, opt);
        ASSERT_EQ(g.status, 0);
        // The splice starts at the skeleton's own bracket, right after yydef.
        const size_t start = g.output.find("};\n[", g.output.find("short yydef"));
        ASSERT_NE(start, std::string::npos);
        EXPECT_EQ(g.output.substr(start + 4), std::string(c.actions) + "]");
    }
}

TEST(Reader, MidRuleActionMakesTheDocumentedProductions)
{
    TempDir dir;
    Generation g = generate("%%\na : b { x($1); } c ;\nb : 'b' ;\nc : 'c' ;\n");
    ASSERT_EQ(g.status, 0);
    // Rules: 1 $$1 : ;  2 a : b $$1 c ;  3 b : 'b' ;  4 c : 'c' ;
    // Nonterminals: 1 a, 2 b, 3 $$1, 4 c.
    EXPECT_EQ(between(g.output, "short yyr1", "short yyr2"), "short yyr1[]={\n\n   0,   3,   1,   2,   4 };\n");
    EXPECT_EQ(between(g.output, "short yyr2", "short yychk"), "short yyr2[]={\n\n   0,   0,   3,   1,   1 };\n");
}

TEST(Reader, UppercaseKeywordsAndBackslashForms)
{
    TempDir dir;
    Generation g = generate("%LEFT '+'\n\\token A\n%TOKEN B\n\\%\ns : A '+' B ;\n");
    EXPECT_EQ(g.status, 0);
    EXPECT_NE(g.output.find("# define A 257\n# define B 258\n"), std::string::npos);
}

TEST(Reader, EscapedLiteralValues)
{
    // The token values show up in yychk: each literal here is shifted
    // from state 0 into a state of its own.
    struct Case {
        const char* literal;
        int value;
    };
    const Case cases[] = {{"'\\n'", 10}, {"'\\t'", 9}, {"'\\\\'", 92}, {"'\\''", 39}, {"'\\101'", 65}, {"'z'", 122},
                          {"\"q\"", 113}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.literal);
        TempDir dir;
        Generation g = generate(std::string("%%\ns : ") + c.literal + " ;\n");
        ASSERT_EQ(g.status, 0);
        EXPECT_EQ(between(g.output, "short yychk", "short yydef"),
                  "short yychk[]={\n\n-1000,  -1," + vork::format("%4d", c.value) + " };\n");
    }
}

TEST(Reader, DebugTokenFileHoldsDefinesAndUnion)
{
    TempDir dir;
    Options opt;
    opt.debug = 1;
    Generation g = generate("%union { int i; }\n%token <i> NUM\n%token PLUS '+'\n%%\ns : NUM PLUS '+' NUM ;\n", opt);
    ASSERT_EQ(g.status, 0);
    EXPECT_EQ(readFile("g.lex"),
              "\ntypedef union  { int i; } YYSTYPE;\nextern YYSTYPE yylval;\n# define NUM 257\n# define PLUS 258\n");
    EXPECT_EQ(g.tokenCount, 2);
}

TEST(Reader, SecondMarkMissingMeansNoUserCode)
{
    TempDir dir;
    Generation g = generate("%%\ns : 'a' ;\n");
    ASSERT_EQ(g.status, 0);
    const std::string d = declarations(g.output);
    EXPECT_EQ(d.substr(d.size() - 23), "# define YYERRCODE 256\n");
}

TEST(Reader, WindowsLineEndsReadLikeUnixOnes)
{
    const std::string unix = "%{\nint x;\n%}\n%token A\n%%\ns : A { f(\"a\\\n\"); }\n  | s A ;\n%%\nint y;\n";
    std::string windows;
    for (char c : unix)
        windows += (c == '\n') ? std::string("\r\n") : std::string(1, c);
    auto body = [](const std::string& out) { return out.substr(out.find("----- */")); };
    TempDir dir;
    Generation a = generate(unix);
    Generation b = generate(windows);
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    EXPECT_EQ(body(b.output), body(a.output));
}
