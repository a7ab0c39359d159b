// The table packer: folds every state's shift row and every nonterminal's
// goto column into the one array yyact, and writes YYLAST, yyact, yypact and
// yypgo.  Its input is the run's table work file, written while the actions
// were decided.
#include "run.h"

#include <algorithm>
#include <climits>

namespace duq_yacc::detail {

namespace {
// yypact value of a state without shifts; the parser treats anything at or
// below it as "no shifts here".
constexpr int kNoShifts = -1000;
} // namespace

int Run::readNumber(int& value)
{
    int sign = 1;
    long long v = 0;
    int c;
    while ((c = std::fgetc(ftemp_)) != EOF) {
        if (c >= '0' && c <= '9')
            v = std::min<long long>(v * 10 + (c - '0'), INT_MAX);
        else if (c == '-')
            sign = -1;
        else
            break;
    }
    if (optMem_.size() >= static_cast<size_t>(lim_.mem))
        limit("out of space", "nedostatok pamati");
    value = static_cast<int>(sign * v);
    optMem_.push_back(value);
    return c;
}

void Run::writeArray(const char* arrayName, const int* v, int n)
{
    outFormat("short %s[]={\n", arrayName);
    for (int i = 0; i < n;) {
        if (i % 10 == 0)
            outText("\n");
        outFormat("%4d", v[i]);
        if (++i == n)
            outText(" };\n");
        else
            outText(",");
    }
    if (n == 0)
        outText(" };\n");
}

void Run::placeGoto(int i)
{
    ggreed_[static_cast<size_t>(i)] = 0;
    const int q1 = colStart_.at(static_cast<size_t>(i));
    const int q2 = colStart_.at(static_cast<size_t>(i) + 1) - 1;  // the default
    // The column's start is written to yypgo, a short.
    const int places = std::min(lim_.act, kMaxOffset + 1);
    for (int p = 0; p < places; ++p) {
        if (yyact_[static_cast<size_t>(p)])
            continue;
        bool fits = true;
        for (int r = q1; r < q2 && fits; r += 2) {
            const long long s = static_cast<long long>(p) + optMem_.at(static_cast<size_t>(r)) + 1;
            if (s >= lim_.act)
                limit("a array overflow", "pretecenie pola");
            fits = s >= 0 && yyact_[static_cast<size_t>(s)] == 0;
        }
        if (!fits)
            continue;
        yyact_[static_cast<size_t>(p)] = optMem_.at(static_cast<size_t>(q2));
        maxa_ = std::max(maxa_, p);
        for (int r = q1; r < q2; r += 2) {
            const int s = p + optMem_.at(static_cast<size_t>(r)) + 1;
            yyact_[static_cast<size_t>(s)] = optMem_.at(static_cast<size_t>(r) + 1);
            maxa_ = std::max(maxa_, s);
        }
        yypgo_[static_cast<size_t>(i)] = p;
        return;
    }
    limit("cannot place goto %d\n", "nemozno umiestnit 'goto' %d\n", i);
}

void Run::placeState(int i)
{
    greed_[static_cast<size_t>(i)] = 0;
    const int q1 = rowStart_.at(static_cast<size_t>(i));
    const int q2 = rowStart_.at(static_cast<size_t>(i) + 1);
    // An offset below minus the smallest terminal value would put a shift
    // before the array's start, so the search can begin there.  It also
    // never goes down to the no-shift marker, which would make the parser
    // ignore the state's shifts.
    long long smallest = LLONG_MAX;
    for (int r = q1; r < q2; r += 2)
        smallest = std::min<long long>(smallest, optMem_.at(static_cast<size_t>(r)));
    long long n = -static_cast<long long>(maxoff_);
    if (smallest != LLONG_MAX)
        n = std::max(n, -smallest);
    n = std::max<long long>(n, kNoShifts + 1);
    const int len = q2 - q1;
    // The offset is written to yypact, a short; the shifts it leads to may
    // lie further on in a large table.
    const long long lastOffset = std::min(lim_.act, kMaxOffset + 1);
    for (; n < lastOffset; ++n) {
        int freeSlots = 0;
        bool fits = true;
        for (int r = q1; r < q2 && fits; r += 2) {
            const long long s = optMem_.at(static_cast<size_t>(r)) + n;
            if (s < 0) {
                fits = false;
            } else {
                const int cur = s < lim_.act ? yyact_[static_cast<size_t>(s)] : 0;
                if (cur == 0)
                    ++freeSlots;
                else if (cur != optMem_.at(static_cast<size_t>(r) + 1))
                    fits = false;
            }
        }
        if (!fits)
            continue;
        // An offset already taken is shared only by an identical row.  All
        // the states at one offset have the same row, so the first placed
        // there stands for them.
        int& owner = offsetOwner_[static_cast<size_t>(n - (kNoShifts + 1))];
        if (owner >= 0) {
            if (!freeSlots && rowStart_[static_cast<size_t>(owner) + 1] - rowStart_[static_cast<size_t>(owner)] == len) {
                yypact_[static_cast<size_t>(i)] = static_cast<int>(n);
                return;
            }
            continue;
        }
        for (int r = q1; r < q2; r += 2) {
            const long long s = optMem_.at(static_cast<size_t>(r)) + n;
            const int t = optMem_.at(static_cast<size_t>(r) + 1);
            if (s >= lim_.act)
                limit("out of space in optimizer a array", "nedostatok pamati pri optimalizacnych akciach");
            maxa_ = std::max(maxa_, static_cast<int>(s));
            int& cell = yyact_[static_cast<size_t>(s)];
            if (cell != 0 && cell != t)
                fatal("clobber of a array, pos'n %d, by %d", "problem s polom, v poziciach %d, do %d",
                      static_cast<int>(s), t);
            cell = t;
        }
        yypact_[static_cast<size_t>(i)] = static_cast<int>(n);
        owner = i;
        return;
    }
    limit("Error; failure to place state %d\n", "Problem s umiestnenim stavu %d\n", i);
}

void Run::pack()
{
    ftemp_ = tableWork_.reopen();
    if (!ftemp_)
        fatal("optimizer cannot open tempfile", "optimizator nemoze otvorit docasny pracovny subor");
    optMem_.clear();
    optMem_.reserve(static_cast<size_t>(lim_.mem));
    int v;

    // State rows: "value,target," pairs, one line per state, then "$".
    rowStart_.assign(1, 0);
    for (;;) {
        const int c = readNumber(v);
        if (c == ',')
            continue;
        optMem_.pop_back();  // the empty number before the line end or '$'
        if (c == '\n') {
            rowStart_.push_back(static_cast<int>(optMem_.size()));
            continue;
        }
        if (c == '$')
            break;
        fatal("bad tempfile", "chyba v docasnom pracovnom subore");
    }
    // Goto columns: "state,target," pairs and the default; the rest of the
    // "$" line makes an empty column 0, which is never placed.
    colStart_.assign(1, static_cast<int>(optMem_.size()));
    for (;;) {
        const int c = readNumber(v);
        if (c == ',')
            continue;
        if (c == '\n') {
            colStart_.push_back(static_cast<int>(optMem_.size()));
            continue;
        }
        if (c == EOF) {
            optMem_.pop_back();
            break;
        }
        fatal("bad tempfile", "chyba v docasnom pracovnom subore");
    }
    const int nst = static_cast<int>(rowStart_.size()) - 1;
    const int nnt = static_cast<int>(colStart_.size()) - 2;

    maxoff_ = 0;
    greed_.assign(static_cast<size_t>(nst), 0);
    for (int i = 0; i < nst; ++i) {
        int j = 0;
        int k = 32000;
        for (int p = rowStart_[static_cast<size_t>(i)]; p < rowStart_[static_cast<size_t>(i) + 1]; p += 2) {
            j = std::max(j, optMem_[static_cast<size_t>(p)]);
            k = std::min(k, optMem_[static_cast<size_t>(p)]);
        }
        if (k <= j && k > maxoff_)
            maxoff_ = k;
        greed_[static_cast<size_t>(i)] =
            (rowStart_[static_cast<size_t>(i) + 1] - rowStart_[static_cast<size_t>(i)]) + 2LL * j;
    }
    ggreed_.assign(static_cast<size_t>(std::max(nnt, 0) + 1), 0);
    for (int i = 1; i <= nnt; ++i) {
        long long g = 1;
        int j = 0;
        const int q = colStart_[static_cast<size_t>(i) + 1] - 1;
        for (int p = colStart_[static_cast<size_t>(i)]; p < q; p += 2) {
            g += 2;
            j = std::max(j, optMem_[static_cast<size_t>(p)]);
        }
        ggreed_[static_cast<size_t>(i)] = g + 2LL * j;
        maxoff_ = std::max(maxoff_, j);
    }

    std::fill(yyact_.begin(), yyact_.end(), 0);
    maxa_ = 0;
    yypact_.assign(static_cast<size_t>(nst), kNoShifts);
    offsetOwner_.assign(static_cast<size_t>(std::min(lim_.act, kMaxOffset + 1) - (kNoShifts + 1)), -1);
    yypgo_.assign(static_cast<size_t>(std::max(nnt, 0) + 1), 0);
    // Greediest first; a state beats a nonterminal on a tie.
    for (;;) {
        long long most = 0;
        int which = 0;
        bool isState = false;
        for (int i = 1; i <= nnt; ++i) {
            if (ggreed_[static_cast<size_t>(i)] >= most) {
                most = ggreed_[static_cast<size_t>(i)];
                which = i;
                isState = false;
            }
        }
        for (int i = 0; i < nst; ++i) {
            if (greed_[static_cast<size_t>(i)] >= most) {
                most = greed_[static_cast<size_t>(i)];
                which = i;
                isState = true;
            }
        }
        if (most == 0)
            break;
        checkStop();
        if (isState)
            placeState(which);
        else
            placeGoto(which);
    }

    outFormat("# define YYLAST %d\n", maxa_ + 1);
    writeArray("yyact", yyact_.data(), maxa_ + 1);
    writeArray("yypact", yypact_.data(), nst);
    writeArray("yypgo", yypgo_.data(), nnt + 1);
    std::fclose(ftemp_);
    ftemp_ = nullptr;
    tableWork_.remove();
}

} // namespace duq_yacc::detail
