// The translator's progress and outcome, one line each, read back by
// whoever started the translation.
#pragma once

#include "vork/files.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace jal {

class MessageFile {
public:
    // With name not null: creates a new message file "jaltemp-XXXXXX.tmp"
    // in the current directory (never an existing file or a link) and puts
    // its name in *name, "" when it cannot be created.  Without a file the
    // messages go to fallback.
    MessageFile(std::string* name, std::ostream& fallback);
    ~MessageFile();
    MessageFile(const MessageFile&) = delete;
    MessageFile& operator=(const MessageFile&) = delete;

    // fmt is one of the message texts, ending in '\n', with at most one
    // "%s", which takes arg.
    void write(const char* fmt, const std::string& arg = std::string());

private:
    vork::WorkFile work_;
    std::FILE* file_ = nullptr;
    std::ostream& fallback_;
};

} // namespace jal
