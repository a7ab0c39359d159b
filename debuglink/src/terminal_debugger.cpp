#include "vork/debuglink/terminal_debugger.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace vork::debuglink {

const std::array<const char*, 7> kStepCommandNames = {"lex", "sem", "err", "red", "shift", "state", "free"};
const char* const kHaltCommandName = "halt";
const char* const kStackCommandName = "stack";
const char* const kTreeCommandName = "tree";
const char* const kTraceCommandName = "trace";
const char* const kBackCommandName = "back";
const char* const kForwardCommandName = "fwd";
const std::array<const char*, kTraceGroupCount> kTraceGroupNames = {"hlasenia", "lex", "posuvy", "sem"};

std::optional<StepCommand> parseStepCommand(const std::string& name)
{
    for (size_t i = 0; i < kStepCommandNames.size(); ++i)
        if (name == kStepCommandNames[i])
            return kStepCommands[i].command;
    return std::nullopt;
}

bool parseStopList(const std::string& list, StepFlags& flags, std::string& bad)
{
    StepFlags result;
    size_t pos = 0;
    for (;;) {
        const size_t comma = list.find(',', pos);
        const std::string name = list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        const std::optional<StepCommand> cmd = parseStepCommand(name);
        if (!cmd) {
            bad = name;
            return false;
        }
        // One command sets its own flag and clears the others; a list
        // keeps what the earlier names set.
        const StepFlags one = applyStepCommand(StepFlags{}, *cmd);
        result.afterSemanticAction |= one.afterSemanticAction;
        result.afterLexicalUnit |= one.afterLexicalUnit;
        result.afterSyntaxError |= one.afterSyntaxError;
        result.afterReduction |= one.afterReduction;
        result.afterShift |= one.afterShift;
        result.afterState |= one.afterState;
        result.runFree |= one.runFree;
        if (comma == std::string::npos)
            break;
        pos = comma + 1;
    }
    flags = result;
    return true;
}

bool parseViewMove(const std::string& line, long& delta)
{
    long sign = 0;
    size_t rest = 0;
    if (line.rfind(kBackCommandName, 0) == 0) {
        sign = -1;
        rest = std::strlen(kBackCommandName);
    } else if (line.rfind(kForwardCommandName, 0) == 0) {
        sign = 1;
        rest = std::strlen(kForwardCommandName);
    } else {
        return false;
    }
    const size_t digits = line.find_first_not_of(' ', rest);
    if (digits == std::string::npos) {
        if (rest != line.size())
            return false;
        delta = sign;
        return true;
    }
    if (digits == rest)
        return false; // "backup" is not "back"
    long n = 0;
    for (size_t i = digits; i < line.size(); ++i) {
        if (line[i] < '0' || line[i] > '9' || n > 100000000)
            return false;
        n = n * 10 + (line[i] - '0');
    }
    delta = sign * std::max(n, 1L);
    return true;
}

bool parseTraceGroups(const std::string& list, TraceFilter& filter, std::string& bad)
{
    TraceFilter result;
    if (!list.empty()) {
        result.shown.fill(false);
        size_t pos = 0;
        for (;;) {
            const size_t comma = list.find(',', pos);
            const std::string name = list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
            size_t g = 0;
            while (g < kTraceGroupNames.size() && name != kTraceGroupNames[g])
                ++g;
            if (g == kTraceGroupNames.size()) {
                bad = name;
                return false;
            }
            result.shown[g] = true;
            if (comma == std::string::npos)
                break;
            pos = comma + 1;
        }
    }
    filter = result;
    return true;
}

static std::string withNote(std::string line, const std::string& note)
{
    if (!note.empty())
        line += " (" + note + ")";
    return line;
}

