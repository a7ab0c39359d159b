// Helpers shared by the project and pipeline tests: a private temporary
// directory per test (so tests can run in parallel), whole-file reads and
// writes, directory listings, and running the vork program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vork::test {

class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/vork-project-XXXXXX";
        if (!::mkdtemp(tmpl))
            throw std::runtime_error("mkdtemp failed");
        path_ = std::string(tmpl) + "/";
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string operator/(const std::string& name) const { return path_ + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readFile(const std::string& path)
{
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// A file of the source tree, such as an example project or test data.
inline std::string sourceFile(const std::string& rel) { return readFile(std::string(VORK_SOURCE_DIR) + "/" + rel); }

inline bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// The names in dir, sorted, without "." and "..".
inline std::vector<std::string> listing(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct RunResult {
    int status = -1;  // exit status, -1 when killed or not started
    std::string out;  // standard output only
};

// Runs build/bin/vork with args, already quoted for the shell.
inline RunResult runVork(const std::string& args)
{
    RunResult r;
    FILE* p = ::popen((std::string("'") + VORK_BIN_DIR + "/vork' " + args + " 2>/dev/null").c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }

} // namespace vork::test
