#include "vork/project/paths.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace vork::paths {

namespace {

std::vector<std::string> components(const std::string& path)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i <= path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos)
            j = path.size();
        std::string part = path.substr(i, j - i);
        if (part == "..") {
            if (!out.empty())
                out.pop_back();
        } else if (!part.empty() && part != ".") {
            out.push_back(std::move(part));
        }
        i = j + 1;
    }
    return out;
}

} // namespace

std::string extension(const std::string& path)
{
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return path.substr(dot);
}

std::string stripExtension(const std::string& path)
{
    return path.substr(0, path.size() - extension(path).size());
}

std::string fileName(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string directory(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string currentDirectory()
{
    std::vector<char> buf(4096);
    for (;;) {
        if (::getcwd(buf.data(), buf.size())) {
            std::string dir(buf.data());
            if (dir.empty() || dir.back() != '/')
                dir += '/';
            return dir;
        }
        if (errno != ERANGE)
            return "/";
        buf.resize(buf.size() * 2);
    }
}

std::string absolute(const std::string& path, const std::string& baseDir)
{
    std::string full = (!path.empty() && path[0] == '/') ? path : baseDir + "/" + path;
    std::string out;
    for (const std::string& c : components(full))
        out += "/" + c;
    return out.empty() ? "/" : out;
}

std::string relative(const std::string& target, const std::string& dir)
{
    std::vector<std::string> t = components(target);
    std::vector<std::string> d = components(dir);
    // Only the directories of the target take part in the common prefix;
    // its last component is the file itself.
    size_t common = 0;
    while (common < d.size() && common + 1 < t.size() && d[common] == t[common])
        ++common;
    std::string out;
    for (size_t i = common; i < d.size(); ++i)
        out += "../";
    for (size_t i = common; i < t.size(); ++i) {
        out += t[i];
        if (i + 1 < t.size())
            out += '/';
    }
    return out;
}

std::string fromStored(const std::string& line)
{
    std::string out = line;
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

} // namespace vork::paths