std::vector<std::string> PanelPrinter::changes(const DebugPanel& panel, uint32_t kind, const PanelNotes* notes)
{
    std::vector<std::string> lines;
    const bool unit = kind == static_cast<uint32_t>(RecordKind::LexicalUnit);
    if (panel.tokenCode() != tokenCode_ || unit) {
        tokenCode_ = panel.tokenCode();
        lines.push_back(withNote(std::string(kLabelTokenCode) + " " + tokenCode_,
                                 notes && unit ? notes->tokenName : std::string()));
    }
    if (panel.characters() != characters_) {
        characters_ = panel.characters();
        lines.push_back(std::string(kLabelLexicalUnit) + " " + characters_);
    }
    if (notes && notes->inputStream != inputStream_) {
        inputStream_ = notes->inputStream;
        lines.push_back(std::string(kLabelInputStream) + " " + inputStream_);
    }
    // A shift or reduction shows its line even when the text repeats the
    // previous one: each is a step of its own.
    const bool step =
        kind == static_cast<uint32_t>(RecordKind::Shift) || kind == static_cast<uint32_t>(RecordKind::Reduction);
    if (panel.stepLine() != stepLine_ || step) {
        stepLine_ = panel.stepLine();
        lines.push_back(withNote(stepLine_, notes && step ? notes->stepNote : std::string()));
    }
    // The trace only grows, except that a new analysis clears it: print
    // what is new since the last look.
    const std::vector<std::string>& trace = panel.trace();
    size_t same = 0;
    while (same < trace.size() && same < trace_.size() && trace[same] == trace_[same])
        ++same;
    if (same < trace_.size())
        same = 0; // cleared and refilled
    for (size_t i = same; i < trace.size(); ++i)
        lines.push_back(trace[i]);
    trace_ = trace;
    // Every semantic action shows its line, also when it is the line
    // already selected.
    const int selected = panel.selectedGrammarItem();
    if (kind == static_cast<uint32_t>(RecordKind::SemanticAction) && selected >= 0 &&
        static_cast<size_t>(selected) < panel.grammar().size())
        lines.push_back("gramatika " + std::to_string(selected + 1) + ": " +
                        panel.grammar()[static_cast<size_t>(selected)]);
    return lines;
}

LineReader::Result LineReader::next(std::string& line, const std::function<bool()>& cancelled, int sliceMs)
{
    for (;;) {
        const size_t nl = buffer_.find('\n');
        if (nl != std::string::npos) {
            line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return Result::Line;
        }
        if (end_) {
            if (buffer_.empty())
                return Result::End;
            // A last line without its line end still counts.
            line.swap(buffer_);
            buffer_.clear();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return Result::Line;
        }
        if (cancelled && cancelled())
            return Result::Cancelled;
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, sliceMs);
        if (ready < 0 && errno != EINTR) {
            end_ = true;
            continue;
        }
        if (ready <= 0)
            continue;
        char chunk[4096];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0)
            buffer_.append(chunk, static_cast<size_t>(n));
        else if (n == 0 || (errno != EINTR && errno != EAGAIN))
            end_ = true;
    }
}

TerminalDebugger::TerminalDebugger(std::FILE* out, std::FILE* err, int commandFd,
                                   std::function<GrammarText()> loadGrammar, DebugPrompts& prompts)
    : DebugSession("", std::move(loadGrammar), prompts), out_(out), err_(err), reader_(commandFd)
{
}

TerminalDebugger::~TerminalDebugger()
{
    runFinished();
}

size_t TerminalDebugger::viewedRecords() const
{
    return view_ < 0 ? history().size() : static_cast<size_t>(view_) + 1;
}

std::vector<std::string> TerminalDebugger::stackLines()
{
    const GrammarNames* names = this->names();
    const std::vector<StackEntry> stack =
        view_ < 0 ? history().live().stack() : history().at(static_cast<size_t>(view_)).stack;
    std::vector<std::string> lines{"zásobník: " + stackText(stack, names)};
    if (names && !stack.empty())
        for (const std::string& item : names->items(stack.back().state))
            lines.push_back("  " + item);
    return lines;
}

std::vector<std::string> TerminalDebugger::traceLines(const TraceFilter& filter) const
{
    TraceRows rows;
    rows.update(history(), viewedRecords(), filter, true);
    std::vector<std::string> lines;
    for (uint32_t index : rows.rows())
        lines.push_back(traceLine(history().record(index), names(), panel().grammar()));
    return lines;
}

