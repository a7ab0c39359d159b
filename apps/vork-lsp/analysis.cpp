#include "analysis.h"

#include "duq_lex/lex_run.h"
#include "duq_yacc/automaton.h"
#include "duq_yacc/yacc_run.h"
#include "vork/sinks.h"

#include <cstdio>
#include <fstream>
#include <functional>

namespace vork::lsp {

namespace {

class Collecting : public vork::Sinks {
public:
    explicit Collecting(const std::function<bool()>& stop) : stop_(stop) {}
    // A newer text of the same document makes this run's result worthless:
    // the generator stops at its next check instead of finishing it.
    bool stopRequested() const override { return stop_ && stop_(); }
    void message(const std::string& text) override { messages.push_back(text); }
    void lexError(const std::string& text, int line) override { add(text, line, 1); }
    void lexWarning(const std::string& text, int line) override { add(text, line, 2); }
    void yaccError(const std::string& text, int line) override { add(text, line, 1); }

    std::vector<Diagnostic> diagnostics;
    std::vector<std::string> messages;

private:
    const std::function<bool()>& stop_;
    void add(const std::string& text, int line, int severity)
    {
        diagnostics.push_back(Diagnostic{line > 0 ? line - 1 : 0, severity, text});
    }
};

std::string conflictHead(const duq_yacc::Automaton& a, int state, const duq_yacc::Conflict& c, int slovak)
{
    const std::string on = c.symbol >= 0 && c.symbol < static_cast<int>(a.symbols.size()) ? a.symbols[c.symbol].name : "?";
    const bool sr = c.kind == duq_yacc::ConflictKind::ShiftReduce;
    if (slovak)
        return "konflikt v stave " + std::to_string(state) + ": " + (sr ? "posun/redukcia na " : "redukcia/redukcia na ") + on;
    return "conflict in state " + std::to_string(state) + ": " + (sr ? "shift/reduce on " : "reduce/reduce on ") + on;
}

// The copy of a buffer goes as soon as the generator has read it: a
// server killed outright leaves no user text behind in its directory.
struct RemovedAfterUse {
    const std::string& path;
    ~RemovedAfterUse()
    {
        if (!path.empty())
            std::remove(path.c_str());
    }
};

} // namespace

std::vector<Diagnostic> Analysis::all() const
{
    std::vector<Diagnostic> out = diagnostics;
    for (const ConflictNote& c : conflicts) {
        std::string text = c.head;
        for (const std::string& l : c.example)
            text += "\n" + l;
        out.push_back(Diagnostic{c.line, 2, text});
    }
    return out;
}

Analyzer::Analyzer(AnalyzerOptions options, std::string workDir) : options_(std::move(options)), dir_(std::move(workDir))
{
    if (!dir_.empty() && dir_.back() != '/')
        dir_ += '/';
}

bool Analyzer::isScanner(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && (name.compare(dot, std::string::npos, ".l") == 0 ||
                                        name.compare(dot, std::string::npos, ".lex") == 0);
}

std::string Analyzer::writeInput(const std::string& text, const char* suffix)
{
    const std::string path = dir_ + "buffer" + suffix;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(text.data(), static_cast<std::streamsize>(text.size()));
    return f ? path : std::string();
}

Analysis Analyzer::diagnose(const std::string& name, const std::string& text)
{
    Analysis result;
    Collecting sinks(stop_);
    if (isScanner(name)) {
        const std::string spec = writeInput(text, ".l");
        const RemovedAfterUse specCopy{spec};
        if (spec.empty()) {
            result.diagnostics.push_back(Diagnostic{0, 1, "cannot write the buffer to " + dir_});
            return result;
        }
        duq_lex::lex_run(sinks, options_.lexSkeleton, spec, dir_ + "lex.yy.c", options_.slovak, 0, 1, options_.large);
        std::remove((dir_ + "lex.yy.c").c_str());
        result.diagnostics = std::move(sinks.diagnostics);
        return result;
    }
    const std::string grammar = writeInput(text, ".y");
    const RemovedAfterUse grammarCopy{grammar};
    if (grammar.empty()) {
        result.diagnostics.push_back(Diagnostic{0, 1, "cannot write the buffer to " + dir_});
        return result;
    }
    int tokens = 0;
    const int status = duq_yacc::yacc_run(sinks, options_.yaccSkeleton, grammar, dir_ + "y.tab.c", 0, &tokens,
                                          options_.slovak, "", "", options_.large, -1.0);
    std::remove((dir_ + "y.tab.c").c_str());
    result.diagnostics = std::move(sinks.diagnostics);
    result.generated = status == 0;
    // The automaton is built a second time from the same text; on the way
    // to the first diagnostics only when the run reported conflicts.
    bool conflicts = false;
    for (const std::string& m : sinks.messages)
        if (m.rfind("conflicts: ", 0) == 0 || m.rfind("Konflikty: ", 0) == 0 || m.find("shift/reduce") != std::string::npos ||
            m.find("reduce/reduce") != std::string::npos || m.find("posun/redukcia") != std::string::npos ||
            m.find("redukcia/redukcia") != std::string::npos)
            conflicts = true;
    if (status == 0 && conflicts)
        readAutomaton(grammar, result);
    return result;
}

void Analyzer::readAutomaton(const std::string& grammar, Analysis& result)
{
    result.automatonRead = true;
    duq_yacc::Automaton a;
    if (!duq_yacc::build_automaton(grammar, a, nullptr, options_.large))
        return;
    for (int i = 0; i < a.terminal_count && i < static_cast<int>(a.symbols.size()); ++i)
        result.tokenCodes[a.symbols[i].name] = a.symbols[i].code;
    result.conflicts.clear();
    for (const duq_yacc::State& st : a.states) {
        for (const duq_yacc::Conflict& c : st.conflicts) {
            if (!c.reported)
                continue;
            ConflictNote note;
            note.state = st.number;
            note.head = conflictHead(a, st.number, c, options_.slovak);
            if (c.production >= 0 && c.production < static_cast<int>(a.productions.size()))
                note.line = std::max(0, a.productions[c.production].line - 1);
            result.conflicts.push_back(std::move(note));
        }
    }
}

bool Analyzer::complete(const std::string& name, const std::string& text, Analysis& analysis)
{
    if (isScanner(name) || !analysis.generated)
        return false;
    bool changed = false;
    if (!analysis.automatonRead) {
        const std::string grammar = writeInput(text, ".y");
        const RemovedAfterUse grammarCopy{grammar};
        if (grammar.empty())
            return false;
        const size_t before = analysis.conflicts.size();
        readAutomaton(grammar, analysis);
        changed = analysis.conflicts.size() != before;
    }
    if (!analysis.conflicts.empty()) {
        searchExamples(text, analysis);
        changed = true;
    }
    return changed;
}

void Analyzer::searchExamples(const std::string& text, Analysis& analysis)
{
    if (analysis.conflicts.empty())
        return;
    const std::string grammar = writeInput(text, ".y");
    const RemovedAfterUse grammarCopy{grammar};
    if (grammar.empty())
        return;
    Collecting sinks(stop_);
    duq_yacc::yacc_run(sinks, options_.yaccSkeleton, grammar, dir_ + "y.tab.c", 0, nullptr, options_.slovak, "", "",
                       options_.large, options_.exampleSeconds);
    std::remove((dir_ + "y.tab.c").c_str());
    // The explanations come in the order of the conflicts: a head line naming
    // the state, then its indented lines.
    size_t k = 0;
    ConflictNote* current = nullptr;
    for (const std::string& m : sinks.messages) {
        if (m.rfind("    ", 0) == 0) {
            if (current)
                current->example.push_back(m.substr(4));
            continue;
        }
        current = nullptr;
        if (k >= analysis.conflicts.size())
            continue;
        const std::string key = (options_.slovak ? "stave " : "state ") + std::to_string(analysis.conflicts[k].state) + ":";
        if (m.find(key) != std::string::npos) {
            current = &analysis.conflicts[k++];
            current->example.clear();
        }
    }
    analysis.examplesSearched = true;
}

} // namespace vork::lsp
