#include "message_file.h"

#include <cstring>

namespace jal {

MessageFile::MessageFile(std::ostream& fallback)
    : file_("jaltemp.tmp", std::ios::binary | std::ios::trunc), fallback_(fallback)
{
}

void MessageFile::write(const char* fmt, const std::string& arg)
{
    std::string line(fmt);
    if (auto at = line.find("%s"); at != std::string::npos)
        line.replace(at, 2, arg);
    if (!file_.is_open()) {
        fallback_ << line;
        return;
    }
    // The environment's text files end their lines with CR LF.
    if (!line.empty() && line.back() == '\n')
        line.insert(line.size() - 1, "\r");
    file_ << line;
    file_.flush();
}

} // namespace jal
