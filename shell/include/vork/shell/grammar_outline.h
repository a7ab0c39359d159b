// What the editor knows of a grammar (.y) or scanner (.l) page without a
// window: the outline's entries grouped by kind, and where "go to
// definition" leads from a place in the text.  The names and places come
// from the symbol index; this layer only turns its UTF-8 byte columns into
// the editor's character columns and its symbols into captions.
#pragma once

#include <QString>

#include <vector>

namespace vork::shell {

enum class SpecKind { None, Grammar, Scanner };

// By the file's suffix, letters in any case: ".y" is a grammar, ".l" and
// ".lex" a scanner; every other file has no outline.
SpecKind specKindOf(const QString& fileName);

// A line's UTF-8 byte column as an index into the line's characters, and
// back.  A column inside a character's bytes counts as that character; one
// past the end of the line is the line's end.
int characterColumn(const QString& line, int byteColumn);
int byteColumn(const QString& line, int characterColumn);

struct OutlineEntry {
    QString text;     // "expr", "NUM = 300", "PLUS %left", "D [0-9]"
    QString toolTip;  // the whole of it where the text is cut short
    int line = 0;     // 0-based
    int column = 0;   // 0-based character column in the editor's line
    bool defined = true;  // false: listed at its first use, defined nowhere
    std::vector<OutlineEntry> children;  // a rule's alternatives
};

struct OutlineGroup {
    QString title;  // "Pravidlá", "Tokeny", "Štartovacie podmienky", "Definície"
    std::vector<OutlineEntry> entries;  // in the order of the file
};

// The groups of a page's text (lines separated by '\n'); none for a file
// of kind None, and no group that would be empty.  A name used but never
// defined is listed at its first use, marked as such, or for a grammar's
// "error" as built in.
std::vector<OutlineGroup> buildOutline(SpecKind kind, const QString& text);

// "Go to definition" at (line, character column) of text.
struct DefinitionLookup {
    enum class Result {
        NoName,    // no name at that place
        Found,     // line and column say where it is defined
        NotFound,  // name is used but defined nowhere in the text
        Builtin,   // a grammar's "error", which the parser generator defines
    };
    Result result = Result::NoName;
    QString name;
    int line = 0;
    int column = 0;
};
DefinitionLookup findDefinition(SpecKind kind, const QString& text, int line, int column);

// The status bar's text for a lookup that did not move the caret; empty
// for one that did.
QString definitionMessage(const DefinitionLookup& lookup);

} // namespace vork::shell
