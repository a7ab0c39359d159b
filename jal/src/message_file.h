// "jaltemp.tmp": the translator's progress and outcome, one line each, read
// back by whoever started the translation.
#pragma once

#include <fstream>
#include <ostream>
#include <string>

namespace jal {

class MessageFile {
public:
    // Creates or empties "jaltemp.tmp" in the current directory; when that
    // fails the messages go to fallback.
    explicit MessageFile(std::ostream& fallback);

    // fmt is one of the message texts, ending in '\n', with at most one
    // "%s", which takes arg.
    void write(const char* fmt, const std::string& arg = std::string());

private:
    std::ofstream file_;
    std::ostream& fallback_;
};

} // namespace jal
