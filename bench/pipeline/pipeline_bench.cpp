// What the make engine costs around the generators: the up-to-date check
// of a build with nothing to do, a forced rebuild of the calculator with
// the real generators, the command-line splitter, and the start-to-seen
// latency of a process under the 200 ms poll.
//
//   pipeline_bench [iterations]
#include "vork/project/child_process.h"
#include "vork/project/command_line.h"
#include "vork/project/headless_projekt.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace vork;
using Clock = std::chrono::steady_clock;

namespace {

double microsSince(Clock::time_point start, int n)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / n;
}

void copy(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 200;
    char tmpl[] = "/tmp/vork-pipeline-bench-XXXXXX";
    if (!::mkdtemp(tmpl))
        return 1;
    const std::string dir = std::string(tmpl) + "/";
    for (const char* f : {"calc.lyy", "calc.l", "calc.y"})
        copy(std::string(VORK_SOURCE_DIR) + "/examples/calc/" + f, dir + f);

    FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
    {
        HeadlessProjekt p(dir + "calc.lyy", false, ui, nullptr, nullptr);
        p.setSkeletons(SkeletonPaths::inDirectory(VORK_BIN_DIR));
        if (p.build(Projekt::kBuild) != Projekt::kBuildDone) {
            std::fprintf(stderr, "the calculator does not build\n");
            return 1;
        }

        auto t = Clock::now();
        for (int i = 0; i < n; ++i)
            p.build(Projekt::kBuild);
        std::printf("up-to-date build:            %10.1f us\n", microsSince(t, n));

        const int rebuilds = n / 20 + 1;
        t = Clock::now();
        for (int i = 0; i < rebuilds; ++i)
            p.build(Projekt::kRebuild);
        std::printf("rebuild of calc (lex+yacc):  %10.1f us\n", microsSince(t, rebuilds));
    }

    std::string line = "\"/opt/some compiler/bin/cc\"";
    for (int i = 0; i < 200; ++i)
        line += " -Dname" + std::to_string(i) + "=\"value with blanks\" C:\\path\\x" + std::to_string(i) + ".c";
    size_t words = 0;
    auto t = Clock::now();
    for (int i = 0; i < n; ++i)
        words += splitCommandLine(line).size();
    std::printf("split %zu-byte command line: %10.1f us (%zu words)\n", line.size(), microsSince(t, n),
                words / static_cast<size_t>(n));

    // /bin/true under the poll timer: start, then polls until it is seen.
    const int runs = 5;
    t = Clock::now();
    for (int i = 0; i < runs; ++i) {
        ChildProcess c;
        std::string error;
        if (!c.start({"/bin/true"}, {}, error))
            return 1;
        while (c.exitCode() == ChildProcess::kStillActive)
            ::usleep(Projekt::kPollMs * 1000);
    }
    std::printf("process start to end seen:   %10.1f us (poll every %d ms)\n", microsSince(t, runs),
                Projekt::kPollMs);

    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
