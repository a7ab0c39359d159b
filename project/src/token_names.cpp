#include "vork/project/token_names.h"

#include <cctype>

namespace vork {

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// A white-space separated word; false at the end of the text.
bool readWord(const std::string& s, size_t& pos, std::string& word)
{
    while (pos < s.size() && isSpace(s[pos]))
        ++pos;
    size_t start = pos;
    while (pos < s.size() && !isSpace(s[pos]))
        ++pos;
    word.assign(s, start, pos - start);
    return !word.empty();
}

} // namespace

std::vector<std::string> parseTokenNames(const std::string& s)
{
    std::vector<std::string> names;
    size_t pos = s.find('#');
    if (pos == std::string::npos)
        return names;
    ++pos;
    for (;;) {
        std::string directive, name;
        if (!readWord(s, pos, directive) || !readWord(s, pos, name))
            break;
        // Names are kept whole whatever their length; the parser generator
        // limits them, this reader need not.
        names.push_back(name);
        // The code after the name is not needed: the skip to the next '#'
        // passes over it.
        pos = s.find('#', pos);
        if (pos == std::string::npos)
            break;
        ++pos;
    }
    return names;
}

} // namespace vork
