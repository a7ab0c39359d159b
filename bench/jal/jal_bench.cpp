// Translation speed of a large Jal source: 100 methods with branches,
// constants and member references, about as big as the limits allow.
#include "jal/jal.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    char tmpl[] = "/tmp/jal-bench-XXXXXX";
    if (!mkdtemp(tmpl) || chdir(tmpl) != 0)
        return 1;

    std::string src = ".source big.jal\n.class public Big .super java/lang/Object\n";
    for (int m = 0; m < 100; ++m) {
        src += ".method public static m" + std::to_string(m) + " (I)I\n";
        for (int i = 0; i < 90; ++i) {
            src += ".1 iload_0 ifle .2 iinc 0 -1 bipush 7 sipush 300 iadd pop\n";
            if (i == 0)
                src += "getstatic java/lang/System out Ljava/io/PrintStream;\nldc \"text\"\npop2\n";
            src += "goto .1\n.2 nop\n";
        }
        src += "iconst_0 ireturn\n.endm\n";
    }
    std::ofstream("big.jal") << src;

    std::ostringstream console;
    const auto start = std::chrono::steady_clock::now();
    int ok = 0;
    for (int r = 0; r < rounds; ++r) {
        std::string messages;  // written as in the IDE, then dropped
        ok += jal::jal_translate("big.jal", console, &messages) ? 1 : 0;
        unlink(messages.c_str());
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("jal: %d of %d translations of %zu bytes: %.2f ms each, %.1f MB/s\n", ok, rounds,
                src.size(), 1000 * secs / rounds, src.size() * rounds / secs / 1e6);
    unlink("big.jal");
    unlink("BIG.CLASS");
    rmdir(tmpl);
    return ok == rounds ? 0 : 1;
}
