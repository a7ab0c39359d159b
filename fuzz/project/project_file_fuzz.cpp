// Any bytes as a project file, a konfig.ide and a token file: nothing may
// crash, and a project file that reads must write back to bytes that read
// to the same values.
#include "vork/project/configuration.h"
#include "vork/project/project_file.h"
#include "vork/project/token_names.h"

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

    vork::ProjectFileData d;
    if (vork::parseProjectFile(bytes, d)) {
        std::string again;
        if (vork::serializeProjectFile(d, again)) {
            vork::ProjectFileData back;
            check(vork::parseProjectFile(again, back));
            check(back.lexStamp == d.lexStamp && back.yaccStamp == d.yaccStamp);
            check(back.debugMode == d.debugMode && back.alwaysCompile == d.alwaysCompile);
            check(back.defaultCSource == d.defaultCSource && back.runArguments == d.runArguments);
            check(back.memberFiles == d.memberFiles);
            check(d.defaultCSource || back.cSourceFile == d.cSourceFile);
        }
    }

    vork::Configuration c;
    vork::parseConfiguration(bytes, c);
    check(c.fontSize >= 2 && c.fontSize <= 99);

    (void)vork::parseTokenNames(bytes);
    return 0;
}
