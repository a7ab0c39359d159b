// Starter sources of a new project: a complete stand-alone scanner for a
// LEX project, a minimal scanner plus a grammar that includes it for the
// other kinds.  Written with CR LF line ends, and only where no file of the
// name exists: a project made over the user's own calc.l and calc.y must
// not throw them away.
#pragma once

#include "vork/project/project_kind.h"

#include <string>
#include <vector>

namespace vork {

// The template texts with "\n" line ends.
std::string lexOnlyTemplate();
std::string lexTemplate();
std::string yaccTemplate(const std::string& lexOutputName);

// Writes the templates of kind: lexSpecFile, then (kinds 2 and 3)
// yaccSpecFile, each only when no regular file of that name exists yet.
// Returns the paths that existed and were left as they were, in that
// order.  Throws ProjectError "Nie je možné vytvoriť súbor " + path on the
// first file that cannot be written (also when the name is taken by
// something that is not a regular file); a failing ".l" leaves the ".y"
// untouched.
std::vector<std::string> writeTemplates(ProjectKind kind, const std::string& lexSpecFile,
                                        const std::string& yaccSpecFile, const std::string& lexOutputName);

} // namespace vork
