// Token boundaries and values of the scanner.
#include "scanner.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using jal::TokenKind;
using namespace std::string_literals;

// The token stream rendered compactly, "INT(-3) LABEL(5)", then " | " and
// what the scanner reported.
std::string scan(const std::string& src)
{
    std::ostringstream console, out;
    jal::Scanner s(src, console);
    for (jal::Token t = s.next(); t.kind != TokenKind::End; t = s.next()) {
        out << (out.tellp() > 0 ? " " : "");
        switch (t.kind) {
        case TokenKind::Int: out << "INT(" << t.intValue << ")"; break;
        case TokenKind::Double: out << "DOUBLE(" << t.doubleValue << ")"; break;
        case TokenKind::Label: out << "LABEL(" << t.intValue << ")"; break;
        case TokenKind::String: out << "STRING(" << t.value << ")"; break;
        case TokenKind::Directive: out << "DIR(" << t.text << ")"; break;
        case TokenKind::Access: out << "ACCESS(" << t.access << ")"; break;
        case TokenKind::Instr: out << "INSTR(" << int(t.instr.opcode) << ")"; break;
        case TokenKind::Type: out << "TYPE(" << int(t.arrayType) << ")"; break;
        case TokenKind::Ident: out << "IDENT(" << t.value << ")"; break;
        case TokenKind::End: break;
        }
    }
    return console.str().empty() ? out.str() : out.str() + " | " + console.str();
}

TEST(JalScanner, Tokens)
{
    const std::pair<std::string, const char*> cases[] = {
        {".5", "LABEL(5)"},
        {"0.5", "DOUBLE(0.5)"},
        {"-3", "INT(-3)"},
        {"- 3", "INT(3)"},
        {"-0.25", "DOUBLE(-0.25)"},
        {"1.5.3", "DOUBLE(1.5) LABEL(3)"},
        {"1.", "INT(1)"},
        {"12abc", "INT(12) IDENT(abc)"},
        {"4294967295 -2147483648", "INT(-1) INT(-2147483648)"},
        {".123456789012345", "LABEL(2147483647)"},
        {"iload_0;x", "IDENT(iload_0;x)"},
        {"iload_0 ;x\nnop", "INSTR(26) INSTR(0)"},
        {"abc.5", "IDENT(abc.5)"},
        {"(I)V <init> [Ljava/lang/String; java/lang/Object",
         "IDENT((I)V) IDENT(<init>) IDENT([Ljava/lang/String;) IDENT(java/lang/Object)"},
        {"_x $y", "IDENT(_x) IDENT(y)"},
        {"public static abstract interface", "ACCESS(1) ACCESS(8) ACCESS(1024) ACCESS(512)"},
        {"int boolean long", "TYPE(10) TYPE(4) TYPE(11)"},
        {"nop ifnonnull invokeinterface wide", "INSTR(0) INSTR(199) INSTR(185) INSTR(196)"},
        {"Nop NOP goto_w jsr_w", "IDENT(Nop) IDENT(NOP) IDENT(goto_w) IDENT(jsr_w)"},
        {".class.super .endm5", "DIR(.class) DIR(.super) DIR(.endm) INT(5)"},
        {"\"a b\";c \"\"", "STRING(a b)"},
        {"\"\" \"unterminated x", "STRING() IDENT(unterminated) IDENT(x)"},
        {": # @ \r\t\f" "a\0b"s, "IDENT(a) IDENT(b)"},
        // Unknown directives are reported and skipped; directives are
        // lower case.
        {".foo nop", "INSTR(0) | neznama direktiva(LINE 1: .foo)\n"},
        {"\n\n.Class", "IDENT(Class)"},
        {"nop\n.classx\n.source", "INSTR(0) DIR(.source) | neznama direktiva(LINE 2: .classx)\n"},
        {".a .b", " | neznama direktiva(LINE 1: .a)\nneznama direktiva(LINE 1: .b)\n"},
    };
    for (const auto& [src, tokens] : cases)
        EXPECT_EQ(scan(src), tokens) << "source: " << src;
}

} // namespace
