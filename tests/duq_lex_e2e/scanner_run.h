// Building and running a scanner from a lex specification, the way a user
// does: duq-lex writes lexyy.cpp, vork-cc compiles it, the program runs.
#pragma once

#include "../common/test_support.h"

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A directory of its own under /tmp, removed with everything in it.
class TempDir : public vorktest::TempDir {
public:
    std::string file(const std::string& name) const { return *this / name; }
};

using vorktest::readFile;
using vorktest::writeFile;

// Runs a shell command line; the exit status, or -1 when it did not exit.
inline int runShell(const std::string& command) { return vorktest::runCommand(command).status; }

using RunResult = vorktest::Run;

// Writes `spec` as spec.l in dir, generates lexyy.cpp (lexyy.c when asC:
// vork-cc then compiles it as C; with --no-optimise when optimise is false,
// and the further duq-lex options) and compiles it to lexyy.exe.  Returns
// "" on success, else what went wrong with the tools' own output.
std::string buildScanner(const TempDir& dir, const std::string& spec, bool optimise,
                         const std::string& options = "", bool asC = false);

// Runs dir/lexyy.exe in dir with the arguments and standard input.
RunResult runScanner(const TempDir& dir, const std::vector<std::string>& args, const std::string& input);

inline std::string binPath(const std::string& name) { return std::string(VORK_BIN_DIR) + "/" + name; }

} // namespace e2e
