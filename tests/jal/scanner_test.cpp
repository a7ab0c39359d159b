// Token boundaries and values of the scanner; the cases are in
// data/scanner_tokens.txt.
#include "jal_test_support.h"
#include "scanner.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using jal::TokenKind;

// The token stream rendered compactly: "INT(-3) LABEL(5)".
std::string scan(const std::string& src, std::ostream& console)
{
    std::ostringstream out;
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
    return out.str();
}

TEST(JalScanner, Tokens)
{
    for (const jaltest::Lines& row : jaltest::readTable("scanner_tokens.txt")) {
        SCOPED_TRACE("source: " + row[0]);
        ASSERT_GE(row.size(), 2u);
        std::ostringstream console;
        EXPECT_EQ(scan(row[0], console), row[1]);
        EXPECT_EQ(console.str(), row.size() > 2 ? row[2] : "");
    }
}

} // namespace
