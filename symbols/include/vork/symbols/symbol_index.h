// The names of a DUQ-yacc grammar or a DUQ-Lex specification and where they
// appear: what an outline lists, what "go to definition" and "find
// references" jump between, what completion offers.
//
// The index reads the text as it is, also half written: it never rejects a
// file, it only finds fewer names in what it cannot read.  It knows nothing
// of the generators' tables; token codes as the generator assigns them come
// from elsewhere.
#pragma once

#include <string>
#include <vector>

namespace vork::symbols {

// 0-based line and 0-based byte column of a name's first character.
struct Place {
    int line = 0;
    int column = 0;
    int length = 0;
};

enum class Kind {
    Nonterminal,     // grammar: a name on the left of a rule
    Token,           // grammar: every other name (and %token/%left/... names)
    StartCondition,  // scanner: %s / %x names
    Definition,      // scanner: a name defined in the first section, used as {NAME}
};

struct Symbol {
    std::string name;
    Kind kind = Kind::Token;
    bool defined = false;          // `definition` is meaningful
    Place definition;              // the first rule's left side, the declaration, the %s line
    std::vector<Place> uses;       // every other place the name is written
    std::vector<std::string> rules;  // nonterminal: "expr : expr '+' term", one per alternative
    // nonterminal: where each of `rules` begins: its first name, literal,
    // %prec or action, or for an empty alternative the ':' or '|' before it
    std::vector<Place> alternatives;
    std::string associativity;     // token: "%left", "%right", "%nonassoc", "%precedence" or empty
    int precedence = 0;            // token: 1 for the first precedence line, 0 for none
    int number = -1;               // token: the code written after it in a declaration, -1 for none
    std::string text;              // definition: its regular expression
};

class Index {
public:
    static Index ofGrammar(const std::string& text);
    static Index ofScanner(const std::string& text);
    // By the file's name: ".l" reads a scanner, everything else a grammar.
    static Index ofFile(const std::string& fileName, const std::string& text);

    const std::vector<Symbol>& symbols() const { return symbols_; }
    const Symbol* find(const std::string& name) const;
    // The symbol written at (line, column), or null.
    const Symbol* at(int line, int column) const;

private:
    std::vector<Symbol> symbols_;
};

} // namespace vork::symbols