bool TerminalDebugger::moveView(long delta, std::vector<std::string>& lines)
{
    const long size = static_cast<long>(history().size());
    if (size == 0)
        return delta < 0;
    long at = (view_ < 0 ? size - 1 : view_) + delta;
    if (at >= size)
        return false; // forward past the last record: the run goes on
    at = std::max(at, 0L);
    view_ = at == size - 1 ? -1 : at;
    const RunHistory::Moment m = history().at(static_cast<size_t>(at));
    lines.push_back("záznam " + std::to_string(at + 1) + " / " + std::to_string(size));
    lines.push_back(withNote(std::string(kLabelTokenCode) + " " + m.panel.tokenCode, m.notes.tokenName));
    lines.push_back(std::string(kLabelLexicalUnit) + " " + m.panel.characters);
    lines.push_back(std::string(kLabelInputStream) + " " + m.notes.inputStream);
    lines.push_back(withNote(m.panel.stepLine, m.notes.stepNote));
    lines.push_back("zásobník: " + stackText(m.stack, names()));
    // The source line of the record viewed, as at the stop it was.
    const SourceLine source = sourceLine(history().record(static_cast<size_t>(at)));
    const std::vector<std::string>& grammar = panel().grammar();
    if (source.where == SourceLine::Scanner)
        lines.push_back("skener " + std::to_string(source.line) + ": " + scannerRules().lineText(source.line));
    else if (source.where == SourceLine::Grammar && static_cast<size_t>(source.line) <= grammar.size())
        lines.push_back("gramatika " + std::to_string(source.line) + ": " + grammar[static_cast<size_t>(source.line) - 1]);
    return true;
}

std::vector<std::string> TerminalDebugger::treeLines() const
{
    std::vector<std::string> lines;
    if (history().size() == 0)
        return lines;
    const std::string text = history().treeAt(viewedRecords() - 1).text();
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t nl = text.find('\n', pos);
        lines.push_back(text.substr(pos, nl - pos));
        pos = nl == std::string::npos ? text.size() : nl + 1;
    }
    return lines;
}

void TerminalDebugger::runStarted(const std::string& savedTitle, const StepFlags& preset)
{
    runFinished();
    beginRun(savedTitle);
    if (!recordPath_.empty() && !recordFile_)
        recordFile_ = std::fopen(recordPath_.c_str(), "w");
    {
        std::lock_guard<std::mutex> lock(m_);
        stopPending_ = false;
        quit_ = false;
    }
    thread_ = std::make_unique<KomunVlakno>(*this, DisplayCall::Direct);
    // Nothing is read before the first record, which stops the run
    // whatever the flags say, so the preset is in place in time.
    thread_->presetFlags(preset);
    readerThread_ = std::thread([this] { readCommands(); });
}

void TerminalDebugger::runFinished()
{
    {
        std::lock_guard<std::mutex> lock(m_);
        quit_ = true;
        cv_.notify_all();
    }
    if (readerThread_.joinable())
        readerThread_.join();
    if (thread_) {
        thread_->finish();
        thread_.reset();
    }
    if (recordFile_) {
        std::fclose(recordFile_);
        recordFile_ = nullptr;
    }
}

bool TerminalDebugger::cancelled()
{
    std::lock_guard<std::mutex> lock(m_);
    return quit_;
}

int TerminalDebugger::stops() const
{
    std::lock_guard<std::mutex> lock(m_);
    return stops_;
}

void TerminalDebugger::printLine(const std::string& line)
{
    if (!out_)
        return;
    std::lock_guard<std::mutex> lock(printMutex_);
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
}

void TerminalDebugger::showRecord(const Record& record)
{
    DebugSession::showRecord(record);
    if (recordFile_)
        std::fprintf(recordFile_, "%u %d %d\n", record.kind, record.value1, record.value2);
    const PanelNotes* notes = names() ? &history().live().notes() : nullptr;
    for (const std::string& line : printer_.changes(panel(), record.kind, notes))
        printLine(line);
}

void TerminalDebugger::noteRecord(const Record& record)
{
    DebugSession::noteRecord(record);
    if (recordFile_)
        std::fprintf(recordFile_, "%u %d %d\n", record.kind, record.value1, record.value2);
}

