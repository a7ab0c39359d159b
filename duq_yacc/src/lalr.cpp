// Grammar checks, FIRST sets and the LR(0) states with their LALR(1)
// lookaheads.  Lookaheads are carried while the states are generated: when a
// kernel recurs its sets are merged into the existing state, which is
// processed again if they grew.
#include "run.h"

#include <algorithm>

namespace duq_yacc::detail {

namespace {
void setBit(LookSet& s, int t)
{
    s[static_cast<size_t>(t >> 4)] |= 1u << (t & 15);
}
} // namespace

bool Run::unite(LookSet& into, const LookSet& from) const
{
    bool grew = false;
    for (int i = 0; i < tbitset_; ++i) {
        const uint32_t before = into[static_cast<size_t>(i)];
        into[static_cast<size_t>(i)] |= from[static_cast<size_t>(i)];
        grew = grew || into[static_cast<size_t>(i)] != before;
    }
    return grew;
}

int Run::storeSet(const LookSet& set)
{
    // Sets are shared by content; the newest is the likeliest match.
    for (int i = static_cast<int>(lkst_.size()) - 1; i >= 0; --i) {
        const LookSet& s = lkst_[static_cast<size_t>(i)];
        if (std::equal(s.begin(), s.begin() + tbitset_, set.begin()))
            return i;
    }
    if (lkst_.size() + 1 >= static_cast<size_t>(lim_.lookSets))
        limit("too many lookahead sets", "je pozadovanych privelky 'lookahead'");
    lkst_.push_back(set);
    return static_cast<int>(lkst_.size()) - 1;
}

void Run::groupProductions()
{
    pres_.assign(static_cast<size_t>(nnonter_ + 1), {});
    int total = 0;
    for (int i = 0; i <= nnonter_; ++i) {
        for (int j = 0; j < nprod_; ++j) {
            if (mem_[static_cast<size_t>(prdptr_[j])] == i + kNtBase) {
                pres_[static_cast<size_t>(i)].push_back(prdptr_[j] + 1);
                ++total;
            }
        }
        if (pres_[static_cast<size_t>(i)].empty()) {
            // Reported where the grammar uses it first, not at its end.
            const int line = lineno_, use = ntLine_[static_cast<size_t>(i)];
            lineno_ = use < 0 ? -use : use;
            collected("nonterminal \"%s\" not defined!", "neterminal \"%s\" nebol definovany!", ntName(i));
            lineno_ = line;
        }
    }
    if (nerrors_)
        endCollected();
    if (total != nprod_)
        fatal("internal Yacc error: pyield %d", "Interna chyba Yaccu: pyield %d", total - nprod_);
}

void Run::computeEmpty()
{
    auto mark = [&](int from, bool emptyOnly) {
        for (;;) {
            bool found = false;
            for (int i = from; i < nprod_ && !found; ++i) {
                const int lhs = mem_[static_cast<size_t>(prdptr_[i])] - kNtBase;
                if (pempty_[static_cast<size_t>(lhs)])
                    continue;
                int p = prdptr_[i] + 1;
                for (; mem_[static_cast<size_t>(p)] > 0; ++p) {
                    const int s = mem_[static_cast<size_t>(p)];
                    if (s < kNtBase) {
                        if (emptyOnly)
                            break;  // a terminal: not empty
                        continue;   // terminals do not matter for productivity
                    }
                    if (!pempty_[static_cast<size_t>(s - kNtBase)])
                        break;
                }
                if (mem_[static_cast<size_t>(p)] <= 0) {
                    pempty_[static_cast<size_t>(lhs)] = 1;
                    found = true;
                }
            }
            if (!found)
                return;
        }
    };

    std::fill(pempty_.begin(), pempty_.end(), 0);
    mark(0, false);
    for (int i = 1; i <= nnonter_; ++i)
        if (!pempty_[static_cast<size_t>(i)])
            collected("nonterminal \"%s\" never derives any token string",
                      "neterminal \"%s\" nemoze byt derivovany ziadnou postupnostou lexikalnych elementov", ntName(i));
    if (nerrors_)
        endCollected();

    std::fill(pempty_.begin(), pempty_.end(), 0);
    mark(1, true);
}

void Run::computeFirst()
{
    std::vector<LookSet> first(static_cast<size_t>(nnonter_ + 1), LookSet{});
    for (int i = 0; i <= nnonter_; ++i) {
        for (int s : pres_[static_cast<size_t>(i)]) {
            for (int p = s; mem_[static_cast<size_t>(p)] > 0; ++p) {
                const int ch = mem_[static_cast<size_t>(p)];
                if (ch < kNtBase) {
                    setBit(first[static_cast<size_t>(i)], ch);
                    break;
                }
                if (!pempty_[static_cast<size_t>(ch - kNtBase)])
                    break;
            }
        }
    }
    bool changes = true;
    while (changes) {
        changes = false;
        for (int i = 0; i <= nnonter_; ++i) {
            for (int s : pres_[static_cast<size_t>(i)]) {
                for (int p = s; mem_[static_cast<size_t>(p)] >= kNtBase; ++p) {
                    const int ch = mem_[static_cast<size_t>(p)] - kNtBase;
                    changes = unite(first[static_cast<size_t>(i)], first[static_cast<size_t>(ch)]) || changes;
                    if (!pempty_[static_cast<size_t>(ch)])
                        break;
                }
            }
        }
    }
    for (int i = 0; i <= nnonter_; ++i)
        pfirst_[static_cast<size_t>(i)] = storeSet(first[static_cast<size_t>(i)]);
}

void Run::addWork(int item, const LookSet& set)
{
    if (wsets_.size() + 1 >= static_cast<size_t>(lim_.work))
        limit("working set overflow", "pretecenie pracovnej mnoziny");
    WorkEntry e;
    e.item = item;
    e.flag = 1;
    e.set = set;
    wsets_.push_back(e);
}

void Run::closure(int state)
{
    static const LookSet kEmpty{};
    wsets_.clear();
    for (int k = pstate_[static_cast<size_t>(state)]; k < pstate_[static_cast<size_t>(state) + 1]; ++k) {
        const KernelItem& ki = items_.at(static_cast<size_t>(k));
        addWork(ki.item, ki.look >= 0 ? lkst_.at(static_cast<size_t>(ki.look)) : kEmpty);
    }
    bool work = true;
    while (work) {
        work = false;
        for (size_t u = 0; u < wsets_.size(); ++u) {
            if (!wsets_[u].flag)
                continue;
            const int c = mem_[static_cast<size_t>(wsets_[u].item)];
            if (c < kNtBase) {
                wsets_[u].flag = 0;
                continue;
            }
            // The lookaheads of c's items: what can follow c in every item
            // still waiting with c next.
            clset_.fill(0);
            for (size_t v = u; v < wsets_.size(); ++v) {
                if (wsets_[v].flag != 1 || mem_[static_cast<size_t>(wsets_[v].item)] != c)
                    continue;
                wsets_[v].flag = 0;
                if (nolook_)
                    continue;
                int pi = wsets_[v].item;
                int ch;
                while ((ch = mem_[static_cast<size_t>(++pi)]) > 0) {
                    if (ch < kNtBase) {
                        setBit(clset_, ch);
                        break;
                    }
                    unite(clset_, lkst_[static_cast<size_t>(pfirst_[static_cast<size_t>(ch - kNtBase)])]);
                    if (!pempty_[static_cast<size_t>(ch - kNtBase)])
                        break;
                }
                if (ch <= 0)
                    unite(clset_, wsets_[v].set);
            }
            for (int s : pres_[static_cast<size_t>(c - kNtBase)]) {
                bool found = false;
                for (WorkEntry& v : wsets_) {
                    if (v.item != s)
                        continue;
                    found = true;
                    if (!nolook_ && unite(v.set, clset_)) {
                        v.flag = 1;
                        work = true;
                    }
                    break;
                }
                if (!found) {
                    addWork(s, nolook_ ? kEmpty : clset_);
                    work = true;
                }
            }
        }
    }
}

void Run::putItem(int item, const LookSet* set)
{
    if (static_cast<int>(items_.size()) >= itemCapacity_)
        limit("out of state space", "nedostatok volnej pamate");
    KernelItem k;
    k.item = item;
    k.look = (nolook_ || !set) ? -1 : storeSet(*set);
    items_.push_back(k);
    pstate_[static_cast<size_t>(nstate_) + 1] = static_cast<int>(items_.size());
}

int Run::findState(int c)
{
    const int p1 = pstate_[static_cast<size_t>(nstate_)];
    const int p2 = pstate_[static_cast<size_t>(nstate_) + 1];
    if (p1 == p2)
        return 0;
    std::sort(items_.begin() + p1, items_.begin() + p2,
              [](const KernelItem& a, const KernelItem& b) { return a.item < b.item; });
    const int size = p2 - p1;
    int i = c >= kNtBase ? ntstates_[static_cast<size_t>(c - kNtBase)] : tstates_[static_cast<size_t>(c)];
    for (; i != 0; i = mstates_[static_cast<size_t>(i)]) {
        const int q1 = pstate_[static_cast<size_t>(i)];
        if (pstate_[static_cast<size_t>(i) + 1] - q1 != size)
            continue;
        bool same = true;
        for (int k = 0; k < size && same; ++k)
            same = items_[static_cast<size_t>(q1 + k)].item == items_[static_cast<size_t>(p1 + k)].item;
        if (!same)
            continue;
        if (!nolook_) {
            for (int k = 0; k < size; ++k) {
                KernelItem& old = items_[static_cast<size_t>(q1 + k)];
                LookSet u = lkst_.at(static_cast<size_t>(old.look));
                if (unite(u, lkst_.at(static_cast<size_t>(items_[static_cast<size_t>(p1 + k)].look)))) {
                    tystate_[static_cast<size_t>(i)] = 1;
                    old.look = storeSet(u);
                }
            }
        }
        items_.resize(static_cast<size_t>(p1));
        pstate_[static_cast<size_t>(nstate_) + 1] = p1;
        return i;
    }
    if (nolook_)
        fatal("yacc state/nolook error", "indikovana chyba 'state/nolook' ");
    if (nstate_ + 1 >= lim_.states)
        limit("too many states", "privelky pocet stavov");
    pstate_[static_cast<size_t>(nstate_) + 2] = p2;
    if (c >= kNtBase) {
        mstates_[static_cast<size_t>(nstate_)] = ntstates_[static_cast<size_t>(c - kNtBase)];
        ntstates_[static_cast<size_t>(c - kNtBase)] = nstate_;
    } else {
        mstates_[static_cast<size_t>(nstate_)] = tstates_[static_cast<size_t>(c)];
        tstates_[static_cast<size_t>(c)] = nstate_;
    }
    tystate_[static_cast<size_t>(nstate_)] = 1;
    return nstate_++;
}

int Run::amemAt(int i) const
{
    return (i >= 0 && i < lim_.act) ? amem_[static_cast<size_t>(i)] : 0;
}

int Run::packGotoRow(const int* row, int n)
{
    // First fit of row[0..n] into the action memory, leading zeros dropped.
    int first = 0;
    int off = 0;
    while (first <= n && row[first] == 0) {
        ++first;
        --off;
    }
    if (first > n)
        return 0;
    for (int at = 0; at < lim_.act; ++at, ++off) {
        bool fits = true;
        for (int k = first, pos = at; k <= n && fits; ++k, ++pos) {
            if (row[k] == 0)
                continue;
            const int cur = amemAt(pos);
            fits = cur == 0 || cur == row[k];
        }
        if (!fits)
            continue;
        for (int k = first, pos = at; k <= n; ++k, ++pos) {
            if (row[k] == 0)
                continue;
            if (pos >= lim_.act)
                limit("action table overflow", "pretecenie tabulky 'action' ");
            amem_[static_cast<size_t>(pos)] = row[k];
        }
        return off;
    }
    limit("no space in action table", "nedostatok miesta v 'action' tabulke");
}

void Run::generateStates()
{
    static const LookSet kEmpty{};
    itemCapacity_ = (lim_.mem - memTop_) / 2;  // a kernel pair takes two words
    items_.clear();
    lkst_.reserve(static_cast<size_t>(lim_.lookSets));
    pstate_[0] = pstate_[1] = 0;
    nstate_ = 0;
    putItem(prdptr_[0] + 1, &kEmpty);  // $accept : . start $end
    tystate_[0] = 1;
    nstate_ = 1;
    pstate_[2] = pstate_[1];
    std::fill(amem_.begin(), amem_.end(), 0);

    for (;;) {
        int i = 0;
        while (i < nstate_ && tystate_[static_cast<size_t>(i)] != 1)
            ++i;
        if (i == nstate_)
            break;
        checkStop();
        tystate_[static_cast<size_t>(i)] = 0;
        std::fill(temp1_.begin(), temp1_.begin() + nnonter_ + 1, 0);
        closure(i);
        const int kernelSize = pstate_[static_cast<size_t>(i) + 1] - pstate_[static_cast<size_t>(i)];
        // The closure's flags are all clear now; they mark the handled entries.
        for (size_t u = 0; u < wsets_.size(); ++u) {
            if (wsets_[u].flag)
                continue;
            wsets_[u].flag = 1;
            const int c = mem_[static_cast<size_t>(wsets_[u].item)];
            if (c <= 1) {
                if (static_cast<int>(u) >= kernelSize)
                    tystate_[static_cast<size_t>(i)] = 2;
                continue;
            }
            for (size_t q = u; q < wsets_.size(); ++q) {
                if (mem_[static_cast<size_t>(wsets_[q].item)] == c) {
                    putItem(wsets_[q].item + 1, &wsets_[q].set);
                    wsets_[q].flag = 1;
                }
            }
            const int s = findState(c);
            if (c >= kNtBase)
                temp1_[static_cast<size_t>(c - kNtBase)] = s;
        }
        indgo_[static_cast<size_t>(i)] = packGotoRow(&temp1_[1], nnonter_ - 1) - 1;
    }
}

} // namespace duq_yacc::detail
