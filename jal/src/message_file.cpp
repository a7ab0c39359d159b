#include "message_file.h"

namespace jal {

MessageFile::MessageFile(std::string* name, std::ostream& fallback) : fallback_(fallback)
{
    if (!name)
        return;
    file_ = work_.create("jaltemp-", ".tmp", "wb");
    *name = file_ ? work_.name() : std::string();
    // The caller reads the file and removes it.
    work_.release();
}

MessageFile::~MessageFile()
{
    if (file_)
        std::fclose(file_);
}

void MessageFile::write(const char* fmt, const std::string& arg)
{
    std::string line(fmt);
    if (auto at = line.find("%s"); at != std::string::npos)
        line.replace(at, 2, arg);
    if (!file_) {
        fallback_ << line;
        return;
    }
    // The environment's text files end their lines with CR LF.
    if (!line.empty() && line.back() == '\n')
        line.insert(line.size() - 1, "\r");
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

} // namespace jal
