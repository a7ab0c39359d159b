// The parser file's #line directives back to itself after every block copied
// from the grammar, and the token header.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace yacctest;

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        v.push_back(line);
    return v;
}

// The number each "#line N "name"" line gives, with the line's own number.
struct Directive {
    int at;     // 1-based line of the directive itself
    int names;  // the line number it gives the next line
};

std::vector<Directive> directivesNaming(const std::string& text, const std::string& file)
{
    std::vector<Directive> found;
    const std::vector<std::string> all = lines(text);
    const std::string tail = " \"" + file + "\"";
    for (size_t i = 0; i < all.size(); ++i) {
        const std::string& l = all[i];
        if ((l.rfind("#line ", 0) == 0 || l.rfind("# line ", 0) == 0) && l.size() > tail.size() &&
            l.compare(l.size() - tail.size(), tail.size(), tail) == 0)
            found.push_back({static_cast<int>(i) + 1, std::atoi(l.c_str() + l.find("line ") + 5)});
    }
    return found;
}

} // namespace

TEST(ParserFile, AfterEachCopiedBlockALineDirectiveNamesTheTrueNextLine)
{
    struct Case {
        const char* name;
        std::string grammar;
        int debug;
        int grammarLines;  // "# line" directives into the grammar
        int returns;       // "#line" directives back into the parser file
        std::string skeleton = "SKELETON[$A]\n";
    };
    const Case cases[] = {
        {"no copied block", "%%\ns : 'a' ;\n", 0, 0, 0},
        // %{ %}, the union, two actions and the user code: one return each.
        {"every kind of block",
         "%{\nint x;\n%}\n%union { int i;\n char c; }\n%token <i> A\n%type <i> s\n%%\ns : A { $$ = $1; }\n"
         "  | s A { $$ = $1 + $2; } ;\n%%\nint tail;\n",
         0, 5, 5},
        // Blocks without a final newline get one before the directive.
        {"blocks on one line", "%{ int x; %}\n%token A\n%%\ns : A { f(); } ;\n%%\nint t;", 0, 3, 3},
        {"code in the rules", "%%\n%{\nint y;\n%}\ns : 'a' ;\n", 0, 1, 1},
        {"debug actions inside rules", "%%\ns : 'a' { f(); } 'b' { g(); } ;\n", 1, 2, 2},
        // The actions' block sits in the middle of a longer skeleton.
        {"skeleton around the actions", "%%\ns : 'a' { f(); } | 'b' { g(); } ;\n%%\n", 0, 3, 3,
         "int yyparse()\n{\n  switch (yyn) {\n$A\n  }\n  return 0;\n}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Options opt;
        opt.debug = c.debug;
        opt.skeleton = c.skeleton;
        const Generation g = generate(c.grammar, opt);
        ASSERT_EQ(g.status, 0);
        EXPECT_EQ(directivesNaming(g.output, "g.y").size(), static_cast<size_t>(c.grammarLines));
        const std::vector<Directive> back = directivesNaming(g.output, "g.cpp");
        EXPECT_EQ(back.size(), static_cast<size_t>(c.returns));
        for (const Directive& d : back)
            EXPECT_EQ(d.names, d.at + 1) << "at line " << d.at;
        // Read as the compiler does: every line of the tables and of the
        // skeleton is counted as the parser file's own line.
        std::string file = "g.cpp";
        int presumed = 1, checked = 0;
        const std::vector<std::string> all = lines(g.output);
        for (size_t i = 0; i < all.size(); ++i, ++presumed) {
            const std::string& l = all[i];
            if (l.rfind("#line ", 0) == 0 || l.rfind("# line ", 0) == 0) {
                presumed = std::atoi(l.c_str() + l.find("line ") + 5) - 1;
                file = l.substr(l.find('"') + 1, l.rfind('"') - l.find('"') - 1);
            } else if (l.rfind("short ", 0) == 0 || l.rfind("SKELETON", 0) == 0 || l == "  return 0;" || l == "}") {
                EXPECT_EQ(file + ":" + std::to_string(presumed), "g.cpp:" + std::to_string(i + 1)) << l;
                ++checked;
            }
        }
        EXPECT_GT(checked, 0);
        // The token defines start their lines, also after a one-line block.
        EXPECT_EQ(g.output.find("int x; # define"), std::string::npos);

        // The parser file is the same with the state listing.
        opt.stateFile = "g.stv";
        const Generation listed = generate(c.grammar, opt);
        ASSERT_EQ(listed.status, 0);
        EXPECT_TRUE(exists("g.stv"));
        EXPECT_EQ(body(listed.output), body(g.output));
    }
}

TEST(TokenHeader, HoldsTheDefinesAndTheValueType)
{
    struct Case {
        const char* name;
        std::string grammar;
        const char* header;  // its name
        std::string text;    // "" : no header is written
        int status;
        const char* states = "";  // the state listing's name
    };
    const char* comment = "/* Token codes and value type of the parser \"g.cpp\",\n   generated by DUQ-yacc from \"g.y\". */\n";
    const Case cases[] = {
        {"plain", "%token NUM ID 300 'abc' '+'\n%%\ns : NUM ID 'abc' '+' ;\n", "g.h",
         std::string(comment) +
             "#ifndef DUQ_YACC_G_H\n#define DUQ_YACC_G_H\n#define NUM 257\n#define ID 300\n#define abc 259\n"
             "#ifndef YYSTYPE\n#define YYSTYPE int\n#endif\nextern YYSTYPE yylval;\n#endif\n",
         0},
        {"union", "%union { int i;\n  char *s; }\n%token <i> N\n%%\ns : N ;\n", "inc/tok-defs.hh",
         std::string(comment) +
             "#ifndef DUQ_YACC_TOK_DEFS_HH\n#define DUQ_YACC_TOK_DEFS_HH\n#define N 257\n"
             "typedef union { int i;\n  char *s; } YYSTYPE;\nextern YYSTYPE yylval;\n#endif\n",
         0},
        // Defines written in the declarations and at the first %% alike.
        {"tokens in two places", "%token A\n%{\nint x;\n%}\n%token B\n%%\ns : A B ;\n", "g.h",
         std::string(comment) +
             "#ifndef DUQ_YACC_G_H\n#define DUQ_YACC_G_H\n#define A 257\n#define B 258\n"
             "#ifndef YYSTYPE\n#define YYSTYPE int\n#endif\nextern YYSTYPE yylval;\n#endif\n",
         0},
        // Only a successful run writes it.
        {"failed run", "%%\ns : a ;\n", "g.h", "", 1},
        // It never takes the place of the grammar, the skeleton or the parser.
        {"the grammar", "%%\ns : 'a' ;\n", "g.y", "", 1},
        {"the parser", "%%\ns : 'a' ;\n", "g.cpp", "", 1},
        {"the skeleton", "%%\ns : 'a' ;\n", "skel", "", 1},
        {"the listing", "%%\ns : 'a' ;\n", "g.stv", "", 1, "g.stv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::filesystem::create_directory("inc");
        writeFile("g.y", c.grammar);
        writeFile("skel", "SKELETON[$A]\n");
        RecordingSinks sinks;
        const int status = duq_yacc::yacc_run(sinks, "skel", "g.y", "g.cpp", 0, nullptr, 0, "", c.states, 0, 2.0, c.header);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(readFile("g.y"), c.grammar);
        EXPECT_EQ(readFile("skel"), "SKELETON[$A]\n");
        if (c.text.empty()) {
            EXPECT_TRUE(!exists(c.header) || c.header == std::string("g.y") || c.header == std::string("skel"));
            EXPECT_FALSE(exists("g.cpp"));
            EXPECT_FALSE(exists("g.stv"));
            continue;
        }
        EXPECT_EQ(readFile(c.header), c.text);
        EXPECT_EQ(sinks.messages[sinks.messages.size() - 2], "Token header was written to \"" + std::string(c.header) + "\".");
    }
}
