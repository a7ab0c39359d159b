// vork --debug-run: the debugger on a terminal.  The project is switched
// to debug mode, made and run with the communication thread; the debug
// panel's changes are printed as lines and the step commands are read from
// stdin, one per line, at every stop.
//
// The terminal's stdin belongs to the debugger, so the generated compiler
// gets /dev/null as its stdin and reads its input from its run arguments
// (a file name, as the calculator does).
#include "commands.h"

#include "vork/debuglink/terminal_debugger.h"
#include "vork/project/build_texts.h"
#include "vork/project/child_process.h"
#include "vork/project/command_line.h"
#include "vork/project/configuration.h"
#include "vork/project/debug_run.h"
#include "vork/project/headless_projekt.h"
#include "vork/project/project_error.h"

#include "duq_yacc/automaton.h"

#include <QMetaObject>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace vork;
using namespace vork::app;
using namespace vork::debuglink;

namespace {

constexpr int kExitCompileFailed = 6;
constexpr int kExitHalted = 124;
constexpr int kExitRunStartFailed = 127;

// The debugger's questions go to the same stand-in user as the project's.
class UiPrompts : public DebugPrompts {
public:
    explicit UiPrompts(ProjectUi& ui) : ui_(ui) {}
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        return ui_.askYesNo(text, caption);
    }
    void showError(const std::string& text) override
    {
        ui_.showMessage(text, "Chyba", ProjectUi::Icon::Error);
    }

private:
    ProjectUi& ui_;
};

// The process runner's debug-run steps, handed to the terminal debugger.
class TerminalRunHooks : public DebugRunHooks {
public:
    TerminalRunHooks(HeadlessProjekt& project, TerminalDebugger& debugger, StepFlags preset, bool large)
        : project_(project), debugger_(debugger), preset_(preset), large_(large)
    {
    }
    void debugRunStarted(Projekt&) override
    {
        // The parser was just generated from this grammar, so its automaton
        // numbers states and rules as the running program does.  A LEX
        // project has none: its units carry rule numbers, shown bare.
        duq_yacc::Automaton automaton;
        if (project_.kind() != kLexProject &&
            duq_yacc::build_automaton(project_.yaccSpecFile(), automaton, nullptr, large_ ? 1 : 0))
            debugger_.setGrammarNames(GrammarNames(std::move(automaton)));
        else
            debugger_.setGrammarNames(GrammarNames());
        // The scanner too: its rules' lines, for the stops after a unit.
        debugger_.setScannerRules(ScannerRules::read(project_.lexSpecFile(), large_),
                                  project_.kind() == kLexProject);
        // The title the run began with, before its marker.
        std::string saved = project_.title();
        const std::string marker = texts::kTitleRun;
        if (saved.size() >= marker.size() && saved.compare(saved.size() - marker.size(), marker.size(), marker) == 0)
            saved.erase(saved.size() - marker.size());
        debugger_.runStarted(saved, preset_);
    }
    void debugRunFinished(Projekt&, int) override { debugger_.runFinished(); }

private:
    HeadlessProjekt& project_;
    TerminalDebugger& debugger_;
    StepFlags preset_;
    bool large_;
};

// The run's final parse tree: SVG for a name ending in ".svg", DOT
// otherwise.  False when the file cannot be written.
bool writeTree(const TerminalDebugger& debugger, const std::string& path)
{
    const RunHistory& h = debugger.history();
    std::string text;
    const bool svg = path.size() >= 4 && path.compare(path.size() - 4, 4, ".svg") == 0;
    if (h.size() > 0)
        text = svg ? h.treeAt(h.size() - 1).svg() : h.treeAt(h.size() - 1).dot();
    else
        text = svg ? TreeView({}, nullptr, 0).svg() : TreeView({}, nullptr, 0).dot();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// Moves the terminal's stdin to a descriptor of the debugger's own and
// leaves /dev/null in its place for the generated compiler.
int takeStdin()
{
    const int own = ::fcntl(0, F_DUPFD_CLOEXEC, 3);
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) {
        ::dup2(null, 0);
        if (null != 0)
            ::close(null);
    }
    return own;
}

