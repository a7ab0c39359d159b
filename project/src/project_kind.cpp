#include "vork/project/project_kind.h"

#include "vork/project/paths.h"

namespace vork {

ProjectKind projectKindOf(const std::string& projectFile)
{
    const std::string ext = paths::extension(projectFile);
    if (ext == ".lye")
        return kLexProject;
    if (ext == ".lyy")
        return kLexYaccProject;
    return kGeneralProject;
}

const char* projectKindFilterName(ProjectKind kind)
{
    switch (kind) {
    case kLexProject:
        return "Projektový súbor - LEX (.lye)";
    case kLexYaccProject:
        return "Projektový súbor - LEX YACC (.lyy)";
    case kGeneralProject:
        break;
    }
    return "Projektový súbor (.ly)";
}

} // namespace vork
