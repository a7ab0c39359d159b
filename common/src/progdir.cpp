#include "vork/progdir.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#ifndef VORK_VERSION_STRING
#define VORK_VERSION_STRING "0.0.0"
#endif

namespace vork {

std::string programDirectory()
{
    std::string buf(PATH_MAX, '\0');
    ssize_t n = ::readlink("/proc/self/exe", &buf[0], buf.size());
    if (n > 0 && static_cast<size_t>(n) < buf.size()) {
        buf.resize(static_cast<size_t>(n));
        size_t cut = buf.rfind('/');
        if (cut != std::string::npos)
            return buf.substr(0, cut + 1);
    }
    return "./";
}

static bool isFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string dataFilePath(const std::string& name)
{
    const std::string dir = programDirectory();
    const std::string beside = dir + name;
    if (isFile(beside))
        return beside;
    const std::string installed = dir + "../share/vork/" + name;
    if (isFile(installed))
        return installed;
    return beside;
}

const char* versionString()
{
    return VORK_VERSION_STRING;
}

} // namespace vork
