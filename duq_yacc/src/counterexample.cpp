// Example inputs for conflicts: see explain.h and docs/counterexamples.md.
#include "explain.h"

#include <algorithm>
#include <cstdio>
#include <deque>
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
// stops, whatever time is left.
constexpr size_t kPairCap = 300000;
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
    trans_.assign(a.states.size(), {});
    for (const State& s : a.states) {
        auto& row = trans_[static_cast<size_t>(s.number)];
        for (const Transition& t : s.shifts)
            row.emplace_back(t.symbol, t.state);
        for (const Transition& t : s.gotos)
            row.emplace_back(t.symbol, t.state);
        std::sort(row.begin(), row.end());
    }
}

int CounterexampleSearch::symbolAfterDot(int item) const
{
    const Production& p = a_.productions[static_cast<size_t>(itemProd_[static_cast<size_t>(item)])];
    const size_t d = static_cast<size_t>(itemDot_[static_cast<size_t>(item)]);
    return d < p.rhs.size() ? p.rhs[d] : -1;
}

int CounterexampleSearch::transition(int state, int symbol) const
{
    const auto& row = trans_[static_cast<size_t>(state)];
    auto it = std::lower_bound(row.begin(), row.end(), std::make_pair(symbol, -1));
    return it != row.end() && it->first == symbol ? it->second : -1;
}

void CounterexampleSearch::followSet(int item, int la, std::vector<int>& out) const
{
    out.clear();
    const Production& p = a_.productions[static_cast<size_t>(itemProd_[static_cast<size_t>(item)])];
    // Called for every rule opened, so the scratch row is kept, not made anew.
    std::vector<char>& seen = followSeen_;
    seen.assign(static_cast<size_t>(nt_), 0);
    for (size_t i = static_cast<size_t>(itemDot_[static_cast<size_t>(item)]) + 1; i < p.rhs.size(); ++i) {
        const int s = p.rhs[i];
        if (s < nt_) {
            seen[static_cast<size_t>(s)] = 1;
            la = -1;
            break;
        }
        const size_t n = static_cast<size_t>(s - nt_);
        for (int t = 0; t < nt_; ++t)
            if (first_[n][static_cast<size_t>(t)])
                seen[static_cast<size_t>(t)] = 1;
        if (!nullable_[n]) {
            la = -1;
            break;
        }
    }
    if (la >= 0)
        seen[static_cast<size_t>(la)] = 1;
    for (int t = 0; t < nt_; ++t)
        if (seen[static_cast<size_t>(t)])
            out.push_back(t);
}

bool CounterexampleSearch::search(const std::vector<int>* pathStates, const std::vector<int>* pathSymbols,
                                  int state, int targetItem, int shiftOn, int targetLa, std::vector<Node>& nodes,
                                  Clock::time_point deadline)
{
    // Breadth first, so the first path found is a shortest one.  Without a
    // lookahead to reach, lookaheads are not followed at all.
    const bool exact = targetLa >= 0;
    const uint64_t nItems = itemProd_.size();
    const uint64_t nLa = static_cast<uint64_t>(nt_) + 1;
    // The nodes seen: a bit map over all keys when it is of a sensible
    // size (kept between searches and cleared through the node list), a
    // hash set otherwise.
    const uint64_t keys = static_cast<uint64_t>(pathStates ? pathStates->size() : a_.states.size()) * nItems * nLa;
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
    struct Clear {
        std::vector<uint64_t>& bits;
        std::vector<Node>& nodes;
        bool on;
        std::function<uint64_t(const Node&)> key;
        ~Clear()
        {
            if (on)
                for (const Node& n : nodes)
                    bits[static_cast<size_t>(key(n) >> 6)] = 0;
        }
    };
    const int lastWhere = pathStates ? static_cast<int>(pathStates->size()) - 1 : state;
    nodes.clear();
    // Everything marked is in `nodes` until the search returns, even the
    // nodes a successful search drops from its end.
    std::vector<Node> visited;
    Clear clear{seenBits_, visited, useMap, key};
    nodes.push_back(Node{0, prodBase_[0], exact ? 0 : -1, -1, false});
    firstVisit(key(nodes[0]));
    std::vector<int> follow;
    for (size_t head = 0; head < nodes.size(); ++head) {
        const Node n = nodes[head];
        if (n.where == lastWhere && (targetLa < 0 || n.la == targetLa)) {
            if (shiftOn >= 0 ? symbolAfterDot(n.item) == shiftOn : n.item == targetItem) {
                visited.assign(nodes.begin() + static_cast<long>(head) + 1, nodes.end());
                nodes.resize(head + 1);
                visited.insert(visited.end(), nodes.begin(), nodes.end());
                return true;
            }
        }
        if ((head & 63) == 0 && (nodes.size() > kNodeCap || Clock::now() > deadline)) {
            visited = nodes;
            return false;
        }
        const int sym = symbolAfterDot(n.item);
        if (sym < 0)
            continue;
        auto add = [&](const Node& m) {
            if (firstVisit(key(m)))
                nodes.push_back(m);
        };
        // Move the dot over sym.
        if (pathStates) {
            if (n.where < lastWhere && (*pathSymbols)[static_cast<size_t>(n.where)] == sym)
                add(Node{n.where + 1, n.item + 1, n.la, static_cast<int>(head), true});
        } else {
            const int to = transition(n.where, sym);
            if (to >= 0)
                add(Node{to, n.item + 1, n.la, static_cast<int>(head), true});
        }
        // Open each rule of a nonterminal after the dot.
        if (sym >= nt_) {
            if (exact)
                followSet(n.item, n.la, follow);
            else
                follow.assign(1, -1);
            for (int p : rulesOf_[static_cast<size_t>(sym - nt_)])
                for (int la : follow)
                    add(Node{n.where, prodBase_[static_cast<size_t>(p)], la, static_cast<int>(head), false});
        }
    }
    visited = nodes;
    return false;
}

