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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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


// One function's worth of C89 for the front end's input; %d is the copy's
// number, so that every copy declares its own names.  Type names are the
// ones the C scanner knows as typedef names.
const char* const kCText =
    "/* copy %d: a record type, a table and a function over them */\n"
    "struct pair%d { long a, b; unsigned short c; char name[16]; };\n"
    "static int table%d[8] = { 1, 2, 3, 4, 5, 6, 7, 8 };\n"
    "extern FILE *stream%d;\n"
    "static long compute%d(int a, int b, const char *s, node_t *n)\n"
    "{\n"
    "    int i, j = 0, k;\n"
    "    struct pair%d p;\n"
    "    long total = 0L;\n"
    "    for (i = 0; i < a; ++i) {\n"
    "        if (s[i] == 'x' && (b & 3) != 0)\n"
    "            total += table%d[i %% 8] * (a - b) / (j + 1);\n"
    "        else if (n != 0 && n->key > i)\n"
    "            total -= (long) n->key << 2;\n"
    "        else\n"
    "            j = j ? j - 1 : b;\n"
    "    }\n"
    "    while (total > 1000 || total < -1000)\n"
    "        total = total / 3 + (total %% 7);\n"
    "    switch (b) {\n"
    "    case 1: p.a = total; break;\n"
    "    case 2: p.b = sizeof(struct pair%d); break;\n"
    "    default: k = compute%d(a - 1, b, s, n); total += k; break;\n"
    "    }\n"
    "    do { j++; p.name[j & 15] = \"text\"[j & 3]; } while (j < 10);\n"
    "    return total + p.a * p.b - (long) f(a, &b, sizeof p, -3.5e2);\n"
    "}\n\n";

// The bytes of the parse tables a generated parser file defines: its
// arrays of short, counted by their commas.
long tableBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    long values = 0;
    for (size_t at = text.find("\nshort "); at != std::string::npos; at = text.find("\nshort ", at + 1)) {
        const size_t open = text.find('{', at), close = text.find("};", at);
        if (open == std::string::npos || close == std::string::npos)
            break;
        values += std::count(text.begin() + long(open), text.begin() + long(close), ',');
    }
    return values * long(sizeof(short));
}

// The bytes of the memory the parser engine draws from the tables on its
// first call (its static objects named yyx...), as the program's symbol
// table gives them; -1 when nm cannot tell.
long engineBytes(const std::string& program)
{
    std::FILE* p = popen(("nm -S -C '" + program + "' 2>/dev/null").c_str(), "r");
    if (!p)
        return -1;
    long total = 0;
    bool any = false;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        char address[64], size[64], kind[8], name[256];
        if (std::sscanf(line, "%63s %63s %7s %255s", address, size, kind, name) == 4 &&
            std::string(name).compare(0, 3, "yyx") == 0 && (kind[0] == 'b' || kind[0] == 'B' || kind[0] == 'd' || kind[0] == 'D')) {
            total += std::strtol(size, nullptr, 16);
            any = true;
        }
    }
    return pclose(p) == 0 && any ? total : -1;
}

// The text (code) segment of a program, as size(1) gives it; -1 when it
// cannot tell.
long textBytes(const std::string& program)
{
    std::FILE* p = popen(("size '" + program + "' 2>/dev/null").c_str(), "r");
    if (!p)
        return -1;
    char line[512];
    long text = -1;
    if (std::fgets(line, sizeof line, p) && std::fgets(line, sizeof line, p))
        text = std::strtol(line, nullptr, 10);
    return pclose(p) == 0 ? text : -1;
}

std::string cInput(size_t bytes)
{
    std::string text;
    char buf[2048];
    for (int i = 0; text.size() < bytes; ++i) {
        std::snprintf(buf, sizeof buf, kCText, i, i, i, i, i, i, i, i, i);
        text += buf;
    }
    return text;
}

