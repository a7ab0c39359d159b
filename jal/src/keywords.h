// The fixed word tables the scanner looks words up in.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace jal {

enum class Directive { Class, Super, Source, Implements, Field, Method, Endm, Stack, Locals };

// The operand class of an instruction; it is the token the parser sees.
enum class OpClass {
    I0,          // no operand
    I1,          // INT, one byte
    Sipush,      // INT, two bytes
    Ldc,         // STRING
    Ldc2,        // DOUBLE
    Newarray,    // TYPE
    ClassOp,     // IDENT
    Multi,       // IDENT INT
    Branch,      // LABEL
    Iinc,        // INT INT
    FieldOp,     // IDENT IDENT [IDENT]
    Invoke,      // IDENT IDENT [IDENT]
    InvokeI,     // [IDENT] IDENT IDENT INT
    Unsupported, // reported, nothing emitted
};

struct Instruction {
    OpClass cls;
    uint8_t opcode;
};

std::optional<Directive> findDirective(std::string_view word);
std::optional<uint16_t> findAccess(std::string_view word);
std::optional<Instruction> findInstruction(std::string_view word);
std::optional<uint8_t> findArrayType(std::string_view word);

namespace op {
inline constexpr uint8_t kBipush = 16;
inline constexpr uint8_t kLdc = 18;
inline constexpr uint8_t kLdcW = 19;
} // namespace op

} // namespace jal
