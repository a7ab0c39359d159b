// A private temporary directory per test, so tests can run in parallel.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vork::test {

class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/vork-project-XXXXXX";
        const char* d = ::mkdtemp(tmpl);
        if (!d)
            throw std::runtime_error("mkdtemp failed");
        path_ = std::string(d) + "/";
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }

    // Absolute path of name inside the directory.
    std::string operator/(const std::string& name) const { return path_ + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace vork::test
