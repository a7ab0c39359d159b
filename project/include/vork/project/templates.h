// Starter sources of a new project: a complete stand-alone scanner for a
// LEX project, a minimal scanner plus a grammar that includes it for the
// other kinds.  Written with CR LF line ends, replacing existing files.
#pragma once

#include "vork/project/project_kind.h"

#include <string>

namespace vork {

// The template texts with "\n" line ends.
std::string lexOnlyTemplate();
std::string lexTemplate();
std::string yaccTemplate(const std::string& lexOutputName);

// Writes the templates of kind: lexSpecFile, then (kinds 2 and 3)
// yaccSpecFile.  Throws ProjectError "Nie je možné vytvoriť súbor " + path
// on the first file that cannot be written; a failing ".l" leaves the ".y"
// untouched.
void writeTemplates(ProjectKind kind, const std::string& lexSpecFile, const std::string& yaccSpecFile,
                    const std::string& lexOutputName);

} // namespace vork
