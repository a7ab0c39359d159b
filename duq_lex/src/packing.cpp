// Table packing: the character fall-back table (yymatch), the per-state
// transition lists with fall-back states and compression by character, and
// the first-fit layout of all lists into yycrank.
#include "run.h"

#include <algorithm>

namespace duq_lex {

void Run::buildMatchTable()
{
    int firstOfClass[256];
    for (int& f : firstOfClass)
        f = 0;
    for (int c = 1; c < 128; ++c) {
        int k = classNumber_[c] & 0377;
        if (firstOfClass[k] == 0)
            firstOfClass[k] = c;
    }
    match_[0] = 0;
    for (int c = 1; c < 128; ++c)
        match_[c] = firstOfClass[classNumber_[c] & 0377];

    codes_.clear();
    if (!translation_) {
        for (int c = 1; c < 128; ++c)
            codes_.push_back(c);
        return;
    }
    bool used[257] = {};
    for (int c = 1; c < 128; ++c)
        used[ctable_[c]] = true;
    for (int x = 0; x < 257; ++x)
        if (used[x])
            codes_.push_back(x);
    reversedMatch(codeMatch_);
}

// yymatch of a translated scanner: for every code, the code of the class
// representative of the last character that has it.  Codes no character
// has stay 0.
void Run::reversedMatch(int* out) const
{
    for (int c = 0; c < charsetSize_; ++c)
        out[c] = 0;
    for (int c = 0; c < 128; ++c)
        out[ctable_[c]] = ctable_[match_[c]];
}

// Where a state compressed by character looks next for a code it does not
// hold itself, the way the skeleton reads yymatch; the code itself when it
// looks nowhere else.
int Run::representative(int code) const
{
    if (!translation_)
        return code < 128 ? match_[code] : code;
    return code < charsetSize_ ? codeMatch_[code] : code;
}

namespace {

struct Transition {
    int c;
    int t;
};

} // namespace

// The transitions of one state are packed by input code, since that is
// what the scanner looks up: with a %T table two characters of one code
// are one input byte, and the plain tables give that byte the target of
// the last of them (its slot is written last).  The transition list, the
// compression by character and the fall-back states all work on those
// codes, so optimised and plain tables scan alike on every input.
void Run::packState(int s, const std::vector<int>& chars, const std::vector<int>& targets, bool hasClass)
{
    const int n = static_cast<int>(chars.size());
    totalTransitions_ += n;
    std::vector<Transition> work;
    int target[257];
    bool has[257] = {};
    for (int i = 0; i < n; ++i) {
        int code = chars[i];
        if (translation_) {
            code = ctable_[chars[i]];
            if (code < 1)
                std::printf("j %d nchar %d ctable.nch %d\n", i, chars[i], code);
        }
        target[code] = targets[i];
        has[code] = true;
    }
    for (int x : codes_)
        if (has[x])
            work.push_back({x, target[x]});

    bool isCompressed = false;
    int fb = -1;
    std::vector<Transition> stored;

    if (optimise_ == 1) {
        if (hasClass) {
            // A code may leave its slot out when the code the scanner asks
            // next holds the same target; the codes asked next keep theirs.
            bool asked[257] = {};
            for (int x : codes_)
                if (representative(x) != x)
                    asked[representative(x)] = true;
            std::vector<Transition> kept;
            for (int x : codes_) {
                if (!has[x]) {
                    kept.push_back({x, -1});
                    continue;
                }
                int r = representative(x);
                if (r == x || asked[x] || !has[r] || target[r] != target[x])
                    kept.push_back({x, target[x]});
            }
            if (kept.size() < work.size()) {
                work = kept;
                isCompressed = true;
                compressed_[s] = 1;
            }
        }

        // The earlier state that differs least.
        const int wlen = static_cast<int>(work.size());
        int best = 128;
        for (int i = 0; i < s && best != 0; ++i) {
            if (fallback_[i] != -1 || (isCompressed && !compressed_[i]) || transBase_[i] < 0)
                continue;
            int b = transBase_[i];
            int ilen = nextState_[b];
            if (ilen > wlen)
                continue;
            int diff = 0;
            bool usable = true;
            int wi = 0, ii = 0;
            while (usable && (wi < wlen || ii < ilen)) {
                int wc = wi < wlen ? work[wi].c : 1000;
                int ic = ii < ilen ? nchar_[b + ii] : 1000;
                if (wc < ic) {
                    ++diff;
                    ++wi;
                } else if (ic < wc) {
                    usable = false;
                } else {
                    int it = nextState_[b + ii + 1];
                    if (work[wi].t != it || work[wi].t == -1 || (isCompressed && representative(wc) != wc))
                        ++diff;
                    ++wi;
                    ++ii;
                }
            }
            // A plain state that falls back on a compressed one would find,
            // for a code it has no transition on, the target of that code's
            // representative there.
            if (usable && !isCompressed && compressed_[i]) {
                for (int x : codes_) {
                    int r = representative(x);
                    if (has[x] || r == x)
                        continue;
                    for (int j = 0; j < ilen; ++j)
                        if (nchar_[b + j] == r && nextState_[b + j + 1] != -1)
                            usable = false;
                }
            }
            if (usable && diff < best && diff < ilen) {
                best = diff;
                fb = i;
            }
        }

        if (fb >= 0) {
            int b = transBase_[fb];
            int flen = nextState_[b];
            int ii = 0;
            for (const Transition& w : work) {
                while (ii < flen && nchar_[b + ii] < w.c)
                    ++ii;
                if (ii >= flen || nchar_[b + ii] != w.c) {
                    stored.push_back(w);
                    continue;
                }
                int it = nextState_[b + ii + 1];
                if (w.t != it || w.t == -1 || (isCompressed && representative(w.c) != w.c))
                    stored.push_back(w);
            }
        }
    }
    if (fb >= 0)
        fallback_[s] = fb;
    else
        stored = work;

    const int k = static_cast<int>(stored.size());
    if (k == 0) {
        transBase_[s] = -1;
        return;
    }
    if (static_cast<long>(transUsed_) + k + 1 > limits_.transitions) {
        capacity(limits_.transitions == defaults_.transitions);
        error(tr("Too many transitions %s", "Prilis vela prepojeni %s"),
              hint(limits_.transitions, defaults_.transitions, "\nTry using %a num", "\nSkuste pouzit '%a num'"));
    }
    int b = transUsed_;
    transBase_[s] = b;
    nextState_[b] = k;
    for (int i = 0; i < k; ++i) {
        nchar_[b + i] = stored[i].c;
        nextState_[b + i + 1] = stored[i].t;
    }
    nchar_[b + k] = 0;
    transUsed_ = b + k + 1;
}

namespace {

// The taken slots of yycrank, a bit each, so that the first-fit search can
// pass over a run of taken slots 64 at a time instead of one by one.
class SlotBits {
public:
    explicit SlotBits(long slots) : slots_(slots), words_(static_cast<size_t>(slots / 64 + 1), 0) {}
    void take(long slot) { words_[static_cast<size_t>(slot / 64)] |= uint64_t{1} << (slot % 64); }
    bool taken(long slot) const { return words_[static_cast<size_t>(slot / 64)] >> (slot % 64) & 1; }
    // The first free slot from p on; slots_ when every one up to the end is
    // taken.
    long nextFree(long p) const
    {
        size_t w = static_cast<size_t>(p / 64);
        uint64_t free = ~words_[w] & (~uint64_t{0} << (p % 64));
        while (free == 0) {
            if (++w == words_.size())
                return slots_;
            free = ~words_[w];
        }
        const long slot = static_cast<long>(w) * 64 + __builtin_ctzll(free);
        return slot < slots_ ? slot : slots_;
    }

private:
    long slots_;
    std::vector<uint64_t> words_;
};

} // namespace

void Run::layout()
{
    const int z = charsetSize_;
    const long slots = limits_.output;
    int m = 0;
    highestSlot_ = 0;
    SlotBits taken(slots);
    for (int s = 0; s <= highestState_; ++s) {
        checkStop();
        int b = transBase_[s];
        if (b < 0) {
            outputBase_[s] = 0;
            continue;
        }
        int k = nextState_[b];
        std::vector<int> code(nchar_.begin() + b, nchar_.begin() + b + k);
        while (m + z < slots && verify_[m + z] != 0)
            ++m;
        int o = m + 1;
        for (;; ++o) {
            // A base whose first slot is taken fails on that slot: go
            // straight to the first base whose first slot is free.
            if (k > 0 && o <= slots - z) {
                const long first = static_cast<long>(o) + code[0];
                if (first >= 0 && first < slots && taken.taken(first)) {
                    const long skipTo = taken.nextFree(first) - code[0];
                    o = static_cast<int>(std::min<long>(skipTo, slots - z + 1L));
                }
            }
            if (o > slots - z) {
                capacity(limits_.output == defaults_.output);
                error("%s", translation_ ? "Full output table" : tr("Full output table", "Preplnenie vystupnej tabulky"));
            }
            bool fits = true;
            for (int j = 0; j < k && fits; ++j) {
                long slot = static_cast<long>(o) + code[j];
                if (slot >= slots) {
                    // only a translated code of the set's size gets here
                    capacity(limits_.output == defaults_.output);
                    error("%s", translation_ ? "Full output table" : tr("Full output table", "Preplnenie vystupnej tabulky"));
                }
                fits = verify_[slot] == 0;
            }
            if (fits)
                break;
        }
        for (int j = 0; j < k; ++j) {
            int slot = o + code[j];
            verify_[slot] = s + 1;
            taken.take(slot);
            advance_[slot] = nextState_[b + j + 1] + 1;
            if (slot > highestSlot_)
                highestSlot_ = slot;
        }
        outputBase_[s] = o;
    }
}

} // namespace duq_lex
