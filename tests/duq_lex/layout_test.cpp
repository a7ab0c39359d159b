// Where the transition lists land in yycrank.  The layout passes over runs
// of taken slots a machine word at a time; the bases it picks must be the
// very ones a slot-by-slot first fit picks, or the generated file changes.
// The reference below recovers each state's input codes from the written
// tables and places them again one slot at a time.
#include "lex_harness.h"

#include <gtest/gtest.h>

#include <map>

using namespace lextest;

namespace {

// The bases a plain first fit gives the lists of t, in state order; z is
// the character-set size (the start of the search keeps that far behind
// the first taken slot, as the generator does).
std::map<int, int> firstFitBases(const Tables& t, int z)
{
    std::map<int, std::vector<int>> codes;  // state -> its codes
    std::map<int, int> written;
    for (size_t s = 0; s < t.states.size(); ++s) {
        const int base = t.states[s].base < 0 ? -t.states[s].base : t.states[s].base;
        if (base == 0)
            continue;  // no transitions of its own
        written[static_cast<int>(s)] = base;
        for (size_t slot = static_cast<size_t>(base); slot < t.verify.size(); ++slot)
            if (t.verify[slot] == static_cast<int>(s) + 1 && static_cast<int>(slot) - base < z)
                codes[static_cast<int>(s)].push_back(static_cast<int>(slot) - base);
    }
    std::vector<int> taken(t.verify.size() + 512, 0);
    auto isTaken = [&](size_t slot) { return slot < taken.size() && taken[slot] != 0; };
    std::map<int, int> bases;
    int m = 0;
    for (const auto& [s, list] : codes) {
        while (isTaken(static_cast<size_t>(m + z)))
            ++m;
        int o = m + 1;
        for (;; ++o) {
            bool fits = true;
            for (int c : list)
                fits = fits && !isTaken(static_cast<size_t>(o + c));
            if (fits)
                break;
        }
        for (int c : list)
            taken[static_cast<size_t>(o + c)] = 1;
        bases[s] = o;
    }
    EXPECT_EQ(written.size(), bases.size());
    return bases;
}

std::map<int, int> writtenBases(const Tables& t)
{
    std::map<int, int> bases;
    for (size_t s = 0; s < t.states.size(); ++s) {
        const int base = t.states[s].base < 0 ? -t.states[s].base : t.states[s].base;
        if (base != 0)
            bases[static_cast<int>(s)] = base;
    }
    return bases;
}

struct LayoutCase {
    const char* name;
    const char* spec;
    int optimise;
};

// Dense lists (keywords beside identifiers), lists of a whole class, many
// short lists, start conditions: each makes the search step over long runs
// of taken slots.
const LayoutCase kCases[] = {
    {"keywords",
     "%a 20000\n%o 30000\nD [0-9]\nL [a-zA-Z_]\n%%\nauto ;\nbreak ;\ncase ;\nchar ;\nconst ;\ncontinue ;\ndefault ;\ndo ;\n"
     "double ;\nelse ;\nenum ;\nextern ;\nfloat ;\nfor ;\ngoto ;\nif ;\nint ;\nlong ;\nregister ;\n"
     "return ;\nshort ;\nsigned ;\nsizeof ;\nstatic ;\nstruct ;\nswitch ;\ntypedef ;\nunion ;\n"
     "unsigned ;\nvoid ;\nvolatile ;\nwhile ;\n{L}({L}|{D})* ;\n{D}+ ;\n0[xX][0-9a-fA-F]+ ;\n"
     "\\\"([^\"\\\\\\n]|\\\\.)*\\\" ;\n\"/*\"([^*]|\"*\"+[^*/])*\"*\"+\"/\" ;\n[ \\t\\n]+ ;\n. ;\n",
     1},
    {"keywords, plain tables", nullptr, 0},
    {"whole classes", "%%\n[\\001-\\177]x ;\n[a-m]+y ;\n[^z]*z ;\n[n-z][a-f]? ;\n", 1},
    {"start conditions",
     "%Start A B C\n%%\n<A>[a-z]+ ;\n<B>[0-9]+ ;\n<C>[a-z0-9]+\\. ;\n<A,B>x[yz]* ;\n^begin ;\nend$ ;\n", 1},
    {"many short lists", "%%\naa ;\nab ;\nba ;\nbb ;\nabc ;\nbca ;\ncab ;\nabcd ;\ndcba ;\nx+y+z+ ;\n", 0},
};

TEST(Layout, BasesAreThoseOfASlotBySlotFirstFit)
{
    const char* last = nullptr;
    for (const LayoutCase& c : kCases) {
        const char* spec = c.spec ? c.spec : last;
        last = spec;
        SCOPED_TRACE(c.name);
        const Result r = generate(spec, 0, 0, c.optimise);
        ASSERT_EQ(r.status, 0) << (r.errors.empty() ? "" : r.errors.front());
        const Tables t = Tables::parse(r.output);
        ASSERT_GT(t.states.size(), 2u);
        EXPECT_EQ(writtenBases(t), firstFitBases(t, 128));
    }
}

} // namespace
