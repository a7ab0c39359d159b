// Any bytes as konfig.ide: the reading never fails, keeps the font size in
// its range, and what it yields is written back to a file that reads to the
// same settings (a setting the program wrote is never lost at the next
// start).
#include "vork/project/configuration.h"

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
    vork::Configuration c;
    vork::parseConfiguration(bytes, c);
    check(c.fontSize >= 2 && c.fontSize <= 99);

    const std::string written = vork::serializeConfiguration(c);
    vork::Configuration back;
    back.cCompilerPath = "?";  // every field must come from the file
    back.fontName = "?";
    back.fontSize = 50;
    back.scannerOptimisation = !c.scannerOptimisation;
    back.scannerStatistics = !c.scannerStatistics;
    back.slovakMessages = !c.slovakMessages;
    back.syntaxColouring = !c.syntaxColouring;
    back.largeTables = !c.largeTables;
    vork::parseConfiguration(written, back);
    // a value the reader would not take back (a line end inside it, or a
    // line over the length it reads) is not written as it is; everything
    // else survives the round trip
    const bool pathFits = c.cCompilerPath.size() <= 253 && c.cCompilerPath.find_first_of("\r\n") == std::string::npos;
    const bool fontFits = c.fontName.size() <= 253 && c.fontName.find_first_of("\r\n") == std::string::npos;
    check(back.scannerOptimisation == c.scannerOptimisation);
    check(back.scannerStatistics == c.scannerStatistics);
    check(back.slovakMessages == c.slovakMessages);
    check(back.syntaxColouring == c.syntaxColouring);
    if (pathFits && fontFits) {
        check(back.cCompilerPath == c.cCompilerPath);
        check(back.fontName == c.fontName);
        check(back.fontSize == c.fontSize);
        check(back.largeTables == c.largeTables);
    }
    return 0;
}
