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

int ConstantPool::addText(std::string_view text)
{
    // The length is stored in one byte (the high byte is always 0), so a
    // longer text would make a broken entry.
    if (text.size() > limits::kUtf8Bytes)
        throw TranslationError{msg::kTextTooLong};
    int n = reserve(1);
    put1(bytes_, tag::kUtf8);
    put1(bytes_, 0);
    put1(bytes_, static_cast<uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
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
