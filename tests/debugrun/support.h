// Helpers of the debug-run tests: a private directory, private channel
// names, and a child process run with a scripted stdin and a time limit.
#pragma once

#include "../common/test_support.h"

#include <chrono>
#include <string>
#include <vector>

namespace drtest {

using vorktest::readFile;
using vorktest::sourceFile;
using vorktest::TempDir;
using vorktest::writeFile;

// Copies examples/<example>/<names> into dir.
void copyExample(const std::string& example, const std::vector<std::string>& names, const TempDir& dir);

struct ProgramRun {
    bool timedOut = false;
    int exitCode = -1; // 128 + signal when killed by one
    std::string out;
    std::vector<std::string> lines() const { return vorktest::lines(out); }
};

// Runs argv in dir with stdin fed from input and stdout captured;
// VORK_CHAN_SUFFIX is set to channelSuffix so that runs in parallel never
// meet.  A run that outlives limit is killed.
ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& dir, const std::string& input,
               const std::string& channelSuffix, std::chrono::milliseconds limit);

// A suffix of its own for each call: pid and a counter.
std::string uniqueSuffix();

std::string vorkProgram();

} // namespace drtest
