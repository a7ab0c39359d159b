// A limit or resource failure that ends the translation.  The parser turns
// it into an error line and a failed parse, so no class file is written.
#pragma once

#include <string>

namespace jal {

struct TranslationError {
    std::string message;
};

} // namespace jal
