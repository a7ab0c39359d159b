// A generated grammar of a thousand productions and some two thousand
// states, for the large-tables mode: a list of statements, each opened by
// a keyword of its own and holding an expression of its own nonterminals,
// so that no two groups share states.
#pragma once

#include <string>

namespace yacctest {

constexpr int kBigGroups = 200;  // 5 productions and 10 states each

// Token K<i> opens statement i; its expression is e<i> : e<i> '+' f<i> | f<i>,
// f<i> : N<i % 50> | '(' e<i> ')'.  A sentence: "K3 N3 + ( N3 ) ;".
inline std::string bigGrammar(int groups = kBigGroups)
{
    std::string g = "%token";
    for (int i = 0; i < groups; ++i)
        g += " K" + std::to_string(i);
    g += "\n%token";
    for (int i = 0; i < 50; ++i)
        g += " N" + std::to_string(i);
    g += "\n%%\nlist : list stmt | stmt ;\n";
    for (int i = 0; i < groups; ++i) {
        const std::string n = std::to_string(i);
        g += "stmt : K" + n + " e" + n + " ';' ;\n";
        g += "e" + n + " : e" + n + " '+' f" + n + " | f" + n + " ;\n";
        g += "f" + n + " : N" + std::to_string(i % 50) + " | '(' e" + n + " ')' ;\n";
    }
    return g;
}

} // namespace yacctest
