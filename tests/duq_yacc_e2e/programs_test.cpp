// Whole programs written the classic way, each through duq-yacc, duq-lex
// and vork-cc as a user builds it, then run on inputs worked out by hand:
// a desk calculator whose grammar includes its scanner, a small Pascal
// whose scanner is a file of its own that includes the token header, and
// hoc with YYSTYPE double and a hand-written yylex.
#include "e2e_support.h"

#include <vector>

using namespace e2e;

namespace {

struct ProgramRun {
    std::vector<std::string> args;  // of the program
    std::string input;              // its standard input
    std::string output;
    int status = 0;
};

// One way of building: the parser's C file and the scanner's (empty when
// the program has no lex specification).
struct Build {
    const char* parser;
    const char* scanner;
    const char* yaccArgs = "";
};

struct Program {
    const char* name;
    const char* grammar;       // under data/
    const char* specification; // under data/, or nullptr
    bool separateScanner;      // compiled on its own with the token header, else included by the grammar
    const char* conflicts;     // the summary duq-yacc prints, "" for none
    std::vector<Build> builds;
    std::vector<const char*> files;  // further data files the runs read
    std::vector<ProgramRun> runs;
};

std::string stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

} // namespace

TEST(ClassicPrograms, BuildAndRunAsWritten)
{
    const Program programs[] = {
        // %union, %token <t>, %type, $<t>$ and $<t>N around actions inside
        // rules, %prec, YYERROR, YYACCEPT, YYABORT, yyerrok and yyclearin in
        // an error rule that resynchronises on the newline.
        {"desk calculator",
         "desk.y",
         "desk.l",
         false,
         "",
         {{"desk.cpp", "lexyy.cpp"}, {"desk.c", "lexyy.cpp"}, {"desk.cpp", "lexyy.cpp", "--fast"}},
         {},
         {
             {{},
              "1 + 2 * 3\n-(4 - 10) * 2\na = 7 % 4\nb = a * -a\na + b\n8 / (a - 3)\n2 + + 3\nsum(1, 2, a)\n"
              "check 5\nquit\n1+1\n",
              "7\n12\n-6\ndivision by zero\nline 6 skipped\nsyntax error\nline 7 skipped\nsum 6 at line 8\nok 5\n"
              "bye\nresult 0 after 9 lines\n"},
             {{}, "x = 2\ncheck x - 5\nx\n", "negative, abort\nresult 1 after 1 lines\n"},
             {{}, "", "result 0 after 0 lines\n"},
         }},
        // The scanner knows the tokens and yylval's %union through the
        // header of -d; %nonassoc, %left, %right, %prec, strings in yylval,
        // a tree built in the actions and run afterwards, an error rule
        // inside a statement list, and the dangling else, which is the one
        // expected conflict and binds the else to the inner if.  The parser
        // and the scanner may be C or C++ each.
        {"Pascal subset with a scanner of its own",
         "pascal.y",
         "pascal.l",
         true,
         "conflicts: \n1 shift/reduce\n",
         {{"pascal.cpp", "lexyy.cpp"}, {"pascal.c", "lexyy.c"}, {"pascal.cpp", "lexyy.c"}, {"pascal.c", "lexyy.c", "--fast"}},
         {"primes.pas"},
         {
             {{"primes.pas"},
              "",
              "line 19: syntax error\n2 is prime\n3 is prime\n5 is prime\n7 is prime\n11 is prime\n13 is prime\n"
              "17 is prime\n19 is prime\n23 is prime\n29 is prime\ndangling else binds inner\n"
              "-7 div 2 = -3, 2*3+4 = 10, not 0 = 1\nprogram primes done\n"},
             {{},
              "program p; begin i := 3; while i do begin writeln(i); i := i - 1 end end.",
              "3\n2\n1\nprogram p done\n"},
             {{}, "program p; begin a := 1 < 2 < 3 end.", "line 1: syntax error\nprogram p done\n"},
             {{}, "program p begin end.", "line 1: syntax error\n", 1},
         }},
        // YYSTYPE double by #define, no %union; the assignment that is also
        // an expression gives hoc's one shift/reduce conflict.
        {"hoc",
         "hoc.y",
         nullptr,
         false,
         "conflicts: \n1 shift/reduce\n",
         {{"hoc.cpp", ""}, {"hoc.c", ""}, {"hoc.c", "", "--fast"}},
         {},
         {
             {{},
              "1.5 + 2\nx = 2 ^ 3 ^ 2\nx / 8\ny = x = 4\ny * -x\n1 / 0\n3 +\n2 * (3 + 4);\n",
              "\t3.5\n\t64\n\t-16\nhoc: division by zero near line 7\nhoc: syntax error near line 8\n{;} 14\n"},
         }},
    };
    for (const Program& p : programs) {
        SCOPED_TRACE(p.name);
        for (const Build& b : p.builds) {
            SCOPED_TRACE(std::string(b.parser) + " " + b.scanner + " " + b.yaccArgs);
            yacctest::TempDir dir;
            writeFile(p.grammar, dataFile(p.grammar));
            for (const char* f : p.files)
                writeFile(f, dataFile(f));
            // The scanner includes the header by the grammar's name.
            const std::string header = p.separateScanner ? " --defines " + stem(p.grammar) + ".h" : "";
            const Result yacc =
                run(bin("duq-yacc") + " " + b.yaccArgs + header + " -o " + b.parser + " " + p.grammar);
            ASSERT_EQ(yacc.status, 0) << yacc.out << yacc.err;
            const size_t from = yacc.out.find("conflicts"),
                         to = std::min(yacc.out.find("Parser was written"), yacc.out.find("conflict in state "));
            EXPECT_EQ(from < to && to != std::string::npos ? yacc.out.substr(from, to - from) : "", p.conflicts);
            if (p.specification) {
                writeFile(p.specification, dataFile(p.specification));
                const Result lex = run(bin("duq-lex") + " -o " + b.scanner + " " + p.specification);
                ASSERT_EQ(lex.status, 0) << lex.out << lex.err;
            }
            const Result cc =
                run(bin("vork-cc") + " " + b.parser + (p.separateScanner ? std::string(" ") + b.scanner : ""));
            ASSERT_EQ(cc.status, 0) << cc.out << cc.err;
            for (const ProgramRun& r : p.runs) {
                SCOPED_TRACE(r.input);
                std::string command = "timeout 20 ./" + stem(b.parser) + ".exe";
                for (const std::string& a : r.args)
                    command += " " + quoted(a);
                const Result prog = run(command, r.input);
                EXPECT_EQ(prog.status, r.status);
                EXPECT_EQ(prog.out, r.output);
            }
        }
    }
}
