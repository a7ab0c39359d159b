// The token header of duq-yacc -d, and the compiler's lines in a generated
// parser: inside copied blocks they are the grammar's, everywhere else the
// parser file's own.
#include "e2e_support.h"

#include <sstream>

using namespace e2e;

namespace {
const char kGrammar[] = "%token A\n%%\ns : A ;\n";

// The 1-based line of the first line of the file that contains text.
int lineOf(const std::string& file, const std::string& text)
{
    std::istringstream in(readFile(file));
    int n = 1;
    for (std::string line; std::getline(in, line); ++n)
        if (line.find(text) != std::string::npos)
            return n;
    return 0;
}
} // namespace

TEST(Command, TokenHeaderOptions)
{
    struct Case {
        const char* args;
        int status;
        const char* header;  // nullptr: none written
    };
    const Case cases[] = {
        {"-d g.y", 0, "g.h"},
        {"-d -o calc.cpp g.y", 0, "calc.h"},
        {"-o sub/p.c -d g.y", 0, "sub/p.h"},
        {"-d -o plain g.y", 0, "plain.h"},
        {"--defines t.h g.y", 0, "t.h"},
        {"--defines=sub/t.hh g.y", 0, "sub/t.hh"},
        {"g.y", 0, nullptr},
        {"--defines", 2, nullptr},
        {"--defines= g.y", 2, nullptr},
        // Never in the place of the grammar or the parser.
        {"--defines g.y g.y", 2, nullptr},
        {"-d -o g.h g.y", 2, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        yacctest::TempDir dir;
        std::filesystem::create_directory("sub");
        writeFile("g.y", kGrammar);
        const Result r = run(bin("duq-yacc") + " " + c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(readFile("g.y"), kGrammar);
        if (c.status == 2) {
            EXPECT_NE(r.err.find("usage: duq-yacc"), std::string::npos);
        }
        if (c.header) {
            EXPECT_NE(readFile(c.header).find("\n#define A 257\n"), std::string::npos);
            EXPECT_NE(r.out.find(std::string("Token header was written to \"") + c.header + "\"."), std::string::npos);
        } else {
            EXPECT_EQ(r.out.find("Token header"), std::string::npos);
        }
        for (const char* h : {"g.h", "calc.h", "sub/p.h", "plain.h", "t.h", "sub/t.hh"})
            EXPECT_EQ(exists(h), c.header && c.header == std::string(h)) << h;
    }
}

TEST(GeneratedParser, TokenHeaderServesCAndCpp)
{
    struct Case {
        const char* grammar;
        const char* use;  // a C function body using the header's names
    };
    const Case cases[] = {
        {"%token NUM ID\n%%\ns : NUM ID ;\n", "yylval = NUM; return yylval + ID;"},
        {"%union {\n  int i;\n  char *s;\n}\n%token <i> NUM\n%token <s> ID\n%%\ns : NUM ID ;\n",
         "yylval.i = NUM; yylval.s = 0; return yylval.i + ID;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grammar);
        yacctest::TempDir dir;
        writeFile("g.y", c.grammar);
        ASSERT_EQ(run(bin("duq-yacc") + " -d g.y").status, 0);
        // Included twice, as a program's headers often are.
        writeFile("user.c", std::string("#include \"g.h\"\n#include \"g.h\"\nYYSTYPE yylval;\nint use(void) { ") + c.use +
                                " }\n");
        for (const char* compiler : {"${CC:-cc} -x c -std=c99", "${CXX:-c++} -x c++"}) {
            const Result r = run(std::string(compiler) + " -Wall -Werror -c user.c -o user.o");
            EXPECT_EQ(r.status, 0) << compiler << "\n" << r.err;
        }
    }
}

TEST(GeneratedParser, CompilerLinesPointIntoTheRightFile)
{
    // A small parser of its own: the tables, then the actions in a switch.
    const std::string skeleton = "int yyparse(void)\n{\n    YYSTYPE *yypvt = &yyval;\n    switch (yychar) {\n$A\n"
                                 "    }\n    return SKELETON_FAULT;\n}\n";
    const std::string prefix = "%{\nint before;\n%}\n%union {\n  int i;\n}\n%token <i> NUM\n%type <i> s\n%%\n";
    struct Case {
        const char* name;
        std::string grammar;
        const char* fault;  // an undeclared name in the grammar, or nullptr
        int line;           // its line in g.y
    };
    const Case cases[] = {
        {"after the actions", prefix + "s : NUM { $$ = $1; }\n  | s NUM { $$ = $2; } ;\n%%\nint after;\n", nullptr, 0},
        {"after one-line blocks", "%{ int before; %}\n%token NUM\n%%\ns : NUM { f(); } ;\n%%\nint f() { return 0; }",
         nullptr, 0},
        {"in an action", prefix + "s : NUM { $$ = $1; }\n  | s NUM\n  { $$ = ACTION_FAULT; } ;\n%%\n", "ACTION_FAULT", 12},
        {"in the user code", prefix + "s : NUM ;\n%%\nint after;\nint f() { return USER_FAULT; }\n", "USER_FAULT", 13},
        {"in the declarations", "%{\nint before = DECL_FAULT;\n%}\n%token NUM\n%%\ns : NUM ;\n", "DECL_FAULT", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        yacctest::TempDir dir;
        writeFile("skel", skeleton);
        writeFile("g.y", c.grammar);
        ASSERT_EQ(run(bin("duq-yacc") + " -k skel g.y").status, 0);
        const int line = lineOf("g.cpp", "SKELETON_FAULT");
        ASSERT_GT(line, 0);
        const Result r = run(bin("vork-cc") + " g.cpp");
        EXPECT_NE(r.status, 0);
        // The skeleton's fault is placed in the parser file, the grammar's
        // own in the grammar, each on its true line.
        EXPECT_NE(r.err.find("g.cpp:" + std::to_string(line) + ":"), std::string::npos) << r.err;
        if (c.fault) {
            EXPECT_NE(r.err.find("g.y:" + std::to_string(c.line) + ":"), std::string::npos) << r.err;
            EXPECT_NE(r.err.find(c.fault), std::string::npos) << r.err;
        }
        size_t errors = 0;
        for (size_t at = r.err.find(" error: "); at != std::string::npos; at = r.err.find(" error: ", at + 1))
            ++errors;
        EXPECT_EQ(errors, c.fault ? 2u : 1u) << r.err;
    }
}
