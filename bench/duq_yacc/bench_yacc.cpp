// DUQ-yacc benchmark (not a test): how fast a generated expression parser
// runs over two million in-memory tokens, how long generation takes for
// the largest grammars of the test suite, and how the large-tables mode's
// generation of a thousand-production grammar compares with the C compile
// of the parser it writes.
//
//   cmake --build build --target bench-duq-yacc
#include "big_grammar.h"
#include "duq_yacc/yacc_run.h"
#include "vork/sinks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The largest grammars of the tests: 299 rules in 27 nonterminals, and a
// rule of 497 symbols (499 states).
std::string manyRules()
{
    std::string g = "%%\ns :";
    for (int i = 0; i < 27; ++i)
        g += " n" + std::to_string(i);
    g += " ;\n";
    for (int i = 0; i < 27; ++i) {
        g += "n" + std::to_string(i) + " :";
        for (int k = 0; k < 11; ++k)
            g += std::string(k ? " |" : "") + " 't" + std::to_string(k) + "'";
        g += " ;\n";
    }
    return g;
}

std::string manyStates()
{
    std::string g = "%%\ns :";
    for (int i = 0; i < 497; ++i)
        g += " 'a'";
    return g + " ;\n";
}

void timeGeneration(const char* name, const std::string& grammar)
{
    writeFile("big.y", grammar);
    vork::NullSinks sinks;
    const int rounds = 20;
    const auto t0 = std::chrono::steady_clock::now();
    int status = 0;
    for (int i = 0; i < rounds; ++i)
        status |= duq_yacc::yacc_run(sinks, "skel", "big.y", "big.cpp", 0, nullptr, 0, "", "");
    const auto t1 = std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count() / rounds;
    std::printf("generation of %-28s %8.2f ms per run (status %d)\n", name, ms, status);
}

double msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Generation of the generated 1003-production, 2004-state grammar in the
// large-tables mode, against vork-cc compiling the parser it wrote.
bool timeLargeMode(const std::string& bin)
{
    const std::string user = "%%\nint yyparse(void);\nint yylex(void) { return 0; }\n"
                             "void yyerror(char *s) { (void) s; }\nint main(void) { return yyparse() == 1 ? 0 : 1; }\n";
    writeFile("large.y", yacctest::bigGrammar() + user);
    vork::NullSinks sinks;
    const int rounds = 10;
    const auto g0 = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        if (duq_yacc::yacc_run(sinks, bin + "/yaccpar", "large.y", "large.cpp", 0, nullptr, 0, "", "", 1) != 0) {
            std::fprintf(stderr, "large-mode generation failed\n");
            return false;
        }
    }
    const double generation = msSince(g0) / rounds;
    const auto c0 = std::chrono::steady_clock::now();
    if (std::system(("'" + bin + "/vork-cc' large.cpp").c_str()) != 0) {
        std::fprintf(stderr, "vork-cc failed on the large parser\n");
        return false;
    }
    const double compile = msSince(c0);
    std::printf("large mode, %d-group grammar:  generation %8.2f ms, vork-cc %8.2f ms, generation/compile %.4f\n",
                yacctest::kBigGroups, generation, compile, generation / compile);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Not __FILE__: with ccache's base directory it is a relative path.
    const std::string source = std::string(VORK_SOURCE_DIR) + "/bench/duq_yacc";
    const std::string bin = VORK_BIN_DIR;
    char tmpl[] = "/tmp/duq-yacc-bench-XXXXXX";
    if (!mkdtemp(tmpl) || chdir(tmpl) != 0) {
        std::perror("scratch directory");
        return 1;
    }
    writeFile("skel", "int yyparse() { switch (0) { $A } return 0; }\n");
    timeGeneration("the 299-rule grammar:", manyRules());
    timeGeneration("the 499-state grammar:", manyStates());
    std::fflush(stdout);
    if (!timeLargeMode(bin))
        return 1;

    std::filesystem::copy_file(source + "/expr_bench.y", "expr.y");
    vork::NullSinks sinks;
    const auto g0 = std::chrono::steady_clock::now();
    if (duq_yacc::yacc_run(sinks, bin + "/yaccpar", "expr.y", "expr.cpp", 0, nullptr, 0, "", "") != 0) {
        std::fprintf(stderr, "generation of the expression parser failed\n");
        return 1;
    }
    const auto g1 = std::chrono::steady_clock::now();
    std::printf("generation of %-28s %8.2f ms\n", "the expression grammar:",
                std::chrono::duration<double, std::milli>(g1 - g0).count());
    std::fflush(stdout);
    const std::string compile = "'" + bin + "/vork-cc' expr.cpp";
    if (std::system(compile.c_str()) != 0) {
        std::fprintf(stderr, "vork-cc failed\n");
        return 1;
    }
    const std::string tokens = argc > 1 ? argv[1] : "2000000";
    const int status = std::system(("./expr.exe " + tokens).c_str());
    std::filesystem::current_path("/");
    std::filesystem::remove_all(tmpl);
    return status == 0 ? 0 : 1;
}
