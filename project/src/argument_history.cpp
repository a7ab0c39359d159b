#include "vork/project/argument_history.h"

#include "vork/project/atomic_file.h"

#include <algorithm>

namespace vork {

void ArgumentHistory::add(const std::string& text)
{
    // One item is one line of the file: a text with a line break in it
    // would come back as two.
    if (text.empty() || text.find_first_of("\r\n") != std::string::npos || std::find(items_.begin(), items_.end(), text) != items_.end())
        return;
    items_.insert(items_.begin(), text);
}

bool ArgumentHistory::load(const std::string& baseName)
{
    std::string bytes;
    if (!readWholeFile(fileFor(baseName), bytes, kMaxFileBytes))
        return false;
    std::vector<std::string> items;
    for (std::string& line : splitLines(bytes))
        if (!line.empty() && std::find(items.begin(), items.end(), line) == items.end())
            items.push_back(std::move(line));
    items_ = std::move(items);
    return true;
}

bool ArgumentHistory::save(const std::string& baseName)
{
    std::string bytes;
    for (const std::string& item : items_)
        bytes += item + "\r\n";
    bool ok = writeFileAtomically(fileFor(baseName), bytes);
    items_.clear();
    return ok;
}

} // namespace vork
