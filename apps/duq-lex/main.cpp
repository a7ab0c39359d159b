// duq-lex: the scanner generator from the command line.
#include "duq_lex/lex_run.h"
#include "vork/error_list.h"
#include "vork/progdir.h"

#include <cstdio>
#include <cstring>
#include <string>

static void usage(std::FILE* to)
{
    std::fputs("usage: duq-lex [-o OUTPUT] [-k SKELETON] [--debug] [--slovak] [--stats] [--no-optimise] [--large] [--] SPEC\n"
               "  -o OUTPUT      generated scanner (default lexyy.cpp)\n"
               "  -k SKELETON    scanner skeleton (default ncform next to the program)\n"
               "  --debug        use the debug skeleton lncform\n"
               "  --slovak       Slovak messages\n"
               "  --stats        print the table statistics\n"
               "  --no-optimise  unpacked tables\n"
               "  --large        large tables: 16 times the default sizes\n"
               "  --             the next word is SPEC, even when it begins with '-'\n"
               "  --help, --version\n",
               to);
}

int main(int argc, char** argv)
{
    std::string output = "lexyy.cpp", skeleton, spec;
    bool debug = false;
    int slovak = 0, stats = 0, optimise = 1, large = 0;
    bool optionsEnded = false;  // after "--" every word is a file name
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (optionsEnded || a[0] != '-' || a[1] == 0) {
            if (!spec.empty()) {
                usage(stderr);
                return 2;
            }
            spec = a;
            continue;
        }
        if (!std::strcmp(a, "--")) {
            optionsEnded = true;
            continue;
        }
        if (!std::strcmp(a, "--help")) {
            usage(stdout);
            return 0;
        }
        if (!std::strcmp(a, "--version")) {
            std::printf("duq-lex %s\n", vork::versionString());
            return 0;
        }
        if ((!std::strcmp(a, "-o") || !std::strcmp(a, "-k")) && i + 1 < argc) {
            (a[1] == 'o' ? output : skeleton) = argv[++i];
        } else if (!std::strcmp(a, "--debug")) {
            debug = true;
        } else if (!std::strcmp(a, "--slovak")) {
            slovak = 1;
        } else if (!std::strcmp(a, "--stats")) {
            stats = 1;
        } else if (!std::strcmp(a, "--no-optimise")) {
            optimise = 0;
        } else if (!std::strcmp(a, "--large")) {
            large = 1;
        } else {
            std::fprintf(stderr, "duq-lex: unknown option %s\n", a);
            usage(stderr);
            return 2;
        }
    }
    if (spec.empty()) {
        usage(stderr);
        return 2;
    }
    if (skeleton.empty())
        skeleton = vork::dataFilePath(debug ? "lncform" : "ncform");
    vork::StreamSinks sinks(stdout, stderr, spec, "");
    return duq_lex::lex_run(sinks, skeleton, spec, output, slovak, stats, optimise, large);
}
