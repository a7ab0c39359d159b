#include "input_gen.h"

#include <cstdint>

namespace {

class Lcg {
public:
    explicit Lcg(unsigned seed) : s_(seed * 2654435761u + 1) {}
    uint32_t next()
    {
        s_ = s_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(s_ >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    uint64_t s_;
};

const char* const kKeywords[] = {
    "auto", "break", "case", "char", "const", "continue", "default", "do",
    "double", "else", "enum", "extern", "float", "for", "goto", "if",
    "int", "long", "register", "return", "short", "signed", "sizeof", "static",
    "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while",
};
const char* const kOps[] = {
    "...", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=", ">=", "==",
    "!=", "&&", "||", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=",
    "+", "-", "*", "/", "%", "<", ">", "=", "!", "&", "|", "^", "~", "?",
    ":", ";", ",", ".", "(", ")", "[", "]", "{", "}",
};
const char kIdentFirst[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
const char kIdentRest[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789";
const char kHex[] = "0123456789abcdefABCDEF";
const char kText[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 +-*/=<>()[]{}.,;:!?#$%&|^~";

void ident(std::string& out, Lcg& r)
{
    out += kIdentFirst[r.below(sizeof kIdentFirst - 1)];
    for (int n = r.below(10); n > 0; --n) out += kIdentRest[r.below(sizeof kIdentRest - 1)];
}

void digits(std::string& out, Lcg& r, int max)
{
    for (int n = 1 + r.below(max); n > 0; --n) out += static_cast<char>('0' + r.below(10));
}

void number(std::string& out, Lcg& r)
{
    switch (r.below(4)) {
    case 0:
        out += "0x";
        for (int n = 1 + r.below(8); n > 0; --n) out += kHex[r.below(sizeof kHex - 1)];
        break;
    case 1:
        digits(out, r, 4);
        out += '.';
        digits(out, r, 4);
        if (r.below(2)) {
            out += "e";
            if (r.below(2)) out += r.below(2) ? '-' : '+';
            digits(out, r, 2);
        }
        break;
    default:
        digits(out, r, 6);
    }
}

void quoted(std::string& out, Lcg& r, char q, int max)
{
    out += q;
    for (int n = (q == '\'' ? 1 : 0) + r.below(max); n > 0; --n) {
        if (r.below(12) == 0) {
            out += '\\';
            out += "ntr\\\"'0"[r.below(7)];
        } else {
            out += kText[r.below(sizeof kText - 1)];
        }
    }
    out += q;
}

void comment(std::string& out, Lcg& r)
{
    if (r.below(3) == 0) {
        out += "//";
        for (int n = r.below(60); n > 0; --n) out += kText[r.below(sizeof kText - 1)];
        out += '\n';
        return;
    }
    out += "/*";
    for (int n = r.below(120); n > 0; --n) {
        int k = r.below(40);
        out += k == 0 ? '\n' : k == 1 ? '*' : kText[r.below(sizeof kText - 1)];
    }
    out += "*/";
}

} // namespace

std::string generateCInput(std::size_t minBytes, unsigned seed)
{
    Lcg r(seed);
    std::string out;
    out.reserve(minBytes + 256);
    while (out.size() < minBytes) {
        int k = r.below(100);
        if (k < 30)
            ident(out, r);
        else if (k < 42)
            out += kKeywords[r.below(32)];
        else if (k < 54)
            number(out, r);
        else if (k < 84)
            out += kOps[r.below(sizeof kOps / sizeof kOps[0])];
        else if (k < 91)
            quoted(out, r, '"', 30);
        else if (k < 95)
            quoted(out, r, '\'', 2);
        else
            comment(out, r);
        int w = r.below(20);
        out += w < 16 ? ' ' : w < 19 ? '\n' : '\t';
    }
    return out;
}
