// The seven step flags, the seven step commands and which record kinds stop
// a debug run.
#pragma once

#include <array>
#include <cstdint>

namespace vork::debuglink {

struct StepFlags {
    bool afterSemanticAction = false;
    bool afterLexicalUnit = false;
    bool afterSyntaxError = false;
    bool afterReduction = false;
    bool afterShift = false;
    bool afterState = false;
    bool runFree = false;

    bool operator==(const StepFlags& o) const
    {
        return afterSemanticAction == o.afterSemanticAction && afterLexicalUnit == o.afterLexicalUnit &&
               afterSyntaxError == o.afterSyntaxError && afterReduction == o.afterReduction &&
               afterShift == o.afterShift && afterState == o.afterState && runFree == o.runFree;
    }
};

enum class StepCommand {
    AfterLexJed,
    AfterSemAction,
    AfterBadSyntax,
    AfterReduction,
    AfterPosuny,
    AfterStav,
    BezKrok,
};

// One row of the step-command table: the menu item and the toolbar button
// that both issue the command.
struct StepCommandInfo {
    StepCommand command;
    const char* menuItem; // "HM_AfterLexJed"
    const char* caption;  // "Po lexikálnych jednotkách"
    const char* button;   // "BarLad_PoLex"
    const char* hint;     // "Lexikálne jednotky"
};

extern const std::array<StepCommandInfo, 7> kStepCommands;

// The flags after the command: one stop flag alone, or for BezKrok run free
// added to the six stop flags as they were.
StepFlags applyStepCommand(StepFlags flags, StepCommand command);

// Whether a displayed record of this kind stops the run.  AnalysisStart and
// AnalysisEnd always stop; kinds 2, 3, 4, 9 and 10 never do.
bool stopsRun(uint32_t kind, const StepFlags& flags);

} // namespace vork::debuglink
