// The environment's side of one debug run without widgets: the debug panel,
// the enabled state of the debug commands and the window title.  It is the
// KomunHost that the GUI mirrors into its widgets and that the headless
// debugger drives directly.
#pragma once

#include "vork/debuglink/debug_panel.h"
#include "vork/debuglink/komvl.h"
#include "vork/debuglink/parse_insight.h"
#include "vork/debuglink/scanner_rules.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vork::debuglink {

extern const char* const kTitleRunning; // "[Spusteny]"
extern const char* const kTitleStopped; // "[Zastaveny]"

// The panel's line on how the run stands once the communication thread has
// ended: its last stop is no longer the program's current place.
extern const char* const kNoteRunFree;     // "Beh pokračuje bez krokovania"
extern const char* const kNoteFreeEnded;   // "Beh skončil bez krokovania"
extern const char* const kNoteDebugEnded;  // "Ladenie skončilo"

struct DebugMenuItemInfo {
    const char* name;
    const char* caption;
};
// HM_Hlasenia, HM_LexJednotky, HM_PosuvyRedukcie, HM_SemAction: enabled and
// disabled with the step commands; check items that show or hide their
// group of lines in the window's trace list (see trace_list.h).
extern const std::vector<DebugMenuItemInfo> kDebugViewItems;

// Enabled state of the eleven debug menu items and the seven debug buttons.
class DebugCommandState {
public:
    DebugCommandState();
    // The seven step menu items and the seven buttons.
    void setStepCommandsEnabled(bool on);
    // All eleven menu items and the seven buttons.
    void setAllEnabled(bool on);
    // Throws std::out_of_range for a name that is not a debug command.
    bool isEnabled(const std::string& name) const;
    const std::map<std::string, bool>& states() const { return enabled_; }

private:
    std::map<std::string, bool> enabled_;
};

// Questions and messages that the GUI shows as message boxes.
class DebugPrompts {
public:
    virtual ~DebugPrompts() = default;
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
};

class DebugSession : public KomunHost, public DebugPanelOwner {
public:
    // savedTitle: the window title saved when the run began, before its
    // marker was appended.
    DebugSession(std::string savedTitle, std::function<GrammarText()> loadGrammar, DebugPrompts& prompts);

    // KomunHost
    void showRecord(const Record& record) override;
    void noteRecord(const Record& record) override;
    void showStopped() override;
    void showRunning() override;
    void threadEnded() override;
    void runLeftFree() override;
    void showChannelError(const std::string& text) override;

    // DebugPanelOwner
    void enableDebugCommands() override;
    GrammarText loadGrammar() override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showErrorText(const std::string& text) override;

    // A new run on the same panel: the title saved by the process runner
    // for it.  The panel keeps what the previous run left.
    void beginRun(std::string savedTitle);

    DebugPanel& panel() { return panel_; }
    const DebugPanel& panel() const { return panel_; }
    const DebugCommandState& commands() const { return commands_; }
    const std::string& title() const { return title_; }
    bool ended() const { return ended_; }
    // The generated compiler of the run has ended (the process runner's
    // end of a debug run, after the thread's).
    void programEnded();
    // After the thread's end: whether the run was let go without stepping,
    // and the panel's line saying how the run stands ("" while the thread
    // serves the run).
    bool leftFree() const { return leftFree_; }
    std::string runNote() const;

    // The grammar's automaton for names, stack and tree; set before a run.
    // Without it the history still keeps the records and the panel.
    void setGrammarNames(GrammarNames names);
    const GrammarNames& grammarNames() const { return names_; }
    const GrammarNames* names() const { return names_.empty() ? nullptr : &names_; }
    // The rules of the scanner the program was built from; set before a
    // run.  unitsAreRules: a program without a parser, whose units carry
    // the rule in value 1 as well, so that programs built before units
    // named their rule in value 2 are understood too.
    void setScannerRules(ScannerRules rules, bool unitsAreRules);
    const ScannerRules& scannerRules() const { return scannerRules_; }
    // While the last record is a lexical unit: the scanner rule it matched
    // and that rule's line in the .l file; 0 otherwise or when unknown.
    int unitRule() const { return unitRule_; }
    int unitRuleLine() const { return scannerRules_.line(unitRule_); }
    // The scanner rule a lexical unit record names (0 for any other record
    // or when it names none).
    int ruleOf(const Record& record) const;

    // Where in the sources a record points: a semantic action at its line
    // of the grammar, a lexical unit at its rule's line of the .l file.
    struct SourceLine {
        enum Where { None, Grammar, Scanner } where = None;
        int line = 0;
    };
    SourceLine sourceLine(const Record& record) const;

    // Every record of the current run; read on the thread of the displays
    // (or while the run is stopped).
    RunHistory& history() { return history_; }
    const RunHistory& history() const { return history_; }

    // Called after every change, so a view can follow.
    std::function<void()> onChange;

private:
    void changed();

    std::string savedTitle_;
    std::string title_;
    std::function<GrammarText()> loadGrammar_;
    DebugPrompts& prompts_;
    DebugPanel panel_;
    DebugCommandState commands_;
    bool ended_ = false;
    bool leftFree_ = false;
    bool programEnded_ = false;
    GrammarNames names_;
    RunHistory history_;
    ScannerRules scannerRules_;
    bool unitsAreRules_ = false;
    int unitRule_ = 0;
};

} // namespace vork::debuglink
