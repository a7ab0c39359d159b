// Example inputs for conflicts: see explain.h and docs/counterexamples.md.
#include "explain.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <queue>
#include <set>
#include <functional>
#include <unordered_set>

namespace duq_yacc::detail {

namespace {
// Past this many nodes a lookahead-exact search gives up and the example is
// looked for without lookaheads (still a valid prefix, the lookahead shown
// in the head line).
constexpr size_t kNodeCap = 2000000;
// The unifying search keeps every pair it has made; past this many it
// stops, whatever time or budget is left.
constexpr size_t kPairCap = 300000;
// Each conflict's first, short unifying search: most ambiguities unify
// within some dozens of pairs.
constexpr size_t kQuickPairs = 2000;
// The pairs one second of budget buys (a pair costs a few microseconds).
constexpr double kPairsPerSecond = 100000;
// Key spaces up to this many keys get a bit map (32 MB at most).
constexpr uint64_t kBitMapKeys = uint64_t{1} << 28;
} // namespace

CounterexampleSearch::CounterexampleSearch(const Automaton& a, Clock::time_point until)
    : a_(a), nt_(a.terminal_count), until_(until)
{
    const size_t nsym = a.symbols.size();
    for (const Production& p : a.productions) {
        prodBase_.push_back(static_cast<int>(itemProd_.size()));
        for (size_t d = 0; d <= p.rhs.size(); ++d) {
            itemProd_.push_back(p.number);
            itemDot_.push_back(static_cast<int>(d));
            itemSym_.push_back(d < p.rhs.size() ? p.rhs[d] : -1);
        }
    }
    const size_t nn = nsym - static_cast<size_t>(nt_);
    rulesOf_.assign(nn, {});
    for (const Production& p : a.productions)
        rulesOf_[static_cast<size_t>(p.lhs - nt_)].push_back(p.number);
    nullable_.assign(nn, 0);
    first_.assign(nn, std::vector<char>(static_cast<size_t>(nt_), 0));
    for (bool changed = true; changed;) {
        changed = false;
        for (const Production& p : a.productions) {
            const size_t l = static_cast<size_t>(p.lhs - nt_);
            bool allNull = true;
            for (int s : p.rhs) {
                if (s < nt_) {
                    if (!first_[l][static_cast<size_t>(s)])
                        first_[l][static_cast<size_t>(s)] = 1, changed = true;
                    allNull = false;
                    break;
                }
                const size_t n = static_cast<size_t>(s - nt_);
                for (int t = 0; t < nt_; ++t)
                    if (first_[n][static_cast<size_t>(t)] && !first_[l][static_cast<size_t>(t)])
                        first_[l][static_cast<size_t>(t)] = 1, changed = true;
                if (!nullable_[n]) {
                    allNull = false;
                    break;
                }
            }
            if (allNull && !nullable_[l])
                nullable_[l] = 1, changed = true;
        }
    }
    firstOfRest_.assign(itemProd_.size(), {});
    restNullable_.assign(itemProd_.size(), 0);
    firstOfRestMade_.assign(itemProd_.size(), 0);
    stateAt_.assign(a.states.size(), -1);
    for (size_t i = 0; i < a.states.size(); ++i)
        stateAt_[static_cast<size_t>(a.states[i].number)] = static_cast<int>(i);
    denseAt_.assign(a.states.size(), -1);
    itemTextAt_.assign(itemProd_.size(), -1);
}

int CounterexampleSearch::transition(int state, int symbol) const
{
    // A state's row of targets by symbol is made at the state's first
    // transition: the walks ask for the same few states over and over.
    int& at = denseAt_[static_cast<size_t>(state)];
    if (at < 0) {
        at = static_cast<int>(dense_.size());
        dense_.resize(dense_.size() + a_.symbols.size(), -1);
        const State& st = a_.states[static_cast<size_t>(stateAt_[static_cast<size_t>(state)])];
        for (const Transition& t : st.shifts)
            dense_[static_cast<size_t>(at + t.symbol)] = t.state;
        for (const Transition& t : st.gotos)
            dense_[static_cast<size_t>(at + t.symbol)] = t.state;
    }
    return dense_[static_cast<size_t>(at + symbol)];
}

void CounterexampleSearch::toOpen(int item, int la, bool exact, std::vector<uint64_t>& opened, uint64_t base,
                                  std::vector<int>& out) const
{
    // Called for every nonterminal opened: the terminals that begin the
    // rest of each item are made once, the lookahead merged in, in order,
    // where the rest can be empty; then only those not opened before.
    out.clear();
    auto take = [&](int t) {
        if (!opened.empty()) {
            const uint64_t k = base + static_cast<uint64_t>(t + 1);
            uint64_t& word = opened[static_cast<size_t>(k >> 6)];
            const uint64_t bit = uint64_t{1} << (k & 63);
            if (word & bit)
                return;
            word |= bit;
        }
        out.push_back(t);
    };
    if (!exact) {
        take(-1);
        return;
    }
    const size_t i = static_cast<size_t>(item);
    if (!firstOfRestMade_[i])
        makeFirstOfRest(item);
    const std::vector<int>& first = firstOfRest_[i];
    if (la < 0 || !restNullable_[i]) {
        for (int t : first)
            take(t);
        return;
    }
    bool merged = false;
    for (int t : first) {
        if (!merged && t >= la) {
            merged = true;
            if (t != la)
                take(la);
        }
        take(t);
    }
    if (!merged)
        take(la);
}

void CounterexampleSearch::makeFirstOfRest(int item) const
{
    const size_t i = static_cast<size_t>(item);
    firstOfRestMade_[i] = 1;
    const Production& p = a_.productions[static_cast<size_t>(itemProd_[i])];
    std::vector<char>& seen = followSeen_;
    seen.assign(static_cast<size_t>(nt_), 0);
    bool nullable = true;
    for (size_t k = static_cast<size_t>(itemDot_[i]) + 1; k < p.rhs.size(); ++k) {
        const int s = p.rhs[k];
        if (s < nt_) {
            seen[static_cast<size_t>(s)] = 1;
            nullable = false;
            break;
        }
        const size_t n = static_cast<size_t>(s - nt_);
        for (int t = 0; t < nt_; ++t)
            if (first_[n][static_cast<size_t>(t)])
                seen[static_cast<size_t>(t)] = 1;
        if (!nullable_[n]) {
            nullable = false;
            break;
        }
    }
    restNullable_[i] = nullable ? 1 : 0;
    for (int t = 0; t < nt_; ++t)
        if (seen[static_cast<size_t>(t)])
            firstOfRest_[i].push_back(t);
}

uint64_t CounterexampleSearch::endKey(int state, int item, int la) const
{
    return (static_cast<uint64_t>(state) * itemProd_.size() + static_cast<uint64_t>(item)) *
               (static_cast<uint64_t>(nt_) + 1) +
           static_cast<uint64_t>(la + 1);
}

bool CounterexampleSearch::walkTo(Walk& w, uint64_t target)
{
    // Breadth first, so the first path to a node is a shortest one.
    // Without a lookahead to reach, lookaheads are not followed at all.
    // One walk serves every conflict, each going on from where the last
    // one stopped: searching from the start again for each conflict cost
    // most of a run with hundreds of them.
    const uint64_t nItems = itemProd_.size();
    const uint64_t nLa = w.exact ? static_cast<uint64_t>(nt_) + 1 : 1;
    const uint64_t nNt = a_.symbols.size() - static_cast<size_t>(nt_);
    auto key = [&](int where, int item, int la) {
        return (static_cast<uint64_t>(where) * nItems + static_cast<uint64_t>(item)) * nLa +
               static_cast<uint64_t>(la + 1);
    };
    NodeList& nodes = w.nodes;
    const bool starting = nodes.empty();
    if (starting) {
        // The nodes seen: a bit map over all keys when it is of a sensible
        // size, a hash set otherwise.
        const uint64_t keys = static_cast<uint64_t>(a_.states.size()) * nItems * nLa;
        if (keys <= kBitMapKeys)
            w.bits.assign(static_cast<size_t>((keys + 63) / 64), 0);
        const uint64_t openKeys = static_cast<uint64_t>(a_.states.size()) * nNt * nLa;
        if (openKeys <= kBitMapKeys)
            w.opened.assign(static_cast<size_t>((openKeys + 63) / 64), 0);
    }
    const bool map = !w.bits.empty();
    // Adds the node unless it was reached before.  A completed item is
    // noted as it is added: the first node of a key is the same whether it
    // is noted now or when its turn comes, and the walk need not go on
    // through the rest of a level (and add the next one) to get to it.
    bool found = false;
    auto firstVisit = [&](uint64_t k) {
        if (!map)
            return w.seenSet.insert(k).second;
        uint64_t& word = w.bits[static_cast<size_t>(k >> 6)];
        const uint64_t bit = uint64_t{1} << (k & 63);
        if (word & bit)
            return false;
        word |= bit;
        return true;
    };
    auto noteEnd = [&](int where, int item, int la, size_t at) {
        const uint64_t end = endKey(where, item, la);
        w.ends.add(end, static_cast<int>(at));
        found = found || end == target;
    };
    auto add = [&](int where, int item, int la, int parent) {
        if (!firstVisit(key(where, item, la)))
            return;
        if (symbolAfterDot(item) < 0)
            noteEnd(where, item, la, nodes.size());
        nodes.push_back(Node{where, item, la, parent});
    };
    if (starting)
        add(0, prodBase_[0], w.exact ? 0 : -1, -1);
    std::vector<int>& follow = w.follow;
    // A node's steps are taken whole before the walk stops for a target
    // reached, so that the nodes are always in the same order however
    // often the walk stopped on the way.
    for (; !w.ended && !found && w.head < nodes.size(); ++w.head) {
        const size_t head = w.head;
        const Node n = nodes[head];
        const int sym = symbolAfterDot(n.item);
        if ((head & 63) == 0 && (nodes.size() > kNodeCap || Clock::now() > until_)) {
            w.ended = true;
            break;
        }
        if (sym < 0)
            continue;
        // Move the dot over sym.
        const int to = transition(n.where, sym);
        if (to >= 0)
            add(to, n.item + 1, n.la, static_cast<int>(head));
        // Open each rule of a nonterminal after the dot, with each
        // lookahead it was not opened with in this state before (then
        // every one of its rules was reached with it).
        if (sym >= nt_) {
            toOpen(n.item, n.la, w.exact, w.opened,
                   (static_cast<uint64_t>(n.where) * nNt + static_cast<uint64_t>(sym - nt_)) * nLa, follow);
            if (follow.empty())
                continue;
            // The commonest step of all, written out.  A rule's first item
            // is reached only this way, so with the lookaheads kept to
            // those not opened before, every node it makes is new.
            const std::vector<int>& rules = rulesOf_[static_cast<size_t>(sym - nt_)];
            const int parent = static_cast<int>(head);
            const bool fresh = !w.opened.empty();
            if (Node* out = fresh ? nodes.room(rules.size() * follow.size()) : nullptr) {
                // All new, and room for them in one block: written in place.
                const size_t at = nodes.size();
                size_t k = 0;
                for (int p : rules) {
                    const int first = prodBase_[static_cast<size_t>(p)];
                    const bool empty = symbolAfterDot(first) < 0;
                    for (int la : follow) {
                        if (empty)
                            noteEnd(n.where, first, la, at + k);
                        out[k++] = Node{n.where, first, la, parent};
                    }
                }
                nodes.grow(k);
                continue;
            }
            for (int p : rules) {
                const int first = prodBase_[static_cast<size_t>(p)];
                const bool empty = symbolAfterDot(first) < 0;
                const uint64_t base = key(n.where, first, -1);
                for (int la : follow) {
                    if (!fresh && !firstVisit(base + static_cast<uint64_t>(la + 1)))
                        continue;
                    if (empty)
                        noteEnd(n.where, first, la, nodes.size());
                    nodes.push_back(Node{n.where, first, la, parent});
                }
            }
        }
    }
    if (found)
        return true;
    w.ended = true;
    return false;
}

bool CounterexampleSearch::reach(int state, int item, int la, NodeRef& path)
{
    Walk& w = la >= 0 ? exact_ : loose_;
    w.exact = la >= 0;
    const uint64_t k = endKey(state, item, la);
    int at = w.ends.find(k);
    if (at < 0) {
        if (!walkTo(w, k))
            return false;
        at = w.ends.find(k);
    }
    path = NodeRef{&w.nodes, at};
    return true;
}

bool CounterexampleSearch::alongPath(const std::vector<int>& pathStates, const std::vector<int>& pathSymbols,
                                     int targetItem, int shiftOn, int targetLa, NodeRef& path,
                                     Clock::time_point deadline)
{
    // Breadth first, as the walk from the start, but held to the states and
    // symbols of the path.  Without a lookahead to reach, the walk along
    // the path is made whole once and kept for the next conflict: the
    // conflicts of one state mostly share their path, and the first node
    // of each item at the path's end is what the targeted walk would stop
    // at.
    const bool exact = targetLa >= 0;
    auto lookUp = [&]() {
        const int at = shiftOn >= 0 ? along_.bySymbol[static_cast<size_t>(shiftOn + 1)]
                                    : along_.byItem[static_cast<size_t>(targetItem)];
        if (at < 0)
            return false;
        path = NodeRef{&along_.nodes, at};
        return true;
    };
    if (!exact && along_.made && along_.symbols == pathSymbols)
        return lookUp();
    const uint64_t nItems = itemProd_.size();
    const uint64_t nLa = static_cast<uint64_t>(nt_) + 1;
    // The nodes seen: a bit map over all keys when it is of a sensible
    // size (kept between searches and cleared through the node list), a
    // hash set otherwise.
    const uint64_t keys = static_cast<uint64_t>(pathStates.size()) * nItems * nLa;
    const bool useMap = keys <= kBitMapKeys;
    if (useMap && seenBits_.size() * 64 < keys)
        seenBits_.assign(static_cast<size_t>((keys + 63) / 64), 0);
    std::unordered_set<uint64_t> seenSet;
    auto key = [&](const Node& n) {
        return (static_cast<uint64_t>(n.where) * nItems + static_cast<uint64_t>(n.item)) * nLa +
               static_cast<uint64_t>(n.la + 1);
    };
    auto firstVisit = [&](uint64_t k) {
        if (!useMap)
            return seenSet.insert(k).second;
        uint64_t& w = seenBits_[static_cast<size_t>(k >> 6)];
        const uint64_t bit = uint64_t{1} << (k & 63);
        const bool first = !(w & bit);
        w |= bit;
        return first;
    };
    const int lastWhere = static_cast<int>(pathStates.size()) - 1;
    const uint64_t nNt = a_.symbols.size() - static_cast<size_t>(nt_);
    const uint64_t openKeys = static_cast<uint64_t>(pathStates.size()) * nNt * nLa;
    std::vector<uint64_t> opened(openKeys <= kBitMapKeys ? static_cast<size_t>((openKeys + 63) / 64) : 0);
    NodeList& nodes = exact ? alongExact_ : along_.nodes;
    if (!exact) {
        along_.made = true;
        along_.symbols = pathSymbols;
        along_.bySymbol.assign(a_.symbols.size() + 1, -1);
        along_.byItem.assign(itemProd_.size(), -1);
    }
    nodes.clear();
    nodes.push_back(Node{0, prodBase_[0], exact ? 0 : -1, -1});
    firstVisit(key(nodes[0]));
    std::vector<int> follow;
    bool found = false;
    size_t head = 0;
    for (; head < nodes.size(); ++head) {
        const Node n = nodes[head];
        const int sym = symbolAfterDot(n.item);
        if (n.where == lastWhere) {
            if (!exact) {
                int& bySymbol = along_.bySymbol[static_cast<size_t>(sym + 1)];
                if (bySymbol < 0)
                    bySymbol = static_cast<int>(head);
                int& byItem = along_.byItem[static_cast<size_t>(n.item)];
                if (byItem < 0)
                    byItem = static_cast<int>(head);
            } else if (n.la == targetLa && (shiftOn >= 0 ? sym == shiftOn : n.item == targetItem)) {
                found = true;
                break;
            }
        }
        if ((head & 63) == 0 && (nodes.size() > kNodeCap || Clock::now() > deadline))
            break;
        if (sym < 0)
            continue;
        auto add = [&](const Node& m) {
            if (firstVisit(key(m)))
                nodes.push_back(m);
        };
        // Move the dot over sym.
        if (n.where < lastWhere && pathSymbols[static_cast<size_t>(n.where)] == sym)
            add(Node{n.where + 1, n.item + 1, n.la, static_cast<int>(head)});
        // Open each rule of a nonterminal after the dot, as in walkTo.
        if (sym >= nt_) {
            toOpen(n.item, n.la, exact, opened,
                   (static_cast<uint64_t>(n.where) * nNt + static_cast<uint64_t>(sym - nt_)) * nLa, follow);
            if (follow.empty())
                continue;
            for (int p : rulesOf_[static_cast<size_t>(sym - nt_)])
                for (int la : follow)
                    add(Node{n.where, prodBase_[static_cast<size_t>(p)], la, static_cast<int>(head)});
        }
    }
    // Every node marked is in `nodes`: the next search finds the map clear.
    if (useMap)
        for (size_t i = 0; i < nodes.size(); ++i)
            seenBits_[static_cast<size_t>(key(nodes[i]) >> 6)] = 0;
    if (!exact)
        return lookUp();
    if (found)
        path = NodeRef{&nodes, static_cast<int>(head)};
    return found;
}

void CounterexampleSearch::KeyIndex::add(uint64_t key, int value)
{
    if ((count_ + 1) * 2 > slots_.size()) {
        // Half full: twice the slots, every entry placed again.
        std::vector<std::pair<uint64_t, int>> old(std::max<size_t>(64, slots_.size() * 2), {0, -1});
        old.swap(slots_);
        count_ = 0;
        for (const auto& e : old)
            if (e.second >= 0)
                add(e.first, e.second);
    }
    const size_t mask = slots_.size() - 1;
    for (size_t i = slot(key);; i = (i + 1) & mask) {
        if (slots_[i].second < 0) {
            slots_[i] = {key, value};
            ++count_;
            return;
        }
        if (slots_[i].first == key)
            return;  // the first stays
    }
}

int CounterexampleSearch::KeyIndex::find(uint64_t key) const
{
    if (slots_.empty())
        return -1;
    const size_t mask = slots_.size() - 1;
    for (size_t i = slot(key);; i = (i + 1) & mask) {
        if (slots_[i].second < 0)
            return -1;
        if (slots_[i].first == key)
            return slots_[i].second;
    }
}

void CounterexampleSearch::decode(NodeRef path, std::vector<int>* states, std::vector<int>* symbols,
                                  std::vector<int>& stack) const
{
    // Back from the path's last node: a node reached by moving the dot
    // gives a symbol of the input and the state it leads to; the last node
    // of each opened rule (the first one met going back) is that rule's
    // item in the reading.
    if (states)
        states->clear();
    if (symbols)
        symbols->clear();
    stack.clear();
    bool last = true;
    for (int i = path.index; i >= 0;) {
        const Node& n = (*path.nodes)[static_cast<size_t>(i)];
        if (last) {
            stack.push_back(n.item);
            last = false;
        }
        if (shifted(n)) {
            if (symbols)
                symbols->push_back(symbolAfterDot(n.item - 1));
            if (states)
                states->push_back(n.where);
        } else {
            last = true;
        }
        i = n.parent;
    }
    if (states) {
        states->push_back(0);
        std::reverse(states->begin(), states->end());
    }
    if (symbols)
        std::reverse(symbols->begin(), symbols->end());
    std::reverse(stack.begin(), stack.end());
}

void CounterexampleSearch::appendWords(std::string& out, IntSpan syms) const
{
    for (int x : syms) {
        if (x == 0)  // "$end" closes every input; it is not shown
            continue;
        out += ' ';
        out += a_.symbols[static_cast<size_t>(x)].name;
    }
}

const CounterexampleSearch::ItemText& CounterexampleSearch::itemText(int item) const
{
    // Made at an item's first use: the readings of hundreds of conflicts
    // go through the same few items.
    int& at = itemTextAt_[static_cast<size_t>(item)];
    if (at >= 0)
        return itemTexts_[static_cast<size_t>(at)];
    at = static_cast<int>(itemTexts_.size());
    ItemText& t = itemTexts_.emplace_back();
    auto name = [&](int s) -> const std::string& { return a_.symbols[static_cast<size_t>(s)].name; };
    const Production& p = a_.productions[static_cast<size_t>(itemProd_[static_cast<size_t>(item)])];
    const size_t d = static_cast<size_t>(itemDot_[static_cast<size_t>(item)]);
    t.open = name(p.lhs) + " ::= [";
    for (size_t i = 0; i < d; ++i)
        t.open += " " + name(p.rhs[i]);
    t.dot = " .";
    for (size_t i = d; i < p.rhs.size(); ++i)
        t.dot += " " + name(p.rhs[i]);
    for (size_t i = d + 1; i < p.rhs.size(); ++i)
        t.close += " " + name(p.rhs[i]);
    t.close += " ]";
    return t;
}

void CounterexampleSearch::appendDerivation(std::string& out, IntSpan stack) const
{
    // Each open rule as "lhs ::= [ ... ]", the next one nested in place of
    // the nonterminal it expands; the innermost carries the dot.  The rule
    // of "$accept" is left out unless it is the only one.
    const size_t from = stack.size() > 1 ? 1 : 0;
    for (size_t level = from; level < stack.size(); ++level) {
        const ItemText& t = itemText(stack[level]);
        out += t.open;
        if (level + 1 == stack.size())
            out += t.dot;
        else
            out += ' ';
    }
    // The rest of each outer rule after its inner one, innermost first.
    for (size_t level = stack.size(); level-- > from;) {
        if (level + 1 < stack.size())
            out += itemText(stack[level]).close;
        else
            out += " ]";
    }
}

std::vector<int> CounterexampleSearch::rest(IntSpan stack) const
{
    std::vector<int> r;
    rest(stack, r);
    return r;
}

void CounterexampleSearch::rest(IntSpan stack, std::vector<int>& r) const
{
    // What the open rules still expect, innermost first.
    r.clear();
    for (size_t level = stack.size(); level-- > 0;) {
        const int item = stack[level];
        const Production& p = a_.productions[static_cast<size_t>(itemProd_[static_cast<size_t>(item)])];
        size_t d = static_cast<size_t>(itemDot_[static_cast<size_t>(item)]);
        if (level + 1 < stack.size())
            ++d;  // the nonterminal being expanded
        for (size_t i = d; i < p.rhs.size(); ++i)
            r.push_back(p.rhs[i]);
    }
}

CounterexampleSearch::Span CounterexampleSearch::keep(const std::vector<int>& v)
{
    const Span s{store_.size(), v.size()};
    for (int x : v)
        store_.push_back(x);
    return s;
}

CounterexampleSearch::Unified CounterexampleSearch::unify(const std::vector<int>& a, const std::vector<int>& b,
                                                         std::vector<int>& common, size_t maxPairs,
                                                         SearchClock& clock, size_t* made)
{
    // Both rests are rewritten, leftmost nonterminal first, until their
    // heads meet; equal heads are taken together.  Shortest sentential
    // forms are tried first; each form stays within a length bound so
    // that left recursion cannot grow it without end.
    //
    // The symbols of every pair live in one arena: a rewritten rest is
    // appended there, the other rest and the heads taken stay where they
    // are, so that a pair costs no allocation of its own.  The arena, the
    // pairs, the queue and the table of pairs seen are kept from one
    // search to the next: hundreds of searches of a few pairs each spent
    // most of their time setting them up.
    std::vector<int>& arena = unifyArena_;
    std::vector<Pair>& pool = unifyPool_;
    std::vector<std::pair<size_t, size_t>>& open = unifyOpen_;
    std::vector<uint32_t>& slots = unifySlots_;  // pool index + 1 by hash, 0 free
    arena.clear();
    pool.clear();
    open.clear();
    if (slots.empty())
        slots.assign(64, 0);
    auto put = [&](const std::vector<int>& v) {
        const Span s{arena.size(), v.size()};
        arena.insert(arena.end(), v.begin(), v.end());
        return s;
    };
    const size_t cap = std::max(a.size(), b.size()) + 12;
    auto weight = [](const Pair& p) { return p.a.size + p.b.size + p.taken; };
    // The order of the queue: lightest first, then the pair made first.
    auto cmp = [](const std::pair<size_t, size_t>& x, const std::pair<size_t, size_t>& y) {
        return x.first > y.first || (x.first == y.first && x.second > y.second);
    };
    auto hashOf = [&](const Pair& p) {
        uint64_t h = 1469598103934665603ull;
        for (size_t k = 0; k < p.a.size; ++k)
            h = (h ^ static_cast<uint64_t>(arena[p.a.at + k])) * 1099511628211ull;
        h = (h ^ 0xffffffffull) * 1099511628211ull;
        for (size_t k = 0; k < p.b.size; ++k)
            h = (h ^ static_cast<uint64_t>(arena[p.b.at + k])) * 1099511628211ull;
        return h;
    };
    auto equal = [&](Span x, Span y) {
        return x.size == y.size && std::equal(arena.begin() + static_cast<long>(x.at),
                                              arena.begin() + static_cast<long>(x.at + x.size),
                                              arena.begin() + static_cast<long>(y.at));
    };
    // The slot of pool[i] in the table (open addressing, linear probing),
    // or of the pair equal to it made before; *seen tells which.
    auto slotOf = [&](size_t i, bool* seen) {
        const Pair& p = pool[i];
        const size_t mask = slots.size() - 1;
        for (size_t at = static_cast<size_t>(p.hash) & mask;; at = (at + 1) & mask) {
            const uint32_t s = slots[at];
            if (s == 0) {
                *seen = false;
                return at;
            }
            const Pair& q = pool[s - 1];
            if (q.hash == p.hash && equal(q.a, p.a) && equal(q.b, p.b)) {
                *seen = true;
                return at;
            }
        }
    };
    bool full = false;  // a pair was dropped for the budget
    auto push = [&](Pair p) {
        // Strip the common head.
        size_t k = 0;
        while (k < p.a.size && k < p.b.size && arena[p.a.at + k] == arena[p.b.at + k])
            ++k;
        p.took = Span{p.a.at, k};
        p.taken += k;
        p.a = Span{p.a.at + k, p.a.size - k};
        p.b = Span{p.b.at + k, p.b.size - k};
        if (p.a.size > cap || p.b.size > cap)
            return;
        if (pool.size() >= maxPairs) {
            full = true;
            return;
        }
        p.hash = hashOf(p);
        pool.push_back(p);
        bool seen = false;
        const size_t at = slotOf(pool.size() - 1, &seen);
        if (seen) {
            pool.pop_back();
            return;
        }
        slots[at] = static_cast<uint32_t>(pool.size());
        pool.back().slot = at;
        if (pool.size() * 2 > slots.size()) {
            // Half full: twice the slots, every pair placed again.
            slots.assign(slots.size() * 2, 0);
            for (size_t i = 0; i < pool.size(); ++i) {
                bool again = false;
                pool[i].slot = slotOf(i, &again);
                slots[pool[i].slot] = static_cast<uint32_t>(i + 1);
            }
        }
        open.emplace_back(weight(p), pool.size() - 1);
        std::push_heap(open.begin(), open.end(), cmp);
    };
    {
        Pair first;
        first.a = put(a);
        first.b = put(b);
        push(first);
    }
    size_t steps = 0;
    Clock::time_point deadline = Clock::time_point::max();  // set at the first look at the clock
    Unified result = Unified::NotWithinBound;
    while (!open.empty()) {
        if ((++steps & 15) == 0) {
            const Clock::time_point now = Clock::now();
            if (!clock.started) {
                clock.started = true;
                clock.start = now;
                deadline = std::min(after(now, clock.seconds), until_);
            }
            if (now > deadline) {
                result = Unified::TimedOut;
                break;
            }
        }
        if (full) {
            result = Unified::OutOfBudget;
            break;
        }
        const size_t at = open.front().second;
        std::pop_heap(open.begin(), open.end(), cmp);
        open.pop_back();
        const Pair p = pool[at];
        if (p.a.size == 0 && p.b.size == 0) {
            // The common string: the heads taken, from the first pair on.
            // Written from its end, going back from the last pair.
            size_t length = 0;
            for (long q = static_cast<long>(at); q >= 0; q = pool[static_cast<size_t>(q)].from)
                length += pool[static_cast<size_t>(q)].took.size;
            common.resize(length);
            for (long q = static_cast<long>(at); q >= 0; q = pool[static_cast<size_t>(q)].from) {
                const Span t = pool[static_cast<size_t>(q)].took;
                length -= t.size;
                std::copy(arena.begin() + static_cast<long>(t.at), arena.begin() + static_cast<long>(t.at + t.size),
                          common.begin() + static_cast<long>(length));
            }
            result = Unified::Found;
            break;
        }
        auto expand = [&](bool left) {
            const Span s = left ? p.a : p.b;
            if (s.size == 0 || arena[s.at] < nt_)
                return;
            for (int r : rulesOf_[static_cast<size_t>(arena[s.at] - nt_)]) {
                // The right side, then the rest after the nonterminal.
                const auto& rhs = a_.productions[static_cast<size_t>(r)].rhs;
                Span t{arena.size(), rhs.size() + s.size - 1};
                arena.insert(arena.end(), rhs.begin(), rhs.end());
                for (size_t i = 1; i < s.size; ++i)
                    arena.push_back(arena[s.at + i]);
                Pair q;
                q.a = left ? t : p.a;
                q.b = left ? p.b : t;
                q.taken = p.taken;
                q.from = static_cast<long>(at);
                push(q);
            }
        };
        expand(true);
        expand(false);
    }
    if (result == Unified::NotWithinBound && full)
        result = Unified::OutOfBudget;  // the last pairs made were dropped
    *made = pool.size();
    // The table is left empty for the next search.
    for (const Pair& q : pool)
        slots[q.slot] = 0;
    return result;
}

double CounterexampleSearch::totalSeconds(double perConflict)
{
    return std::max(1.0, 10 * perConflict);
}

size_t CounterexampleSearch::pairBudget(double seconds)
{
    return seconds > 0 ? static_cast<size_t>(std::min(seconds, 1e6) * kPairsPerSecond) : 0;
}

CounterexampleSearch::Clock::time_point CounterexampleSearch::after(Clock::time_point from, double seconds)
{
    return from + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

struct CounterexampleSearch::Case {
    int state = 0;
    const Conflict* c = nullptr;
    enum class Prepared { Example, NoExample, TimeUsedUp } prepared = Prepared::TimeUsedUp;
    int r1 = 0, r2 = -1;        // the reduction; for reduce/reduce the rule reduced by first
    bool samePrefix = false;    // both readings after the same input
    // The input before the dot of each reading, the items of each
    // reading's open rules (outermost first) and the common string found:
    // stretches of the run's store, so that hundreds of conflicts cost no
    // allocation each.
    Span symbols, symbols2, stack1, stack2, common;
    Unified unified = Unified::NotSearched;
    double seconds = 0;         // spent on the unifying search
    size_t pairs = 0;           // made by its last unifying search
};

void CounterexampleSearch::prepare(Case& k)
{
    // The run's end by the clock, looked at for every eighth conflict (the
    // first included): the walk looks at it itself as it goes, and most
    // conflicts take it a few steps further, or none.
    if (preparedCount_++ % 8 == 0 && Clock::now() >= until_)
        timeUsedUp_ = true;
    if (timeUsedUp_) {
        k.prepared = Case::Prepared::TimeUsedUp;
        return;
    }
    k.prepared = Case::Prepared::NoExample;
    const Conflict& c = *k.c;
    k.r1 = c.kind == ConflictKind::ReduceReduce ? c.other : c.production;
    k.r2 = c.kind == ConflictKind::ReduceReduce ? c.production : -1;
    auto endItem = [&](int r) {
        return prodBase_[static_cast<size_t>(r)] +
               static_cast<int>(a_.productions[static_cast<size_t>(r)].rhs.size());
    };
    NodeRef path1, path2;
    const bool exact = reach(k.state, endItem(k.r1), c.symbol, path1);
    if (!exact && !reach(k.state, endItem(k.r1), -1, path1))
        return;
    std::vector<int>& states = pathStates_;
    std::vector<int>& symbols = pathSymbols_;
    std::vector<int>& stack = pathStack_;
    decode(path1, &states, &symbols, stack);
    k.symbols = keep(symbols);
    k.stack1 = keep(stack);
    // The other reading along the same states; a second reduction that
    // no input before the dot shares with the first gets its own.
    k.samePrefix = alongPath(states, symbols, k.r2 >= 0 ? endItem(k.r2) : -1, k.r2 >= 0 ? -1 : c.symbol,
                             k.r2 >= 0 && exact ? c.symbol : -1, path2, until_);
    if (!k.samePrefix &&
        (k.r2 < 0 || !(reach(k.state, endItem(k.r2), c.symbol, path2) || reach(k.state, endItem(k.r2), -1, path2))))
        return;
    // Along the same states the input is the same.
    decode(path2, nullptr, k.samePrefix ? nullptr : &symbols, stack);
    k.symbols2 = k.samePrefix ? k.symbols : keep(symbols);
    k.stack2 = keep(stack);
    k.prepared = Case::Prepared::Example;
}

void CounterexampleSearch::search(Case& k, size_t maxPairs, double seconds)
{
    if (k.prepared != Case::Prepared::Example || !k.samePrefix || maxPairs == 0)
        return;
    // One conflict's search gets `seconds` by the clock, over both rounds;
    // the run's end comes first.  The search reads the clock itself once
    // it has made some pairs: most end within a few, and two readings
    // each (some 40 ns on this machine) cost hundreds of conflicts more
    // than their searches.
    SearchClock clock;
    clock.seconds = std::max(0.0, seconds - k.seconds);
    // First the reading the parser takes, then the other.
    const bool shiftWins = k.c->kind == ConflictKind::ShiftReduce;
    rest(view(shiftWins ? k.stack2 : k.stack1), restA_);
    rest(view(shiftWins ? k.stack1 : k.stack2), restB_);
    std::vector<int>& common = pathSymbols_;
    common.clear();
    k.unified = unify(restA_, restB_, common, maxPairs, clock, &k.pairs);
    k.common = k.unified == Unified::Found ? keep(common) : Span{};
    pairsMade_ += k.pairs;
    if (clock.started)
        k.seconds += std::chrono::duration<double>(Clock::now() - clock.start).count();
    if (k.unified == Unified::TimedOut && until_ < after(clock.start, clock.seconds))
        k.unified = Unified::OutOfBudget;  // the run's time, not the conflict's
    if (k.unified == Unified::OutOfBudget && maxPairs >= kPairCap)
        k.unified = Unified::NotWithinBound;  // the bound of every search, as with no budget at all
}

std::string CounterexampleSearch::text(const Case& k, int lang, double seconds) const
{
    auto L = [lang](const char* en, const char* sk) { return lang ? sk : en; };
    if (k.prepared == Case::Prepared::TimeUsedUp)
        return std::string(L("no example: the time for examples is used up",
                             "priklad sa nehladal: cas na priklady sa minul")) + "\n";
    if (k.prepared == Case::Prepared::NoExample)
        return std::string(L("no example found", "priklad sa nenasiel")) + "\n";
    auto fmt = [](const char* f, const std::string& s) {
        std::string out(f);
        const size_t at = out.find("%s");
        return at == std::string::npos ? out : out.replace(at, 2, s);
    };
    // All the lines in one string, made in place: the lines of hundreds
    // of conflicts are all kept until the end.
    std::string lines;
    lines.reserve(256);
    auto add = [&lines](const auto& line) {
        lines += line;
        lines += '\n';
    };
    // First the reading the parser takes, then the other.
    const bool shiftWins = k.c->kind == ConflictKind::ShiftReduce;
    const int ruleKept = shiftWins ? k.r2 : k.r1;   // -1: the shift
    const int ruleOther = shiftWins ? k.r1 : k.r2;
    const IntSpan stackKept = view(shiftWins ? k.stack2 : k.stack1);
    const IntSpan stackOther = view(shiftWins ? k.stack1 : k.stack2);
    // "example: a b . c d", "$end" left out.
    auto example = [&](IntSpan pre, IntSpan post) {
        lines += L("example:", "priklad:");
        appendWords(lines, pre);
        lines += " .";
        appendWords(lines, post);
        lines += '\n';
    };
    // "reduce by rule 3: e ::= [ ... ]" or "shift: e ::= [ ... ]".
    auto reading = [&](int rule, IntSpan stack) {
        if (rule >= 0) {
            lines += L("reduce by rule ", "redukcia pravidlom ");
            lines += std::to_string(rule);
            lines += ": ";
        } else {
            lines += L("shift: ", "posun: ");
        }
        appendDerivation(lines, stack);
        lines += '\n';
    };
    if (k.unified == Unified::Found) {
        example(view(k.symbols), view(k.common));
        reading(ruleKept, stackKept);
        reading(ruleOther, stackOther);
        lines += L("unifying: this one input reads two ways, so the grammar is ambiguous\n",
                   "zjednocujuci: ten isty vstup sa cita dvoma sposobmi, gramatika je nejednoznacna\n");
        return lines;
    }
    const IntSpan preKept = view(shiftWins ? k.symbols2 : k.symbols);
    const IntSpan preOther = view(shiftWins ? k.symbols : k.symbols2);
    example(preKept, rest(stackKept));
    reading(ruleKept, stackKept);
    example(preOther, rest(stackOther));
    reading(ruleOther, stackOther);
    char buf[300];
    if (!k.samePrefix) {
        add(fmt(L("not unifying: the two reductions on %s need different inputs before the dot; "
                              "their lookaheads were merged from different contexts into one state",
                              "nezjednocujuci: obe redukcie na %s potrebuju pred bodkou rozny vstup; ich "
                              "vyhladove symboly sa zlucili z roznych kontextov do jedneho stavu"),
                            a_.symbols[static_cast<size_t>(k.c->symbol)].name));
    } else if (k.unified == Unified::NotWithinBound) {
        add(L("not unifying: the readings go on differently after the dot; no input read both ways "
                          "was found",
                          "nezjednocujuci: citania za bodkou pokracuju roznie; vstup citany oboma sposobmi sa "
                          "nenasiel"));
    } else if (k.unified == Unified::TimedOut) {
        std::snprintf(buf, sizeof buf,
                      L("not unifying: the readings go on differently after the dot; no input read both ways "
                        "was found within %g s",
                        "nezjednocujuci: citania za bodkou pokracuju roznie; vstup citany oboma sposobmi sa "
                        "za %g s nenasiel"),
                      seconds);
        add(buf);
    } else {
        // The run's budget ran out before this conflict's search began, or
        // before it ended: nothing is known, and more time may tell.
        std::snprintf(buf, sizeof buf,
                      k.unified == Unified::NotSearched
                          ? L("not searched for one input read both ways: the time for examples is used up; "
                              "--cex-time SECONDS (now %g) gives more",
                              "vstup citany oboma sposobmi sa nehladal: cas na priklady sa minul; viac da "
                              "--cex-time SEKUNDY (teraz %g)")
                          : L("not searched to the end for one input read both ways: the time for examples is "
                              "used up; --cex-time SECONDS (now %g) gives more",
                              "vstup citany oboma sposobmi sa nedohladal: cas na priklady sa minul; viac da "
                              "--cex-time SEKUNDY (teraz %g)"),
                      seconds);
        add(buf);
    }
    return lines;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> out;
    forEachLine(text, [&out](const char* line, size_t size) { out.emplace_back(line, size); });
    return out;
}

std::vector<ConflictExample> CounterexampleSearch::explainAll(int lang, double seconds,
                                                             const std::function<bool()>& stop, bool* stopped)
{
    auto stopNow = [&] {
        if (!stop || !stop())
            return false;
        if (stopped)
            *stopped = true;
        return true;
    };
    store_.clear();
    std::vector<Case> cases;
    size_t reported = 0;
    for (const State& st : a_.states)
        for (const Conflict& c : st.conflicts)
            reported += c.reported;
    cases.reserve(reported);
    for (const State& st : a_.states)
        for (const Conflict& c : st.conflicts)
            if (c.reported) {
                cases.emplace_back();
                cases.back().state = st.number;
                cases.back().c = &c;
            }
    // Every example input first: they come from one walk and cost little.
    for (Case& k : cases) {
        if (stopNow())
            return {};
        prepare(k);
    }
    // Then a short unifying search for each, which finds most ambiguities:
    // an equal share of what is left (one pair at least, kQuickPairs at
    // most), so that a few long searches early cannot starve the rest.
    // Then, in order, longer ones for those still open, while the budget
    // lasts.  A conflict's second search starts again from its beginning.
    size_t left = pairBudget(seconds);
    size_t waiting = 0;
    for (const Case& k : cases)
        waiting += k.prepared == Case::Prepared::Example && k.samePrefix;
    for (Case& k : cases) {
        if (k.prepared != Case::Prepared::Example || !k.samePrefix)
            continue;
        const size_t share = std::min({kQuickPairs, left, std::max<size_t>(1, left / waiting--)});
        if (stopNow())
            return {};
        search(k, share, seconds);
        left -= std::min(left, k.pairs);
    }
    for (Case& k : cases) {
        if (k.unified != Unified::OutOfBudget || left <= k.pairs)
            continue;
        if (stopNow())
            return {};
        search(k, std::min(kPairCap, left), seconds);
        left -= std::min(left, k.pairs);
    }
    std::vector<ConflictExample> out(cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        out[i].text = text(cases[i], lang, seconds);
        out[i].unifying = cases[i].unified == Unified::Found;
    }
    return out;
}

std::vector<std::string> CounterexampleSearch::explain(int state, const Conflict& c, int lang, double seconds,
                                                       bool* unifying)
{
    Case k;
    k.state = state;
    k.c = &c;
    prepare(k);
    search(k, std::min(kPairCap, pairBudget(seconds)), seconds);
    *unifying = k.unified == Unified::Found;
    return splitLines(text(k, lang, seconds));
}

} // namespace duq_yacc::detail
