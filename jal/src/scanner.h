// Splits a Jal source into tokens, longest match first.
#pragma once

#include "token.h"

#include <cstddef>
#include <ostream>
#include <string>

namespace jal {

class Scanner {
public:
    // The source must outlive the scanner.  Unknown directives are reported
    // on console and skipped.
    Scanner(const std::string& source, std::ostream& console);

    Token next();

    // The line counter: 1 + the newlines read so far.
    int line() const { return line_; }
    // The text of the last token read ("" at the end of the source).
    const std::string& text() const { return text_; }

    // Writes "MESSAGE(LINE n: TEXT)" with the current line and text.
    void errorLine(const char* message);
    // The same for a place read earlier.
    void errorLine(const char* message, int line, const std::string& text);

private:
    void skipTo(std::size_t end);
    Token take(TokenKind kind, std::size_t end);
    Token number(std::size_t end, bool isDouble);
    Token word(std::size_t end);

    const std::string& src_;
    std::ostream& console_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string text_;
};

} // namespace jal
