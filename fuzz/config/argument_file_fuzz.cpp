// Any bytes as a project's argument history (".arg"): loading never fails,
// keeps no empty and no repeated line, and the history saved and loaded
// again is the same list in the same order.
#include "vork/project/argument_history.h"

#include "../scratch_dir.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <unistd.h>

static void check(bool ok)
{
    if (!ok)
        std::abort();
}

static std::string baseName()
{
    static std::string base = vork_fuzz::scratchDir("argument_file_fuzz_") + "/projekt";
    return base;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string base = baseName();
    std::FILE* f = std::fopen(vork::ArgumentHistory::fileFor(base).c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    vork::ArgumentHistory h;
    check(h.load(base));
    const std::vector<std::string> items = h.items();
    std::set<std::string> seen;
    for (const std::string& s : items) {
        check(!s.empty());
        check(s.find('\n') == std::string::npos);
        check(seen.insert(s).second);
    }
    check(h.save(base));
    check(h.items().empty());
    vork::ArgumentHistory back;
    check(back.load(base));
    check(back.items() == items);
    return 0;
}
