// The parser action of every state on every terminal, with the conflicts
// resolved; the exception table; the goto columns; unreduced rules.
#include "run.h"

#include <algorithm>

namespace duq_yacc::detail {

namespace {
bool hasBit(const LookSet& s, int t)
{
    return (s[static_cast<size_t>(t >> 4)] >> (t & 15)) & 1u;
}
} // namespace

void Run::resolveShiftReduce(int r, int t)
{
    const int lp = levprd_[static_cast<size_t>(r)];
    const int lt = tokset_[static_cast<size_t>(t)].lev;
    const int was = temp1_[static_cast<size_t>(t)];
    const int other = was == kAcceptCode ? -1 : was == kErrorCode ? -2 : was;
    if (levelOf(lp) == 0 || levelOf(lt) == 0) {
        ++srConflicts_;  // no precedence to go by: the shift stays
        recordConflict(ConflictKind::ShiftReduce, t, r, other, ConflictChoice::Shift, ConflictRule::Default, true);
        return;
    }
    int assoc;
    ConflictRule why = ConflictRule::Precedence;
    if (levelOf(lt) == levelOf(lp)) {
        assoc = assocOf(lt);
        why = ConflictRule::Associativity;
    } else if (levelOf(lt) > levelOf(lp)) {
        assoc = 2;  // the token binds tighter: shift
    } else {
        assoc = 1;  // the rule binds tighter: reduce
    }
    ConflictChoice choice = ConflictChoice::Shift;
    if (assoc == 1) {
        temp1_[static_cast<size_t>(t)] = -r;
        choice = ConflictChoice::Reduce;
    } else if (assoc == 3) {
        temp1_[static_cast<size_t>(t)] = kErrorCode;
        choice = ConflictChoice::Error;
    }
    recordConflict(ConflictKind::ShiftReduce, t, r, other, choice, why, false);
}

void Run::recordConflict(ConflictKind kind, int t, int r, int other, ConflictChoice choice, ConflictRule rule,
                         bool reported)
{
    if (!capture_)
        return;
    Conflict c;
    c.kind = kind;
    c.symbol = symbolIndex(t);
    c.production = r;
    c.other = other;
    c.choice = choice;
    c.rule = rule;
    c.reported = reported;
    rowConflicts_.push_back(c);
}

int Run::writeStateRow(int state)
{
    // The default reduction is the one reduced on the most terminals.
    int lastred = 0;
    int ntimes = 0;
    for (int j = 1; j <= ntokens_; ++j) {
        const int a = temp1_[static_cast<size_t>(j)];
        if (a >= 0 || a + lastred == 0)
            continue;
        const int tred = -a;
        levprd_[static_cast<size_t>(tred)] |= kRedFlag;
        int count = 0;
        for (int p = 1; p <= ntokens_; ++p)
            if (temp1_[static_cast<size_t>(p)] + tred == 0)
                ++count;
        if (count > ntimes) {
            lastred = tred;
            ntimes = count;
        }
    }
    // A state that shifts or accepts on the end of input has no default,
    // so that the end is never swallowed by a reduction.
    if (temp1_[1] > 0)
        lastred = 0;
    for (int p = 1; p <= ntokens_; ++p)
        if (temp1_[static_cast<size_t>(p)] + lastred == 0)
            temp1_[static_cast<size_t>(p)] = 0;

    defact_[static_cast<size_t>(state)] = lastred;
    bool exceptions = false;
    for (int p = 1; p <= ntokens_; ++p) {
        const int a = temp1_[static_cast<size_t>(p)];
        if (a == 0)
            continue;
        int code;
        if (a < 0)
            code = -a;
        else if (a == kAcceptCode)
            code = -1;
        else if (a == kErrorCode)
            code = 0;
        else {
            std::fprintf(ftemp_, "%d,%d,", tokset_[static_cast<size_t>(p)].value, a);
            continue;
        }
        if (!exceptions) {
            outFormat("-1, %d,\n", state);
            exca_.insert(exca_.end(), {-1, state});
        }
        exceptions = true;
        outFormat("\t%d, %d,\n", tokset_[static_cast<size_t>(p)].value, code);
        exca_.insert(exca_.end(), {tokset_[static_cast<size_t>(p)].value, code});
    }
    if (exceptions) {
        defact_[static_cast<size_t>(state)] = -2;
        outFormat("\t-2, %d,\n", lastred);
        exca_.insert(exca_.end(), {-2, lastred});
    }
    std::fputs("\n", ftemp_);
    return lastred;
}

void Run::decideActions()
{
    outText("short yyexca[] ={\n");
    for (int i = 0; i < nstate_; ++i) {
        checkStop();
        // Only a state marked in generation has a completed item outside
        // its kernel; elsewhere the kernels' stored lookaheads suffice.
        nolook_ = tystate_[static_cast<size_t>(i)] != 2;
        closure(i);
        nolook_ = true;
        std::fill(temp1_.begin(), temp1_.begin() + ntokens_ + nnonter_ + 1, 0);
        for (size_t u = 0; u < wsets_.size(); ++u) {
            int c = mem_[static_cast<size_t>(wsets_[u].item)];
            if (c > 1 && c < kNtBase && temp1_[static_cast<size_t>(c)] == 0) {
                for (size_t v = u; v < wsets_.size(); ++v)
                    if (mem_[static_cast<size_t>(wsets_[v].item)] == c)
                        putItem(wsets_[v].item + 1, nullptr);
                temp1_[static_cast<size_t>(c)] = findState(c);
            } else if (c > kNtBase && temp1_[static_cast<size_t>(c - kNtBase + ntokens_)] == 0) {
                c -= kNtBase;
                temp1_[static_cast<size_t>(c + ntokens_)] = amemAt(indgo_[static_cast<size_t>(i)] + c);
            }
        }
        if (i == 1)
            temp1_[1] = kAcceptCode;
        for (const WorkEntry& u : wsets_) {
            const int c = mem_[static_cast<size_t>(u.item)];
            if (c > 0)
                continue;
            const int r = -c;
            for (int k = 1; k <= ntokens_; ++k) {
                if (!hasBit(u.set, k))
                    continue;
                int& a = temp1_[static_cast<size_t>(k)];
                if (a == 0) {
                    a = -r;
                } else if (a < 0) {
                    const int kept = std::min(-a, r), lost = std::max(-a, r);
                    a = -kept;  // reduce/reduce: the earlier rule wins
                    ++rrConflicts_;
                    recordConflict(ConflictKind::ReduceReduce, k, lost, kept, ConflictChoice::Reduce,
                                   ConflictRule::Default, true);
                } else {
                    resolveShiftReduce(r, k);
                }
            }
        }
        if (capture_)
            rowActions_.assign(temp1_.begin(), temp1_.begin() + ntokens_ + nnonter_ + 1);
        const int lastred = writeStateRow(i);
        if (capture_)
            recordState(i, lastred);
    }
    nolook_ = false;
    outText("\t};\n");
    outFormat("# define %s %d\n", "YYNPROD", nprod_);
}

void Run::markGotoSources(int c)
{
    // temp1_ marks the nonterminals whose items lead to a goto on c: c, and
    // every left side of a rule that starts with a marked nonterminal.
    std::fill(temp1_.begin(), temp1_.begin() + nnonter_ + 1, 0);
    temp1_[static_cast<size_t>(c)] = 1;
    bool work = true;
    while (work) {
        work = false;
        for (int i = 0; i < nprod_; ++i) {
            const int f = mem_[static_cast<size_t>(prdptr_[i] + 1)] - kNtBase;
            if (f < 0 || !temp1_[static_cast<size_t>(f)])
                continue;
            const int lhs = mem_[static_cast<size_t>(prdptr_[i])] - kNtBase;
            if (!temp1_[static_cast<size_t>(lhs)]) {
                temp1_[static_cast<size_t>(lhs)] = 1;
                work = true;
            }
        }
    }
}

void Run::writeGotos()
{
    std::fputs("$\n", ftemp_);
    std::vector<int> target(static_cast<size_t>(nstate_));
    // Per nonterminal, the states with a kernel item that has it next (each
    // state once): a column then visits only the states that may go on it,
    // not every kernel item of the grammar.
    std::vector<std::vector<int>> statesBefore(static_cast<size_t>(nnonter_ + 1));
    for (int s = 0; s < nstate_; ++s) {
        for (int k = pstate_[static_cast<size_t>(s)]; k < pstate_[static_cast<size_t>(s) + 1]; ++k) {
            const int cc = mem_[static_cast<size_t>(items_.at(static_cast<size_t>(k)).item)] - kNtBase;
            if (cc < 0)
                continue;
            std::vector<int>& list = statesBefore[static_cast<size_t>(cc)];
            if (list.empty() || list.back() != s)
                list.push_back(s);
        }
    }
    for (int c = 1; c <= nnonter_; ++c) {
        markGotoSources(c);
        std::fill(target.begin(), target.end(), 0);
        for (int cc = 0; cc <= nnonter_; ++cc) {
            if (!temp1_[static_cast<size_t>(cc)])
                continue;
            for (int s : statesBefore[static_cast<size_t>(cc)])
                target[static_cast<size_t>(s)] = amemAt(indgo_[static_cast<size_t>(s)] + c);
        }
        // The most frequent target becomes the column's default.
        int best = -1;
        int times = 0;
        for (int j = 0; j < nstate_; ++j) {
            const int t = target[static_cast<size_t>(j)];
            if (t == 0 || t == best)
                continue;
            int count = 0;
            for (int k = j; k < nstate_; ++k)
                if (target[static_cast<size_t>(k)] == t)
                    ++count;
            if (count > times) {
                best = t;
                times = count;
            }
        }
        for (int j = 0; j < nstate_; ++j) {
            const int t = target[static_cast<size_t>(j)];
            if (t != 0 && t != best)
                std::fprintf(ftemp_, "%d,%d,", j, t);
        }
        std::fprintf(ftemp_, "%d\n", best);
    }
}

void Run::hideProductions()
{
    int nred = 0;
    levprd_[0] = 0;
    for (int i = 1; i < nprod_; ++i) {
        if (!(levprd_[static_cast<size_t>(i)] & kRedFlag))
            ++nred;
        // From here on the word holds the left side's index, i.e. yyr1.
        levprd_[static_cast<size_t>(i)] = mem_[static_cast<size_t>(prdptr_[i])] - kNtBase;
    }
    if (nred)
        message("%d rules never reduced", "%d pravidlo sa nikdy neredukuje", nred);
}

void Run::checkExpectedConflicts()
{
    // A grammar that states its conflicts with %expect or %expect-rr is
    // clean when the counts are met; the count it does not state is 0, so
    // a conflict of a new kind is never let through unnoticed.
    if (expectSr_ < 0 && expectRr_ < 0)
        return;
    const int line = lineno_;
    const int sr = expectSr_ < 0 ? 0 : expectSr_;
    const int rr = expectRr_ < 0 ? 0 : expectRr_;
    if (sr != srConflicts_) {
        lineno_ = expectSrLine_ >= 0 ? expectSrLine_ : expectRrLine_;
        collected("expected %d shift/reduce conflicts, found %d",
                  "ocakavanych konfliktov posun/redukcia: %d, najdenych: %d", sr, srConflicts_);
    }
    if (rr != rrConflicts_) {
        lineno_ = expectRrLine_ >= 0 ? expectRrLine_ : expectSrLine_;
        collected("expected %d reduce/reduce conflicts, found %d",
                  "ocakavanych konfliktov redukcia/redukcia: %d, najdenych: %d", rr, rrConflicts_);
    }
    lineno_ = line;
    if (nerrors_)
        endCollected();
}

} // namespace duq_yacc::detail