// The C89 front end of the end-to-end tests (its grammar in the large-tables
// mode, its DUQ-Lex scanner) over several megabytes of C: the scanner alone
// against scanner and parser, the best of a few runs of each, in one run.
bool timeCFrontEnd(const std::string& bin, const std::string& source, const std::string& skeleton)
{
    const std::string data = source + "/tests/duq_yacc_e2e/data/c/";
    std::ifstream in(data + "c.y", std::ios::binary);
    std::string grammar((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The grammar's own user code has a main() that only parses; ours times.
    const size_t rules = grammar.find("\n%%\n");
    const size_t user = rules == std::string::npos ? rules : grammar.find("\n%%\n", rules + 4);
    if (user == std::string::npos) {
        std::fprintf(stderr, "the C grammar has no third section\n");
        return false;
    }
    grammar.resize(user + 4);
    grammar += "#include \"lexyy.cpp\"\n#include <time.h>\n"
               "void yyerror(char *s) { printf(\"line %d: %s\\n\", lineno, s); }\n"
               "static double now(void)\n{\n    struct timespec ts;\n    clock_gettime(CLOCK_MONOTONIC, &ts);\n"
               "    return ts.tv_sec + ts.tv_nsec / 1e9;\n}\n"
               "int main(int argc, char **argv)\n{\n    double t0;\n    long tokens = 0;\n    int result = 0;\n"
               "    if (argc < 3 || (yyin = fopen(argv[2], \"r\")) == NULL)\n        return 2;\n"
               "    t0 = now();\n    if (argv[1][0] == 's')\n        while (yylex() != 0)\n            ++tokens;\n"
               "    else\n        result = yyparse();\n"
               "    printf(\"%.6f %ld %d\\n\", now() - t0, tokens, result);\n"
               "    return result;\n}\n";
    writeFile("cfront.y", grammar);
    std::filesystem::copy_file(data + "c.l", "c.l", std::filesystem::copy_options::overwrite_existing);
    // cfront.exe with the skeleton's table walk, cfast.exe coded directly.
    const std::string build = "'" + bin + "/duq-lex' -o lexyy.cpp c.l >/dev/null && '" + bin + "/duq-yacc' --large -k '" +
                              skeleton + "' -o cfront.cpp cfront.y >/dev/null && '" + bin + "/vork-cc' cfront.cpp && '" +
                              bin + "/duq-yacc' --large --fast -o cfast.cpp cfront.y >/dev/null && '" + bin +
                              "/vork-cc' cfast.cpp";
    const auto b0 = std::chrono::steady_clock::now();
    if (std::system(build.c_str()) != 0) {
        std::fprintf(stderr, "the C front end did not build\n");
        return false;
    }
    std::printf("C front end, both parsers generated and compiled in %.1f s\n", msSince(b0) / 1000);
    const std::string input = cInput(size_t(6) << 20);
    writeFile("input.c", input);
    // Scanner alone, table walk, directly coded: rounds of the three in turn.
    const char* const commands[] = {"./cfront.exe scan input.c", "./cfront.exe parse input.c", "./cfast.exe parse input.c"};
    double best[3] = {1e9, 1e9, 1e9};
    long tokens = 0;
    for (int round = 0; round < 5; ++round) {
        for (int mode = 0; mode < 3; ++mode) {
            std::FILE* p = popen(commands[mode], "r");
            double seconds = 0;
            long count = 0;
            int result = 1;
            const int got = p ? std::fscanf(p, "%lf %ld %d", &seconds, &count, &result) : 0;
            if (!p || pclose(p) != 0 || got != 3 || result != 0) {
                std::fprintf(stderr, "the C front end failed on its input\n");
                return false;
            }
            best[mode] = std::min(best[mode], seconds);
            tokens = std::max(tokens, count);
        }
    }
    const double mb = input.size() / 1e6;
    std::printf("C front end, %.1f MB, %ld tokens: scanner alone %7.1f MB/s, scanner + parser %7.1f MB/s, "
                "(scan + parse) / scan %.2f\n",
                mb, tokens, mb / best[0], mb / best[1], best[1] / best[0]);
    std::printf("C front end, directly coded parser (--fast): scanner + parser %7.1f MB/s, (scan + parse) / scan %.2f\n",
                mb / best[2], best[2] / best[0]);
    std::printf("C front end program text: %ld bytes with the table walk, %ld bytes coded directly\n",
                textBytes("cfront.exe"), textBytes("cfast.exe"));
    std::printf("C front end parser tables: %ld bytes in the parser file, %ld bytes drawn from them by the engine\n",
                tableBytes("cfront.cpp"), engineBytes("cfront.exe"));
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
    // The same grammar coded directly (--fast), in a program of its own
    // with the same hand-written parser to compare with.
    if (duq_yacc::yacc_run(sinks, bin + "/yaccpar", "expr.y", "exprfast.cpp", 0, nullptr, 0, "", "", 0, 2.0, "", 1) !=
        0) {
        std::fprintf(stderr, "generation of the directly coded expression parser failed\n");
        return 1;
    }
    const std::string compile = "'" + bin + "/vork-cc' expr.cpp && '" + bin + "/vork-cc' exprfast.cpp";
    if (std::system(compile.c_str()) != 0) {
        std::fprintf(stderr, "vork-cc failed\n");
        return 1;
    }
    const std::string tokens = argc > 1 ? argv[1] : "2000000";
    std::printf("-- expression parser, table walk:\n");
    std::fflush(stdout);
    int status = std::system(("./expr.exe " + tokens).c_str());
    std::printf("-- expression parser, coded directly (--fast):\n");
    std::fflush(stdout);
    status |= std::system(("./exprfast.exe " + tokens).c_str());
    std::fflush(stdout);
    const bool front = timeCFrontEnd(bin, VORK_SOURCE_DIR, bin + "/yaccpar");
    std::filesystem::current_path("/");
    std::filesystem::remove_all(tmpl);
    return status == 0 && front ? 0 : 1;
}
