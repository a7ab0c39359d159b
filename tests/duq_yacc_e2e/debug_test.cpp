// A debug build: the token file, the debug header lines and a
// SemantickaAkcia call in front of every action.  The debug skeleton and
// the platform header of the real debug channel are replaced by small
// stand-ins that print what they are told.
#include "e2e_support.h"

using namespace e2e;

namespace {

// The debug skeleton is the normal one with a prelude: the reporting points
// of yaccpar and SemantickaAkcia.  The grammar is data/debug.y.
const char kPrelude[] = R"(
#include <stdio.h>
void SemantickaAkcia(int line) { printf("action@%d ", line); }
#define YYDBG_SHIFT(token, state) printf("shift %d ", token);
#define YYDBG_REDUCE(rule) printf("reduce %d ", rule);
#define YYDBG_ERROR(state, token) printf("error on %d ", token);
#define YYDBG_DISCARD(token) printf("discard %d ", token);
#define YYDBG_END(result) printf("end %d\n", result);
)";

} // namespace

TEST(DebugBuild, TokenFileAndActionReports)
{
    yacctest::TempDir dir;
    const std::string skeleton = std::string(kPrelude) + readFile(std::string(VORK_SOURCE_DIR) + "/skeletons/yaccpar");
    writeFile("lyaccpar-standin", skeleton);
    std::filesystem::create_directory("platform");
    writeFile("platform/windows.h", "/* stand-in: the debug channel is not used here */\n");

    // --fast gives way to the debug skeleton: the same reports come out.
    for (const char* mode : {"", " --fast"}) {
        SCOPED_TRACE(mode);
        const Result gen = generate(dataFile("debug.y"), std::string("--debug") + mode + " -k lyaccpar-standin");
        ASSERT_EQ(gen.status, 0) << gen.err;
        EXPECT_NE(gen.out.find("Info file was written to \"g.lex\".\n"), std::string::npos);
        EXPECT_EQ(readFile("g.lex"),
                  "\ntypedef union  { int i; } YYSTYPE;\nextern YYSTYPE yylval;\n# define NUM 257\n# define PLUS 258\n");
        const std::string parser = readFile("g.cpp");
        EXPECT_NE(parser.find("// Ladiaca verzia prekladaca\n#include <windows.h>\n"), std::string::npos);

        // The stand-in platform header must win over the compatibility one.
        const std::string cxx = std::getenv("CXX") ? std::getenv("CXX") : "g++";
        const Result cc = run(quoted(cxx) + " -x c++ -fpermissive -w -Iplatform -I" + quoted(std::string(VORK_BIN_DIR) + "/include") +
                              " g.cpp -o g.exe");
        ASSERT_EQ(cc.status, 0) << cc.err;

        struct Case {
            const char* input;
            const char* output;
        };
        // Rules: 1 top : sum;  2 $$2 : ;  3 sum : sum PLUS $$2 NUM;  4 sum : NUM.
        // The action of rule 1 starts on line 13, the two of rule 3 on line 15.
        const Case cases[] = {
            {"4", "shift 257 reduce 4 reduce 1 action@13 = 4 end 0\n"},
            {"4+5",
             "shift 257 reduce 4 shift 258 reduce 2 action@15 shift 257 reduce 3 action@15 "
             "reduce 1 action@13 = 9 end 0\n"},
            {"4+", "shift 257 reduce 4 shift 258 reduce 2 action@15 error on 0 [syntax error] end 1\n"},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.input);
            const Result r = run("./g.exe " + quoted(c.input));
            EXPECT_EQ(r.out, c.output);
        }
    }
}
