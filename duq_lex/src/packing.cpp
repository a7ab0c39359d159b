// Table packing: the character fall-back table (yymatch), the per-state
// transition lists with fall-back states and compression by character, and
// the first-fit layout of all lists into yycrank.
#include "run.h"

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
}

namespace {

struct Transition {
    int c;
    int t;
};

} // namespace

void Run::packState(int s, const std::vector<int>& chars, const std::vector<int>& targets, bool hasClass)
{
    const int n = static_cast<int>(chars.size());
    totalTransitions_ += n;
    std::vector<Transition> work;
    for (int i = 0; i < n; ++i)
        work.push_back({chars[i], targets[i]});

    bool isCompressed = false;
    int fb = -1;
    std::vector<Transition> stored;

    if (optimise_ == 1) {
        if (hasClass) {
            int target[128];
            bool has[128] = {};
            for (int i = 0; i < n; ++i) {
                target[chars[i]] = targets[i];
                has[chars[i]] = true;
            }
            std::vector<Transition> kept;
            for (int c = 1; c < 128; ++c) {
                if (!has[c]) {
                    kept.push_back({c, -1});
                    continue;
                }
                int r = match_[c];
                if (r == c || !has[r] || target[r] != target[c])
                    kept.push_back({c, target[c]});
            }
            if (static_cast<int>(kept.size()) < n) {
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
                    if (work[wi].t != it || work[wi].t == -1 || (isCompressed && match_[wc] != wc))
                        ++diff;
                    ++wi;
                    ++ii;
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
                if (w.t != it || w.t == -1 || (isCompressed && match_[w.c] != w.c))
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
    if (static_cast<long>(transUsed_) + k + 1 > limits_.transitions)
        error(tr("Too many transitions %s", "Prilis vela prepojeni %s"),
              hint(limits_.transitions, Limits::kTransitions, "\nTry using %a num", "\nSkuste pouzit '%a num'"));
    int b = transUsed_;
    transBase_[s] = b;
    nextState_[b] = k;
    for (int i = 0; i < k; ++i) {
        nchar_[b + i] = static_cast<unsigned char>(stored[i].c);
        nextState_[b + i + 1] = stored[i].t;
    }
    nchar_[b + k] = 0;
    transUsed_ = b + k + 1;
}

void Run::layout()
{
    const int z = charsetSize_;
    const long slots = limits_.output;
    int m = 0;
    highestSlot_ = 0;
    for (int s = 0; s <= highestState_; ++s) {
        int b = transBase_[s];
        if (b < 0) {
            outputBase_[s] = 0;
            continue;
        }
        int k = nextState_[b];
        std::vector<int> code(static_cast<size_t>(k));
        for (int j = 0; j < k; ++j) {
            int c = nchar_[b + j];
            code[j] = translation_ ? ctable_[c] : c;
            if (translation_ && code[j] < 1)
                std::printf("j %d nchar %d ctable.nch %d\n", j, c, code[j]);
        }
        while (m + z < slots && verify_[m + z] != 0)
            ++m;
        int o = m + 1;
        for (;; ++o) {
            if (o > slots - z)
                error("%s", translation_ ? "Full output table" : tr("Full output table", "Preplnenie vystupnej tabulky"));
            bool fits = true;
            for (int j = 0; j < k && fits; ++j) {
                long slot = static_cast<long>(o) + code[j];
                if (slot >= slots) {
                    // only a translated code of the set's size gets here
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
            advance_[slot] = nextState_[b + j + 1] + 1;
            if (slot > highestSlot_)
                highestSlot_ = slot;
        }
        outputBase_[s] = o;
    }
}

} // namespace duq_lex
