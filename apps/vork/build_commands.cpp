// The headless build options: generate, make, run and halt, Jal, and the
// debug-mode switch, each on one project file.  The project is driven by
// the same engine as in the IDE; its notifications become terminal lines
// (message list and the C compiler's output on stdout, error items on
// stderr), and the project file is saved at the end, as the IDE saves it.
#include "commands.h"

#include "vork/project/child_process.h"
#include "vork/project/command_line.h"
#include "vork/project/configuration.h"
#include "vork/project/headless_projekt.h"
#include "vork/project/project_error.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace vork;
using namespace vork::app;

namespace {

// Exit codes beyond the build and make results.
constexpr int kExitCompileFailed = 6;
constexpr int kExitHalted = 124;
constexpr int kExitRunStartFailed = 127;

// The project as the IDE opens it, with the configuration of konfig.ide
// (when there is one) and the options of this invocation.
std::unique_ptr<HeadlessProjekt> openProject(Invocation& inv, const std::string& path)
{
    inv.coreApplication();
    auto p = std::make_unique<HeadlessProjekt>(path, false, inv.ui(), stdout, stderr, inv.has("--wait"));
    Configuration config;
    // A missing konfig.ide is no news on the command line: the defaults
    // apply silently.
    programConfigFile().read(config);
    if (inv.has("--cc"))
        config.cCompilerPath = inv.modifiers["--cc"];
    if (inv.has("--lang"))
        config.slovakMessages = inv.modifiers["--lang"] != "en";
    if (inv.has("--large"))
        config.largeTables = true;  // this call only: konfig.ide is not written
    p->setConfiguration(config);
    p->setShowTitles(inv.has("--titles"));
    p->openForUse();
    return p;
}

// Saves the project as closing it in the IDE would.  A command that did
// its work but could not write the project file (a directory named like a
// project, a full disk) has not succeeded: the message is on stderr and
// the status is 1 instead of 0 or 2.
int closeProject(HeadlessProjekt& p, int code)
{
    p.closeForUse();
    if (!p.readOnly() && !p.save() && (code == kExitOk || code == Projekt::kMakeUpToDate))
        code = kExitFailure;
    p.setSaveOnClose(false);  // saved just now
    return code;
}

template <typename F>
int withProject(Invocation& inv, const std::string& path, F body)
{
    try {
        std::unique_ptr<HeadlessProjekt> p = openProject(inv, path);
        const int code = body(*p);
        return closeProject(*p, code);
    } catch (const ProjectError& e) {
        return reportProjectError(e);
    }
}

int buildCommand(Invocation& inv, int mode)
{
    return withProject(inv, inv.operands[0], [mode](HeadlessProjekt& p) { return p.build(mode); });
}

int makeExit(HeadlessProjekt& p, int makeResult)
{
    if (makeResult != Projekt::kMakeCompiling)
        return makeResult;
    p.waitUntilIdle();
    return p.lastCompileExitCode() == 0 ? kExitOk : kExitCompileFailed;
}

int runMake(Invocation& inv)
{
    return withProject(inv, inv.operands[0], [](HeadlessProjekt& p) { return makeExit(p, p.make()); });
}

int runRemake(Invocation& inv)
{
    return withProject(inv, inv.operands[0], [](HeadlessProjekt& p) { return makeExit(p, p.remake()); });
}

bool parseSeconds(const std::string& text, double& seconds)
{
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && seconds >= 0 && seconds < 1e6;
}

int runRun(Invocation& inv)
{
    double haltAfter = -1;
    if (inv.has("--halt-after") && !parseSeconds(inv.modifiers["--halt-after"], haltAfter)) {
        std::fprintf(stderr, "vork: --halt-after: nesprávny počet sekúnd: %s\n", inv.modifiers["--halt-after"].c_str());
        return kExitUsage;
    }
    if (!storableRunArguments(inv.passThrough))
        return kExitUsage;
    return withProject(inv, inv.operands[0], [&](HeadlessProjekt& p) {
        if (!inv.passThrough.empty()) {
            const std::string args = joinArguments(inv.passThrough);
            p.setRunArguments(args);
            p.argumentHistory().add(args);
        }
        // The halt clock starts with the run itself, not with the compile.
        if (haltAfter >= 0)
            p.setHaltAfter(static_cast<int>(haltAfter * 1000));
        const int made = p.run();
        if (made == Projekt::kMakeFailed || made == Projekt::kMakeNoCompiler || made == Projekt::kRefusedReadOnly ||
            made == Projekt::kRefusedBusy)
            return made;
        p.waitUntilIdle();
        if (p.runStartFailedSeen())
            return kExitRunStartFailed;
        if (p.lastRunExitCode() < 0)
            return kExitCompileFailed;
        if (p.lastRunExitCode() == ChildProcess::kHaltedExitCode)
            return kExitHalted;
        return p.lastRunExitCode() & 0xff;
    });
}

int runJal(Invocation& inv)
{
    return withProject(inv, inv.operands[0], [](HeadlessProjekt& p) { return p.runJal() ? kExitOk : kExitFailure; });
}

int runDebugMode(Invocation& inv)
{
    const std::string& value = inv.operands[0];
    if (value != "on" && value != "off") {
        std::fprintf(stderr, "vork: --debug-mode: čakám on alebo off: %s\n", value.c_str());
        return kExitUsage;
    }
    return withProject(inv, inv.operands[1], [&value](HeadlessProjekt& p) {
        if (p.debugMode() != (value == "on"))
            p.toggleDebugMode();
        std::printf("Ladiaci režim: %s\n", p.debugMode() ? "zapnutý" : "vypnutý");
        return kExitOk;
    });
}

Registration registration([](Registry& r) {
    r.addCommand({"--build", "PROJEKT", "generuje analyzátory, ktoré treba (build); kód: výsledok buildu", 1, 1, 20,
                  [](Invocation& inv) { return buildCommand(inv, Projekt::kBuild); }});
    r.addCommand({"--rebuild", "PROJEKT", "generuje oba analyzátory znova (rebuild)", 1, 1, 21,
                  [](Invocation& inv) { return buildCommand(inv, Projekt::kRebuild); }});
    r.addCommand({"--lex", "PROJEKT", "generuje lexikálny analyzátor", 1, 1, 22,
                  [](Invocation& inv) { return buildCommand(inv, Projekt::kGenerateLex); }});
    r.addCommand({"--yacc", "PROJEKT", "generuje syntaktický analyzátor", 1, 1, 23,
                  [](Invocation& inv) { return buildCommand(inv, Projekt::kGenerateYacc); }});
    r.addCommand({"--make", "PROJEKT", "generuje a preloží prekladač (make); kód: výsledok make", 1, 1, 24, runMake});
    r.addCommand({"--remake", "PROJEKT", "ako --make, ale generuje všetko znova", 1, 1, 25, runRemake});
    r.addCommand({"--run", "PROJEKT [-- ARG...]",
                  "make a spustí prekladač; ARG sú jeho argumenty (uložia sa do projektu); kód: kód prekladača", 1,
                  1, 26, runRun});
    r.addCommand({"--jal", "PROJEKT", "preloží Jal argument projektu (vstup behu s príponou .jal)", 1, 1, 27,
                  runJal});
    r.addCommand({"--debug-mode", "on|off PROJEKT", "zapne alebo vypne ladiaci režim projektu", 2, 2, 28,
                  runDebugMode});
    r.addModifier({"--wait", "",
                   "ak má projekt otvorený iný VORK, počká, kým ho zavrie (inak sa nezostavuje: kód 7); ak v jeho "
                   "adresári zostavuje iný projekt, počká, kým skončí (inak kód 8)",
                   19});
    r.addModifier({"--halt-after", "SEKUNDY", "pri --run: ukončí prekladač po SEKUNDY od jeho štartu", 20});
    r.addModifier({"--cc", "CESTA", "externý prekladač C pre tento príkaz (inak z konfig.ide, vork-cc)", 21});
    r.addModifier({"--lang", "sk|en", "jazyk hlásení generátorov (inak z konfig.ide)", 22});
    r.addModifier({"--titles", "", "vypisuje aj zmeny titulku okna (titulok: ...)", 23});
    r.addModifier({"--large", "", "generátory s veľkými tabuľkami (len pre tento príkaz)", 24});
    r.addHelpNote(
        "Návratové kódy príkazov projektu:\n"
        "  --build/--rebuild/--lex/--yacc: 0 vygenerované, 2 všetko aktuálne, 1 a 3 chyba generovania\n"
        "  --make/--remake: 0 preložené, 2 program je aktuálny, 3 chyba generovania,\n"
        "                   4 externý prekladač sa nepodarilo spustiť, 6 externý prekladač skončil s chybou\n"
        "  --run: kód spusteného prekladača (0-255; signál N: 128+N), 124 ukončený (--halt-after),\n"
        "         127 nepodarilo sa ho spustiť; skôr: 3, 4 alebo 6 ako pri --make\n"
        "  --jal: 0 súbor .CLASS zapísaný, inak 1\n"
        "  projekt má otvorený iný VORK (bez --wait): 7, nič sa nezostavuje\n"
        "  v adresári projektu zostavuje iný projekt (bez --wait): 8, nič sa nezostavuje\n"
        "  projekt sa nedá otvoriť alebo uložiť: 1; chybné voľby: 2");
});

} // namespace
