#include "scanner_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace e2e {

TempDir::TempDir()
{
    char templ[] = "/tmp/duq_lex_e2e.XXXXXX";
    if (!mkdtemp(templ)) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

int runShell(const std::string& command)
{
    int rc = std::system(command.c_str());
    if (rc == -1 || !WIFEXITED(rc)) return -1;
    return WEXITSTATUS(rc);
}

std::string binPath(const std::string& name)
{
    return std::string(VORK_BIN_DIR) + "/" + name;
}

std::string buildScanner(const TempDir& dir, const std::string& spec, bool optimise, const std::string& options)
{
    writeFile(dir.file("spec.l"), spec);
    const std::string cd = "cd '" + dir.path() + "' && ";
    std::string gen = cd + "'" + binPath("duq-lex") + "'" + (optimise ? "" : " --no-optimise") + " " + options +
                      " -o lexyy.cpp spec.l >gen.log 2>&1";
    if (runShell(gen) != 0) return "duq-lex failed:\n" + readFile(dir.file("gen.log"));
    return compileScanner(dir);
}

std::string compileScanner(const TempDir& dir)
{
    // The scanners here test behaviour, not speed: no optimisation, and the
    // sanitizers watch the skeleton's buffers and table reads.
    std::string cc = "cd '" + dir.path() +
                     "' && VORK_CC_FLAGS='-O0 -g -fsanitize=address,undefined -fno-sanitize-recover=undefined' '" +
                     binPath("vork-cc") + "' lexyy.cpp >cc.log 2>&1";
    if (runShell(cc) != 0) return "vork-cc failed:\n" + readFile(dir.file("cc.log"));
    return "";
}

RunResult runScanner(const TempDir& dir, const std::vector<std::string>& args, const std::string& input)
{
    writeFile(dir.file("stdin.txt"), input);
    std::string cmd = "cd '" + dir.path() + "' && ./lexyy.exe";
    for (const auto& a : args) cmd += " '" + a + "'";
    cmd += " <stdin.txt >stdout.txt 2>stderr.txt";
    RunResult r;
    r.status = runShell(cmd);
    r.out = readFile(dir.file("stdout.txt"));
    r.err = readFile(dir.file("stderr.txt"));
    return r;
}

} // namespace e2e
