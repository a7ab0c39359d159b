// The state listing and the conflict examples, both made from the recorded
// automaton alone.
#pragma once

#include "duq_yacc/automaton.h"

#include <chrono>
#include <functional>
#include <memory>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace duq_yacc::detail {

// Calls f(line) for each line of text, a line ended by '\n' each.
template <class F>
void forEachLine(const std::string& text, F f)
{
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        f(text.data() + at, end - at);
    }
}

// The lines of text, each ended by '\n', one string each.
std::vector<std::string> splitLines(const std::string& text);

struct ExplainedConflict {
    int state = 0;
    int line = 0;          // 1-based line of the state's section in the listing
    std::string head;      // "conflict in state 12: shift/reduce on ELSE"
    // Example, readings, verdict: one line after another, each ended by
    // '\n', in one string (hundreds of conflicts, some five lines each).
    std::string details;
    bool unifying = false;
};

struct ListingText {
    std::string text;
    std::vector<ExplainedConflict> conflicts;  // the reported ones, in state order
    bool stopped = false;  // `stop` said so: the text and the conflicts are incomplete
};

// One reported conflict's lines (example, readings, verdict), each ended
// by '\n', in one string.
struct ConflictExample {
    std::string text;
    bool unifying = false;
    std::vector<std::string> lines() const { return splitLines(text); }
};

// lang nonzero: Slovak.  cexSeconds (negative: no examples) is the budget
// of the unifying search, see CounterexampleSearch::explainAll.  Without
// withText only the conflicts are made (their `line` is 0).  stop, when
// given, is asked before each conflict's examples; true ends the listing
// there, with `stopped` set.
ListingText formatListing(const Automaton& a, const std::string& grammarName, int lang, double cexSeconds,
                          bool withText = true, const std::function<bool()>& stop = {});

// The same with the examples made beforehand (explainAll's result, one per
// reported conflict in state order; null: no examples), so that a caller
// may write the parser first and add the examples afterwards.
ListingText formatListing(const Automaton& a, const std::string& grammarName, int lang,
                          const std::vector<ConflictExample>* examples, bool withText = true);

// Finds example inputs for conflicts.
//
// An item of the automaton, read with one terminal of lookahead, is a node;
// a node steps to the item with the dot moved over one symbol (in the state
// that symbol leads to) or, when a nonterminal follows the dot, to the first
// item of each of its rules, with each terminal that can follow it there.
// The shortest path from the start to the conflicting reduction with the
// conflict's terminal as lookahead gives the input before the conflict and
// one reading; the other reading is searched along the same states.  Then
// the rest of each reading is expanded, leftmost symbol first, looking for
// one string both derive: found, the example is one input read two ways.
//
// The walk from the start is made once and serves every conflict; the
// unifying search is what costs, and it draws on one budget of pairs for
// the whole run.
class CounterexampleSearch {
public:
    using Clock = std::chrono::steady_clock;

    // Every search ends by `until` however much time a conflict would get.
    explicit CounterexampleSearch(const Automaton& a, Clock::time_point until = Clock::time_point::max());

    // Ten times the time for one conflict, one second at least: the end of
    // all the examples of one run by the clock, so that a slow machine
    // still ends in seconds.
    static double totalSeconds(double perConflict);

    // The pairs the unifying searches of one run may make together: 100,000
    // per second of the budget (some tenths of a second of work).
    static size_t pairBudget(double seconds);

    // `seconds` after `from`, for the deadlines of the searches.
    static Clock::time_point after(Clock::time_point from, double seconds);

    // Every reported conflict of the automaton, in state order.  Each gets
    // its example input first (cheap); then each same-prefix conflict gets
    // a short unifying search, and those still open share what is left of
    // pairBudget(seconds), in order.  One conflict's search takes `seconds`
    // at most by the clock.  A conflict the budget did not reach says so.
    // stop, when given, is asked before each conflict's searches; true ends
    // the work there with *stopped set and nothing returned.
    std::vector<ConflictExample> explainAll(int lang, double seconds, const std::function<bool()>& stop = {},
                                            bool* stopped = nullptr);

    // One conflict of state `state`, with a budget of its own; sets *unifying.
    std::vector<std::string> explain(int state, const Conflict& c, int lang, double seconds, bool* unifying);

