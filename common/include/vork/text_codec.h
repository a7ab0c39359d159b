// How VORK reads the bytes of a text file: as UTF-8 when they are valid
// UTF-8, otherwise byte by byte as Windows-1250, the code page the Slovak
// sources of the Windows days were written in.  Plain C++, for the parts
// that do not use Qt.
#pragma once

#include <string>
#include <string_view>

namespace vork {

// The character of a Windows-1250 byte.  The five bytes the code page
// leaves unassigned (81 83 88 90 98) stand for the C1 control of the same
// number, so that every byte reads as a character of its own and writes back.
char16_t windows1250Char(unsigned char byte);

// Strict UTF-8: no overlong forms, no surrogate code points, nothing above
// U+10FFFF, no sequence cut short.
bool isUtf8(std::string_view bytes);

// Every byte as its Windows-1250 character, in UTF-8.  The five bytes the
// code page leaves unassigned (81 83 88 90 98) stand for the C1 control of
// the same number, so that every byte reads as a character of its own.
std::string windows1250ToUtf8(std::string_view bytes);

// The text in UTF-8: the bytes themselves when they are UTF-8, else read as
// Windows-1250.
std::string textAsUtf8(std::string_view bytes);

} // namespace vork
