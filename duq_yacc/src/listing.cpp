// The state listing: rules, symbols, and every state with its items,
// actions and conflicts, the reported ones with an example input.
#include "explain.h"

#include <cstdio>

namespace duq_yacc::detail {

namespace {

class Lines {
public:
    void add(const std::string& s)
    {
        text += s;
        text += '\n';
        ++count;
    }
    std::string text;
    int count = 0;  // lines so far; the next one is count + 1
};

std::string printf1(const char* f, int a, int b = 0, int c = 0)
{
    char buf[200];
    std::snprintf(buf, sizeof buf, f, a, b, c);
    return buf;
}

std::string padded(const std::string& s, size_t width)
{
    return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

std::string conflictHead(const Automaton& a, const State& st, const Conflict& c, int lang)
{
    auto L = [lang](const char* en, const char* sk) { return lang ? sk : en; };
    std::string head;
    head.reserve(64);
    head += L("conflict in state ", "konflikt v stave ");
    head += std::to_string(st.number);
    head += ": ";
    head += c.kind == ConflictKind::ShiftReduce ? L("shift/reduce on ", "posun/redukcia na ")
                                                : L("reduce/reduce on ", "redukcia/redukcia na ");
    head += a.symbols[static_cast<size_t>(c.symbol)].name;
    return head;
}

ListingText format(const Automaton& a, const std::string& grammarName, int lang,
                   const std::vector<ConflictExample>* shown, std::vector<ConflictExample>* taken, bool withText);

} // namespace

ListingText formatListing(const Automaton& a, const std::string& grammarName, int lang, double cexSeconds,
                          bool withText, const std::function<bool()>& stop)
{
    if (cexSeconds < 0)
        return formatListing(a, grammarName, lang, nullptr, withText);
    CounterexampleSearch search(a, CounterexampleSearch::after(std::chrono::steady_clock::now(),
                                                               CounterexampleSearch::totalSeconds(cexSeconds)));
    bool stopped = false;
    std::vector<ConflictExample> examples = search.explainAll(lang, cexSeconds, stop, &stopped);
    if (stopped) {
        ListingText out;
        out.stopped = true;
        return out;
    }
    return format(a, grammarName, lang, nullptr, &examples, withText);
}

ListingText formatListing(const Automaton& a, const std::string& grammarName, int lang,
                          const std::vector<ConflictExample>* examples, bool withText)
{
    return format(a, grammarName, lang, examples, nullptr, withText);
}

namespace {

// The examples are copied from `shown`, or moved out of `taken` when the
// caller has no more use for them (hundreds of conflicts, some five lines
// each).
ListingText format(const Automaton& a, const std::string& grammarName, int lang,
                   const std::vector<ConflictExample>* shown, std::vector<ConflictExample>* taken, bool withText)
{
    auto details = [&](size_t i, ExplainedConflict& e) {
        if (taken && i < taken->size()) {
            e.details = std::move((*taken)[i].text);
            e.unifying = (*taken)[i].unifying;
        } else if (shown && i < shown->size()) {
            e.details = (*shown)[i].text;
            e.unifying = (*shown)[i].unifying;
        }
    };
    auto L = [lang](const char* en, const char* sk) { return lang ? sk : en; };
    auto name = [&](int s) { return a.symbols[static_cast<size_t>(s)].name; };
    auto itemText = [&](const Item& it) {
        const Production& p = a.productions[static_cast<size_t>(it.production)];
        std::string s = name(p.lhs) + " :";
        for (size_t i = 0; i <= p.rhs.size(); ++i) {
            if (static_cast<int>(i) == it.dot)
                s += " .";
            if (i < p.rhs.size())
                s += " " + name(p.rhs[i]);
        }
        return s;
    };

    ListingText out;
    if (const std::vector<ConflictExample>* examples = taken ? taken : shown)
        out.conflicts.reserve(examples->size());
    if (!withText) {
        // Only the conflicts' lines, for a run without a listing file.
        size_t reported = 0;
        for (const State& st : a.states)
            for (const Conflict& c : st.conflicts) {
                if (!c.reported)
                    continue;
                ExplainedConflict e;
                e.state = st.number;
                e.head = conflictHead(a, st, c, lang);
                details(reported++, e);
                out.conflicts.push_back(std::move(e));
            }
        return out;
    }
    Lines l;
    l.text.reserve(a.states.size() * 256 + a.productions.size() * 64 + a.symbols.size() * 32);
    l.add(std::string(L("DUQ-yacc state listing of \"", "DUQ-yacc zoznam stavov pre \"")) + grammarName + "\"");
    l.add("");
    l.add(L("Rules", "Pravidla"));
    for (const Production& p : a.productions) {
        std::string s = printf1("%5d  ", p.number) + name(p.lhs) + " :";
        for (int x : p.rhs)
            s += " " + name(x);
        if (p.rhs.empty())
            s += L(" /* empty */", " /* prazdne */");
        if (p.line > 0)
            s = padded(s, 40) + printf1(L("line %d", "riadok %d"), p.line);
        l.add(s);
    }
    l.add("");
    l.add(L("Terminals (name, code)", "Terminaly (meno, kod)"));
    for (int t = 0; t < a.terminal_count; ++t)
        l.add("    " + padded(name(t), 24) + std::to_string(a.symbols[static_cast<size_t>(t)].code));
    l.add("");
    l.add(L("Nonterminals (name, number)", "Neterminaly (meno, cislo)"));
    for (size_t n = static_cast<size_t>(a.terminal_count); n < a.symbols.size(); ++n)
        l.add("    " + padded(a.symbols[n].name, 24) + std::to_string(a.symbols[n].code));

    size_t reported = 0;  // the index of the next reported conflict's example
    for (const State& st : a.states) {
        l.add("");
        const int stateLine = l.count + 1;
        l.add(printf1(L("state %d", "stav %d"), st.number));
        for (const Item& it : st.kernel)
            l.add(padded("    " + itemText(it), 40) + printf1("(%d)", it.production));
        l.add("");
        if (st.accepts)
            l.add("    " + padded(name(0), 16) + L("accept", "prijatie"));
        for (const Transition& t : st.shifts)
            l.add("    " + padded(name(t.symbol), 16) + printf1(L("shift %d", "posun %d"), t.state));
        for (int e : st.errors)
            l.add("    " + padded(name(e), 16) + L("error (nonassociative)", "chyba (neasociativny)"));
        for (const Reduction& r : st.reductions) {
            if (r.production == st.default_reduction)
                continue;
            for (int t : r.lookaheads)
                l.add("    " + padded(name(t), 16) + printf1(L("reduce %d", "redukcia %d"), r.production));
        }
        if (st.default_reduction > 0) {
            std::string on;
            for (const Reduction& r : st.reductions)
                if (r.production == st.default_reduction)
                    for (int t : r.lookaheads)
                        on += " " + name(t);
            l.add("    " + padded(".", 16) + printf1(L("reduce %d", "redukcia %d"), st.default_reduction) +
                  (on.empty() ? "" : std::string(L("  (lookaheads", "  (vyhladove symboly")) + on + ")"));
        } else {
            l.add("    " + padded(".", 16) + L("error", "chyba"));
        }
        if (!st.gotos.empty())
            l.add("");
        for (const Transition& t : st.gotos)
            l.add("    " + padded(name(t.symbol), 16) + printf1(L("goto %d", "prechod %d"), t.state));

        for (const Conflict& c : st.conflicts) {
            l.add("");
            const std::string on = name(c.symbol);
            std::string what;
            if (c.kind == ConflictKind::ShiftReduce) {
                const std::string shift = c.other == -1   ? std::string(L("accept", "prijatie"))
                                          : c.other == -2 ? std::string(L("error", "chyba"))
                                                          : printf1(L("shift %d", "posun %d"), c.other);
                what = std::string(L("conflict on ", "konflikt na ")) + on + ": " + shift +
                       printf1(L(" or reduce %d", " alebo redukcia %d"), c.production);
            } else {
                what = std::string(L("conflict on ", "konflikt na ")) + on + ": " +
                       printf1(L("reduce %d or reduce %d", "redukcia %d alebo redukcia %d"), c.other, c.production);
            }
            l.add("    " + what);
            std::string how;
            const char* chosen = c.choice == ConflictChoice::Shift    ? L("shift", "posun")
                                 : c.choice == ConflictChoice::Reduce ? L("reduce", "redukcia")
                                                                      : L("error", "chyba");
            if (c.rule == ConflictRule::Precedence)
                how = std::string(L("resolved by precedence: ", "vyriesene prioritou: ")) + chosen;
            else if (c.rule == ConflictRule::Associativity)
                how = std::string(L("resolved by associativity: ", "vyriesene asociativitou: ")) + chosen;
            else if (c.kind == ConflictKind::ShiftReduce)
                how = L("reported; the default rule keeps the shift", "hlaseny; predvolene plati posun");
            else
                how = printf1(L("reported; the default rule reduces by the earlier rule %d",
                                "hlaseny; predvolene sa redukuje skorsim pravidlom %d"),
                              c.other);
            l.add("    " + how);
            if (!c.reported)
                continue;
            ExplainedConflict e;
            e.state = st.number;
            e.line = stateLine;
            e.head = conflictHead(a, st, c, lang);
            details(reported++, e);
            forEachLine(e.details, [&l](const char* line, size_t size) {
                l.add("        " + std::string(line, size));
            });
            out.conflicts.push_back(std::move(e));
        }
    }
    out.text = std::move(l.text);
    return out;
}

} // namespace

} // namespace duq_yacc::detail
