// Generated parsers at work: each grammar under data/ is generated with
// duq-yacc, table walk and directly coded, compiled with vork-cc as C++
// and as C, and fed inputs through its own yylex.
#include "e2e_support.h"

using namespace e2e;

TEST(GeneratedParser, GrammarsParseTheirInputs)
{
    struct Input {
        std::string text;
        const char* output;
        const char* args = "";  // of the generated compiler
    };
    struct Case {
        const char* grammar;
        const char* conflicts;  // the summary duq-yacc prints ("" when there are none)
        std::vector<Input> inputs;
    };
    const Case cases[] = {
        {"calc.y",
         "",
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
         }},
        {"dangling-else.y",
         "conflicts: \n1 shift/reduce\n",
         {
             {"iix", "x if if result 0\n"},
             {"iixex", "x x ifelse if result 0\n"},
             {"ixex", "x x ifelse result 0\n"},
             {"ixexe", "x x ifelse syntax error\nresult 1\n"},
         }},
        {"nonassoc.y",
         "",
         {
             {"n<n", "ok\nresult 0\n"},
             {"n+n<n+n", "ok\nresult 0\n"},
             {"n<n<n", "syntax error\nresult 1\n"},
             {"n<n+n<n", "syntax error\nresult 1\n"},
         }},
        {"reduce-reduce.y", "conflicts: \n1 reduce/reduce\n", {{"zx", "a\nresult 0\n"}, {"zy", "by\nresult 0\n"}}},
        // Without yyerrok, errors within three tokens of the last one are
        // not reported again; with it, each one is.
        {"recover.y",
         "",
         {
             {"n;x;n;", "ok\nsyntax error\nrecovered\nok\nresult 0\n"},
             {"xx;x;n;n;", "syntax error\nrecovered\nrecovered\nok\nok\nresult 0\n"},
             {"xx;x;n;n;", "syntax error\nrecovered\nsyntax error\nrecovered\nok\nok\nresult 0\n", "1"},
             {"n;n", "ok\nsyntax error\nresult 1\n"},
             {"n;x", "ok\nsyntax error\nresult 1\n"},
         }},
        // YYERROR recovers without a message (a second one within three
        // tokens would count again), yyclearin drops the ';' read for the
        // reduction, YYACCEPT and YYABORT end the parse.
        {"macros.y",
         "",
         {
             {"1;(2);a 3;", "value 1\nvalue 2\naccept after 0 errors\nresult 0\n"},
             {"0!5;7;4!", "recovered\nvalue 7\nchecked 4\nresult 0\n"},
             {"1;x 2;", "value 1\nabort\nresult 1\n"},
             {"k5;;", "cleared\nkept 5\nresult 0\n"},
             {"k5;", "cleared\nsyntax error\nresult 1\n"},
             {"k1+2;", "kept 3\nresult 0\n"},
             {"0!a", "result 1\n"},
             {"0!;a", "recovered\naccept after 1 errors\nresult 0\n"},
         }},
        // The stack holds 150 entries.
        {"overflow.y",
         "",
         {
             {"aaaa", "result 0\n"},
             {std::string(100, 'a'), "result 0\n"},
             {std::string(400, 'a'), "yacc stack overflow\nresult 1\n"},
         }},
        {"expr.y",
         "",
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
         }},
    };
    // The directly coded parser (--fast) must give the same outputs.
    for (const Case& c : cases) {
        for (const char* mode : {"", "--fast"})
        for (const bool asC : {false, true}) {
            SCOPED_TRACE(c.grammar);
            SCOPED_TRACE(asC ? "as C" : "as C++");
            SCOPED_TRACE(mode);
            yacctest::TempDir dir;
            writeFile("charlex.h", dataFile("charlex.h"));
            Result gen;
            if (!build(dataFile(c.grammar), &gen, asC, mode))
                continue;
            // The conflict summary stands before the conflicts' explanations
            // and the result line, if at all.
            const size_t from = gen.out.find("conflicts"),
                         to = std::min(gen.out.find("Parser was written"), gen.out.find("conflict in state "));
            EXPECT_EQ(from < to && to != std::string::npos ? gen.out.substr(from, to - from) : "", c.conflicts) << gen.out;
            for (const Input& in : c.inputs) {
                SCOPED_TRACE(in.text);
                const Result r = run(std::string("./g.exe ") + in.args, in.text);
                EXPECT_EQ(r.status, 0);
                EXPECT_EQ(r.out, in.output);
            }
        }
    }
}
