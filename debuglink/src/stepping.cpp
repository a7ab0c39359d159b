#include "vork/debuglink/stepping.h"

#include "vork/debuglink/record.h"

namespace vork::debuglink {

const std::array<StepCommandInfo, 7> kStepCommands = {{
    {StepCommand::AfterLexJed, "HM_AfterLexJed", "Po lexikálnych jednotkách", "BarLad_PoLex", "Lexikálne jednotky"},
    {StepCommand::AfterSemAction, "HM_AfterSemAction", "Po semantických akciách", "BarLad_PoSemAct",
     "Semantické akcie"},
    {StepCommand::AfterBadSyntax, "HM_AfterBadSyntax", "Po syntaktických chybách", "BarLad_PoSyntErr",
     "Syntaxtické chyby"},
    {StepCommand::AfterReduction, "HM_AfterReduction", "Po redukciách", "BarLad_PoReduk", "Redukcie"},
    {StepCommand::AfterPosuny, "HM_AfterPosuny", "Po posunoch", "BarLad_PoPosun", "Posuny"},
    {StepCommand::AfterStav, "HM_AfterStav", "Po stavoch", "BarLad_PoStav", "Stav debug"},
    {StepCommand::BezKrok, "HM_BezKrok", "Bez Krokovania", "BarLad_BezKrok", "Dokončiť bez debug"},
}};

StepFlags applyStepCommand(StepFlags flags, StepCommand command)
{
    if (command == StepCommand::BezKrok) {
        flags.runFree = true;
        return flags;
    }
    StepFlags only;
    switch (command) {
    case StepCommand::AfterLexJed: only.afterLexicalUnit = true; break;
    case StepCommand::AfterSemAction: only.afterSemanticAction = true; break;
    case StepCommand::AfterBadSyntax: only.afterSyntaxError = true; break;
    case StepCommand::AfterReduction: only.afterReduction = true; break;
    case StepCommand::AfterPosuny: only.afterShift = true; break;
    case StepCommand::AfterStav: only.afterState = true; break;
    case StepCommand::BezKrok: break;
    }
    return only;
}

bool stopsRun(uint32_t kind, const StepFlags& flags)
{
    switch (static_cast<RecordKind>(kind)) {
    case RecordKind::SyntaxError: return flags.afterSyntaxError;
    case RecordKind::Reduction: return flags.afterReduction;
    case RecordKind::State: return flags.afterState;
    case RecordKind::Shift: return flags.afterShift;
    case RecordKind::LexicalUnit: return flags.afterLexicalUnit;
    case RecordKind::AnalysisStart:
    case RecordKind::AnalysisEnd: return true;
    case RecordKind::SemanticAction: return flags.afterSemanticAction;
    default: return false;
    }
}

} // namespace vork::debuglink
