// Helpers shared by the project and pipeline tests: a private temporary
// directory per test (so tests can run in parallel), whole-file reads and
// writes, directory listings, and running the vork program.
#pragma once

#include "../common/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace vork::test {

using vorktest::exists;
using vorktest::quoted;
using vorktest::readFile;
using vorktest::sourceFile;
using vorktest::writeFile;
using RunResult = vorktest::Run;

// The path ends with '/', so that dir / "name" is plain concatenation.
class TempDir {
public:
    std::string operator/(const std::string& name) const { return path_ + name; }
    const std::string& path() const { return path_; }

private:
    vorktest::TempDir dir_;
    std::string path_ = dir_.path() + "/";
};

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

// Runs build/bin/vork with args, already quoted for the shell.
inline RunResult runVork(const std::string& args)
{
    return vorktest::runCommand(vorktest::program("vork") + " " + args + " 2>/dev/null");
}

} // namespace vork::test
