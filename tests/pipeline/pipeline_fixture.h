// Shared pieces of the pipeline tests (next to the project tests' private
// directory and file helpers): explicit modification times, and a stand-in
// C compiler.
#pragma once

#include "../project/test_dir.h"

#include "vork/project/headless_projekt.h"
#include "vork/project/stamp.h"

#include <string>
#include <utime.h>
#include <vector>

namespace vork::test {

using vorktest::contains;
using vorktest::lines;

// Stamps have two-second resolution, so tests set times instead of
// sleeping: kBaseTime for the sources, kBaseTime + kLater for an "edit".
constexpr time_t kBaseTime = 1600000000;
constexpr time_t kLater = 100;

inline void setMtime(const std::string& path, time_t t)
{
    struct utimbuf times = {t, t};
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

inline void makeExecutable(const std::string& path, const std::string& script)
{
    writeFile(path, script);
    ::chmod(path.c_str(), 0755);
}

// A C compiler stand-in: records its arguments (one per line) in logFile,
// prints a line as its diagnostics, and on success leaves an executable
// program at its last argument without the extension + ".exe".  That
// program records its arguments and working directory in "ran.txt" (in its
// working directory) and exits with runExit.
inline void writeStandInCompiler(const std::string& path, const std::string& logFile, int exitCode,
                                 int runExit = 0, const std::string& programBody = "")
{
    std::string body = programBody.empty()
                           ? "printf '%s\\n' \"$PWD\" \"$@\" > ran.txt\nexit " + std::to_string(runExit) + "\n"
                           : programBody;
    std::string s = "#!/bin/sh\n"
                    ": > '" + logFile + "'\n"
                    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + logFile + "'; done\n"
                    "echo \"stand-in: $#\"\n"
                    "echo \"stand-in stderr\" >&2\n"
                    "for last in \"$@\"; do :; done\n";
    if (exitCode == 0)
        s += "exe=\"${last%.*}.exe\"\ncat > \"$exe\" <<'PROGRAM'\n#!/bin/sh\n" + body + "PROGRAM\nchmod +x \"$exe\"\n";
    s += "exit " + std::to_string(exitCode) + "\n";
    makeExecutable(path, s);
}

} // namespace vork::test
