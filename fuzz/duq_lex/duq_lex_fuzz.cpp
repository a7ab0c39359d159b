// Arbitrary bytes as a lex specification: the run must end with status 0 or
// 1, never crash, hang or touch memory it does not own.
#include "duq_lex/lex_run.h"

#include "../scratch_dir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct Files {
    std::string dir, spec, skel, out;
    Files()
    {
        dir = vork_fuzz::scratchDir("duq_lex_fuzz_");
        spec = dir + "/spec.l";
        skel = dir + "/ncform";
        out = dir + "/lexyy.cpp";
        std::FILE* f = std::fopen(skel.c_str(), "w");
        std::fputs("/* skeleton */\n", f);
        std::fclose(f);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Files files;
    std::FILE* f = std::fopen(files.spec.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    vork::NullSinks sinks;
    // the first byte picks the options, so all three flags get exercised
    int flags = size ? data[0] : 0;
    int status = duq_lex::lex_run(sinks, files.skel, files.spec, files.out, flags & 1, (flags >> 1) & 1,
                                  (flags >> 2) & 1 ? 0 : 1);
    if (status != 0 && status != 1)
        std::abort();
    return 0;
}
