// Feeds arbitrary bytes to the Jal translator as a source file.
//
// Everything happens in a private scratch directory, which becomes the
// current one because the translator writes its message file there.
#include "jal/jal.h"

#include "../scratch_dir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

bool enterScratchDir()
{
    return chdir(vork_fuzz::scratchDir("jal-fuzz-").c_str()) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = enterScratchDir();
    if (!ready)
        std::abort();

    std::FILE* f = std::fopen("f.jal", "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);

    std::ostringstream console;
    std::string messages;
    jal::jal_translate("f.jal", console, &messages);
    if (!messages.empty())
        std::remove(messages.c_str());
    return 0;
}
