// The LALR(1) automaton of a grammar, as DUQ-yacc builds it: the rules, the
// symbols and every state with its items and parse actions.  The state
// listing is written from it, and the debugger uses it to name the tokens,
// rules and states a running parser reports.
#pragma once

#include <string>
#include <vector>

namespace duq_yacc {

// Symbols are numbered by their index in Automaton::symbols: the terminals
// first (index 0 is "$end", 1 is "error"), then the nonterminals (the
// first of them is "$accept").
struct Symbol {
    std::string name;  // as written in the grammar; a literal keeps its quotes: 'x'
    int code = 0;      // terminal: the token code; nonterminal: its number in yyr1
    bool terminal = false;
};

struct Production {
    int number = 0;          // the number the parser reduces it by (0: $accept : start $end)
    int lhs = 0;             // symbol index
    std::vector<int> rhs;    // symbol indices
    int line = 0;            // grammar line where the rule starts (0 for rule 0)
};

struct Item {
    int production = 0;
    int dot = 0;  // number of right-side symbols before the dot
};

struct Transition {
    int symbol = 0;  // symbol index
    int state = 0;
};

struct Reduction {
    int production = 0;
    std::vector<int> lookaheads;  // terminal symbol indices the parser reduces on
};

enum class ConflictKind { ShiftReduce, ReduceReduce };
enum class ConflictChoice { Shift, Reduce, Error };
enum class ConflictRule { Precedence, Associativity, Default };

struct Conflict {
    ConflictKind kind = ConflictKind::ShiftReduce;
    int symbol = 0;        // the terminal both actions are on
    int production = 0;    // shift/reduce: the rule that would be reduced;
                           // reduce/reduce: the rule left out
    int other = 0;         // shift/reduce: the state shifted to (-1: accept,
                           // -2: an error a %nonassoc made earlier);
                           // reduce/reduce: the rule reduced by, the earlier one
    ConflictChoice choice = ConflictChoice::Shift;
    ConflictRule rule = ConflictRule::Default;
    bool reported = false; // counted in the "shift/reduce" / "reduce/reduce" summary
};

struct State {
    int number = 0;
    std::vector<Item> kernel;
    std::vector<Transition> shifts;       // on terminals, as the parser's table has them
    std::vector<Transition> gotos;        // on nonterminals
    std::vector<Reduction> reductions;    // every reduction with its lookaheads, the default's included
    std::vector<int> errors;              // terminals made errors by %nonassoc
    bool accepts = false;                 // accepts on "$end"
    int default_reduction = 0;            // the rule reduced on any other terminal, 0 for error
    std::vector<Conflict> conflicts;
};

struct Automaton {
    std::vector<Symbol> symbols;
    int terminal_count = 0;  // symbols [0, terminal_count) are terminals
    std::vector<Production> productions;
    std::vector<State> states;

    int find_symbol(const std::string& name) const;  // -1 when there is none
};

// Reads the grammar and builds its automaton without writing any file.
// false on an error in the grammar; *error (when not null) then holds the
// first error as "line N: text".
bool build_automaton(const std::string& grammar_file, Automaton& out, std::string* error, int large = 0);

} // namespace duq_yacc
