// What the parser is doing, rebuilt from the debug records and the grammar's
// automaton: names beside the numbers the panel shows, the parse stack, the
// parse tree and the history of a run.
//
// Everything here is plain data without widgets: the window and the
// terminal debugger both draw from it, and tests drive it with recorded
// record sequences.
#pragma once

#include "duq_yacc/automaton.h"
#include "vork/debuglink/record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vork::debuglink {

// Names of tokens, rules and states, taken from the automaton of the grammar
// the generated compiler was built from.
class GrammarNames {
public:
    GrammarNames() = default;
    explicit GrammarNames(duq_yacc::Automaton automaton);

    bool empty() const { return automaton_.symbols.empty(); }
    const duq_yacc::Automaton& automaton() const { return automaton_; }

    // The token's name for a code a lexical unit carries: "NUMBER", "'+'",
    // "$end" for 0; "" when the grammar has no such token.
    std::string tokenName(int code) const;
    // "expr : expr '+' expr"; "" for a rule the grammar does not have.
    std::string ruleText(int rule) const;
    int ruleLength(int rule) const;   // -1 when unknown
    int ruleLhs(int rule) const;      // symbol index, -1 when unknown
    int ruleLine(int rule) const;     // grammar line, 0 when unknown
    // The symbol every way into the state reads last, -1 for the start
    // state or a state the automaton does not have.
    int accessingSymbol(int state) const;
    std::string symbolName(int symbol) const;
    bool isErrorSymbol(int symbol) const { return symbol == 1; }
    // The state's kernel items: "expr : expr . '+' expr".
    std::vector<std::string> items(int state) const;

private:
    duq_yacc::Automaton automaton_;
    std::vector<int> ruleIndex_;       // rule number -> index in productions
    std::vector<int> accessing_;       // state -> symbol
};

// One entry of the parse stack: the state and the symbol that led into it
// (-1 for the bottom state), with the tree node that symbol stands for.
struct StackEntry {
    int state = 0;
    int symbol = -1;
    int node = -1;
    bool operator==(const StackEntry& o) const { return state == o.state && symbol == o.symbol && node == o.node; }
};

// A node of the parse tree.  Nodes are only ever added; each carries the
// record index at which it appeared, got its parent and was discarded, so
// the tree as of any earlier record is a view of the same nodes.
struct TreeNode {
    enum class Kind : uint8_t { Token, Rule, Error };
    Kind kind = Kind::Token;
    int symbol = -1;
    int rule = -1;             // Kind::Rule: the rule reduced
    std::string text;          // Kind::Token: the token's characters
    std::vector<int> children; // left to right
    int parent = -1;
    uint32_t born = 0;
    uint32_t attachedAt = UINT32_MAX; // when it got its parent
    uint32_t discardedAt = UINT32_MAX;
};

// The additions shown beside the panel's fields.
struct PanelNotes {
    std::string tokenName;   // beside "Kód lexikálnej jednotky:"
    std::string stepNote;    // beside "REDUKCIA: n" / "POSUN: n"
    std::string inputStream; // the value of "Vstupný prúd znakov:"
    bool operator==(const PanelNotes& o) const
    {
        return tokenName == o.tokenName && stepNote == o.stepNote && inputStream == o.inputStream;
    }
};

// The stack, the tree and the notes of one run, moved on by each record.
class ParseInsight {
public:
    explicit ParseInsight(const GrammarNames* names = nullptr) : names_(names) {}
    void setNames(const GrammarNames* names) { names_ = names; }

    // index: the record's position in the run (0 is AnalysisStart).
    void apply(const Record& record, uint32_t index);

    const std::vector<StackEntry>& stack() const { return stack_; }
    const std::vector<TreeNode>& nodes() const { return nodes_; }
    const PanelNotes& notes() const { return notes_; }
    bool overflowed() const { return overflowed_; }

    // The part of the state that is not the tree, for the history's
    // snapshots.
    struct Cursor {
        std::vector<StackEntry> stack;
        PanelNotes notes;
        std::string line;          // characters read on the current line
        size_t consumed = 0;       // of line, taken by the parser
        std::string prevLine;      // the line before the last line end
        size_t prevConsumed = 0;
        std::string sinceUnit;     // characters since the last lexical unit
        std::string lookaheadText;
        int lookaheadCode = -1;
        int pendingNode = -1;
        std::vector<int> pendingDiscards;
        int lastError = -1;
        bool overflowed = false;
        uint32_t nodeCount = 0;
    };
    Cursor cursor() const;
    // A replay restores a cursor and moves on from it without touching the
    // tree: the nodes it would add are those the live run added, with the
    // same numbers.
    void restoreForReplay(const Cursor& c);

private:
    int addNode(TreeNode node);
    void markDiscarded(int node, uint32_t index);

