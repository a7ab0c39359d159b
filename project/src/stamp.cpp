#include "vork/project/stamp.h"

#include <sys/stat.h>

namespace vork {

int32_t packDosStamp(const std::tm& t)
{
    // Seven bits of year: years before 1980 or after 2107 wrap around
    // instead of being clamped, so two distinct times still rarely collide.
    uint32_t year = static_cast<uint32_t>(t.tm_year + 1900 - 1980) & 0x7f;
    uint32_t date = (year << 9) | ((static_cast<uint32_t>(t.tm_mon + 1) & 0x0f) << 5) |
                    (static_cast<uint32_t>(t.tm_mday) & 0x1f);
    uint32_t time = ((static_cast<uint32_t>(t.tm_hour) & 0x1f) << 11) |
                    ((static_cast<uint32_t>(t.tm_min) & 0x3f) << 5) |
                    ((static_cast<uint32_t>(t.tm_sec) / 2) & 0x1f);
    return static_cast<int32_t>((date << 16) | time);
}

int32_t fileStamp(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return kNoStamp;
    std::tm local{};
    if (!::localtime_r(&st.st_mtime, &local))
        return kNoStamp;
    return packDosStamp(local);
}

} // namespace vork
