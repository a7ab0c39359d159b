// --new and --info: create a project, or show what a project holds.
#include "commands.h"

#include "vork/project/project_error.h"
#include "vork/project/projekt.h"
#include "vork/project/stamp.h"

#include <cstdio>

using namespace vork;
using namespace vork::app;

namespace {

int runNew(Invocation& inv)
{
    inv.coreApplication();
    try {
        // An existing project file is read, not overwritten: creating is
        // only for names that do not exist yet.
        Projekt p(inv.operands[0], true, inv.ui());
        // Sources found already there were kept; say which.
        for (const std::string& line : p.creationMessages())
            std::printf("%s\n", line.c_str());
        return p.save() ? kExitOk : kExitFailure;
    } catch (const ProjectError& e) {
        return reportProjectError(e);
    }
}

void field(const char* name, const std::string& value)
{
    std::printf("%s: %s\n", name, value.c_str());
}

void field(const char* name, long value)
{
    std::printf("%s: %ld\n", name, value);
}

int runInfo(Invocation& inv)
{
    inv.coreApplication();
    try {
        const bool existed = fileExists(inv.operands[0]);
        Projekt p(inv.operands[0], false, inv.ui());
        // Looking at a project leaves its file alone; one that was just
        // created (after --yes) is saved like any new project.
        p.setSaveOnClose(!existed);
        p.openForUse();
        // stdout holds only the fields; what the creation kept is told
        // where the question was asked.
        for (const std::string& line : p.creationMessages())
            std::fprintf(stderr, "%s\n", line.c_str());

        field("projectFile", p.projectFile());
        field("projectDir", p.projectDir());
        field("baseName", p.baseName());
        field("kind", p.kind());
        field("lexSpecFile", p.lexSpecFile());
        field("yaccSpecFile", p.yaccSpecFile());
        field("lexOutputFile", p.lexOutputFile());
        field("parserOutputFile", p.parserOutputFile());
        field("messageFile", p.messageFile());
        field("tokenFile", p.tokenFile());
        field("stateFile", p.stateFile());
        field("lexStamp", p.lexStamp());
        field("yaccStamp", p.yaccStamp());
        field("debugMode", p.debugMode());
        field("runArguments", p.runArguments());
        field("jalArgument", p.jalArgument());
        field("defaultCSource", p.isDefaultCSource());
        field("cSourceFile", p.getCSource());
        field("alwaysCompile", p.alwaysCompile());
        field("executableName", p.executableName());
        field("memberFiles", p.fileCount());
        for (const std::string& m : p.memberFiles())
            field("memberFile", m);
        field("tokenNames", static_cast<long>(p.tokenNames().size()));
        for (const std::string& t : p.tokenNames())
            field("tokenName", t);
        field("arguments", static_cast<long>(p.argumentHistory().items().size()));
        for (const std::string& a : p.argumentHistory().items())
            field("argument", a);
        return kExitOk;
    } catch (const ProjectError& e) {
        return reportProjectError(e);
    }
}

Registration registration([](Registry& r) {
    r.addCommand({"--new", "PROJEKT",
                  "založí projekt druhu podľa prípony (.lye, .lyy, .ly): šablóny a projektový súbor", 1, 1,
                  10, runNew});
    r.addCommand({"--info", "PROJEKT", "vypíše údaje projektu, jeden riadok 'meno: hodnota'", 1, 1, 11,
                  runInfo});
});

} // namespace
