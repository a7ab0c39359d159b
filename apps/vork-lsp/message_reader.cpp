#include "message_reader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vork::lsp {

namespace {
const size_t kMaxHeader = 8192;

bool equalsNoCase(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string trimmed(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}
} // namespace

void MessageReader::compact()
{
    if (start_ > 0 && (start_ >= buffer_.size() || start_ > (size_t(1) << 20))) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
}

MessageReader::Result MessageReader::next(std::string& out)
{
    out.clear();
    if (skip_ > 0) {
        const size_t n = std::min(skip_, buffer_.size() - start_);
        start_ += n;
        skip_ -= n;
        compact();
        if (skip_ > 0)
            return Result::NeedMore;
    }
    // Blank lines between messages are tolerated.
    while (start_ < buffer_.size() && (buffer_[start_] == '\r' || buffer_[start_] == '\n'))
        ++start_;
    // The header ends at the first empty line ("\r\n\r\n" or "\n\n"); only
    // its first few kilobytes are looked at, so a long body that is still
    // arriving costs nothing to look for it again.
    size_t end = std::string::npos;
    size_t sepLen = 0;
    const size_t limit = std::min(buffer_.size(), start_ + kMaxHeader);
    for (size_t i = start_; i + 1 < limit; ++i) {
        if (buffer_[i] != '\n')
            continue;
        if (buffer_[i + 1] == '\n') {
            end = i;
            sepLen = 2;
            break;
        }
        if (i + 2 < limit && buffer_[i + 1] == '\r' && buffer_[i + 2] == '\n') {
            end = i;
            sepLen = 3;
            break;
        }
    }
    if (end == std::string::npos) {
        // A header has no business being this long: drop it.
        if (buffer_.size() - start_ >= kMaxHeader) {
            start_ += kMaxHeader;
            compact();
            out = "header too long";
            return Result::Error;
        }
        compact();
        return Result::NeedMore;
    }
    const std::string header = buffer_.substr(start_, end - start_);
    const size_t bodyStart = end + sepLen;

    long long length = -1;
    bool bad = false;
    size_t pos = 0;
    while (pos <= header.size()) {
        size_t nl = header.find('\n', pos);
        if (nl == std::string::npos)
            nl = header.size();
        const std::string line = trimmed(header.substr(pos, nl - pos));
        pos = nl + 1;
        if (line.empty())
            continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            bad = true;
            continue;
        }
        if (equalsNoCase(trimmed(line.substr(0, colon)), "Content-Length")) {
            const std::string v = trimmed(line.substr(colon + 1));
            if (v.empty() || v.size() > 15) {
                bad = true;
                continue;
            }
            long long n = 0;
            for (char c : v) {
                if (!std::isdigit(static_cast<unsigned char>(c))) {
                    bad = true;
                    break;
                }
                n = n * 10 + (c - '0');
            }
            if (!bad)
                length = n;
        }
    }
    if (bad && length >= 0 && static_cast<unsigned long long>(length) <= maxBody_) {
        // The length is known: the body of the broken message goes with it.
        start_ = bodyStart;
        skip_ = static_cast<size_t>(length);
        const size_t n = std::min(skip_, buffer_.size() - start_);
        start_ += n;
        skip_ -= n;
        compact();
        out = "malformed header line";
        return Result::Error;
    }
    if (bad || length < 0) {
        start_ = bodyStart;
        compact();
        out = length < 0 ? "no valid Content-Length header" : "malformed header line";
        return Result::Error;
    }
    if (static_cast<unsigned long long>(length) > maxBody_) {
        start_ = bodyStart;
        skip_ = static_cast<size_t>(length);
        const size_t n = std::min(skip_, buffer_.size() - start_);
        start_ += n;
        skip_ -= n;
        compact();
        out = "message of " + std::to_string(length) + " bytes is larger than " + std::to_string(maxBody_);
        return Result::Error;
    }
    if (buffer_.size() - bodyStart < static_cast<size_t>(length))
        return Result::NeedMore;
    out = buffer_.substr(bodyStart, static_cast<size_t>(length));
    start_ = bodyStart + static_cast<size_t>(length);
    compact();
    return Result::Message;
}

} // namespace vork::lsp
