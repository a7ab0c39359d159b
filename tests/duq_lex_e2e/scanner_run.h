// Building and running a scanner from a lex specification, the way a user
// does: duq-lex writes lexyy.cpp, vork-cc compiles it, the program runs.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A directory of its own under /tmp, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// Runs a shell command line; the exit status, or -1 when it did not exit.
int runShell(const std::string& command);

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Writes `spec` as spec.l in dir, generates lexyy.cpp (with --no-optimise
// when optimise is false, and the further duq-lex options) and compiles it
// to lexyy.exe.  Returns "" on success, else what went wrong with the
// tools' own output.
std::string buildScanner(const TempDir& dir, const std::string& spec, bool optimise,
                         const std::string& options = "");

// Compiles dir/lexyy.cpp to lexyy.exe (with the sanitizers).  "" on
// success, else the compiler's output.
std::string compileScanner(const TempDir& dir);

// Runs dir/lexyy.exe in dir with the arguments and standard input.
RunResult runScanner(const TempDir& dir, const std::vector<std::string>& args, const std::string& input);

std::string binPath(const std::string& name);

} // namespace e2e
