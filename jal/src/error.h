// A limit or resource failure that ends the translation.  The parser turns
// it into an error line and a failed parse, so no class file is written.
#pragma once

#include <string>
#include <utility>

namespace jal {

struct TranslationError {
    explicit TranslationError(std::string m, int l = 0, std::string t = {})
        : message(std::move(m)), line(l), text(std::move(t))
    {
    }

    std::string message;
    // Where the fault is when it is not at the current token (line 0): an
    // undefined label is found at ".endm", but the branch naming it is
    // what the user has to fix.
    int line = 0;
    std::string text;
};

} // namespace jal
