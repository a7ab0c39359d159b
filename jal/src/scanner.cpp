#include "scanner.h"

#include "messages.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace jal {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isLetter(char c) { return isLower(c) || (c >= 'A' && c <= 'Z'); }

// Where an Int's exact value stops growing: beyond every operand range,
// and far from overflowing int64_t.
constexpr int64_t kExactLimit = int64_t(1) << 40;

bool startsWord(char c) { return isLetter(c) || c == '_' || c == '(' || c == '<' || c == '['; }

bool continuesWord(char c)
{
    switch (c) {
    case '_': case '(': case ')': case '.': case '/': case ';': case '<': case '>': case '[':
        return true;
    default:
        return isLetter(c) || isDigit(c);
    }
}

} // namespace

Scanner::Scanner(const std::string& source, std::ostream& console) : src_(source), console_(console) {}

void Scanner::errorLine(const char* message)
{
    errorLine(message, line_, text_);
}

void Scanner::errorLine(const char* message, int line, const std::string& text)
{
    console_ << message << "(LINE " << line << ": " << text << ")\n";
}

void Scanner::skipTo(std::size_t end)
{
    for (; pos_ < end; ++pos_)
        if (src_[pos_] == '\n')
            ++line_;
}

Token Scanner::take(TokenKind kind, std::size_t end)
{
    Token t;
    t.kind = kind;
    t.text.assign(src_, pos_, end - pos_);
    text_ = t.text;
    skipTo(end);
    return t;
}

Token Scanner::number(std::size_t end, bool isDouble)
{
    Token t = take(isDouble ? TokenKind::Double : TokenKind::Int, end);
    if (isDouble) {
        // from_chars ignores the C locale, which a host program may have
        // switched to one with a decimal comma.
        const char* first = t.text.data();
        const char* last = first + t.text.size();
        auto [ptr, ec] = std::from_chars(first, last, t.doubleValue);
        if (ec == std::errc::result_out_of_range)
            t.doubleValue = (*first == '-' ? -1 : 1) * std::numeric_limits<double>::infinity();
        (void)ptr;
        return t;
    }
    // Decimal, modulo 2^32: the operands only use the low bytes, and an
    // over-long number must not be undefined behaviour.
    uint32_t v = 0;
    int64_t exact = 0;
    bool negative = t.text[0] == '-';
    for (std::size_t i = negative ? 1 : 0; i < t.text.size(); ++i) {
        v = v * 10u + static_cast<uint32_t>(t.text[i] - '0');
        exact = std::min<int64_t>(exact * 10 + (t.text[i] - '0'), kExactLimit);
    }
    if (negative)
        v = 0u - v;
    t.intValue = static_cast<int32_t>(v);
    t.exactValue = negative ? -exact : exact;
    return t;
}

Token Scanner::word(std::size_t end)
{
    Token t = take(TokenKind::Ident, end);
    if (auto a = findAccess(t.text)) {
        t.kind = TokenKind::Access;
        t.access = *a;
    } else if (auto in = findInstruction(t.text)) {
        t.kind = TokenKind::Instr;
        t.instr = *in;
    } else if (auto ty = findArrayType(t.text)) {
        t.kind = TokenKind::Type;
        t.arrayType = *ty;
    } else {
        t.value = t.text;
    }
    return t;
}

Token Scanner::next()
{
    const std::size_t n = src_.size();
    while (pos_ < n) {
        const char c = src_[pos_];
        std::size_t e = pos_ + 1;

        if (c == ';') { // comment up to the end of the line
            while (e < n && src_[e] != '\n')
                ++e;
            skipTo(e);
            continue;
        }

        if (isDigit(c) || (c == '-' && e < n && isDigit(src_[e]))) {
            while (e < n && isDigit(src_[e]))
                ++e;
            if (e + 1 < n && src_[e] == '.' && isDigit(src_[e + 1])) {
                e += 2;
                while (e < n && isDigit(src_[e]))
                    ++e;
                return number(e, true);
            }
            return number(e, false);
        }

        if (c == '.' && e < n && isDigit(src_[e])) {
            while (e < n && isDigit(src_[e]))
                ++e;
            Token t = take(TokenKind::Label, e);
            int64_t v = 0;
            for (std::size_t i = 1; i < t.text.size(); ++i)
                v = std::min<int64_t>(v * 10 + (t.text[i] - '0'), std::numeric_limits<int32_t>::max());
            t.intValue = static_cast<int32_t>(v);
            return t;
        }

        if (c == '.' && e < n && isLower(src_[e])) {
            while (e < n && isLower(src_[e]))
                ++e;
            Token t = take(TokenKind::Directive, e);
            if (auto d = findDirective(t.text)) {
                t.directive = *d;
                return t;
            }
            errorLine(msg::kUnknownDirective);
            continue;
        }

        if (c == '"') {
            std::size_t close = src_.find('"', e);
            if (close != std::string::npos) {
                Token t = take(TokenKind::String, close + 1);
                t.value = t.text.substr(1, t.text.size() - 2);
                return t;
            }
            // An unterminated quote begins no token; fall through.
        }

        if (startsWord(c)) {
            while (e < n && continuesWord(src_[e]))
                ++e;
            return word(e);
        }

        // Blanks, tabs, newlines and characters that begin no token.
        skipTo(e);
    }
    text_.clear();
    return Token{};
}

} // namespace jal
