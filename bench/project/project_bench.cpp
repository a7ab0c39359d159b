// Opening and saving a full project (255 members) and reading a large
// token file: the steps the IDE runs on open, close and every debug build.
// Prints microseconds per operation.
#include "vork/project/project_file.h"
#include "vork/project/project_ui.h"
#include "vork/project/projekt.h"
#include "vork/project/token_names.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

template <typename F>
static double microsPerRun(int runs, F f)
{
    auto start = Clock::now();
    for (int i = 0; i < runs; ++i)
        f();
    std::chrono::duration<double, std::micro> d = Clock::now() - start;
    return d.count() / runs;
}

int main()
{
    char tmpl[] = "/tmp/vork-bench-XXXXXX";
    const std::string dir = std::string(::mkdtemp(tmpl)) + "/";

    vork::ProjectFileData data;
    data.runArguments = "input.txt";
    for (int i = 0; i < 255; ++i)
        data.memberFiles.push_back("src/module" + std::to_string(i) + ".c");
    std::string bytes;
    vork::serializeProjectFile(data, bytes);

    double parse = microsPerRun(2000, [&] {
        vork::ProjectFileData d;
        vork::parseProjectFile(bytes, d);
    });

    vork::FixedAnswerUi ui(vork::FixedAnswerUi::Answer::No, nullptr);
    {
        FILE* f = std::fopen((dir + "big.ly").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    double open = microsPerRun(200, [&] {
        vork::Projekt p(dir + "big.ly", false, ui);
        p.setSaveOnClose(false);
    });
    vork::Projekt p(dir + "big.ly", false, ui);
    double save = microsPerRun(200, [&] { p.save(); });

    std::string tokens;
    for (int i = 0; i < 5000; ++i)
        tokens += "# define TOKEN" + std::to_string(i) + " " + std::to_string(257 + i) + "\n";
    double names = microsPerRun(200, [&] { (void)vork::parseTokenNames(tokens); });

    std::printf("parse project file (255 members): %8.1f us\n", parse);
    std::printf("open Projekt (255 members):       %8.1f us\n", open);
    std::printf("save Projekt (atomic, fsync):     %8.1f us\n", save);
    std::printf("token names (5000 defines):       %8.1f us\n", names);
    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
