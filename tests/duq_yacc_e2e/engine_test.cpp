// The parser engine's short ways against its plain walk: a chain of
// one-symbol rules taken at once (from memory when the build has no
// reporting points), and a state's exception row found by its state.
// Values, actions, when yylex is called, error recovery, and in a build
// with the reporting points every state and reduction, one by one, must
// be what the plain walk gives; the directly coded parser (--fast) too.
#include "e2e_support.h"

using namespace e2e;

namespace {

// Reporting points that print, in front of the engine, as a debug
// skeleton's prelude would define them.
const char kReporting[] = R"(
#include <stdio.h>
#define YYDBG_STATE(state) printf("s%d ", state);
#define YYDBG_SHIFT(token, state) printf("shift %d ", token);
#define YYDBG_REDUCE(rule) printf("r%d ", rule);
#define YYDBG_LEXED(token) printf("lexed %d ", token);
#define YYDBG_ERROR(state, token) printf("error on %d ", token);
#define YYDBG_POP(state, uncovered) printf("pop %d ", state);
#define YYDBG_DISCARD(token) printf("discard %d ", token);
#define YYDBG_END(result) printf("end %d\n", result);
)";

// chains.y parses its input twice in one run: the second time the engine
// knows which rules have no action, and where their chains have ended.
std::string twice(const std::string& output)
{
    return output + output;
}

} // namespace