    // The pairs made by the unifying searches so far.
    size_t pairsMade() const { return pairsMade_; }

private:
    struct Node {
        int where;   // state, or position on a fixed path
        int item;
        int la;      // terminal, -1 when not followed
        int parent;  // index into the node list, -1 for the start
    };
    // Reached by moving the dot (else by opening a rule, or the start).
    bool shifted(const Node& n) const { return itemDot_[static_cast<size_t>(n.item)] > 0; }
    // A map from keys to node indices that keeps the first index of a
    // key: open addressing in one vector, as the walks note hundreds of
    // completed items each.
    class KeyIndex {
    public:
        void add(uint64_t key, int value);
        int find(uint64_t key) const;  // -1: none
    private:
        size_t slot(uint64_t key) const
        {
            return static_cast<size_t>((key * 0x9e3779b97f4a7c15ull) >> 32) & (slots_.size() - 1);
        }
        std::vector<std::pair<uint64_t, int>> slots_;  // (key, index), index -1 when free
        size_t count_ = 0;
    };
        // The nodes of a walk, in blocks of a fixed size: a walk of tens of
    // thousands of nodes grows without copying them, and without taking
    // and giving back one large block after another (which made the
    // allocator hand memory back to the system and fault it in again on
    // every run).
    class NodeList {
    public:
        static constexpr size_t kBlock = 512;  // 8 KB
        size_t size() const { return size_; }
        bool empty() const { return size_ == 0; }
        Node& operator[](size_t i) { return blocks_[i / kBlock][i % kBlock]; }
        const Node& operator[](size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
        void push_back(const Node& n)
        {
            if (size_ == blocks_.size() * kBlock)
                blocks_.emplace_back(new Node[kBlock]);
            (*this)[size_++] = n;
        }
        // Room for the next n nodes within one block, or null; grow(n)
        // then adds the nodes written there.
        Node* room(size_t n)
        {
            if (size_ == blocks_.size() * kBlock) {
                if (n > kBlock)
                    return nullptr;
                blocks_.emplace_back(new Node[kBlock]);
            } else if (size_ % kBlock + n > kBlock) {
                return nullptr;
            }
            return &(*this)[size_];
        }
        void grow(size_t n) { size_ += n; }
        void clear() { size_ = 0; }  // the blocks are kept for the next walk
    private:
        std::vector<std::unique_ptr<Node[]>> blocks_;
        size_t size_ = 0;
    };
    // A path found: its last node in a walk's nodes (parents lead back).
    struct NodeRef {
        const NodeList* nodes = nullptr;
        int index = -1;
    };
    // The walk from the start over the whole automaton, with lookaheads or
    // without, as far as the conflicts so far needed it: the nodes in
    // breadth-first order, and where each completed item (with its
    // lookahead) was reached.
    struct Walk {
        bool exact = false;
        bool ended = false;  // every node reached, or the walk's bound
        size_t head = 0;     // the next node to step from
        NodeList nodes;
        KeyIndex ends;
        std::vector<uint64_t> bits;             // the nodes seen, when the key space is small
        std::unordered_set<uint64_t> seenSet;   // otherwise
        std::vector<uint64_t> opened;           // (state, nonterminal, lookahead) opened, when small
        std::vector<int> follow;
    };
    // What a conflict's unifying search came to.
    enum class Unified { Found, NotWithinBound, TimedOut, OutOfBudget, NotSearched };
    // A stretch of a vector of symbols or items: a pair's rest in the
    // unifying search's arena, a conflict's input or reading in store_.
    struct Span {
        size_t at = 0, size = 0;
    };
    // The symbols or items themselves, for reading.
    struct IntSpan {
        IntSpan(const int* p, size_t n) : data(p), count(n) {}
        IntSpan(const std::vector<int>& v) : data(v.data()), count(v.size()) {}
        const int* begin() const { return data; }
        const int* end() const { return data + count; }
        size_t size() const { return count; }
        int operator[](size_t i) const { return data[i]; }
        const int* data;
        size_t count;
    };
    IntSpan view(Span s) const { return IntSpan(store_.data() + s.at, s.size); }
    // Appends v to store_.
    Span keep(const std::vector<int>& v);
    struct Pair {
        Span a, b;
        Span took;          // the heads taken together when it was made
        size_t taken = 0;   // all the heads taken on the way here
        long from = -1;     // the pair it was made from
        uint64_t hash = 0;  // of a and b
        size_t slot = 0;    // in the table of the pairs seen
    };
    struct Case;

