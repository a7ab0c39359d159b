// What the scanner hands to the parser.
#pragma once

#include "keywords.h"

#include <cstdint>
#include <string>

namespace jal {

enum class TokenKind {
    End,       // end of the source
    Int,       // optional '-', digits
    Double,    // optional '-', digits '.' digits
    Label,     // '.' digits
    String,    // "..." (no escapes)
    Directive, // one of the directive table
    Access,    // one of the access table
    Instr,     // an instruction; its operand class decides the operands
    Type,      // an array type code of newarray
    Ident,     // any other word
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // the matched text, as error lines show it

    int32_t intValue = 0;   // Int (modulo 2^32); Label number (saturated, so any label > 99 stays > 99)
    // Int: the number as written, saturated far outside every operand's
    // range, so a range check is not fooled by the modulo above.
    int64_t exactValue = 0;
    double doubleValue = 0; // Double
    std::string value;      // String (between the quotes), Ident (the word)
    Directive directive = Directive::Class;
    uint16_t access = 0;
    Instruction instr{OpClass::I0, 0};
    uint8_t arrayType = 0;
};

} // namespace jal
