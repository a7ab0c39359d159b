#include "constant_pool.h"

#include "error.h"
#include "limits.h"
#include "messages.h"

#include <cstring>

namespace jal {

int ConstantPool::reserve(int numbers)
{
    if (count_ - 1 + numbers > limits::kPoolNumbers)
        throw TranslationError{msg::kPoolFull};
    int n = count_;
    count_ += numbers;
    return n;
}

namespace {

void put3(std::string& out, uint32_t c)
{
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

} // namespace

std::string modifiedUtf8(std::string_view text)
{
    // The JVM takes no NUL byte and no four-byte form: NUL is written as
    // the two bytes C0 80, a character beyond the BMP as its two UTF-16
    // surrogates of three bytes each.  The rest of UTF-8 stays as it is.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == 0) {
            out += "\xC0\x80";
        } else if (b >= 0xF0 && b <= 0xF4 && i + 3 < text.size()) {
            uint32_t c = b & 0x07;
            for (std::size_t k = 1; k <= 3; ++k)
                c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            c -= 0x10000;
            put3(out, 0xD800 | (c >> 10));
            put3(out, 0xDC00 | (c & 0x3FF));
            i += 3;
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

int ConstantPool::addText(std::string_view text)
{
    const std::string stored = modifiedUtf8(text);
    // The length is stored in one byte (the high byte is always 0), so a
    // longer text would make a broken entry.
    if (stored.size() > limits::kUtf8Bytes)
        throw TranslationError{msg::kTextTooLong};
    int n = reserve(1);
    put1(bytes_, tag::kUtf8);
    put1(bytes_, 0);
    put1(bytes_, static_cast<uint32_t>(stored.size()));
    bytes_.insert(bytes_.end(), stored.begin(), stored.end());
    return n;
}

int ConstantPool::addClass(std::string_view name)
{
    int nameIndex = addText(name);
    int n = reserve(1);
    put1(bytes_, tag::kClass);
    put2(bytes_, static_cast<uint32_t>(nameIndex));
    return n;
}

int ConstantPool::addString(std::string_view text)
{
    int textIndex = addText(text);
    int n = reserve(1);
    put1(bytes_, tag::kString);
    put2(bytes_, static_cast<uint32_t>(textIndex));
    return n;
}

int ConstantPool::addDouble(double value)
{
    int n = reserve(2);
    uint64_t bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    put1(bytes_, tag::kDouble);
    put4(bytes_, static_cast<uint32_t>(bits >> 32));
    put4(bytes_, static_cast<uint32_t>(bits));
    return n;
}

int ConstantPool::addNameAndType(std::string_view name, std::string_view descriptor)
{
    int nameIndex = addText(name);
    int descIndex = addText(descriptor);
    int n = reserve(1);
    put1(bytes_, tag::kNameAndType);
    put2(bytes_, static_cast<uint32_t>(nameIndex));
    put2(bytes_, static_cast<uint32_t>(descIndex));
    return n;
}

int ConstantPool::addMemberRef(uint8_t refTag, int classIndex, std::string_view className,
                               std::string_view name, std::string_view descriptor)
{
    if (classIndex == 0)
        classIndex = addClass(className);
    return addRef(refTag, classIndex, addNameAndType(name, descriptor));
}

int ConstantPool::addRef(uint8_t refTag, int classIndex, int nameAndTypeIndex)
{
    int n = reserve(1);
    put1(bytes_, refTag);
    put2(bytes_, static_cast<uint32_t>(classIndex));
    put2(bytes_, static_cast<uint32_t>(nameAndTypeIndex));
    return n;
}

} // namespace jal