    int symbolAfterDot(int item) const { return itemSym_[static_cast<size_t>(item)]; }
    int transition(int state, int symbol) const;
    // The lookaheads to open the nonterminal after item's dot with: the
    // terminals that may start rhs[dot+1..] followed by la (exact), else
    // -1 alone; those whose bit at base + la + 1 of `opened` was set are
    // left out, and the others' bits set (an empty `opened` keeps all).
    void toOpen(int item, int la, bool exact, std::vector<uint64_t>& opened, uint64_t base,
                std::vector<int>& out) const;
    void makeFirstOfRest(int item) const;
    uint64_t endKey(int state, int item, int la) const;
    // Walks on until the completed-item node `target` is reached; false
    // when the walk ends first.
    bool walkTo(Walk& w, uint64_t target);
    // The shortest path from the start to (state, item, la), la -1 for any
    // lookahead (then lookaheads are not followed); false when none.
    bool reach(int state, int item, int la, NodeRef& path);
    // Shortest path along the states and symbols of a path, ending at its
    // last state: a target is an item (any item with `shiftOn` after the
    // dot when shiftOn >= 0) and a lookahead (-1: any).
    bool alongPath(const std::vector<int>& pathStates, const std::vector<int>& pathSymbols, int targetItem,
                   int shiftOn, int targetLa, NodeRef& path, Clock::time_point deadline);
    // A path's input (symbols, with the states from 0 on) and its reading's
    // items, outermost first; states and symbols may be null.
    void decode(NodeRef path, std::vector<int>* states, std::vector<int>* symbols, std::vector<int>& stack) const;
    // The readings' rules, "lhs ::= [ ... ]" nested, appended to out.
    void appendDerivation(std::string& out, IntSpan stack) const;
    // An item's pieces of a reading: "lhs ::= [ a b" (up to the dot),
    // " . c d" (the innermost rule's dot and rest) and " d ]" (an outer
    // rule's rest after the nonterminal it expands, and its end).
    struct ItemText {
        std::string open, dot, close;
    };
    const ItemText& itemText(int item) const;
    // What the open rules of a reading still expect, innermost first.
    std::vector<int> rest(IntSpan stack) const;
    void rest(IntSpan stack, std::vector<int>& r) const;
    // A unifying search's time: `seconds` from its first look at the
    // clock (then `started`, at `start`), the run's end coming first.
    struct SearchClock {
        double seconds = 0;
        bool started = false;
        Clock::time_point start{};
    };
    // Makes at most maxPairs pairs; *made receives how many it made.
    Unified unify(const std::vector<int>& a, const std::vector<int>& b, std::vector<int>& common, size_t maxPairs,
                  SearchClock& clock, size_t* made);
    // " name" for each symbol but "$end", appended to out.
    void appendWords(std::string& out, IntSpan syms) const;
    // The example and readings of one conflict, before any unifying search.
    void prepare(Case& k);
    // Runs k's unifying search with at most maxPairs pairs, charged to the run.
    void search(Case& k, size_t maxPairs, double seconds);
    // k's lines, each ended by '\n'.
    std::string text(const Case& k, int lang, double seconds) const;

    const Automaton& a_;
    int nt_ = 0;
    Clock::time_point until_;
    std::vector<int> itemProd_, itemDot_, itemSym_, prodBase_;  // itemSym_: after the dot, -1 at the end
    std::vector<std::vector<int>> rulesOf_;   // per nonterminal (index - nt_)
    std::vector<char> nullable_;              // per nonterminal
    std::vector<std::vector<char>> first_;    // per nonterminal, per terminal
    std::vector<int> stateAt_;  // per state number, its index in a_.states
    // The states' transitions (shifts and gotos) as rows indexed by symbol,
    // made as the states are reached: the row of state s at
    // dense_[denseAt_[s]] (-1 while not made), -1 for no transition.
    mutable std::vector<int> dense_, denseAt_;
    Walk exact_, loose_;
    // The last walk along a path without lookaheads, whole: the first node
    // at the path's end of each symbol after the dot (by symbol + 1, the
    // end of a rule at 0), and of each item; -1 for none.
    struct Along {
        bool made = false;
        std::vector<int> symbols;
        NodeList nodes;
        std::vector<int> bySymbol, byItem;
    } along_;
    std::vector<uint64_t> seenBits_;  // the path searches' visited nodes, all clear between searches
    mutable std::vector<char> followSeen_;  // makeFirstOfRest's scratch, one entry per terminal
    // Per item, made at its first use: the terminals that may begin what
    // follows the symbol after the dot, ascending, and whether it can be empty.
    mutable std::vector<std::vector<int>> firstOfRest_;
    mutable std::vector<char> restNullable_, firstOfRestMade_;
    // Per item, made at its first use: itemTexts_[itemTextAt_[item]] (a
    // reference to one lasts until the next is made).
    mutable std::vector<int> itemTextAt_;
    mutable std::vector<ItemText> itemTexts_;
    // The unifying search's working store, kept between searches.
    std::vector<int> unifyArena_;
    std::vector<Pair> unifyPool_;
    std::vector<std::pair<size_t, size_t>> unifyOpen_;  // (weight, pair), a heap
    std::vector<uint32_t> unifySlots_;                  // all 0 between searches
    // The paths of the conflict being prepared.
    NodeList alongExact_;  // the nodes of the last walk along a path with a lookahead
    std::vector<int> pathStates_, pathSymbols_, pathStack_;
    std::vector<int> store_;  // the conflicts' inputs and readings, see Case
    std::vector<int> restA_, restB_;  // the two rests a unifying search starts from
    size_t pairsMade_ = 0;
    size_t preparedCount_ = 0;  // conflicts prepared so far
    bool timeUsedUp_ = false;   // the run's end was seen by prepare
};

} // namespace duq_yacc::detail