std::vector<CounterexampleSearch::Node> CounterexampleSearch::trace(const std::vector<Node>& nodes)
{
    std::vector<Node> path;
    for (int i = static_cast<int>(nodes.size()) - 1; i >= 0; i = nodes[static_cast<size_t>(i)].parent)
        path.push_back(nodes[static_cast<size_t>(i)]);
    std::reverse(path.begin(), path.end());
    return path;
}

std::string CounterexampleSearch::words(const std::vector<int>& syms) const
{
    std::string s;
    for (int x : syms) {
        if (x == 0)  // "$end" closes every input; it is not shown
            continue;
        if (!s.empty())
            s += ' ';
        s += a_.symbols[static_cast<size_t>(x)].name;
    }
    return s;
}

std::string CounterexampleSearch::derivation(const std::vector<int>& stack) const
{
    // Each open rule as "lhs ::= [ ... ]", the next one nested in place of
    // the nonterminal it expands; the innermost carries the dot.  The rule
    // of "$accept" is left out unless it is the only one.
    std::string out;
    const size_t from = stack.size() > 1 ? 1 : 0;
    std::vector<std::string> tails;
    for (size_t level = from; level < stack.size(); ++level) {
        const int item = stack[level];
        const Production& p = a_.productions[static_cast<size_t>(itemProd_[static_cast<size_t>(item)])];
        const size_t d = static_cast<size_t>(itemDot_[static_cast<size_t>(item)]);
        out += a_.symbols[static_cast<size_t>(p.lhs)].name + " ::= [";
        for (size_t i = 0; i < d; ++i)
            out += " " + a_.symbols[static_cast<size_t>(p.rhs[i])].name;
        std::string tail;
        if (level + 1 == stack.size()) {
            out += " .";
            for (size_t i = d; i < p.rhs.size(); ++i)
                out += " " + a_.symbols[static_cast<size_t>(p.rhs[i])].name;
        } else {
            out += " ";
            for (size_t i = d + 1; i < p.rhs.size(); ++i)
                tail += " " + a_.symbols[static_cast<size_t>(p.rhs[i])].name;
        }
        tails.push_back(tail + " ]");
    }
    for (size_t i = tails.size(); i-- > 0;)
        out += tails[i];
    return out;
}

std::vector<int> CounterexampleSearch::rest(const std::vector<int>& stack) const
{
    // What the open rules still expect, innermost first.
    std::vector<int> r;
    for (size_t level = stack.size(); level-- > 0;) {
        const int item = stack[level];
        const Production& p = a_.productions[static_cast<size_t>(itemProd_[static_cast<size_t>(item)])];
        size_t d = static_cast<size_t>(itemDot_[static_cast<size_t>(item)]);
        if (level + 1 < stack.size())
            ++d;  // the nonterminal being expanded
        for (size_t i = d; i < p.rhs.size(); ++i)
            r.push_back(p.rhs[i]);
    }
    return r;
}

