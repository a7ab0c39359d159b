// The debugger on a terminal: the debug panel printed as lines and the
// step commands read, one per line, from a file descriptor.
//
// The displays run on the communication thread (DisplayCall::Direct); the
// commands are read by a thread of their own, so neither ever blocks the
// thread that owns the project's timers.
#pragma once

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/trace_list.h"
#include "vork/debuglink/komvl.h"
#include "vork/debuglink/parse_insight.h"
#include "vork/debuglink/stepping.h"

#include <array>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vork::debuglink {

// Short names of the seven step commands, in the order of kStepCommands:
// "lex", "sem", "err", "red", "shift", "state", "free".
extern const std::array<const char*, 7> kStepCommandNames;
// The command that ends the generated compiler (HM_RunHalt).
extern const char* const kHaltCommandName; // "halt"

std::optional<StepCommand> parseStepCommand(const std::string& name);

// "trace" with a comma list of lines groups: hlasenia, lex, posuvy, sem;
// without one, every group.  False, with the bad name, for another word.
extern const std::array<const char*, kTraceGroupCount> kTraceGroupNames;
bool parseTraceGroups(const std::string& list, TraceFilter& filter, std::string& bad);

// "back", "back N", "fwd", "fwd N": true with the move (N records, at
// least one) for one of them.
bool parseViewMove(const std::string& line, long& delta);

// "red,sem": every named command's flag set, as if each had been chosen
// before the run started and they added up.  False on an unknown or empty
// name, which lands in bad.
bool parseStopList(const std::string& list, StepFlags& flags, std::string& bad);

// Commands that print at a stop and leave the run stopped.
extern const char* const kStackCommandName; // "stack"
extern const char* const kTreeCommandName;  // "tree"

// Turns the panel's state after a record into the lines that show what the
// record changed.  With notes, the token's name, the rule reduced and the
// state shifted to follow the numbers in parentheses, and the input stream
// gets its own line whenever it changes.
class PanelPrinter {
public:
    std::vector<std::string> changes(const DebugPanel& panel, uint32_t kind, const PanelNotes* notes = nullptr);

private:
    std::string inputStream_;
    std::string tokenCode_;
    std::string characters_;
    std::string stepLine_;
    std::vector<std::string> trace_;
};

// Reads lines from a descriptor in slices, so that a reader can give up
// when asked to.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd) {}
    enum class Result { Line, End, Cancelled };
    // Waits for one line (without its line end, CR LF or LF); cancelled()
    // is asked between slices of sliceMs.
    Result next(std::string& line, const std::function<bool()>& cancelled, int sliceMs = 100);

private:
    int fd_;
    std::string buffer_;
    bool end_ = false;
};

class TerminalDebugger : public DebugSession {
public:
    // out: the panel lines; err: messages; commandFd: step commands.
    TerminalDebugger(std::FILE* out, std::FILE* err, int commandFd, std::function<GrammarText()> loadGrammar,
                     DebugPrompts& prompts);
    ~TerminalDebugger() override;

    // The "halt" command: asks the owner to end the generated compiler.
    // Called on the command reader's thread.
    void setHaltRequest(std::function<void()> halt) { halt_ = std::move(halt); }

    // The generated compiler has started: the communication thread starts
    // with the preset flags, and the command reader with it.
    void runStarted(const std::string& savedTitle, const StepFlags& preset);
    // The generated compiler has ended: the thread is resumed, asked to end
    // and deleted; the reader stops.
    void runFinished();

    // KomunHost
    void showRecord(const Record& record) override;
    void noteRecord(const Record& record) override;
    void showStopped() override;
    void showRunning() override;
    void threadEnded() override;
    void showChannelError(const std::string& text) override;

    // Stops the run has made so far.
    int stops() const;

    // Every record of the run also goes to this file, one "kind value1
    // value2" line each (empty: none).
    void setRecordFile(const std::string& path) { recordPath_ = path; }
    // The lines "stack" and "tree" print, as of the record viewed.
    std::vector<std::string> stackLines();
    std::vector<std::string> treeLines() const;
    // The lines "trace GROUPS" prints: the trace list as the window shows
    // it with only those groups on.
    std::vector<std::string> traceLines(const TraceFilter& filter) const;
    // "back N" / "fwd N": moves the view over the run's records and prints
    // the panel as of the record reached; false when forward leaves the
    // last record (the run then goes on, as after Enter).
    bool moveView(long delta, std::vector<std::string>& lines);

private:
    void printLine(const std::string& line);
    void readCommands();
    bool cancelled();
    size_t viewedRecords() const;

    std::FILE* out_;
    std::FILE* err_;
    LineReader reader_;
    std::function<void()> halt_;
    PanelPrinter printer_;

    std::mutex printMutex_;
    mutable std::mutex m_;
    std::condition_variable cv_;
    bool stopPending_ = false;
    bool quit_ = false;
    bool inputEnded_ = false;
    int stops_ = 0;
    long view_ = -1; // the record "back"/"fwd" shows, -1 for the newest

    std::string recordPath_;
    std::FILE* recordFile_ = nullptr;

    std::unique_ptr<KomunVlakno> thread_;
    std::thread readerThread_;
};

} // namespace vork::debuglink
