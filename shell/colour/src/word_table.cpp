// syntax.cfg and the word table built from it.
#include "vork/colour/colouring.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vork::colour {

namespace {

// Number of code points of a UTF-16 string.
int codePoints(std::u16string_view s)
{
    int n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
            ++i;
        ++n;
    }
    return n;
}

// UTF-16 units taken by the first `chars` code points of s.
int unitsOf(std::u16string_view s, int chars)
{
    std::size_t i = 0;
    for (int c = 0; c < chars && i < s.size(); ++c) {
        if (s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
            ++i;
        ++i;
    }
    return static_cast<int>(i);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A whole field as a decimal integer with an optional sign, as "%d" reads
// it, but refusing trailing characters and values outside int.
bool readInt(std::string_view field, int* value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    if (i == field.size())
        return false;
    long long v = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            return false;
        v = v * 10 + (field[i] - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return false;
    *value = static_cast<int>(v);
    return true;
}

// The next white-space separated field of line from *pos on.
std::string_view nextField(std::string_view line, std::size_t* pos)
{
    std::size_t i = *pos;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i]))
        ++i;
    *pos = i;
    return line.substr(start, i - start);
}

} // namespace

std::u16string utf8ToUtf16(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = 0;
        uint32_t cp = 0;
        uint32_t min = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, cp = b & 0x1F, min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2, cp = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, cp = b & 0x07, min = 0x10000;
        }
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= n || (s[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)))
            ok = false;
        if (!ok) {
            out.push_back(b);  // stands for itself
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

bool WordTable::add(std::string_view word, int length, int kind)
{
    if (word.empty())
        return false;
    const unsigned char first = static_cast<unsigned char>(word[0]);
    if (first < 1 || first > 126)
        return false;
    std::u16string w = utf8ToUtf16(word);
    const int chars = codePoints(w);
    if (chars > kMaxWordChars || length < 1 || length > chars)
        return false;
    const int units = unitsOf(w, length);
    lists_[first].push_back(Entry{std::move(w), length, units, kind});
    ++count_;
    return true;
}

const WordTable::Entry* WordTable::lookup(std::u16string_view text, std::size_t pos) const
{
    if (pos >= text.size())
        return nullptr;
    const char16_t c = text[pos];
    if (c < 1 || c >= kLists)
        return nullptr;
    const std::u16string_view rest = text.substr(pos);
    for (const Entry& e : lists_[c]) {
        const auto units = static_cast<std::size_t>(e.units);
        if (rest.size() >= units && rest.compare(0, units, e.word, 0, units) == 0)
            return &e;
    }
    return nullptr;
}

WordTable parseSyntaxConfig(std::string_view bytes)
{
    WordTable table;
    std::size_t lineStart = 0;
    while (lineStart < bytes.size()) {
        std::size_t lineEnd = bytes.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = bytes.size();
        const std::string_view line = bytes.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;

        std::size_t pos = 0;
        const std::string_view word = nextField(line, &pos);
        int length = 0;
        int kind = 0;
        if (word.empty() || !readInt(nextField(line, &pos), &length) || !readInt(nextField(line, &pos), &kind))
            continue;
        table.add(word, length, kind);
    }
    return table;
}

WordTable loadSyntaxConfig(const std::string& path, std::string* message)
{
    if (message)
        message->clear();
    // Only a regular file of a word table's size is read: a device such as
    // /dev/zero never ends, and opening a pipe would wait for a writer.
    constexpr std::size_t kMaxConfigBytes = 4 * 1024 * 1024;
    std::string bytes;
    int error = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    if (fd < 0) {
        error = errno;
    } else if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    } else {
        char buf[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buf, sizeof buf);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = errno;
                break;
            }
            if (got == 0)
                break;
            if (bytes.size() + static_cast<std::size_t>(got) > kMaxConfigBytes) {
                error = EFBIG;
                break;
            }
            bytes.append(buf, static_cast<std::size_t>(got));
        }
    }
    if (fd >= 0)
        ::close(fd);
    if (error) {
        if (message)
            *message = "Súbor zvýraznenia syntaxe " + path + " sa nepodarilo načítať (" + std::strerror(error) +
                       "); text sa nebude zvýrazňovať.";
        return WordTable();
    }
    return parseSyntaxConfig(bytes);
}

} // namespace vork::colour
