// The three kinds of project, chosen by the project file's extension.
// Callers compare kinds by order (at most Lex, more than Lex, ...), so the
// numbers are fixed.
#pragma once

#include <string>

namespace vork {

enum ProjectKind : int {
    kLexProject = 1,      // ".lye": a stand-alone scanner
    kLexYaccProject = 2,  // ".lyy": scanner and parser
    kGeneralProject = 3,  // ".ly" and any other extension: also Jal
};

// Exact, case-sensitive: "P.LYE" is a general project.
ProjectKind projectKindOf(const std::string& projectFile);

// The file-dialog filter name of a kind, e.g. "Projektový súbor (.ly)".
const char* projectKindFilterName(ProjectKind kind);

} // namespace vork