    const GrammarNames* names_;
    std::vector<StackEntry> stack_;
    std::vector<TreeNode> nodes_;
    PanelNotes notes_;
    std::string line_;
    size_t consumed_ = 0;
    std::string prevLine_;
    size_t prevConsumed_ = 0;
    std::string sinceUnit_;
    std::string lookaheadText_;
    int lookaheadCode_ = -1;
    int pendingNode_ = -1;
    std::vector<int> pendingDiscards_;
    int lastError_ = -1;
    bool overflowed_ = false;
    bool replaying_ = false;
    uint32_t replayNodes_ = 0; // nodes the replayed run has made so far
};

// The tree as of one record, for views and exports.
class TreeView {
public:
    TreeView(const std::vector<TreeNode>& nodes, const GrammarNames* names, uint32_t asOf);
    std::vector<int> roots() const;
    std::vector<int> children(int node) const;
    bool discarded(int node) const;
    // "expr", "NUMBER 12", "error": what a node's box shows.
    std::string label(int node) const;
    // Indented text, one node a line; discarded nodes end in " [zahodené]".
    std::string text() const;
    std::string dot() const;
    std::string svg() const;

private:
    const std::vector<TreeNode>& nodes_;
    const GrammarNames* names_;
    uint32_t asOf_;
};

// "stav 9: NUMBER": the note beside "POSUN: 9", the symbol only with names.
std::string shiftNote(int state, const GrammarNames* names);

// "0 lines 2 expr 9": the states with the symbols between them.
std::string stackText(const std::vector<StackEntry>& stack, const GrammarNames* names);

// The panel's own fields as of a record, for the history.
struct PanelMoment {
    std::string tokenCode;
    std::string characters;
    std::string stepLine;
    size_t traceSize = 0;  // the first traceSize items of the run's trace
    int selected = -1;
    bool operator==(const PanelMoment& o) const
    {
        return tokenCode == o.tokenCode && characters == o.characters && stepLine == o.stepLine &&
               traceSize == o.traceSize && selected == o.selected;
    }
};

// Every record of one run, kept compactly, with what the panel, the stack
// and the notes were after any of them.  A snapshot every kSnapshotEvery
// records bounds the replay a look back needs.
class RunHistory {
public:
    static constexpr uint32_t kSnapshotEvery = 256;

    explicit RunHistory(const GrammarNames* names = nullptr) : names_(names), live_(names), replay_(names) {}
    void setNames(const GrammarNames* names);
    // Grammar lines the panel's list holds (a semantic action beyond them
    // selects nothing).
    void setGrammarLines(size_t lines) { grammarLines_ = lines; }

    // Appends a record; an AnalysisStart begins a new run and forgets the
    // previous one.
    void append(const Record& record);

    size_t size() const { return kinds_.size(); }
    Record record(size_t index) const;
    uint32_t kind(size_t index) const { return kinds_[index]; }
    const ParseInsight& live() const { return live_; }

    struct Moment {
        PanelMoment panel;
        std::vector<StackEntry> stack;
        PanelNotes notes;
    };
    // After record index (index < size()).
    Moment at(size_t index);
    TreeView treeAt(size_t index) const { return TreeView(live_.nodes(), names_, static_cast<uint32_t>(index)); }

    // Bytes held, for the memory budget.
    size_t memoryBytes() const;

private:
    void applyPanel(PanelMoment& p, const Record& r) const;
    struct Snapshot {
        PanelMoment panel;
        ParseInsight::Cursor cursor;
    };
    const GrammarNames* names_ = nullptr;
    std::vector<uint8_t> kinds_;
    std::vector<int32_t> value1_;
    std::vector<std::pair<uint32_t, int32_t>> value2_; // pops and rule-naming units only: index, value 2
    std::vector<Snapshot> snapshots_; // snapshots_[k]: before record k * kSnapshotEvery
    ParseInsight live_;
    PanelMoment livePanel_;
    ParseInsight replay_;
    size_t grammarLines_ = 0;
};

} // namespace vork::debuglink
