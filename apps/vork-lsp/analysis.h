// Runs DUQ-yacc or DUQ-Lex on a copy of an editor's buffer and turns what
// they report into diagnostics.  The generators write their temporary files
// into the current directory, so an Analyzer expects to be the only one
// running in it.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vork::lsp {

struct Diagnostic {
    int line = 0;  // 0-based
    int severity = 1;  // 1 error, 2 warning (the protocol's numbers)
    std::string message;
};

struct ConflictNote {
    int line = 0;        // 0-based line of the rule it is about
    int state = 0;
    std::string head;    // "conflict in state 4: shift/reduce on '+'"
    std::vector<std::string> example;  // the example and its readings, once searched
};

struct Analysis {
    std::vector<Diagnostic> diagnostics;  // errors and warnings of the generator
    std::vector<ConflictNote> conflicts;  // grammars only
    std::map<std::string, int> tokenCodes;  // grammars that read: every token's code
    bool generated = false;     // the generator ran through
    bool automatonRead = false;  // conflicts and token codes are known
    bool examplesSearched = false;

    // Everything to show: the generator's reports, then one warning per conflict.
    std::vector<Diagnostic> all() const;
};

struct AnalyzerOptions {
    int slovak = 0;
    int large = 0;
    std::string yaccSkeleton;  // the parser skeleton file
    std::string lexSkeleton;   // the scanner skeleton file
    double exampleSeconds = 1.0;  // per conflict
};

class Analyzer {
public:
    // workDir: an existing private directory for the input copy and outputs.
    Analyzer(AnalyzerOptions options, std::string workDir);

    static bool isScanner(const std::string& name);

    // Asked by the generators at their checks; true stops the run under way
    // (its result is then incomplete and is to be dropped).
    void setStop(std::function<bool()> stop) { stop_ = std::move(stop); }

    // Errors, warnings and the conflicts without examples.
    Analysis diagnose(const std::string& name, const std::string& text);
    // What the first diagnostics can do without: the token codes of a
    // grammar without conflicts, and the conflicts' examples.  True when
    // the diagnostics changed.
    bool complete(const std::string& name, const std::string& text, Analysis& analysis);
    // Adds the examples to the conflicts of an analysis of the same text.
    void searchExamples(const std::string& text, Analysis& analysis);

private:
    void readAutomaton(const std::string& grammar, Analysis& result);
    std::string writeInput(const std::string& text, const char* suffix);

    AnalyzerOptions options_;
    std::string dir_;
    std::function<bool()> stop_;
};

} // namespace vork::lsp
