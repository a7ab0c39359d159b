// Any bytes as the token file of a debug build: reading never fails, every
// name is a whole word, and a token file written from the names reads back
// to the same names.
#include "vork/project/token_names.h"

#include <cstdint>
#include <cstdlib>
#include <string>

static void check(bool ok)
{
    if (!ok)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> names = vork::parseTokenNames(bytes);
    std::string again;
    int code = 257;
    for (const std::string& n : names) {
        check(!n.empty());
        check(n.find_first_of(" \t\r\n\v\f") == std::string::npos);
        // a name holding '#' would end its line early when written back
        if (n.find('#') != std::string::npos)
            return 0;
        again += "# define " + n + " " + std::to_string(code++) + "\n";
    }
    check(vork::parseTokenNames(again) == names);
    return 0;
}
