// The outline and "go to definition" of grammar and scanner pages without a
// window: what is listed under which group, in which order, and where each
// entry and each jump lands in the editor's characters, also on lines with
// letters that take more than one byte.
#include "vork/shell/grammar_outline.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace vork::shell {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(GrammarOutline, KindByFileName)
{
    struct Case {
        const char* name;
        SpecKind kind;
    };
    for (const Case& c : {Case{"/p/calc.y", SpecKind::Grammar}, Case{"CALC.Y", SpecKind::Grammar},
                          Case{"calc.l", SpecKind::Scanner}, Case{"scan.lex", SpecKind::Scanner},
                          Case{"calc.lyy", SpecKind::None}, Case{"lexyy.cpp", SpecKind::None},
                          Case{"hello.jal", SpecKind::None}, Case{"y", SpecKind::None}, Case{"dir.y/a.c", SpecKind::None},
                          Case{"", SpecKind::None}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(specKindOf(u(c.name)), c.kind);
    }
}

TEST(GrammarOutline, ByteAndCharacterColumns)
{
    struct Case {
        const char* line;
        int bytes;
        int characters;
        int backToBytes;  // byteColumn(line, characters)
    };
    const Case cases[] = {
        {"abc", 2, 2, 2},
        {"čísla x", 5, 3, 5},       // č and í take two bytes each
        {"čísla x", 1, 0, 0},       // inside č: at č
        {"€ a", 4, 2, 4},           // three bytes, one character
        {"\xF0\x9F\x98\x80 a", 5, 3, 5},  // four bytes, two UTF-16 units
        {"\xF0\x9F\x98\x80 a", 2, 0, 0},
        {"ab", 9, 2, 2},            // past the end: the end
        {"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " @" + std::to_string(c.bytes));
        EXPECT_EQ(characterColumn(u(c.line), c.bytes), c.characters);
        EXPECT_EQ(byteColumn(u(c.line), c.characters), c.backToBytes);
    }
}

// "group/text line:column" per entry and "  text line:column" per child.
QStringList describe(const std::vector<OutlineGroup>& groups)
{
    QStringList out;
    for (const OutlineGroup& g : groups)
        for (const OutlineEntry& e : g.entries) {
            out << QStringLiteral("%1/%2 %3:%4").arg(g.title, e.text).arg(e.line).arg(e.column);
            for (const OutlineEntry& c : e.children)
                out << QStringLiteral("  %1 %2:%3").arg(c.text).arg(c.line).arg(c.column);
        }
    return out;
}

TEST(GrammarOutline, GroupsEntriesAndPlaces)
{
    struct Case {
        const char* name;
        SpecKind kind;
        const char* text;
        std::vector<const char*> outline;
    };
    const std::vector<Case> cases{
        {"grammar: rules with their alternatives, then tokens with precedence and number", SpecKind::Grammar,
         "%token NUM 300 ID\n"
         "%left '+' PLUS\n"
         "%right UMINUS\n"
         "%%\n"
         "e\t: e PLUS t\n"
         "\t| '-' e %prec UMINUS\n"
         "\t| ;\n"
         "t : NUM | ID ;\n",
         {"Pravidlá/e 4:0", "  e PLUS t 4:4", "  '-' e %prec UMINUS 5:3", "  (prázdne) 6:1", "Pravidlá/t 7:0",
          "  NUM 7:4", "  ID 7:10", "Tokeny/NUM 300 0:7", "Tokeny/ID 0:15", "Tokeny/PLUS %left 1:10",
          "Tokeny/UMINUS %right 2:7"}},
        {"rules in the order of their definitions, not of their first mention", SpecKind::Grammar,
         "%type <v> late\n%%\nfirst : late ;\nlate : 'x' ;\n",
         {"Pravidlá/first 2:0", "  late 2:8", "Pravidlá/late 3:0", "  'x' 3:7"}},
        {"a name never defined is listed at its first use", SpecKind::Grammar, "%%\ns : s WORD ;\n",
         {"Pravidlá/s 1:0", "  s WORD 1:4", "Tokeny/WORD (nedefinovaný) 1:6"}},
        {"error is built in", SpecKind::Grammar, "%%\ns : error ';' ;\n",
         {"Pravidlá/s 1:0", "  error ';' 1:4", "Tokeny/error (vstavaný) 1:4"}},
        {"error of a scanner is a definition like any other", SpecKind::Scanner, "%%\n{error} ;\n",
         {"Definície/error (nedefinovaný) 1:1"}},
        {"columns in characters after letters of two bytes", SpecKind::Grammar,
         "%token /* čísla */ NUM\n%%\nv : /* ľ */ NUM ;\n/* ľ */ w : v ;\n",
         {"Pravidlá/v 2:0", "  NUM 2:12", "Pravidlá/w 3:8", "  v 3:12", "Tokeny/NUM 0:19"}},
        {"scanner: start conditions and definitions", SpecKind::Scanner,
         "D\t[0-9]\n"
         "%s STR CMT\n"
         "LONG [a-zA-Z_][a-zA-Z_0-9]*|[0-9]+(\\.[0-9]*)?([eE][-+]?[0-9]+)?\n"
         "%%\n"
         "<STR>{D}+ ;\n"
         "{W} ;\n",
         {"Štartovacie podmienky/STR 1:3", "Štartovacie podmienky/CMT 1:7", "Definície/D [0-9] 0:0",
          "Definície/LONG [a-zA-Z_][a-zA-Z_0-9]*|[0-9]+(\\.[0-9]*)… 2:0", "Definície/W (nedefinovaný) 5:1"}},
        {"nothing but text", SpecKind::Grammar, "", {}},
        {"a C file has no outline", SpecKind::None, "%token A\n%%\ns : A ;\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList wanted;
        for (const char* line : c.outline)
            wanted << u(line);
        EXPECT_EQ(describe(buildOutline(c.kind, u(c.text))), wanted);
    }
    // The tooltip has what the text cuts short.
    const auto groups = buildOutline(SpecKind::Scanner, u("X [a-z]{50}0123456789012345678901234567890\n%%\n"));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].entries.at(0).toolTip, u("X [a-z]{50}0123456789012345678901234567890"));
    EXPECT_FALSE(buildOutline(SpecKind::Grammar, u("%%\ns : X ;\n"))[1].entries.at(0).defined);
    EXPECT_TRUE(buildOutline(SpecKind::Grammar, u("%%\ns : error ;\n"))[1].entries.at(0).defined);
}

TEST(GrammarOutline, WhereGoToDefinitionLeads)
{
    using R = DefinitionLookup::Result;
    const char* grammar = "%token NUM\n"             // 0
                          "%left '+'\n"              // 1
                          "%%\n"                     // 2
                          "/* ľ */ e : e '+' t\n"    // 3: e at character 8
                          "  | t ;\n"                // 4
                          "t : NUM | MISSING ;\n"    // 5
                          "%%\n"                     // 6
                          "int f(int k) { return k == NUM; }\n";  // 7
    const char* scanner = "D [0-9]\n%x STR\n%%\n<STR>{D}+ { BEGIN STR; }\n{W} ;\n";
    struct Case {
        const char* name;
        SpecKind kind;
        const char* text;
        int line, column;
        R result;
        const char* symbol;
        int toLine, toColumn;
    };
    const Case cases[] = {
        {"a rule's use", SpecKind::Grammar, grammar, 4, 4, R::Found, "t", 5, 0},
        {"the caret just after the name", SpecKind::Grammar, grammar, 4, 5, R::Found, "t", 5, 0},
        {"a token's use", SpecKind::Grammar, grammar, 5, 5, R::Found, "NUM", 0, 7},
        {"a rule after a two-byte letter", SpecKind::Grammar, grammar, 3, 12, R::Found, "e", 3, 8},
        {"the definition itself", SpecKind::Grammar, grammar, 3, 8, R::Found, "e", 3, 8},
        {"a token named in C code", SpecKind::Grammar, grammar, 7, 29, R::Found, "NUM", 0, 7},
        {"a name without a definition", SpecKind::Grammar, grammar, 5, 12, R::NotFound, "MISSING", 0, 0},
        {"a C name", SpecKind::Grammar, grammar, 7, 1, R::NotFound, "int", 0, 0},
        {"error", SpecKind::Grammar, "%%\ns : error ';' ;\n", 1, 5, R::Builtin, "error", 0, 0},
        {"blanks", SpecKind::Grammar, grammar, 4, 0, R::NoName, "", 0, 0},
        {"a literal", SpecKind::Grammar, grammar, 3, 15, R::NoName, "", 0, 0},
        {"past the last line", SpecKind::Grammar, grammar, 40, 0, R::NoName, "", 0, 0},
        {"a start condition", SpecKind::Scanner, scanner, 3, 2, R::Found, "STR", 1, 3},
        {"BEGIN's start condition", SpecKind::Scanner, scanner, 3, 19, R::Found, "STR", 1, 3},
        {"a definition's use", SpecKind::Scanner, scanner, 3, 6, R::Found, "D", 0, 0},
        {"an undefined definition", SpecKind::Scanner, scanner, 4, 1, R::NotFound, "W", 0, 0},
        {"not a grammar", SpecKind::None, grammar, 4, 4, R::NoName, "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DefinitionLookup d = findDefinition(c.kind, u(c.text), c.line, c.column);
        EXPECT_EQ(d.result, c.result);
        if (c.result == R::NoName)
            continue;
        EXPECT_EQ(d.name, u(c.symbol));
        if (c.result == R::Found) {
            EXPECT_EQ(d.line, c.toLine);
            EXPECT_EQ(d.column, c.toColumn);
            EXPECT_EQ(definitionMessage(d), QString());
        } else if (c.result == R::Builtin) {
            EXPECT_EQ(definitionMessage(d), u("Symbol „error“ je vstavaný, nemá definíciu"));
        } else {
            EXPECT_EQ(definitionMessage(d), u("Definícia symbolu „") + u(c.symbol) + u("“ sa nenašla"));
        }
    }
}

} // namespace
} // namespace vork::shell
