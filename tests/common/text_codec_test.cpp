#include "vork/text_codec.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vork;

// Text that is not strict UTF-8 is read byte by byte as Windows-1250, so
// each malformed form below turns into its bytes' Windows-1250 letters.
TEST(TextCodec, Utf8WhenValidElseWindows1250)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool utf8;
        std::string text;  // in UTF-8
    };
    const Case cases[] = {
        {"ASCII", "abc", true, "abc"},
        {"NUL is a character", std::string("a\0b", 3), true, std::string("a\0b", 3)},
        {"Slovak letters in UTF-8", "\xC4\xBE\xC5\xA1", true, "\xC4\xBE\xC5\xA1"},
        {"beyond the BMP", "\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
        {"Slovak letters in Windows-1250", "\xBE\x9A\xE8", false, "\xC4\xBE\xC5\xA1\xC4\x8D"},
        {"an unassigned code is its C1 control", "\x81", false, "\xC2\x81"},
        {"euro sign", "\x80", false, "\xE2\x82\xAC"},
        {"overlong slash", "\xC0\xAF", false, "\xC5\x94\xC5\xBB"},
        {"an encoded surrogate", "\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        {"cut short at the end", "a\xC4", false, "a\xC3\x84"},
        {"a continuation byte alone", "\xA9", false, "\xC2\xA9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isUtf8(c.bytes), c.utf8);
        EXPECT_EQ(textAsUtf8(c.bytes), c.text);
        EXPECT_TRUE(isUtf8(textAsUtf8(c.bytes)));
    }
}

// All 256 bytes read as Windows-1250 give 256 distinct characters.
TEST(TextCodec, EveryWindows1250ByteIsACharacterOfItsOwn)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string text = windows1250ToUtf8(all);
    ASSERT_TRUE(isUtf8(text));
    std::vector<std::string> seen;
    for (int b = 0; b < 256; ++b) {
        const std::string one = windows1250ToUtf8(std::string(1, static_cast<char>(b)));
        EXPECT_EQ(std::count(seen.begin(), seen.end(), one), 0) << b;
        seen.push_back(one);
    }
}
