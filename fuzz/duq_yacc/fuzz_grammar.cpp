// libFuzzer harness: arbitrary bytes as a grammar.  Every run must end with
// status 0 or 1 and leave no temporary file behind; the sanitizers watch
// the rest.
#include "duq_yacc/yacc_run.h"
#include "vork/sinks.h"

#include "../scratch_dir.h"

#include <cstdint>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// The generator writes into the current directory: give the whole fuzzing
// process a private one.
bool enterScratchDirectory()
{
    if (chdir(vork_fuzz::scratchDir("duq-yacc-fuzz-").c_str()) != 0)
        return false;
    std::FILE* f = std::fopen("skel", "w");
    if (!f)
        return false;
    std::fputs("int yyparse() { switch (0) { $A } }\n", f);
    std::fclose(f);
    return true;
}

// A work file of a run ("yacc-XXXXXX.tmp", "yacc-XXXXXX.act") still there.
bool workFileLeft()
{
    DIR* d = opendir(".");
    if (!d)
        return false;
    bool left = false;
    while (const dirent* e = readdir(d))
        left = left || std::string(e->d_name).rfind("yacc-", 0) == 0;
    closedir(d);
    return left;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = enterScratchDirectory();
    if (!ready)
        std::abort();
    std::FILE* f = std::fopen("g.y", "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    vork::NullSinks sinks;
    int count = -1;
    // Every fifth input also gets the state listing, and one in 64 of
    // those up to 512 bytes the conflict examples.  The examples' walk
    // may visit two million nodes, so on a grown grammar one input with
    // examples cost more than a thousand without; the others leave them
    // out, and the unifying searches get 0.001 s of budget, 100 pairs for
    // the whole input (with 10 ms a conflict by the clock one input took
    // 2 s under the sanitizers and timed out on a busy machine).  The choice goes by the bytes' sum, not
    // the size: most mutations keep the size, so the fuzzer's favourite
    // inputs, which the searches' coverage makes those with examples, would
    // keep them.
    const bool listing = size % 5 == 0;
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += data[i];
    const double examples = size <= 512 && sum % 64 == 0 ? 0.001 : -1;
    // One in three also codes yyparse directly from the tables (--fast).
    const int fast = sum % 3 == 1;
    const int status = duq_yacc::yacc_run(sinks, "skel", "g.y", "g.cpp", size % 2, &count, size % 3 == 0, "g.lex",
                                          listing ? "g.stv" : "", 0, examples, std::string(), fast);
    if (status != 0 && status != 1)
        std::abort();
    if (count < 0 || count > 127)
        std::abort();
    if (workFileLeft())
        std::abort();  // a run, finished or failed, takes its work files along
    if (listing && status == 0 && access("g.stv", F_OK) != 0)
        std::abort();  // a finished run with a state file has written it
    std::remove("g.cpp");
    std::remove("g.lex");
    std::remove("g.stv");
    return 0;
}
