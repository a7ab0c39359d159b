// Any text splits into words without failing, and the words, quoted again,
// split back into the same words: run arguments given as separate words
// (vork --run -- ARGS) reach the generated compiler unchanged.
#include "vork/project/command_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = vork::splitCommandLine(line);
    for (const std::string& w : words)
        if (w.find_first_of(" \t") != std::string::npos && line.find('"') == std::string::npos)
            std::abort();  // a blank inside a word needs a quote
    if (vork::splitCommandLine(vork::joinArguments(words)) != words)
        std::abort();
    return 0;
}
