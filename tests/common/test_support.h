// What every suite needs around the code under test: a private scratch
// directory (suites run their cases in parallel, and the generators write
// fixed temporary names into the current directory), whole-file reads and
// writes, and running a program through the shell.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vorktest {

// A fresh directory under /tmp, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = "/tmp/vork-test-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Makes a directory the current one for the life of the object.
class CurrentDir {
public:
    explicit CurrentDir(const std::string& dir) : previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~CurrentDir()
    {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }
    CurrentDir(const CurrentDir&) = delete;
    CurrentDir& operator=(const CurrentDir&) = delete;

private:
    std::filesystem::path previous_;
};

// A scratch directory that is the current one while the object lives.
class ScratchDir : public TempDir {
public:
    ScratchDir() : cwd_(path()) {}

private:
    CurrentDir cwd_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// False when the file could not be written (some cases aim at that).
inline bool writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

inline bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// The names in dir that begin with prefix, sorted: the work files a run
// may have left behind.
inline std::vector<std::string> namesStartingWith(const std::string& dir, const std::string& prefix)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        const std::string n = e.path().filename().string();
        if (n.rfind(prefix, 0) == 0)
            names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file of the source tree, relative to its top.
inline std::string sourceFile(const std::string& relative)
{
    return readFile(std::string(VORK_SOURCE_DIR) + "/" + relative);
}

// The lines of a text, without their line ends.
inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

inline bool contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// One word for the shell, whatever it holds.
inline std::string quoted(const std::string& word)
{
    std::string q = "'";
    for (char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A program of the build, quoted for the shell.
inline std::string program(const std::string& name) { return quoted(std::string(VORK_BIN_DIR) + "/" + name); }

struct Run {
    int status = -1;  // exit status, -1 when killed or not started
    std::string out;  // standard output
    std::string err;  // standard error, when run by runIn
};

inline int exitStatus(int raw) { return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

// Runs a shell command line and collects its standard output.
inline Run runCommand(const std::string& command)
{
    Run r;
    if (std::FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            r.out.append(buf, n);
        r.status = exitStatus(::pclose(p));
    }
    return r;
}

// Runs a shell command line in dir with `input` as its standard input, and
// collects its standard output and error (through stdin.txt, stdout.txt and
// stderr.txt in dir).
inline Run runIn(const std::string& dir, const std::string& command, const std::string& input = "")
{
    writeFile(dir + "/stdin.txt", input);
    Run r;
    r.status = exitStatus(
        std::system(("cd " + quoted(dir) + " && (" + command + ") <stdin.txt >stdout.txt 2>stderr.txt").c_str()));
    r.out = readFile(dir + "/stdout.txt");
    r.err = readFile(dir + "/stderr.txt");
    return r;
}

} // namespace vorktest
