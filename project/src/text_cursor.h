// A read cursor over a whole text file with the habits of formatted stream
// input, shared by the project file and konfig.ide readers: numbers skip
// leading white space, lines are taken raw up to their line end, and CR LF
// and a bare LF end a line alike.
#pragma once

#include <cctype>
#include <cstdint>
#include <string>

namespace vork {

class TextCursor {
public:
    // Magnitudes stop growing here, so a run of digits can't overflow;
    // every caller's valid range lies far below it.
    static constexpr int64_t kSaturation = int64_t(1) << 40;

    explicit TextCursor(const std::string& text) : s_(text) {}

    // Skips white space, then reads an optional sign and digits.  Without
    // a digit it fails and leaves the position after the white space.
    bool readInteger(int64_t& value)
    {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_])))
            ++pos_;
        size_t p = pos_;
        bool negative = false;
        if (p < s_.size() && (s_[p] == '+' || s_[p] == '-'))
            negative = s_[p++] == '-';
        if (p >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[p])))
            return false;
        int64_t v = 0;
        while (p < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p]))) {
            if (v < kSaturation)
                v = v * 10 + (s_[p] - '0');
            ++p;
        }
        value = negative ? -v : v;
        pos_ = p;
        return true;
    }

    // Skips one character; a CR LF pair is one line end and counts as one.
    void skipOne()
    {
        if (pos_ + 1 < s_.size() && s_[pos_] == '\r' && s_[pos_ + 1] == '\n')
            pos_ += 2;
        else if (pos_ < s_.size())
            ++pos_;
    }

    // The rest of the current line without its line end.  ended is set
    // when the text ran out before a line end was found.
    std::string restOfLine(bool& ended)
    {
        size_t nl = s_.find('\n', pos_);
        size_t stop = nl == std::string::npos ? s_.size() : nl;
        if (stop > pos_ && s_[stop - 1] == '\r')
            --stop;
        std::string line = s_.substr(pos_, stop - pos_);
        ended = nl == std::string::npos;
        pos_ = ended ? s_.size() : nl + 1;
        return line;
    }

    bool atEnd() const { return pos_ >= s_.size(); }

private:
    const std::string& s_;
    size_t pos_ = 0;
};

} // namespace vork
