// Scanner benchmark: generates a C tokenizer from ctok.l with duq-lex,
// compiles it and the hand-written handscan.c with vork-cc, and runs both
// on the same generated input.  Prints the generation time, both scanning
// times and their ratio; fails when the two token streams differ.
//
//   duq_lex_bench [MEGABYTES]   (default 24)
#include "input_gen.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

std::string bin(const std::string& name) { return std::string(VORK_BIN_DIR) + "/" + name; }

int shell(const std::string& cmd)
{
    int rc = std::system(cmd.c_str());
    return (rc != -1 && WIFEXITED(rc)) ? WEXITSTATUS(rc) : -1;
}

std::string slurp(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// CPU time (user + system) that the finished children have used so far.
double childrenCpu()
{
    struct rusage u;
    getrusage(RUSAGE_CHILDREN, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Timing {
    double cpu = 1e30;   // seconds of CPU time, best run
    double wall = 1e30;  // seconds of wall time, best run
};

// Best times of `runs` runs of a command; cpu < 0 on failure.  CPU time
// is the figure to compare: the machine is shared, wall time is noisy.
Timing bestOf(int runs, const std::string& cmd)
{
    Timing best;
    for (int i = 0; i < runs; ++i) {
        double c0 = childrenCpu();
        auto t0 = std::chrono::steady_clock::now();
        if (shell(cmd) != 0) return Timing{-1, -1};
        std::chrono::duration<double> d = std::chrono::steady_clock::now() - t0;
        best.cpu = std::min(best.cpu, childrenCpu() - c0);
        best.wall = std::min(best.wall, d.count());
    }
    return best;
}

int fail(const std::string& what)
{
    std::fprintf(stderr, "duq_lex_bench: %s\n", what.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 24.0;
    char templ[] = "/tmp/duq_lex_bench.XXXXXX";
    if (!mkdtemp(templ)) return fail("cannot create a work directory");
    const std::string dir = templ;
    const std::string cd = "cd '" + dir + "' && ";
    namespace fs = std::filesystem;
    for (const char* f : {"ctok.l", "ctok.h", "handscan.c"})
        fs::copy_file(fs::path(BENCH_SOURCE_DIR) / f, fs::path(dir) / f);

    {
        std::string text = generateCInput(static_cast<size_t>(megabytes * 1024 * 1024), 1);
        std::ofstream(dir + "/input.c", std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        std::printf("input:              %.1f MB of C-like text\n", text.size() / (1024.0 * 1024.0));
    }

    Timing gen = bestOf(5, cd + "'" + bin("duq-lex") + "' -o lexyy.cpp ctok.l >gen.log 2>&1");
    if (gen.cpu < 0) return fail("duq-lex failed:\n" + slurp(dir + "/gen.log"));
    if (shell(cd + "'" + bin("vork-cc") + "' lexyy.cpp >cc.log 2>&1") != 0)
        return fail("vork-cc lexyy.cpp failed:\n" + slurp(dir + "/cc.log"));
    // The same tokenizer from plain tables (--no-optimise), for comparison.
    if (shell(cd + "mkdir plain && cd plain && cp ../ctok.l ../ctok.h . && '" + bin("duq-lex") +
              "' --no-optimise -o lexyy.cpp ctok.l >gen.log 2>&1 && '" + bin("vork-cc") +
              "' lexyy.cpp >cc.log 2>&1") != 0)
        return fail("the plain-table tokenizer failed to build; see " + dir + "/plain");
    if (shell(cd + "'" + bin("vork-cc") + "' handscan.c >cc.log 2>&1") != 0)
        return fail("vork-cc handscan.c failed:\n" + slurp(dir + "/cc.log"));

    // Alternate the two so that both see the same machine load.
    Timing generated, plain, hand;
    auto keepBest = [](Timing& best, const Timing& t) {
        best = {std::min(best.cpu, t.cpu), std::min(best.wall, t.wall)};
    };
    for (int i = 0; i < 5; ++i) {
        Timing g = bestOf(1, cd + "./lexyy.exe input.c >gen.out");
        Timing p = bestOf(1, cd + "plain/lexyy.exe input.c >plain.out");
        Timing h = bestOf(1, cd + "./handscan.exe input.c >hand.out");
        if (g.cpu < 0 || p.cpu < 0 || h.cpu < 0) return fail("a scanner failed");
        keepBest(generated, g);
        keepBest(plain, p);
        keepBest(hand, h);
    }
    std::string a = slurp(dir + "/gen.out"), b = slurp(dir + "/hand.out");
    if (a != b || a.empty() || slurp(dir + "/plain.out") != b)
        return fail("the token streams differ; see " + dir);

    std::printf("generation:         %.3f s CPU, %.3f s wall (duq-lex ctok.l, best of 5)\n", gen.cpu, gen.wall);
    std::printf("generated scanner:  %.3f s CPU, %.3f s wall (best of 5)\n", generated.cpu, generated.wall);
    std::printf("plain tables:       %.3f s CPU, %.3f s wall (best of 5)\n", plain.cpu, plain.wall);
    std::printf("hand-written:       %.3f s CPU, %.3f s wall (best of 5)\n", hand.cpu, hand.wall);
    std::printf("ratio:              %.2f CPU, %.2f wall (generated / hand-written; goal <= 1.50)\n",
                generated.cpu / hand.cpu, generated.wall / hand.wall);
    std::printf("token stream:       %s", a.substr(a.rfind("tokens")).c_str());
    fs::remove_all(dir);
    return 0;
}
