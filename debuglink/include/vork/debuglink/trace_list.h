// The trace list as the window shows it: the panel's own messages and,
// beside them, a line for every lexical unit, shift, reduction and
// semantic action of the run.  The four debug items switch the four groups
// on and off; the rows are the history's record numbers, so a view can
// show the list as of any record without copying texts.
#pragma once

#include "vork/debuglink/record.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vork::debuglink {

class GrammarNames;
class RunHistory;

// In the order of kDebugViewItems.
enum class TraceGroup : uint8_t { Messages, LexicalUnits, ShiftsReductions, SemanticActions };
constexpr size_t kTraceGroupCount = 4;

// The group of the line a record adds; -1 when it adds none (a character,
// a state).
int traceGroup(uint32_t kind);

struct TraceFilter {
    std::array<bool, kTraceGroupCount> shown{true, true, true, true};
    bool shows(uint32_t kind) const
    {
        const int g = traceGroup(kind);
        return g >= 0 && shown[static_cast<size_t>(g)];
    }
    bool operator==(const TraceFilter& o) const { return shown == o.shown; }
};

// The record's line: a message exactly as the panel's own list has it,
// otherwise the panel's text for the record with its name beside it.
// grammar: the panel's grammar list, for a semantic action's line.
std::string traceLine(const Record& record, const GrammarNames* names, const std::vector<std::string>& grammar);

// The record numbers of the lines a filter shows, kept up to date as the
// run grows or the view moves.
class TraceRows {
public:
    enum class Change { None, Appended, Rebuilt };
    // Brings the rows to the first `count` records of the history; a new
    // analysis, a changed filter or a view moved back rebuilds them.
    Change update(const RunHistory& history, size_t count, const TraceFilter& filter, bool newRun);
    const std::vector<uint32_t>& rows() const { return rows_; }

private:
    std::vector<uint32_t> rows_;
    size_t scanned_ = 0;
    TraceFilter filter_;
};

} // namespace vork::debuglink
