#include "jal/jal.h"

namespace jal {

std::string class_file_name(const std::string& source_path)
{
    // Only the file-name part is cut and upper-cased: dots in directory
    // names ("../x.jal", "v1.2/x.jal") are not extensions, and the
    // directories must keep their case to exist on a case-sensitive file
    // system.
    const std::size_t slash = source_path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t nameEnd = source_path.rfind('.');
    if (nameEnd == std::string::npos || nameEnd < nameStart)
        nameEnd = source_path.size();

    std::string out = source_path.substr(0, nameStart);
    // ASCII only, whatever locale the host program runs in.
    for (std::size_t i = nameStart; i < nameEnd; ++i) {
        char c = source_path[i];
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out + ".CLASS";
}

} // namespace jal