int runDebugRun(Invocation& inv)
{
    StepFlags preset;
    if (inv.has("--stop")) {
        std::string bad;
        if (!parseStopList(inv.modifiers["--stop"], preset, bad)) {
            std::fprintf(stderr, "vork: --stop: neznámy druh zastavenia: '%s' (lex, sem, err, red, shift, state, free)\n",
                         bad.c_str());
            return kExitUsage;
        }
    }
    if (!storableRunArguments(inv.passThrough))
        return kExitUsage;
    try {
        inv.coreApplication();
        HeadlessProjekt p(inv.operands[0], false, inv.ui(), stdout, stderr, inv.has("--wait"));
        Configuration config;
        programConfigFile().read(config);
        if (inv.has("--cc"))
            config.cCompilerPath = inv.modifiers["--cc"];
        if (inv.has("--lang"))
            config.slovakMessages = inv.modifiers["--lang"] != "en";
        if (inv.has("--large"))
            config.largeTables = true;  // this call only: konfig.ide is not written
        p.setConfiguration(config);
        p.setShowTitles(inv.has("--titles"));
        p.openForUse();

        if (!p.debugMode()) {
            p.toggleDebugMode();
            std::printf("Ladiaci režim: zapnutý\n");
        }
        if (!inv.passThrough.empty()) {
            const std::string args = joinArguments(inv.passThrough);
            p.setRunArguments(args);
            p.argumentHistory().add(args);
        }

        const int commandFd = takeStdin();
        UiPrompts prompts(inv.ui());
        const std::string grammarFile = p.yaccSpecFile();
        TerminalDebugger debugger(stdout, stderr, commandFd, [grammarFile] { return readGrammarFile(grammarFile); },
                                  prompts);
        // Projekt lives on this thread: the reader asks it to halt through
        // the event loop.
        debugger.setHaltRequest([&p] { QMetaObject::invokeMethod(&p, [&p] { p.halt(); }, Qt::QueuedConnection); });
        if (inv.has("--records-out"))
            debugger.setRecordFile(inv.modifiers["--records-out"]);
        TerminalRunHooks hooks(p, debugger, preset, config.largeTables);
        p.setDebugRunHooks(&hooks);

        int code;
        const int made = p.run();
        if (made == Projekt::kMakeFailed || made == Projekt::kMakeNoCompiler || made == Projekt::kRefusedReadOnly ||
            made == Projekt::kRefusedBusy) {
            code = made;
        } else {
            p.waitUntilIdle();
            if (p.runStartFailedSeen())
                code = kExitRunStartFailed;
            else if (p.lastRunExitCode() < 0)
                code = kExitCompileFailed;
            else if (p.lastRunExitCode() == ChildProcess::kHaltedExitCode)
                code = kExitHalted;
            else
                code = p.lastRunExitCode() & 0xff;
        }
        debugger.runFinished();
        if (inv.has("--tree-out") && !writeTree(debugger, inv.modifiers["--tree-out"])) {
            std::fprintf(stderr, "vork: --tree-out: súbor %s sa nepodarilo zapísať\n",
                         inv.modifiers["--tree-out"].c_str());
            if (code == 0)
                code = 1;
        }
        p.setDebugRunHooks(nullptr);
        p.closeForUse();
        if (commandFd >= 0)
            ::close(commandFd);
        return code;
    } catch (const ProjectError& e) {
        return reportProjectError(e);
    }
}

Registration registration([](Registry& r) {
    r.addCommand({"--debug-run", "PROJEKT [-- ARG...]",
                  "ladí prekladač: zapne ladiaci režim, make a spustí ho s ladením; príkazy krokovania zo stdin", 1, 1,
                  29, runDebugRun});
    r.addModifier({"--stop", "DRUH,...", "pri --debug-run: zastavovať po lex, sem, err, red, shift, state (alebo free)",
                   24});
    r.addModifier({"--tree-out", "SÚBOR", "pri --debug-run: zapíše syntaktický strom behu (DOT, pri .svg SVG)", 24});
    r.addModifier({"--records-out", "SÚBOR", "pri --debug-run: zapíše každý záznam behu ako riadok „druh hodnota1 hodnota2“",
                   24});
    r.addHelpNote("Ladenie (--debug-run): pri každom zastavení (titulok ...[Zastaveny]) číta zo stdin jeden príkaz:\n"
                  "  lex, sem, err, red, shift, state  zastaviť po lexikálnych jednotkách, semantických akciách,\n"
                  "                                    syntaktických chybách, redukciách, posunoch, stavoch\n"
                  "  free                              Bez Krokovania (aj koniec vstupu)\n"
                  "  prázdny riadok                    pokračovať s doterajšími zastaveniami (--stop)\n"
                  "  halt                              ukončí prekladač\n"
                  "  stack, tree                       vypíše zásobník (s položkami stavu) alebo strom; zostane stáť\n"
                  "  trace [hlasenia,lex,posuvy,sem]   vypíše zoznam priebehu (bez skupín všetky); zostane stáť\n"
                  "  back [N], fwd [N]                 o N záznamov späť / vpred (panel a zásobník k tomu záznamu);\n"
                  "                                    vpred za posledný záznam pokračuje ako prázdny riadok\n"
                  "Prekladač má stdin /dev/null; vstup dostane z argumentov (napr. súbor).");
});

} // namespace
