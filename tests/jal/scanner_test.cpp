// Token boundaries and values of the scanner.
#include "scanner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

using jal::TokenKind;

// Renders the token stream compactly: "INT(-3) LABEL(5) ...".
std::string scan(const std::string& src, std::string* console = nullptr)
{
    std::ostringstream out;
    jal::Scanner s(src, out);
    std::string result;
    for (jal::Token t = s.next(); t.kind != TokenKind::End; t = s.next()) {
        std::ostringstream tok;
        switch (t.kind) {
        case TokenKind::Int: tok << "INT(" << t.intValue << ")"; break;
        case TokenKind::Double: tok << "DOUBLE(" << t.doubleValue << ")"; break;
        case TokenKind::Label: tok << "LABEL(" << t.intValue << ")"; break;
        case TokenKind::String: tok << "STRING(" << t.value << ")"; break;
        case TokenKind::Directive: tok << "DIR(" << t.text << ")"; break;
        case TokenKind::Access: tok << "ACCESS(" << t.access << ")"; break;
        case TokenKind::Instr: tok << "INSTR(" << int(t.instr.opcode) << ")"; break;
        case TokenKind::Type: tok << "TYPE(" << int(t.arrayType) << ")"; break;
        case TokenKind::Ident: tok << "IDENT(" << t.value << ")"; break;
        case TokenKind::End: break;
        }
        result += (result.empty() ? "" : " ") + tok.str();
    }
    if (console)
        *console = out.str();
    return result;
}

TEST(JalScanner, Tokens)
{
    struct Case {
        const char* src;
        const char* tokens;
    } cases[] = {
        {".5", "LABEL(5)"},
        {"0.5", "DOUBLE(0.5)"},
        {"-3", "INT(-3)"},
        {"- 3", "INT(3)"},
        {"-0.25", "DOUBLE(-0.25)"},
        {"1.5.3", "DOUBLE(1.5) LABEL(3)"},
        {"1.", "INT(1)"},
        {"12abc", "INT(12) IDENT(abc)"},
        {"4294967295", "INT(-1)"},
        {"-2147483648", "INT(-2147483648)"},
        {".123456789012345", "LABEL(2147483647)"},
        {"iload_0;x", "IDENT(iload_0;x)"},
        {"iload_0 ;x\nnop", "INSTR(26) INSTR(0)"},
        {"; only a comment", ""},
        {"abc.5", "IDENT(abc.5)"},
        {"(I)V <init> [Ljava/lang/String; java/lang/Object",
         "IDENT((I)V) IDENT(<init>) IDENT([Ljava/lang/String;) IDENT(java/lang/Object)"},
        {"_x $y", "IDENT(_x) IDENT(y)"},
        {"public static abstract interface", "ACCESS(1) ACCESS(8) ACCESS(1024) ACCESS(512)"},
        {"int boolean long", "TYPE(10) TYPE(4) TYPE(11)"},
        {"nop ifnonnull invokeinterface wide", "INSTR(0) INSTR(199) INSTR(185) INSTR(196)"},
        {"Nop NOP goto_w jsr_w", "IDENT(Nop) IDENT(NOP) IDENT(goto_w) IDENT(jsr_w)"},
        {".class.super", "DIR(.class) DIR(.super)"},
        {".endm5", "DIR(.endm) INT(5)"},
        {"\"a b\";c", "STRING(a b)"},
        {"\"\"", "STRING()"},
        {"\"unterminated x", "IDENT(unterminated) IDENT(x)"},
        {": # @ \r\t\f", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scan(c.src), c.tokens) << "source: " << c.src;
}

TEST(JalScanner, NulByteIsSkipped)
{
    EXPECT_EQ(scan(std::string("a\0b", 3)), "IDENT(a) IDENT(b)");
}

TEST(JalScanner, UnknownDirectivesAreReportedAndSkipped)
{
    struct Case {
        const char* src;
        const char* tokens;
        const char* console;
    } cases[] = {
        {".foo nop", "INSTR(0)", "neznama direktiva(LINE 1: .foo)\n"},
        {"\n\n.Class", "IDENT(Class)", ""},
        {"nop\n.classx\n.source", "INSTR(0) DIR(.source)", "neznama direktiva(LINE 2: .classx)\n"},
        {".a .b", "", "neznama direktiva(LINE 1: .a)\nneznama direktiva(LINE 1: .b)\n"},
    };
    for (const Case& c : cases) {
        std::string console;
        EXPECT_EQ(scan(c.src, &console), c.tokens) << c.src;
        EXPECT_EQ(console, c.console) << c.src;
    }
}

TEST(JalScanner, LineCounterCountsEveryNewline)
{
    std::ostringstream out;
    const std::string src = "a\n; comment\n\"two\nlines\" b\r\n\n c";
    jal::Scanner s(src, out);
    std::vector<int> lines;
    std::vector<std::string> texts;
    for (jal::Token t = s.next(); t.kind != TokenKind::End; t = s.next()) {
        lines.push_back(s.line());
        texts.push_back(s.text());
    }
    EXPECT_EQ(lines, (std::vector<int>{1, 4, 4, 6}));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "\"two\nlines\"", "b", "c"}));
    EXPECT_EQ(s.text(), "");
}

} // namespace
