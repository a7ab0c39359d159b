// The problems of the last build as one list: the generators' errors and
// warnings, the grammar's conflicts and the C compiler's diagnostics, each
// with the file, line and column it belongs to.  Plain data, no widgets, so
// the window's list, the editor margins and the tests share it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace duq_yacc {
struct Automaton;
}

namespace vork {

struct Problem {
    enum class Severity { Error, Warning };

    Severity severity = Severity::Error;
    std::string file;  // full path; empty when the problem names no file
    int line = -1;     // 1-based; -1: none
    int column = -1;   // 1-based; -1: none
    std::string text;  // the message alone
    std::string item;  // the line the problem list shows
};

// Item prefixes of the problems the generators' sinks do not make.
extern const char* const kCompilerErrorPrefix;    // "[C prekladač Chyba] "
extern const char* const kCompilerWarningPrefix;  // "[C prekladač Upozornenie] "
extern const char* const kYaccWarningPrefix;      // "[DUQ - YACC Upozornenie] "

// One line of the C compiler's output: "file:line:col: error: text",
// "file:line: warning: text" or "prog: error: text" (a tool's own failure,
// no position).  Notes and context lines ("In function", "included from")
// are no problems.  A relative file name is taken relative to projectDir,
// the directory the compiler ran in; a #line directive makes it name the
// grammar or the scanner's .l file rather than the generated file.
std::optional<Problem> parseCompilerLine(const std::string& line, const std::string& projectDir);
std::vector<Problem> parseCompilerOutput(const std::vector<std::string>& lines, const std::string& projectDir);

// An error-list item of the generators' sinks ("[DUQ - YACC Chyba]
// calc.y(12): text"), with the position it names: the lex sinks' items
// belong to lexSpecFile, the yacc sink's to yaccSpecFile.
std::optional<Problem> parseGeneratorItem(const std::string& item, const std::string& lexSpecFile,
                                          const std::string& yaccSpecFile);

// Every reported conflict of the automaton as a warning on the grammar line
// of the rule it involves, naming its state.
std::vector<Problem> conflictProblems(const duq_yacc::Automaton& automaton, const std::string& grammarFile);

// The problem list: items in the order they came, the counters over all of
// them, and the problems of one file for an editor's margin.
class ProblemList {
public:
    void clear()
    {
        problems_.clear();
        files_.clear();
    }
    void add(Problem problem);
    int size() const { return static_cast<int>(problems_.size()); }
    const Problem& at(int i) const { return problems_.at(static_cast<size_t>(i)); }
    int errors() const;
    int warnings() const;
    // The problems whose file is `file`, in list order.
    std::vector<Problem> inFile(const std::string& file) const;

private:
    std::vector<Problem> problems_;
    // Each problem's file as inFile compares it, made once.
    std::vector<std::string> files_;
};

} // namespace vork