TEST(ParserEngine, ShortWaysKeepThePlainWalk)
{
    struct Input {
        const char* text;
        std::string quiet;     // output without reporting points
        std::string reported;  // with them ("" to skip)
    };
    struct Case {
        const char* grammar;
        std::vector<Input> inputs;
    };
    // chains.y: 3 stmt : cmp ';'  5 cmp : sum  8 sum : term  10 term : unary
    // 11 term : term '*' unary  12 unary : post  14 post : prim  15 prim : NUM;
    // 5, 8, 10 and 14 are chain links without actions, 12 one with.
    const Case cases[] = {
        {"chains.y",
         {
             {"1+2*3;", twice("<1> num unary <+> <2> num unary <*> <3> num unary mul <;> add = 10607\n<$> result 0\n"), ""},
             {"-(1<2)*3; 2;",
              twice("<-> <(> <1> num unary <<> <2> num unary <)> unary <*> <3> num unary mul <;> = -10403\n"
                    "<2> num unary <;> = 102\n<$> result 0\n"),
              ""},
             // '<' does not associate: the error is found at the end of a
             // chain, and recovery pops the states it left.
             {"1<2<3; 4;",
              twice("<1> num unary <<> <2> num unary <<> [syntax error] <3> <;> recovered\n"
                    "<4> num unary <;> = 104\n<$> result 0\n"),
              ""},
             {"((7));8=8;",
              twice("<(> <(> <7> num unary <)> unary <)> unary <;> = 307\n<8> num unary <=> <8> num unary <;> = 1\n"
                    "<$> result 0\n"),
              ""},
             // A chain that ran to the top on ';' must not be taken for
             // one on '+' or '*' from the same place.
             {"2; 1+2*3; 4*5+6;",
              twice("<2> num unary <;> = 102\n<1> num unary <+> <2> num unary <*> <3> num unary mul <;> add = 10607\n"
                    "<4> num unary <*> <5> num unary mul <+> <6> num unary <;> add = 11026\n<$> result 0\n"),
              ""},
             {"1+2", twice("<1> num unary <+> <2> num unary <$> add [syntax error] result 1\n"), ""},
             {"2*3;",
              twice("<2> num unary <*> <3> num unary mul <;> = 10506\n<$> result 0\n"),
              twice("s0 r1 s1 <2> lexed 257 shift 257 s11 r15 num s10 r14 s8 r12 unary s7 r10 s6 <*> lexed 42 shift 42 "
                    "s18 <3> lexed 257 shift 257 s11 r15 num s10 r14 s8 r12 unary s24 r11 mul s6 <;> lexed 59 r8 s5 r5 "
                    "s3 shift 59 s13 r3 = 10506\ns2 r2 s1 <$> lexed 0 end 0\nresult 0\n")},
             {"1+;2;",
              twice("<1> num unary <+> <;> [syntax error] recovered\n<2> num unary <;> = 102\n<$> result 0\n"),
              twice("s0 r1 s1 <1> lexed 257 shift 257 s11 r15 num s10 r14 s8 r12 unary s7 r10 s6 <+> lexed 43 r8 s5 "
                    "shift 43 s17 <;> lexed 59 error on 59 [syntax error] pop 17 pop 5 shift 256 s4 shift 59 s14 r4 "
                    "recovered\ns2 r2 s1 <2> lexed 257 shift 257 s11 r15 num s10 r14 s8 r12 unary s7 r10 s6 <;> lexed "
                    "59 r8 s5 r5 s3 shift 59 s13 r3 = 102\ns2 r2 s1 <$> lexed 0 end 0\nresult 0\n")},
         }},
        // rows.y: four states with exception rows after the first one.
        {"rows.y",
         {
             {"aqx bqy cqx dqy dqx", "ax by cx dy dx result 0\n", ""},
             {"dqy",
              "dy result 0\n",
              "s0 r1 s1 lexed 100 shift 100 s6 lexed 113 shift 113 s19 lexed 121 r19 s18 shift 121 s28 r10 dy s2 r2 s1 "
              "lexed 0 end 0\nresult 0\n"},
             {"dqz ; cqy",
              "[syntax error] recovered cy result 0\n",
              "s0 r1 s1 lexed 100 shift 100 s6 lexed 113 shift 113 s19 lexed 122 r18 s17 error on 122 [syntax error] "
              "pop 17 pop 6 shift 256 s7 discard 122 lexed 59 shift 59 s20 r11 recovered s2 r2 s1 lexed 99 shift 99 s5 "
              "lexed 113 shift 113 s16 lexed 121 r17 s15 shift 121 s26 r8 cy s2 r2 s1 lexed 0 end 0\nresult 0\n"},
             {"cq", "[syntax error] result 1\n", ""},
         }},
    };
    const std::string engine = readFile(std::string(VORK_SOURCE_DIR) + "/skeletons/yaccpar");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grammar);
        yacctest::TempDir dir;
        writeFile("reporting", kReporting + engine);
        writeFile("g.y", dataFile(c.grammar));
        struct Build {
            const char* exe;
            std::string commands;
            bool reported;
        };
        const Build builds[] = {
            {"cxx", bin("duq-yacc") + " -k " + bin("yaccpar") + " -o cxx.cpp g.y && " + bin("vork-cc") + " cxx.cpp",
             false},
            {"c", bin("duq-yacc") + " -k " + bin("yaccpar") + " -o c.c g.y && " + bin("vork-cc") + " c.c", false},
            {"rep", bin("duq-yacc") + " -k reporting -o rep.cpp g.y && " + bin("vork-cc") + " rep.cpp", true},
            // The directly coded parser must give what the table walk gives.
            {"fast", bin("duq-yacc") + " --fast -o fast.cpp g.y && " + bin("vork-cc") + " fast.cpp", false},
            {"fastc", bin("duq-yacc") + " --fast -o fastc.c g.y && " + bin("vork-cc") + " fastc.c", false},
        };
        for (const Build& b : builds) {
            SCOPED_TRACE(b.exe);
            const Result made = run(b.commands);
            ASSERT_EQ(made.status, 0) << made.out << made.err;
            for (const Input& in : c.inputs) {
                SCOPED_TRACE(in.text);
                const std::string& want = b.reported ? in.reported : in.quiet;
                if (want.empty())
                    continue;
                const Result r = run(std::string("./") + b.exe + ".exe " + quoted(in.text));
                EXPECT_EQ(r.status, 0);
                EXPECT_EQ(r.out, want);
            }
        }
    }
}