void TerminalDebugger::showStopped()
{
    DebugSession::showStopped();
    printLine("titulok: " + title());
    // Stopped after a lexical unit: the rule that matched it, as the window
    // selects it in the .l page.
    if (const int line = unitRuleLine())
        printLine("skener " + std::to_string(line) + ": " + scannerRules().lineText(line));
    std::lock_guard<std::mutex> lock(m_);
    ++stops_;
    stopPending_ = true;
    cv_.notify_all();
}

void TerminalDebugger::showRunning()
{
    DebugSession::showRunning();
    printLine("titulok: " + title());
}

void TerminalDebugger::threadEnded()
{
    DebugSession::threadEnded();
    std::lock_guard<std::mutex> lock(m_);
    cv_.notify_all();
}

void TerminalDebugger::showChannelError(const std::string& text)
{
    if (err_) {
        std::fprintf(err_, "%s\n", text.c_str());
        std::fflush(err_);
    }
}

// The command reader: at each stop one command; the end of the input runs
// the rest of the analysis free.
void TerminalDebugger::readCommands()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_);
            cv_.wait(lock, [this] { return stopPending_ || quit_; });
            if (quit_)
                return;
            stopPending_ = false;
            view_ = -1; // a new stop shows the newest record again
        }
        std::optional<StepCommand> cmd;
        bool halt = false;
        bool keep = false;
        while (!cmd && !halt && !keep) {
            if (inputEnded_) {
                cmd = StepCommand::BezKrok;
                break;
            }
            std::string line;
            const LineReader::Result r = reader_.next(line, [this] { return cancelled(); });
            if (r == LineReader::Result::Cancelled)
                return;
            if (r == LineReader::Result::End) {
                inputEnded_ = true;
                continue;
            }
            const size_t b = line.find_first_not_of(" \t");
            const size_t e = line.find_last_not_of(" \t");
            line = b == std::string::npos ? std::string() : line.substr(b, e - b + 1);
            if (line.empty()) {
                // Enter alone: go on with the flags as they are, so that
                // the stops chosen with --stop can be stepped through.
                keep = true;
                break;
            }
            if (line == kHaltCommandName) {
                halt = true;
                break;
            }
            if (line == kStackCommandName || line == kTreeCommandName) {
                // The run stays stopped: the communication thread waits,
                // so the history holds still while it is read.
                for (const std::string& l : line == kStackCommandName ? stackLines() : treeLines())
                    printLine(l);
                continue;
            }
            if (line == kTraceCommandName || line.rfind(std::string(kTraceCommandName) + " ", 0) == 0) {
                TraceFilter filter;
                std::string bad;
                const size_t groups = line.find_first_not_of(' ', std::strlen(kTraceCommandName));
                if (parseTraceGroups(groups == std::string::npos ? std::string() : line.substr(groups), filter, bad)) {
                    for (const std::string& l : traceLines(filter))
                        printLine(l);
                } else if (err_) {
                    std::lock_guard<std::mutex> lock(printMutex_);
                    std::fprintf(err_, "vork: neznáma skupina riadkov: %s (hlasenia, lex, posuvy, sem)\n", bad.c_str());
                    std::fflush(err_);
                }
                continue;
            }
            long delta = 0;
            if (parseViewMove(line, delta)) {
                std::vector<std::string> lines;
                if (!moveView(delta, lines)) {
                    keep = true; // as Enter alone
                    break;
                }
                for (const std::string& l : lines)
                    printLine(l);
                continue;
            }
            cmd = parseStepCommand(line);
            if (!cmd && err_) {
                std::lock_guard<std::mutex> lock(printMutex_);
                std::fprintf(err_,
                             "vork: neznámy príkaz ladenia: %s (lex, sem, err, red, shift, state, free, halt, stack, tree, trace, "
                             "back, fwd)\n",
                             line.c_str());
                std::fflush(err_);
            }
        }
        if (halt) {
            // The run stays stopped; the end of the program resumes and
            // ends the thread.
            if (halt_)
                halt_();
            continue;
        }
        // A resume reaches only a suspended thread: wait until the stop
        // that was announced has really suspended it.
        while (!thread_->waitSuspended(std::chrono::milliseconds(100))) {
            if (cancelled() || thread_->loopEnded())
                return;
        }
        if (keep) {
            showRunning();
            thread_->resume();
        } else {
            thread_->stepCommand(*cmd);
        }
    }
}

} // namespace vork::debuglink
