#include "vork/debuglink/trace_list.h"

#include "vork/debuglink/debug_panel.h"
#include "vork/debuglink/parse_insight.h"

#include <algorithm>

namespace vork::debuglink {

int traceGroup(uint32_t kind)
{
    switch (static_cast<RecordKind>(kind)) {
    case RecordKind::SyntaxError:
    case RecordKind::StackOverflow:
    case RecordKind::RecoveryPops:
    case RecordKind::RecoveryDiscards:
    case RecordKind::AnalysisStart:
    case RecordKind::AnalysisEnd:
        return static_cast<int>(TraceGroup::Messages);
    case RecordKind::LexicalUnit:
        return static_cast<int>(TraceGroup::LexicalUnits);
    case RecordKind::Shift:
    case RecordKind::Reduction:
        return static_cast<int>(TraceGroup::ShiftsReductions);
    case RecordKind::SemanticAction:
        return static_cast<int>(TraceGroup::SemanticActions);
    default:
        return -1;
    }
}

namespace {

std::string withNote(std::string line, const std::string& note)
{
    if (!note.empty())
        line += " (" + note + ")";
    return line;
}

} // namespace

std::string traceLine(const Record& r, const GrammarNames* names, const std::vector<std::string>& grammar)
{
    switch (static_cast<RecordKind>(r.kind)) {
    case RecordKind::LexicalUnit:
        return withNote(std::string(kLabelTokenCode) + " " + std::to_string(r.value1),
                        names ? names->tokenName(r.value1) : std::string());
    case RecordKind::Shift:
        return withNote("POSUN: " + std::to_string(r.value1), shiftNote(r.value1, names));
    case RecordKind::Reduction:
        return withNote("REDUKCIA: " + std::to_string(r.value1), names ? names->ruleText(r.value1) : std::string());
    case RecordKind::SemanticAction: {
        std::string line = "gramatika " + std::to_string(r.value1);
        if (r.value1 >= 1 && static_cast<size_t>(r.value1) <= grammar.size())
            line += ": " + grammar[static_cast<size_t>(r.value1) - 1];
        return line;
    }
    default:
        return traceMessage(r.kind, r.value1, r.value2);
    }
}

TraceRows::Change TraceRows::update(const RunHistory& history, size_t count, const TraceFilter& filter, bool newRun)
{
    count = std::min(count, history.size());
    Change change = Change::None;
    if (newRun || !(filter == filter_) || count < scanned_) {
        rows_.clear();
        scanned_ = 0;
        filter_ = filter;
        change = Change::Rebuilt;
    }
    const size_t before = rows_.size();
    for (; scanned_ < count; ++scanned_)
        if (filter_.shows(history.kind(scanned_)))
            rows_.push_back(static_cast<uint32_t>(scanned_));
    if (change == Change::None && rows_.size() != before)
        change = Change::Appended;
    return change;
}

} // namespace vork::debuglink