CounterexampleSearch::Unified CounterexampleSearch::unify(std::vector<int> a, std::vector<int> b,
                                                         std::vector<int>& common, Clock::time_point deadline) const
{
    // Both rests are rewritten, leftmost nonterminal first, until their
    // heads meet; equal heads are taken together.  Shortest sentential
    // forms are tried first; each form stays within a length bound so
    // that left recursion cannot grow it without end.
    struct Pair {
        std::vector<int> a, b, w;
    };
    const size_t cap = std::max(a.size(), b.size()) + 12;
    auto weight = [](const Pair& p) { return p.a.size() + p.b.size() + p.w.size(); };
    auto cmp = [&](const std::pair<size_t, size_t>& x, const std::pair<size_t, size_t>& y) {
        return x.first > y.first || (x.first == y.first && x.second > y.second);
    };
    std::vector<Pair> pool;
    std::priority_queue<std::pair<size_t, size_t>, std::vector<std::pair<size_t, size_t>>, decltype(cmp)> open(cmp);
    std::set<std::pair<std::vector<int>, std::vector<int>>> seen;
    auto push = [&](Pair p) {
        // Strip the common head.
        size_t k = 0;
        while (k < p.a.size() && k < p.b.size() && p.a[k] == p.b[k])
            p.w.push_back(p.a[k]), ++k;
        p.a.erase(p.a.begin(), p.a.begin() + static_cast<long>(k));
        p.b.erase(p.b.begin(), p.b.begin() + static_cast<long>(k));
        if (p.a.size() > cap || p.b.size() > cap)
            return;
        if (!seen.emplace(p.a, p.b).second)
            return;
        pool.push_back(std::move(p));
        open.emplace(weight(pool.back()), pool.size() - 1);
    };
    push(Pair{std::move(a), std::move(b), {}});
    size_t steps = 0;
    while (!open.empty()) {
        if ((++steps & 15) == 0 && Clock::now() > deadline)
            return Unified::TimedOut;
        if (pool.size() > kPairCap)
            return Unified::NotWithinBound;
        const Pair p = pool[open.top().second];
        open.pop();
        if (p.a.empty() && p.b.empty()) {
            common = p.w;
            return Unified::Found;
        }
        auto expand = [&](bool left) {
            const std::vector<int>& s = left ? p.a : p.b;
            if (s.empty() || s[0] < nt_)
                return;
            for (int r : rulesOf_[static_cast<size_t>(s[0] - nt_)]) {
                Pair q = p;
                std::vector<int>& t = left ? q.a : q.b;
                const auto& rhs = a_.productions[static_cast<size_t>(r)].rhs;
                t.erase(t.begin());
                t.insert(t.begin(), rhs.begin(), rhs.end());
                push(std::move(q));
            }
        };
        expand(true);
        expand(false);
    }
    return Unified::NotWithinBound;
}

double CounterexampleSearch::totalSeconds(double perConflict)
{
    return std::max(1.0, 10 * perConflict);
}

