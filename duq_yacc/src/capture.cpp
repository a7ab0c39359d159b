// Records the automaton as the actions are decided, writes the state
// listing and explains each reported conflict in the message list.
#include "run.h"

#include "explain.h"

#include <cstring>
#include <stdexcept>

namespace duq_yacc {

int Automaton::find_symbol(const std::string& name) const
{
    for (size_t i = 0; i < symbols.size(); ++i)
        if (symbols[i].name == name)
            return static_cast<int>(i);
    return -1;
}

namespace detail {

namespace {
// A literal is stored as a blank and its characters (" +", " \n"); shown
// as it was written.
std::string displayName(const char* stored)
{
    if (stored[0] == ' ')
        return "'" + std::string(stored + 1) + "'";
    return stored;
}
} // namespace

void Run::recordGrammar()
{
    Automaton& a = *capture_;
    a.symbols.clear();
    a.productions.clear();
    a.states.clear();
    a.states.reserve(static_cast<size_t>(nstate_));
    for (int t = 1; t <= ntokens_; ++t)
        a.symbols.push_back(Symbol{displayName(termName(t)), tokset_[static_cast<size_t>(t)].value, true});
    a.terminal_count = ntokens_;
    for (int n = 0; n <= nnonter_; ++n)
        a.symbols.push_back(Symbol{displayName(ntName(n)), n, false});
    for (int p = 0; p < nprod_; ++p) {
        Production prod;
        prod.number = p;
        int w = prdptr_[static_cast<size_t>(p)];
        prod.lhs = symbolIndex(mem_[static_cast<size_t>(w)]);
        for (++w; mem_[static_cast<size_t>(w)] > 0; ++w)
            prod.rhs.push_back(symbolIndex(mem_[static_cast<size_t>(w)]));
        prod.line = p == 0 ? 0 : prodLine_[static_cast<size_t>(p)];
        a.productions.push_back(std::move(prod));
    }
}

void Run::recordState(int state, int defaultReduction)
{
    Automaton& a = *capture_;
    if (state == 0)
        recordGrammar();
    State s;
    s.number = state;
    // Each list made at its size: with examples wanted, hundreds of
    // states are recorded in every run.
    s.kernel.reserve(static_cast<size_t>(pstate_[static_cast<size_t>(state) + 1] - pstate_[static_cast<size_t>(state)]));
    size_t shifts = 0, gotos = 0;
    for (int t = 1; t <= ntokens_; ++t) {
        const int act = rowActions_[static_cast<size_t>(t)];
        shifts += act > 0 && act != kAcceptCode && act != kErrorCode;
    }
    for (int n = 1; n <= nnonter_; ++n)
        gotos += rowActions_[static_cast<size_t>(ntokens_ + n)] > 0;
    s.shifts.reserve(shifts);
    s.gotos.reserve(gotos);
    for (int k = pstate_[static_cast<size_t>(state)]; k < pstate_[static_cast<size_t>(state) + 1]; ++k) {
        // An item points at the word after the dot; the rule's end word
        // holds minus its number.
        const int at = items_.at(static_cast<size_t>(k)).item;
        int end = at;
        while (mem_[static_cast<size_t>(end)] > 0)
            ++end;
        const int p = -mem_[static_cast<size_t>(end)];
        s.kernel.push_back(Item{p, at - prdptr_[static_cast<size_t>(p)] - 1});
    }
    for (int t = 1; t <= ntokens_; ++t) {
        const int act = rowActions_[static_cast<size_t>(t)];
        if (act == kAcceptCode) {
            s.accepts = true;
        } else if (act == kErrorCode) {
            s.errors.push_back(symbolIndex(t));
        } else if (act > 0) {
            s.shifts.push_back(Transition{symbolIndex(t), act});
        } else if (act < 0) {
            Reduction* red = nullptr;
            for (Reduction& r : s.reductions)
                if (r.production == -act)
                    red = &r;
            if (!red) {
                s.reductions.push_back(Reduction{-act, {}});
                red = &s.reductions.back();
            }
            red->lookaheads.push_back(symbolIndex(t));
        }
    }
    for (int n = 1; n <= nnonter_; ++n) {
        const int target = rowActions_[static_cast<size_t>(ntokens_ + n)];
        if (target > 0)
            s.gotos.push_back(Transition{symbolIndex(kNtBase + n), target});
    }
    s.default_reduction = defaultReduction;
    s.conflicts = std::move(rowConflicts_);
    rowConflicts_.clear();
    a.states.push_back(std::move(s));
}

void Run::explainConflicts()
{
    const ListingText text = formatListing(*capture_, grammarName_, lang_, cexSeconds_, !stateName_.empty(),
                                           [this] { return sinks_.stopRequested(); });
    if (text.stopped)
        stopNow();
    bool listed = false;
    if (!stateName_.empty()) {
        // The listing never replaces the run's own files: the grammar, the
        // skeleton, the parser, the token file, or the work files still to
        // be read.
        std::FILE* f = nullptr;
        if (!vork::sameFile(stateName_, grammarName_) && !vork::sameFile(stateName_, skelName_) &&
            !vork::sameFile(stateName_, outName_) && !(tokenFileFlag_ && vork::sameFile(stateName_, tokName_)) &&
            !tableWork_.is(stateName_) && !actionWork_.is(stateName_))
            f = std::fopen(stateName_.c_str(), "w");
        if (f) {
            madeState_ = true;
            listed = std::fwrite(text.text.data(), 1, text.text.size(), f) == text.text.size();
            listed = std::fclose(f) == 0 && listed;
        }
        if (!listed)  // the parser does not depend on the listing: a message, not an error
            message("cannot write the state file \"%s\"", "nemozno zapisat subor stavov \"%s\"", stateName_.c_str());
    }
    // Each reported conflict: "<state file>(<line of its state>): text",
    // then its example, indented.  Without a listing, just the text.
    // One buffer for the heads and one for the indented lines, for them
    // all: hundreds of conflicts give thousands of lines.
    std::string head, line("    ");
    for (const ExplainedConflict& c : text.conflicts) {
        if (listed) {
            head.assign(stateName_);
            head += '(';
            head += std::to_string(c.line);
            head += "): ";
            head += c.head;
            sinks_.message(head);
        } else {
            sinks_.message(c.head);
        }
        forEachLine(c.details, [&](const char* text, size_t size) {
            line.resize(4);  // the indent stays
            line.append(text, size);
            sinks_.message(line);
        });
    }
}

} // namespace detail

namespace {
// Keeps the first error of an analysis; everything else is dropped.
class FirstErrorSinks : public vork::Sinks {
public:
    void message(const std::string&) override {}
    void lexError(const std::string&, int) override {}
    void lexWarning(const std::string&, int) override {}
    void yaccError(const std::string& text, int line) override
    {
        if (first.empty())
            first = "line " + std::to_string(line) + ": " + text;
    }
    std::string first;
};
} // namespace

bool build_automaton(const std::string& grammar_file, Automaton& out, std::string* error, int large)
{
    FirstErrorSinks sinks;
    Automaton result;
    int status;
    {
        detail::Run run(sinks);
        run.recordAutomaton(&result);
        run.analyseOnly();
        try {
            status = run.execute("", grammar_file, "", 0, 0, "", large);
        } catch (const detail::RunExit& e) {
            status = e.status;
        }
    }
    if (status != 0) {
        if (error)
            *error = sinks.first;
        return false;
    }
    out = std::move(result);
    if (error)
        error->clear();
    return true;
}

} // namespace duq_yacc
