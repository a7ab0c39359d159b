// The constant pool of the class being built.
//
// Entries are kept as the bytes they have in the file.  Nothing is shared:
// every call appends new entries, even for a text already present, so the
// numbering follows the source exactly.  Each call returns the number of
// the entry it appended last.  Running out of numbers, or a text over 255
// bytes, throws TranslationError, which ends the translation.
#pragma once

#include "bytes.h"

#include <string>
#include <string_view>

namespace jal {

namespace tag {
inline constexpr uint8_t kUtf8 = 1;
inline constexpr uint8_t kDouble = 6;
inline constexpr uint8_t kClass = 7;
inline constexpr uint8_t kString = 8;
inline constexpr uint8_t kFieldref = 9;
inline constexpr uint8_t kMethodref = 10;
inline constexpr uint8_t kInterfaceMethodref = 11;
inline constexpr uint8_t kNameAndType = 12;
} // namespace tag

// A text in valid UTF-8 as a class file stores it: the JVM's modified
// UTF-8 (NUL as C0 80, characters beyond the BMP as surrogate pairs).
std::string modifiedUtf8(std::string_view text);

class ConstantPool {
public:
    // The constant-pool count of the file: 1 + the numbers in use.
    int count() const { return count_; }
    // Entries 1 to count - 1, concatenated.
    const Bytes& bytes() const { return bytes_; }

    int addText(std::string_view text);
    int addClass(std::string_view name);
    int addString(std::string_view text);
    int addDouble(double value);
    // Appends Utf8 name, Utf8 descriptor, NameAndType; returns the last.
    // The name is number - 2, the descriptor number - 1.
    int addNameAndType(std::string_view name, std::string_view descriptor);
    // Fieldref / Methodref / InterfaceMethodref.  classIndex 0 means: add a
    // Class entry for className first and use it.
    int addMemberRef(uint8_t refTag, int classIndex, std::string_view className,
                     std::string_view name, std::string_view descriptor);
    // The reference entry alone, for a name-and-type already appended.
    int addRef(uint8_t refTag, int classIndex, int nameAndTypeIndex);

private:
    // Reserves `numbers` entry numbers for one entry; returns its number.
    int reserve(int numbers);

    Bytes bytes_;
    int count_ = 1;
};

} // namespace jal
