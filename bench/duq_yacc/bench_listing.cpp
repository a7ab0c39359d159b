// DUQ-yacc benchmark (not a test): what the state listing and the conflict
// examples add to a generation.  The first grammars have some 300 rules and
// 10 shift/reduce conflicts (10 of its expression groups have no
// precedence); then two grammars with hundreds of conflicts, where the goal
// is a generation with examples at most twice as long as one without.
// Each figure is the best CPU time of several runs, with the page faults
// a run took on average (on a virtual machine they can cost more than the
// work itself).
//
//   cmake --build build --target bench-duq-yacc-listing
#include "duq_yacc/yacc_run.h"
#include "vork/sinks.h"

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Group i: stmt : K<i> e<i> ';' ; e<i> : e<i> '+' f<i> | f<i> ;
// f<i> : N | '(' e<i> ')' ;  five rules.  The first `ambiguous` groups
// write e<i> '+' e<i> instead, one conflict each.
std::string grammar(int groups, int ambiguous)
{
    std::string g = "%token N";
    for (int i = 0; i < groups; ++i)
        g += " K" + std::to_string(i);
    g += "\n%%\nlist : list stmt | stmt ;\n";
    for (int i = 0; i < groups; ++i) {
        const std::string n = std::to_string(i), e = "e" + n, f = "f" + n;
        g += "stmt : K" + n + " " + e + " ';' ;\n";
        g += e + " : " + e + " '+' " + (i < ambiguous ? e : f) + " | " + f + " ;\n";
        g += f + " : N | '(' " + e + " ')' ;\n";
    }
    return g;
}

constexpr int kRounds = 20;
// The grammars with hundreds of conflicts run in a millisecond or two:
// more rounds make their best time, and so the ratio, steadier on a
// machine others share.
constexpr int kManyRounds = 60;

// CPU time (user + system) of the process: the machine is shared, and wall
// time would count the other programs' turns too.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Page faults of the process so far: on a virtual machine one costs some
// microseconds, and a run whose memory the allocator gave back to the
// system faults it in again.
long minorFaults()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

struct Counting : vork::Sinks {
    void message(const std::string& text) override { conflicts += text.find("conflict in state ") != std::string::npos; }
    void lexError(const std::string&, int) override {}
    void lexWarning(const std::string&, int) override {}
    void yaccError(const std::string&, int) override { ++errors; }
    int conflicts = 0, errors = 0;
};

struct Config {
    Config(const char* w, const char* s, double c) : what(w), stateFile(s), cexSeconds(c) {}
    const char* what;
    const char* stateFile;
    double cexSeconds;
    double best = 1e300;
    long faults = 0;
    Counting sinks;
};

void measure(int groups, int large)
{
    writeFile("g.y", grammar(groups, 10));
    std::printf("%d rules, 10 conflicts%s, best CPU time of %d runs each:\n", groups * 5 + 2,
                large ? " (large-tables mode)" : "", kRounds);
    Config configs[] = {
        {"generation alone", "", -1},
        {"generation + listing", "g.stv", -1},
        {"generation + listing + examples", "g.stv", 2.0},
        {"generation + examples (no listing)", "", 2.0},
    };
    // The configurations take turns, so that a busy moment of the machine
    // does not fall on one of them only.
    for (int round = 0; round < kRounds; ++round)
        for (Config& c : configs) {
            const double t0 = cpuMs();
            const long f0 = minorFaults();
            duq_yacc::yacc_run(c.sinks, "skel", "g.y", "g.cpp", 0, nullptr, 0, "", c.stateFile, large, c.cexSeconds);
            c.best = std::min(c.best, cpuMs() - t0);
            c.faults += minorFaults() - f0;
        }
    for (const Config& c : configs)
        std::printf("  %-40s %8.2f ms  (%d conflict heads, %d errors, %.1f page faults per run)\n", c.what,
                    c.best, c.sinks.conflicts / kRounds, c.sinks.errors / kRounds,
                    static_cast<double>(c.faults) / kRounds);
    const double plain = configs[0].best;
    std::printf("  the listing adds %.2f ms (%.0f%% of the generation); listing and examples add %.2f ms\n",
                configs[1].best - plain, 100.0 * (configs[1].best - plain) / plain, configs[2].best - plain);
}

// A grammar of the tests' data with many conflicts: the generation without
// examples, with the default budget, and with none for the unifying search.
void manyConflicts(const char* file)
{
    std::ifstream in(std::string(VORK_SOURCE_DIR) + "/tests/duq_yacc/data/" + file, std::ios::binary);
    writeFile("g.y", std::string(std::istreambuf_iterator<char>(in), {}));
    std::printf("%s, best CPU time of %d runs each:\n", file, kManyRounds);
    Config configs[] = {
        {"generation alone", "", -1},
        {"generation + examples (default budget)", "", 2.0},
        {"generation + examples (--cex-time 0)", "", 0},
        {"generation + listing + examples", "g.stv", 2.0},
    };
    for (int round = 0; round < kManyRounds; ++round)
        for (Config& c : configs) {
            const double t0 = cpuMs();
            const long f0 = minorFaults();
            duq_yacc::yacc_run(c.sinks, "skel", "g.y", "g.cpp", 0, nullptr, 0, "", c.stateFile, 0, c.cexSeconds);
            c.best = std::min(c.best, cpuMs() - t0);
            c.faults += minorFaults() - f0;
        }
    for (const Config& c : configs)
        std::printf("  %-40s %8.2f ms  (%d conflict heads, %d errors, %.1f page faults per run)\n", c.what,
                    c.best, c.sinks.conflicts / kManyRounds, c.sinks.errors / kManyRounds,
                    static_cast<double>(c.faults) / kManyRounds);
    std::printf("  with examples / without: %.2fx (goal: at most 2x)\n", configs[1].best / configs[0].best);
}

} // namespace

int main()
{
    char tmpl[] = "/tmp/duq-yacc-listing-bench-XXXXXX";
    if (!mkdtemp(tmpl) || chdir(tmpl) != 0) {
        std::perror("scratch directory");
        return 1;
    }
    writeFile("skel", "int yyparse() { switch (0) { $A } return 0; }\n");
    measure(45, 0);  // 227 rules: the default mode holds 500 states
    measure(60, 1);  // 302 rules
    manyConflicts("operators21.y");  // 23 rules, 441 conflicts
    manyConflicts("equations.y");    // 73 rules, 195 conflicts
    std::filesystem::current_path("/");
    std::filesystem::remove_all(tmpl);
    return 0;
}