CounterexampleSearch::Clock::time_point CounterexampleSearch::after(Clock::time_point from, double seconds)
{
    return from + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

std::vector<std::string> CounterexampleSearch::explain(int state, const Conflict& c, int lang, double seconds,
                                                       bool* unifying)
{
    *unifying = false;
    auto L = [lang](const char* en, const char* sk) { return lang ? sk : en; };
    const auto start = Clock::now();
    if (start >= until_)
        return {L("no example: the time for examples is used up", "priklad sa nehladal: cas na priklady sa minul")};
    const auto deadline = std::min(after(start, seconds), until_);
    // The searches for the input up to the conflict get ten seconds at
    // least, however small the budget of the unifying search: such an
    // input always exists, and big grammars need the time.  The run's
    // own end still comes first.
    const auto pathDeadline = std::min(after(start, std::max(seconds, 10.0)), until_);
    const std::string& tname = a_.symbols[static_cast<size_t>(c.symbol)].name;
    auto fmt = [](const char* f, const std::string& s) {
        std::string out(f);
        const size_t at = out.find("%s");
        return at == std::string::npos ? out : out.replace(at, 2, s);
    };
    std::vector<std::string> lines;

    // The reduction (for reduce/reduce the rule the parser reduces by).
    const int r1 = c.kind == ConflictKind::ReduceReduce ? c.other : c.production;
    const int r2 = c.kind == ConflictKind::ReduceReduce ? c.production : -1;
    auto endItem = [&](int r) {
        return prodBase_[static_cast<size_t>(r)] +
               static_cast<int>(a_.productions[static_cast<size_t>(r)].rhs.size());
    };
    std::vector<Node> nodes;
    bool exact = search(nullptr, nullptr, state, endItem(r1), -1, c.symbol, nodes, pathDeadline);
    if (!exact && !search(nullptr, nullptr, state, endItem(r1), -1, -1, nodes, pathDeadline)) {
        lines.push_back(L("no example found", "priklad sa nenasiel"));
        return lines;
    }
    const std::vector<Node> path1 = trace(nodes);
    std::vector<int> states{0}, symbols, stack1;
    for (const Node& n : path1) {
        if (n.shift) {
            symbols.push_back(symbolAfterDot(n.item - 1));
            states.push_back(n.where);
            stack1.back() = n.item;
        } else {
            stack1.push_back(n.item);
        }
    }
    // The other reading along the same states; a second reduction that
    // no input before the dot shares with the first gets its own.
    std::vector<int> stack2;
    const bool samePrefix = search(&states, &symbols, 0, r2 >= 0 ? endItem(r2) : -1, r2 >= 0 ? -1 : c.symbol,
                                   r2 >= 0 && exact ? c.symbol : -1, nodes, pathDeadline);
    bool found = samePrefix;
    if (!found && r2 >= 0)
        found = search(nullptr, nullptr, state, endItem(r2), -1, c.symbol, nodes, pathDeadline) ||
                search(nullptr, nullptr, state, endItem(r2), -1, -1, nodes, pathDeadline);
    if (!found) {
        lines.push_back(L("no example found", "priklad sa nenasiel"));
        return lines;
    }
    std::vector<int> symbols2;
    for (const Node& n : trace(nodes)) {
        if (n.shift) {
            symbols2.push_back(symbolAfterDot(n.item - 1));
            stack2.back() = n.item;
        } else {
            stack2.push_back(n.item);
        }
    }
    const std::vector<int> rest1 = rest(stack1), rest2 = rest(stack2);
    char rule1[64], rule2[64];
    std::snprintf(rule1, sizeof rule1, L("reduce by rule %d: ", "redukcia pravidlom %d: "), r1);
    std::snprintf(rule2, sizeof rule2, L("reduce by rule %d: ", "redukcia pravidlom %d: "), r2);
    const std::string head2 = r2 >= 0 ? std::string(rule2) : std::string(L("shift: ", "posun: "));
    // First the reading the parser takes, then the other.
    const bool shiftWins = c.kind == ConflictKind::ShiftReduce;
    const std::string headKept = shiftWins ? head2 : std::string(rule1);
    const std::string headOther = shiftWins ? std::string(rule1) : head2;
    const std::vector<int>& stackKept = shiftWins ? stack2 : stack1;
    const std::vector<int>& stackOther = shiftWins ? stack1 : stack2;
    const std::vector<int>& restKept = shiftWins ? rest2 : rest1;
    const std::vector<int>& restOther = shiftWins ? rest1 : rest2;
    auto example = [&](const std::vector<int>& pre, const std::vector<int>& post) {
        std::string before = words(pre), after = words(post);
        return fmt(L("example: %s", "priklad: %s"), before + (before.empty() ? "." : " .") +
                                                         (after.empty() ? "" : " " + after));
    };
    std::vector<int> common;
    const Unified unified = samePrefix ? unify(restKept, restOther, common, deadline) : Unified::NotWithinBound;
    if (unified == Unified::Found) {
        *unifying = true;
        lines.push_back(example(symbols, common));
        lines.push_back(headKept + derivation(stackKept));
        lines.push_back(headOther + derivation(stackOther));
        lines.push_back(L("unifying: this one input reads two ways, so the grammar is ambiguous",
                          "zjednocujuci: ten isty vstup sa cita dvoma sposobmi, gramatika je nejednoznacna"));
        return lines;
    }
    const std::vector<int>& preKept = shiftWins ? symbols2 : symbols;
    const std::vector<int>& preOther = shiftWins ? symbols : symbols2;
    lines.push_back(example(preKept, restKept));
    lines.push_back(headKept + derivation(stackKept));
    lines.push_back(example(preOther, restOther));
    lines.push_back(headOther + derivation(stackOther));
    if (samePrefix && unified == Unified::NotWithinBound) {
        lines.push_back(L("not unifying: the readings go on differently after the dot; no input read both ways "
                          "was found",
                          "nezjednocujuci: citania za bodkou pokracuju roznie; vstup citany oboma sposobmi sa "
                          "nenasiel"));
    } else if (samePrefix) {
        char buf[300];
        std::snprintf(buf, sizeof buf,
                      L("not unifying: the readings go on differently after the dot; no input read both ways "
                        "was found within %g s",
                        "nezjednocujuci: citania za bodkou pokracuju roznie; vstup citany oboma sposobmi sa "
                        "za %g s nenasiel"),
                      seconds);
        lines.push_back(buf);
    } else {
        lines.push_back(fmt(L("not unifying: the two reductions on %s need different inputs before the dot; "
                              "their lookaheads were merged from different contexts into one state",
                              "nezjednocujuci: obe redukcie na %s potrebuju pred bodkou rozny vstup; ich "
                              "vyhladove symboly sa zlucili z roznych kontextov do jedneho stavu"),
                            tname));
    }
    return lines;
}

} // namespace duq_yacc::detail
