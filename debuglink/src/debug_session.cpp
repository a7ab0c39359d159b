#include "vork/debuglink/debug_session.h"

#include "vork/debuglink/stepping.h"

#include <stdexcept>
#include <utility>

namespace vork::debuglink {

const char* const kTitleRunning = "[Spusteny]";
const char* const kTitleStopped = "[Zastaveny]";
const char* const kNoteRunFree = "Beh pokračuje bez krokovania";
const char* const kNoteFreeEnded = "Beh skončil bez krokovania";
const char* const kNoteDebugEnded = "Ladenie skončilo";

const std::vector<DebugMenuItemInfo> kDebugViewItems = {
    {"HM_Hlasenia", "Hlásenia prekladača"},
    {"HM_LexJednotky", "Lexikálne jednotky"},
    {"HM_PosuvyRedukcie", "Posuvy a redukcie"},
    {"HM_SemAction", "Semantivké akcie"},
};

DebugCommandState::DebugCommandState()
{
    for (const auto& item : kDebugViewItems)
        enabled_[item.name] = false;
    for (const auto& cmd : kStepCommands) {
        enabled_[cmd.menuItem] = false;
        enabled_[cmd.button] = false;
    }
}

void DebugCommandState::setStepCommandsEnabled(bool on)
{
    for (const auto& cmd : kStepCommands) {
        enabled_[cmd.menuItem] = on;
        enabled_[cmd.button] = on;
    }
}

void DebugCommandState::setAllEnabled(bool on)
{
    for (const auto& item : kDebugViewItems)
        enabled_[item.name] = on;
    setStepCommandsEnabled(on);
}

bool DebugCommandState::isEnabled(const std::string& name) const
{
    return enabled_.at(name);
}

DebugSession::DebugSession(std::string savedTitle, std::function<GrammarText()> loadGrammar, DebugPrompts& prompts)
    : savedTitle_(std::move(savedTitle)), title_(savedTitle_), loadGrammar_(std::move(loadGrammar)),
      prompts_(prompts)
{
}

void DebugSession::beginRun(std::string savedTitle)
{
    savedTitle_ = std::move(savedTitle);
    title_ = savedTitle_;
    ended_ = false;
    leftFree_ = false;
    programEnded_ = false;
    changed();
}

void DebugSession::changed()
{
    if (onChange)
        onChange();
}

void DebugSession::showRecord(const Record& record)
{
    unitRule_ = ruleOf(record);
    panel_.show(record.kind, record.value1, record.value2, *this);
    if (record.kind == static_cast<uint32_t>(RecordKind::AnalysisStart))
        history_.setGrammarLines(panel_.grammar().size());
    history_.append(record);
    changed();
}

int DebugSession::ruleOf(const Record& record) const
{
    const int rule = lexicalUnitRule(record);
    if (rule == 0 && unitsAreRules_ && record.kind == static_cast<uint32_t>(RecordKind::LexicalUnit) &&
        record.value1 > 0)
        return record.value1;
    return rule;
}

DebugSession::SourceLine DebugSession::sourceLine(const Record& record) const
{
    SourceLine at;
    if (record.kind == static_cast<uint32_t>(RecordKind::SemanticAction) && record.value1 >= 1) {
        at.where = SourceLine::Grammar;
        at.line = record.value1;
    } else if (const int line = scannerRules_.line(ruleOf(record))) {
        at.where = SourceLine::Scanner;
        at.line = line;
    }
    return at;
}

void DebugSession::noteRecord(const Record& record)
{
    unitRule_ = 0;
    history_.append(record);
}

void DebugSession::setScannerRules(ScannerRules rules, bool unitsAreRules)
{
    scannerRules_ = std::move(rules);
    unitsAreRules_ = unitsAreRules;
    unitRule_ = 0;
}

void DebugSession::setGrammarNames(GrammarNames names)
{
    names_ = std::move(names);
    history_.setNames(this->names());
}

void DebugSession::showStopped()
{
    title_ = savedTitle_ + kTitleStopped;
    commands_.setStepCommandsEnabled(true);
    changed();
}

void DebugSession::showRunning()
{
    title_ = savedTitle_ + kTitleRunning;
    commands_.setStepCommandsEnabled(false);
    changed();
}

void DebugSession::threadEnded()
{
    // The title stays: the process runner restores it when the program ends.
    commands_.setAllEnabled(false);
    ended_ = true;
    changed();
}

void DebugSession::runLeftFree()
{
    // The end handler follows at once and announces the change.
    leftFree_ = true;
}

void DebugSession::programEnded()
{
    programEnded_ = true;
    changed();
}

std::string DebugSession::runNote() const
{
    if (!ended_)
        return std::string();
    if (leftFree_)
        return programEnded_ ? kNoteFreeEnded : kNoteRunFree;
    return kNoteDebugEnded;
}

void DebugSession::showChannelError(const std::string& text)
{
    prompts_.showError(text);
}

void DebugSession::enableDebugCommands()
{
    commands_.setAllEnabled(true);
}

GrammarText DebugSession::loadGrammar()
{
    if (!loadGrammar_)
        return GrammarText{};
    return loadGrammar_();
}

bool DebugSession::askYesNo(const std::string& caption, const std::string& text)
{
    return prompts_.askYesNo(caption, text);
}

void DebugSession::showErrorText(const std::string& text)
{
    prompts_.showError(text);
}

} // namespace vork::debuglink
