// A coloured text as one HTML page.
#include "vork/colour/colouring.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace vork::colour {

namespace {

void appendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool isHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool isLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// text[from, to) as escaped UTF-8; a lone surrogate becomes U+FFFD.
void appendEscaped(std::string& out, std::u16string_view text, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i) {
        const char16_t c = text[i];
        switch (c) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        }
        if (isHigh(c) && i + 1 < to && isLow(text[i + 1])) {
            appendUtf8(out, 0x10000 + ((uint32_t(c) - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (isHigh(c) || isLow(c)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
}

std::string escapeUtf8(const std::string& s)
{
    const std::u16string u = utf8ToUtf16(s);
    std::string out;
    appendEscaped(out, u, 0, u.size());
    return out;
}

// A format as one number: colour, then bold and italic above it.
uint32_t keyOf(uint32_t rgb, bool bold, bool italic)
{
    return (rgb & 0xFFFFFF) | (bold ? 1u << 24 : 0) | (italic ? 1u << 25 : 0);
}

} // namespace

std::string renderHtml(std::u16string_view text, const std::vector<Span>& spans, const std::string& title)
{
    const std::size_t n = text.size();
    // Format index per character; index 0 is plain black.
    std::vector<uint32_t> looks{keyOf(kBlack, false, false)};
    std::map<uint32_t, uint32_t> indexOf{{looks[0], 0}};
    std::vector<uint32_t> format(n, 0);
    for (const Span& s : spans) {
        const long long from = std::max<long long>(0, s.start);
        const long long to = std::min<long long>(static_cast<long long>(n), static_cast<long long>(s.start) + s.length);
        if (from >= to)
            continue;
        const uint32_t key = keyOf(s.rgb, s.bold, s.italic);
        auto [it, added] = indexOf.emplace(key, static_cast<uint32_t>(looks.size()));
        if (added)
            looks.push_back(key);
        std::fill(format.begin() + from, format.begin() + to, it->second);
    }

    std::string out;
    out.reserve(n + n / 4 + 512);
    const std::string t = escapeUtf8(title);
    out += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    out += t;
    out += "</title>\n</head>\n<body style=\"background:#ffffff\">\n"
           "<pre style=\"color:#000000;font-weight:normal;font-style:normal\">";
    std::size_t i = 0;
    while (i < n) {
        const uint32_t f = format[i];
        std::size_t j = i + 1;
        while (j < n && format[j] == f)
            ++j;
        // A surrogate pair is never split between two runs.
        if (j < n && isHigh(text[j - 1]) && isLow(text[j]))
            ++j;
        if (f == 0) {
            appendEscaped(out, text, i, j);
        } else {
            const uint32_t key = looks[f];
            char style[80];
            std::snprintf(style, sizeof style, "<span style=\"color:#%06x%s%s\">", key & 0xFFFFFF,
                          key & (1u << 24) ? ";font-weight:bold" : "", key & (1u << 25) ? ";font-style:italic" : "");
            out += style;
            appendEscaped(out, text, i, j);
            out += "</span>";
        }
        i = j;
    }
    out += "</pre>\n</body>\n</html>\n";
    return out;
}

} // namespace vork::colour
