// The two colouring passes.  They are twins that differ in details (which
// characters start a word, which count as delimiters, what an unmatched
// word or a failed test leaves), so each is written out on its own rather
// than folded into one parameterised scanner.
//
// Both paint formats into one byte per character, a later paint winning as
// it would when stretches are selected and coloured one after the other,
// and then turn the painted runs into spans.
#include "vork/colour/colouring.h"

#include <cstring>

namespace vork::colour {

namespace {

enum Format : uint8_t {
    kNone,        // left alone
    kPlain,       // black
    kComment,     // comment green
    kDirective,   // line blue, italic
    kNumber,      // line blue
    kRedBold,     // keyword red, bold
    kDark,        // dark red
    kDeep,        // deep red
    kBlackBold,   // black, bold
};

struct Look {
    uint32_t rgb;
    bool bold;
    bool italic;
};

constexpr Look kLooks[] = {
    {kBlack, false, false},        {kBlack, false, false},      {kCommentGreen, false, false},
    {kLineBlue, false, true},      {kLineBlue, false, false},   {kKeywordRed, true, false},
    {kDarkRed, false, false},      {kDeepRed, false, false},    {kBlack, true, false},
};

constexpr std::size_t npos = std::u16string_view::npos;

bool in(char16_t c, const char* set)
{
    return c != 0 && c < 128 && std::strchr(set, static_cast<char>(c)) != nullptr;
}

constexpr const char* kDelims = "\n\t ;,<>[]()=+-*{}!@$&`~%|?:";

bool isD(char16_t c) { return in(c, kDelims); }
bool isDI(char16_t c) { return isD(c) || c == '"' || c == '/' || c == '\''; }
bool isWholeNumberDelim(char16_t c) { return isD(c) || c == '.'; }
bool isLineNumberDelim(char16_t c) { return isD(c) || c == '.' || c == '/' || c == '\''; }
bool isWholeSpecial(char16_t c) { return in(c, "/#\"'^\\%"); }
bool isLineSpecial(char16_t c) { return in(c, "/#\"'^\\"); }
bool isWholeIdentStart(char16_t c) { return c >= 'a' && c <= 'z'; }
bool isLineIdentStart(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '%' || c == '_';
}
bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool isOctal(char16_t c) { return c >= '0' && c <= '7'; }
bool isHex(char16_t c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

class Painter {
public:
    explicit Painter(std::size_t n) : f_(n, kNone) {}
    void paint(std::size_t from, std::size_t to, Format fmt)
    {
        if (to > f_.size())
            to = f_.size();
        for (std::size_t i = from; i < to; ++i)
            f_[i] = fmt;
    }
    std::vector<Span> spans() const
    {
        std::vector<Span> out;
        std::size_t i = 0;
        while (i < f_.size()) {
            const uint8_t fmt = f_[i];
            std::size_t j = i + 1;
            while (j < f_.size() && f_[j] == fmt)
                ++j;
            if (fmt != kNone) {
                const Look& l = kLooks[fmt];
                out.push_back(Span{static_cast<int>(i), static_cast<int>(j - i), l.rgb, l.bold, l.italic});
            }
            i = j;
        }
        return out;
    }

private:
    std::vector<uint8_t> f_;
};

// Line ends and closing quotes, remembered so that a pass stays linear
// however its tokens fall (a long line full of quotes, a text with one
// unclosed quote at the top).
class Finder {
public:
    explicit Finder(std::u16string_view t) : t_(t) {}

    // End of the line holding p: the position of its '\n', or the text's
    // end.  p never decreases within a pass.
    std::size_t lineEnd(std::size_t p)
    {
        if (eol_ == npos || p > eol_) {
            eol_ = t_.find(u'\n', p);
            if (eol_ == npos)
                eol_ = t_.size();
        }
        return eol_;
    }

    // The closing quote q searched from `from` up to `limit` (exclusive).
    // A backslash takes the character after it with it, so an escaped
    // quote does not close and neither does a quote after an escaped
    // backslash ("a\\").
    //
    // A search to the end of the text that found nothing also answers every
    // later one that starts inside the stretch it walked, unless right
    // after a backslash: the earlier search went through from-1 as a
    // character of its own or as the escaped one, and either way went on
    // at from, so both walk the same characters in the same pairs.
    std::size_t findClosing(std::size_t from, std::size_t limit, char16_t q)
    {
        std::size_t& none = q == '"' ? noDouble_ : noSingle_;
        const bool toEnd = limit == t_.size();
        if (toEnd && none != npos && from >= none && (from == none || t_[from - 1] != '\\'))
            return npos;
        for (std::size_t i = from; i < limit; ++i) {
            if (t_[i] == '\\')
                ++i;
            else if (t_[i] == q)
                return i;
        }
        if (toEnd && (none == npos || from < none))
            none = from;
        return npos;
    }

private:
    std::u16string_view t_;
    std::size_t eol_ = npos;
    std::size_t noDouble_ = npos;
    std::size_t noSingle_ = npos;
};

// Where a line comment at p stops: at the end of its line, or, when a
// block comment opens later in the stretch, one character before that
// opening.  The search starts after p, so a comment word that itself is
// "/*" does not cut itself off.
std::size_t lineCommentEnd(std::u16string_view t, std::size_t p, std::size_t eol)
{
    for (std::size_t i = p + 1; i + 1 < eol; ++i)
        if (t[i] == '/' && t[i + 1] == '*')
            return i - 1;
    return eol;
}

// The number starting with the digit at p; returns the position after it.
std::size_t readNumber(std::u16string_view t, std::size_t p)
{
    const std::size_t n = t.size();
    std::size_t i = p + 1;
    if (t[p] != '0') {
        while (i < n && isDigit(t[i]))
            ++i;
    } else if (i < n && (t[i] == 'x' || t[i] == 'X')) {
        ++i;
        while (i < n && isHex(t[i]))
            ++i;
    } else if (i < n && isOctal(t[i])) {
        while (i < n && isOctal(t[i]))
            ++i;
    }
    return i;
}

// Paints what kinds 1 to 4 do at p (the same in both passes, apart from
// where a string may close) and returns the position after the token.
std::size_t applyLineKinds(std::u16string_view t, std::size_t p, int kind, Finder& find, Painter& out)
{
    if (kind < kLineComment || kind > kString)
        return npos;
    const std::size_t eol = find.lineEnd(p);
    switch (kind) {
    case kLineComment: {
        const std::size_t end = lineCommentEnd(t, p, eol);
        out.paint(p, end, kComment);
        return end > p ? end : p + 1;
    }
    case kDirectiveLine:
        out.paint(p, eol, kDirective);
        return eol > p ? eol : p + 1;
    case kPair:
        out.paint(p, p + 2, kPlain);
        return p + 2 < t.size() ? p + 2 : t.size();
    case kString: {
        const std::size_t close = find.findClosing(p + 1, t.size(), '"');
        const std::size_t end = close == npos ? eol : close + 1;
        out.paint(p, end, kComment);
        return end > p ? end : p + 1;
    }
    }
    return npos;
}

} // namespace

std::vector<Span> wholeTextPass(std::u16string_view t, const WordTable& table)
{
    const std::size_t n = t.size();
    // The end of the text counts as a delimiter, as its start does.
    auto dAt = [&](std::size_t i) { return i >= n || isD(t[i]); };
    Painter out(n);
    Finder find(t);
    std::size_t p = 0;
    while (p < n) {
        const char16_t c = t[p];
        if (isWholeSpecial(c)) {
            const WordTable::Entry* e = table.lookup(t, p);
            if (!e) {
                ++p;
                continue;
            }
            const std::size_t after = p + static_cast<std::size_t>(e->units);
            const std::size_t next = applyLineKinds(t, p, e->kind, find, out);
            if (next != npos) {
                p = next;
                continue;
            }
            if (e->kind == kCharLiteral) {
                // The closing apostrophe is looked for over the next ten
                // characters of the same line.
                const std::size_t limit = std::min(p + 11, find.lineEnd(p));
                const std::size_t close = find.findClosing(p + 1, limit, '\'');
                const std::size_t end = close == npos ? p + 1 : close + 1;
                out.paint(p, end, kComment);
                p = end;
                continue;
            }
            if (e->kind == kKeyword)
                out.paint(p, after, kRedBold);
            else if (e->kind == kWord && dAt(after))
                out.paint(p, after, kDark);
            p = after;
        } else if (isWholeIdentStart(c)) {
            if (p > 0 && !isD(t[p - 1])) {
                ++p;
                continue;
            }
            const WordTable::Entry* e = table.lookup(t, p);
            if (!e) {
                ++p;
                continue;
            }
            const std::size_t after = p + static_cast<std::size_t>(e->units);
            if (dAt(after))
                out.paint(p, after, kBlackBold);
            p = after;
        } else if (isDigit(c)) {
            const std::size_t end = readNumber(t, p);
            if ((p == 0 || isWholeNumberDelim(t[p - 1])) && (end == n || isWholeNumberDelim(t[end])))
                out.paint(p, end, kNumber);
            p = end;
        } else {
            ++p;
        }
    }
    return out.spans();
}

std::vector<Span> linePass(std::u16string_view t, const WordTable& table)
{
    const std::size_t n = t.size();
    // The line is followed by its line feed, a delimiter of every set.
    auto diAt = [&](std::size_t i) { return i >= n || isDI(t[i]); };
    auto dAt = [&](std::size_t i) { return i >= n || isD(t[i]); };
    Painter out(n);
    Finder find(t);
    std::size_t plainUntil = 0;
    std::size_t p = 0;
    while (p < n) {
        const char16_t c = t[p];
        if (isLineSpecial(c)) {
            const WordTable::Entry* e = table.lookup(t, p);
            if (!e) {
                out.paint(p, p + 1, kPlain);
                ++p;
                continue;
            }
            const std::size_t after = p + static_cast<std::size_t>(e->units);
            const std::size_t next = applyLineKinds(t, p, e->kind, find, out);
            if (next != npos) {
                p = next;
                continue;
            }
            if (e->kind == kCharLiteral) {
                const std::size_t close = find.findClosing(p + 1, n, '\'');
                if (close == npos) {
                    out.paint(p, p + 1, kPlain);
                    p = p + 1;
                } else {
                    out.paint(p, close + 1, kComment);
                    p = close + 1;
                }
                continue;
            }
            // A keyword needs a delimiter on both sides; anything else
            // starting with a special character stays as it is.
            if (e->kind == kKeyword && (p == 0 || isD(t[p - 1])) && dAt(after))
                out.paint(p, after, kRedBold);
            p = after;
        } else if (isLineIdentStart(c)) {
            const WordTable::Entry* e = table.lookup(t, p);
            const std::size_t after = e ? p + static_cast<std::size_t>(e->units) : 0;
            if (e && (p == 0 || isDI(t[p - 1])) && diAt(after)) {
                out.paint(p, after, e->kind == kBoldWord ? kBlackBold : e->kind == kWord ? kDeep : kRedBold);
                p = after;
            } else {
                // Every later start inside this run ends at the same
                // delimiter and finds its characters still black.
                if (p >= plainUntil) {
                    plainUntil = p;
                    while (!diAt(plainUntil))
                        ++plainUntil;
                    out.paint(p, plainUntil, kPlain);
                }
                ++p;
            }
        } else if (isDigit(c)) {
            const std::size_t end = readNumber(t, p);
            const bool blue = (p == 0 || isLineNumberDelim(t[p - 1])) && (end == n || isLineNumberDelim(t[end]));
            out.paint(p, end, blue ? kNumber : kPlain);
            p = end;
        } else {
            if (isD(c))
                out.paint(p, p + 1, kPlain);
            ++p;
        }
    }
    return out.spans();
}

} // namespace vork::colour
