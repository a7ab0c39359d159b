// The state listing and the conflict examples, both made from the recorded
// automaton alone.
#pragma once

#include "duq_yacc/automaton.h"

#include <chrono>
#include <functional>
#include <cstdint>
#include <string>
#include <vector>

namespace duq_yacc::detail {

struct ExplainedConflict {
    int state = 0;
    int line = 0;          // 1-based line of the state's section in the listing
    std::string head;      // "conflict in state 12: shift/reduce on ELSE"
    std::vector<std::string> details;  // example, readings, verdict
    bool unifying = false;
};

struct ListingText {
    std::string text;
    std::vector<ExplainedConflict> conflicts;  // the reported ones, in state order
    bool stopped = false;  // `stop` said so: the text and the conflicts are incomplete
};

// lang nonzero: Slovak.  cexSeconds bounds the search for an input read two
// ways, per conflict; all the examples of one listing together get ten times
// that (one second at least), after which a conflict says the time is used
// up.
// stop, when given, is asked before each conflict's example; true ends the
// listing there.
ListingText formatListing(const Automaton& a, const std::string& grammarName, int lang, double cexSeconds,
                          const std::function<bool()>& stop = {});

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
class CounterexampleSearch {
public:
    // Every search ends by `until` however much time a conflict would get.
    explicit CounterexampleSearch(const Automaton& a,
                                  std::chrono::steady_clock::time_point until = std::chrono::steady_clock::time_point::max());

    // Ten times the time for one conflict, one second at least: what all the
    // examples of one run get, so that a grammar with thousands of
    // conflicts still ends in seconds.
    static double totalSeconds(double perConflict);

    // `seconds` after `from`, for the deadlines of the searches.
    static std::chrono::steady_clock::time_point after(std::chrono::steady_clock::time_point from, double seconds);

    // The lines explaining one conflict of state `state`; sets *unifying.
    std::vector<std::string> explain(int state, const Conflict& c, int lang, double seconds, bool* unifying);

private:
    struct Node {
        int where;   // state, or position on a fixed path
        int item;
        int la;      // terminal, -1 when not followed
        int parent;  // index into the node list, -1 for the start
        bool shift;  // reached by moving the dot (else by opening a rule)
    };
    using Clock = std::chrono::steady_clock;

    int symbolAfterDot(int item) const;
    int transition(int state, int symbol) const;
    // Terminals that may start rhs[dot+1..] of item followed by la.
    void followSet(int item, int la, std::vector<int>& out) const;
    // Shortest path from the start item.  With `path` non-null the walk is
    // held to those states and symbols and ends at its last state.  A
    // target is an item (any item with `shiftOn` after the dot when
    // shiftOn >= 0) and a lookahead (-1: any).
    bool search(const std::vector<int>* pathStates, const std::vector<int>* pathSymbols, int state,
                int targetItem, int shiftOn, int targetLa, std::vector<Node>& nodes, Clock::time_point deadline);
    // The nodes from the start to the last one of `nodes`, in order.
    static std::vector<Node> trace(const std::vector<Node>& nodes);
    std::string derivation(const std::vector<int>& stack) const;
    std::vector<int> rest(const std::vector<int>& stack) const;
    enum class Unified { Found, NotWithinBound, TimedOut };
    Unified unify(std::vector<int> a, std::vector<int> b, std::vector<int>& common, Clock::time_point deadline) const;
    std::string words(const std::vector<int>& syms) const;

    const Automaton& a_;
    int nt_ = 0;
    Clock::time_point until_;
    std::vector<int> itemProd_, itemDot_, prodBase_;
    std::vector<std::vector<int>> rulesOf_;   // per nonterminal (index - nt_)
    std::vector<char> nullable_;              // per nonterminal
    std::vector<std::vector<char>> first_;    // per nonterminal, per terminal
    std::vector<std::vector<std::pair<int, int>>> trans_;  // per state: (symbol, state), sorted
    std::vector<uint64_t> seenBits_;  // the searches' visited nodes, all clear between searches
    mutable std::vector<char> followSeen_;  // followSet's scratch, one entry per terminal
};

} // namespace duq_yacc::detail
