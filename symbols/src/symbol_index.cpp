#include "vork/symbols/symbol_index.h"

#include <algorithm>
#include <map>

namespace vork::symbols {

namespace {

// Names are classified by the ASCII bytes the generators themselves take:
// <cctype> would follow the process locale, and under a single-byte locale
// (Windows-1250, Latin-2) the bytes of "ý" or "ž" would become letters, so
// the outline would differ from one machine to the next and hold names the
// generators refuse.
bool asciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool asciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool identStart(char c)
{
    return asciiLetter(c) || c == '_' || c == '.';
}

bool identChar(char c)
{
    return asciiLetter(c) || asciiDigit(c) || c == '_' || c == '.';
}

// A byte of a character outside ASCII: the generators take no such
// character for a letter, so a word that holds one is no grammar name.
bool highByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

// The reserved words after '%' are read in any case.
std::string lower(std::string s)
{
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

// A scanner's definition name ends at the first blank or line end.
bool nameEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Walks a text byte by byte, keeping the line and column of the position.
// A grammar's names may also hold '$', as DUQ-yacc reads them.
class Cursor {
public:
    explicit Cursor(const std::string& s, bool dollarInNames = false) : sp_(&s), dollar_(dollarInNames) {}

    bool nameStart(char c) const { return identStart(c) || (dollar_ && c == '$'); }
    bool nameChar(char c) const { return identChar(c) || (dollar_ && c == '$'); }

    bool eof() const { return i_ >= (*sp_).size(); }
    char peek(size_t k = 0) const { return i_ + k < (*sp_).size() ? (*sp_)[i_ + k] : '\0'; }
    bool atLineStart() const { return i_ == lineStart_; }
    bool startsWith(const char* w) const { return (*sp_).compare(i_, std::char_traits<char>::length(w), w) == 0; }
    int line() const { return line_; }
    int column() const { return static_cast<int>(i_ - lineStart_); }
    size_t pos() const { return i_; }

    void advance()
    {
        if (eof())
            return;
        if ((*sp_)[i_] == '\n') {
            ++line_;
            lineStart_ = i_ + 1;
        }
        ++i_;
    }
    void advance(size_t n)
    {
        while (n-- > 0)
            advance();
    }
    void skipToLineEnd()
    {
        while (!eof() && peek() != '\n')
            advance();
    }
    void skipLine()
    {
        skipToLineEnd();
        advance();
    }
    // "/* ... */" or "// ..." when the cursor is on one; true when skipped.
    bool skipComment()
    {
        if (peek() == '/' && peek(1) == '*') {
            advance(2);
            while (!eof() && !(peek() == '*' && peek(1) == '/'))
                advance();
            advance(2);
            return true;
        }
        if (peek() == '/' && peek(1) == '/') {
            skipToLineEnd();
            return true;
        }
        return false;
    }
    // A C string or character literal that the cursor is on; it ends at its
    // quote or, unterminated, at the end of the line.
    void skipQuoted()
    {
        const char q = peek();
        advance();
        while (!eof() && peek() != q && peek() != '\n') {
            if (peek() == '\\')
                advance();
            advance();
        }
        if (peek() == q)
            advance();
    }
    // C code in braces, the cursor on the opening one.
    void skipBraces()
    {
        int depth = 0;
        while (!eof()) {
            if (skipComment())
                continue;
            const char c = peek();
            if (c == '"' || c == '\'') {
                skipQuoted();
                continue;
            }
            advance();
            if (c == '{') {
                ++depth;
            } else if (c == '}' && --depth == 0) {
                return;
            }
        }
    }
    // From "%{" to the line that starts with "%}".
    void skipCodeBlock()
    {
        advance(2);
        while (!eof() && !(atLineStart() && startsWith("%}")))
            advance();
        skipLine();
    }
    void skipBlanks()
    {
        while (!eof() && (peek() == ' ' || peek() == '\t' || peek() == '\r' || peek() == '\f' || peek() == '\v'))
            advance();
    }
    void skipSpaceAndComments()
    {
        for (;;) {
            skipBlanks();
            if (peek() == '\n')
                advance();
            else if (!skipComment())
                return;
        }
    }
    std::string ident()
    {
        const size_t from = i_;
        while (!eof() && nameChar(peek()))
            advance();
        return (*sp_).substr(from, i_ - from);
    }
    // A word of name characters and non-ASCII bytes, which is no name.
    void skipWord()
    {
        while (!eof() && (identChar(peek()) || highByte(peek())))
            advance();
    }
    // The text from here up to the first character for which `end` is true.
    template <typename End>
    std::string until(End end)
    {
        const size_t from = i_;
        while (!eof() && !end(peek()))
            advance();
        return (*sp_).substr(from, i_ - from);
    }
    std::string number()
    {
        const size_t from = i_;
        while (!eof() && asciiDigit(peek()))
            advance();
        return (*sp_).substr(from, i_ - from);
    }

private:
    const std::string* sp_;
    bool dollar_ = false;
    size_t i_ = 0;
    size_t lineStart_ = 0;
    int line_ = 0;
};

enum class Role { Other, Declaration, Lhs };

struct Occurrence {
    Place place;
    Role role;
};

struct Collected {
    std::vector<Occurrence> at;
    std::vector<std::string> rules;
    std::vector<Place> alternatives;
    std::string associativity;
    int precedence = 0;
    int number = -1;
    bool token = false;
    std::string text;
    Kind kind = Kind::Token;
};

// Names in order of first appearance, so that the outline follows the file.
class Collector {
public:
    Collected& get(const std::string& name)
    {
        auto it = byName_.find(name);
        if (it != byName_.end())
            return items_[it->second];
        byName_.emplace(name, items_.size());
        order_.push_back(name);
        items_.emplace_back();
        return items_.back();
    }
    bool has(const std::string& name) const { return byName_.count(name) != 0; }
    Collected& note(const std::string& name, Place p, Role role)
    {
        Collected& c = get(name);
        c.at.push_back(Occurrence{p, role});
        return c;
    }
    const std::vector<std::string>& order() const { return order_; }
    const Collected& item(const std::string& name) const { return items_[byName_.at(name)]; }

private:
    std::map<std::string, size_t> byName_;
    std::vector<std::string> order_;
    std::vector<Collected> items_;
};

Place placeOf(const Cursor& c, size_t length)
{
    return Place{c.line(), c.column(), static_cast<int>(length)};
}

Symbol finish(const std::string& name, const Collected& c, Kind kind, Role definingRole)
{
    Symbol s;
    s.name = name;
    s.kind = kind;
    s.rules = c.rules;
    s.alternatives = c.alternatives;
    s.associativity = c.associativity;
    s.precedence = c.precedence;
    s.number = c.number;
    s.text = c.text;
    for (const Occurrence& o : c.at) {
        if (!s.defined && o.role == definingRole) {
            s.defined = true;
            s.definition = o.place;
        } else {
            s.uses.push_back(o.place);
        }
    }
    return s;
}

} // namespace

Index Index::ofGrammar(const std::string& text)
{
    Collector names;
    Cursor c(text, true);

    // Declarations: names after %token, %left, ..., %type and %start.
    enum class Directive { None, Token, Precedence, Type, Start, Other } directive = Directive::None;
    std::string assoc;
    int level = 0;
    std::string lastToken;
    while (!c.eof()) {
        if (c.atLineStart() && c.startsWith("%%")) {
            c.skipLine();
            break;
        }
        if (c.skipComment())
            continue;
        const char ch = c.peek();
        if (ch == '%' && c.peek(1) == '{') {
            c.skipCodeBlock();
            continue;
        }
        if (ch == '%' && identStart(c.peek(1))) {
            c.advance();
            const std::string word = lower(c.ident());
            lastToken.clear();
            if (word == "token" || word == "term") {
                directive = Directive::Token;
            } else if (word == "left" || word == "right" || word == "nonassoc" || word == "precedence" ||
                       word == "binary") {
                directive = Directive::Precedence;
                assoc = "%" + (word == "binary" ? std::string("nonassoc") : word);
                ++level;
            } else if (word == "type") {
                directive = Directive::Type;
            } else if (word == "start") {
                directive = Directive::Start;
            } else {
                directive = Directive::Other;
                if (word == "union") {
                    c.skipSpaceAndComments();
                    if (c.peek() == '{')
                        c.skipBraces();
                }
            }
            continue;
        }
        if (ch == '%' && (c.peek(1) == '<' || c.peek(1) == '>' || c.peek(1) == '0' || c.peek(1) == '2')) {
            // old spellings: %< %> %0 %2 for %left %right %token %nonassoc
            const char k = c.peek(1);
            c.advance(2);
            lastToken.clear();
            if (k == '0') {
                directive = Directive::Token;
            } else {
                directive = Directive::Precedence;
                assoc = k == '<' ? "%left" : k == '>' ? "%right" : "%nonassoc";
                ++level;
            }
            continue;
        }
        if (ch == '<' && directive != Directive::None) {  // a <tag>
            while (!c.eof() && c.peek() != '>' && c.peek() != '\n')
                c.advance();
            c.advance();
            continue;
        }
        if (ch == '"' || ch == '\'') {
            c.skipQuoted();
            lastToken.clear();
            continue;
        }
        if (asciiDigit(ch)) {
            const std::string n = c.number();
            if (!lastToken.empty() && n.size() < 9)
                names.get(lastToken).number = std::stoi(n);
            lastToken.clear();
            continue;
        }
        if (highByte(ch)) {
            c.skipWord();
            lastToken.clear();
            continue;
        }
        if (c.nameStart(ch) && directive != Directive::None && directive != Directive::Other) {
            const Place p = placeOf(c, 0);
            std::string name = c.ident();
            if (highByte(c.peek())) {
                c.skipWord();
                lastToken.clear();
                continue;
            }
            Place at = p;
            at.length = static_cast<int>(name.size());
            const bool declares = directive == Directive::Token || directive == Directive::Precedence;
            Collected& s = names.note(name, at, declares ? Role::Declaration : Role::Other);
            if (declares) {
                s.token = true;
                lastToken = name;
            }
            if (directive == Directive::Precedence) {
                s.associativity = assoc;
                s.precedence = level;
            }
            continue;
        }
        c.advance();
    }

    // Rules: "name :" starts a rule, "|" another alternative, ";" ends it.
    std::string lhs;
    std::string rhs;
    bool open = false;
    Place opener;          // the ':' or '|' of the open alternative
    bool bodySeen = false; // `body` holds where its first item is
    Place body;
    auto close = [&]() {
        if (open && !lhs.empty()) {
            Collected& rule = names.get(lhs);
            rule.rules.push_back(lhs + " :" + (rhs.empty() ? std::string() : " " + rhs));
            rule.alternatives.push_back(bodySeen ? body : opener);
        }
        rhs.clear();
        open = false;
        bodySeen = false;
    };
    auto begin = [&](Place at) {
        opener = at;
        open = true;
    };
    auto item = [&](Place at) {
        if (open && !bodySeen) {
            body = at;
            bodySeen = true;
        }
    };
    auto append = [&](const std::string& word) {
        if (!rhs.empty())
            rhs += ' ';
        rhs += word;
    };
    // The name after %prec (or its old spelling %=): a use of a token.
    auto precName = [&] {
        c.skipSpaceAndComments();
        if (!c.nameStart(c.peek()))
            return;
        Place p = placeOf(c, 0);
        const std::string name = c.ident();
        p.length = static_cast<int>(name.size());
        names.note(name, p, Role::Other);
        append("%prec " + name);
    };
    while (!c.eof()) {
        if (c.atLineStart() && c.startsWith("%%"))
            break;
        if (c.skipComment())
            continue;
        const char ch = c.peek();
        if (ch == '%' && c.peek(1) == '{') {
            c.skipCodeBlock();
            continue;
        }
        if (ch == '{') {
            item(placeOf(c, 1));
            c.skipBraces();
            continue;
        }
        if (ch == '"') {
            c.skipQuoted();
            continue;
        }
        if (ch == '\'') {
            const size_t from = c.pos();
            Place at = placeOf(c, 0);
            c.skipQuoted();
            at.length = static_cast<int>(c.pos() - from);
            item(at);
            append(text.substr(from, c.pos() - from));
            continue;
        }
        if (ch == '%' && c.peek(1) == '=') {  // the old spelling of %prec
            item(placeOf(c, 2));
            c.advance(2);
            precName();
            continue;
        }
        if (ch == '%' && identStart(c.peek(1))) {
            const Place at = placeOf(c, 1);
            c.advance();
            const std::string word = lower(c.ident());
            if (word == "empty")
                item(Place{at.line, at.column, 6});
            if (word == "prec") {
                item(Place{at.line, at.column, 5});
                precName();
            }
            continue;
        }
        if (ch == '|') {
            const Place at = placeOf(c, 1);
            c.advance();
            close();
            begin(at);
            continue;
        }
        if (ch == ';') {
            c.advance();
            close();
            continue;
        }
        if (highByte(ch)) {
            c.skipWord();
            continue;
        }
        if (c.nameStart(ch)) {
            Place p = placeOf(c, 0);
            const std::string name = c.ident();
            p.length = static_cast<int>(name.size());
            if (highByte(c.peek())) {
                c.skipWord();
                continue;
            }
            // A name followed by ':' begins a rule.
            Cursor ahead = c;
            ahead.skipSpaceAndComments();
            if (ahead.peek() == ':' && ahead.peek(1) != ':') {
                close();
                c = ahead;
                const Place colon = placeOf(c, 1);
                c.advance();
                lhs = name;
                begin(colon);
                names.note(name, p, Role::Lhs);
            } else {
                item(p);
                names.note(name, p, Role::Other);
                append(name);
            }
            continue;
        }
        c.advance();
    }
    close();

    Index index;
    for (const std::string& name : names.order()) {
        const Collected& s = names.item(name);
        const bool lhsSeen = std::any_of(s.at.begin(), s.at.end(), [](const Occurrence& o) { return o.role == Role::Lhs; });
        if (lhsSeen)
            index.symbols_.push_back(finish(name, s, Kind::Nonterminal, Role::Lhs));
        else
            index.symbols_.push_back(finish(name, s, Kind::Token, Role::Declaration));
    }
    return index;
}

namespace {

// "{NAME}" uses in a regular expression from the cursor to the end of the
// pattern: the first blank outside quotes and brackets, or the line's end.
void scanPattern(Cursor& c, Collector& names, bool stopAtBlank)
{
    while (!c.eof() && c.peek() != '\n') {
        const char ch = c.peek();
        if (stopAtBlank && (ch == ' ' || ch == '\t'))
            return;
        if (ch == '\\') {
            c.advance(2);
        } else if (ch == '"') {
            c.skipQuoted();
        } else if (ch == '[') {
            c.advance();
            if (c.peek() == '^')
                c.advance();
            if (c.peek() == ']')
                c.advance();
            while (!c.eof() && c.peek() != ']' && c.peek() != '\n') {
                if (c.peek() == '\\')
                    c.advance();
                c.advance();
            }
            c.advance();
        } else if (ch == '{' && !asciiDigit(c.peek(1)) && !nameEnd(c.peek(1)) &&
                   c.peek(1) != '}' && c.peek(1) != '{') {
            // "{NAME}": a name is anything up to the brace (a count starts
            // with a digit).
            c.advance();
            Place p = placeOf(c, 0);
            const std::string name = c.until([](char k) { return nameEnd(k) || k == '}' || k == '{'; });
            p.length = static_cast<int>(name.size());
            if (c.peek() == '}') {
                c.advance();
                Collected& s = names.note(name, p, Role::Other);
                s.kind = Kind::Definition;
            }
        } else {
            c.advance();
        }
    }
}

// A rule's action up to the end of its line, or of its braces; BEGIN names
// a start condition.
void scanAction(Cursor& c, Collector& names)
{
    int depth = 0;
    while (!c.eof()) {
        if (c.skipComment())
            continue;
        const char ch = c.peek();
        if (ch == '\n' && depth <= 0)
            return;
        if (ch == '"' || ch == '\'') {
            c.skipQuoted();
        } else if (ch == '{') {
            ++depth;
            c.advance();
        } else if (ch == '}') {
            --depth;
            c.advance();
        } else if (identStart(ch)) {
            const std::string word = c.ident();
            if (word == "BEGIN") {
                c.skipBlanks();
                if (c.peek() == '(')
                    c.advance();
                c.skipBlanks();
                Place p = placeOf(c, 0);
                const std::string name = c.ident();
                p.length = static_cast<int>(name.size());
                if (!name.empty() && names.has(name) && names.get(name).kind == Kind::StartCondition)
                    names.note(name, p, Role::Other);
            }
        } else {
            c.advance();
        }
    }
}

} // namespace

Index Index::ofScanner(const std::string& text)
{
    Collector names;
    Cursor c(text);

    // Definitions: "NAME regex" lines, and %s / %x start conditions.
    while (!c.eof()) {
        if (c.startsWith("%%")) {
            c.skipLine();
            break;
        }
        if (c.startsWith("%{")) {
            c.skipCodeBlock();
            continue;
        }
        if (c.skipComment()) {
            c.skipLine();
            continue;
        }
        const char ch = c.peek();
        if (ch == '%') {
            c.advance();
            const std::string word = c.ident();
            if (word == "s" || word == "S" || word == "x" || word == "X" || word == "Start" || word == "start") {
                for (;;) {
                    c.skipBlanks();
                    if (!identStart(c.peek()))
                        break;
                    Place p = placeOf(c, 0);
                    const std::string name = c.ident();
                    p.length = static_cast<int>(name.size());
                    Collected& s = names.note(name, p, Role::Declaration);
                    s.kind = Kind::StartCondition;
                }
            }
            c.skipLine();
            continue;
        }
        if (!nameEnd(ch)) {
            // Any other line is a definition: its name runs to the first blank.
            Place p = placeOf(c, 0);
            const std::string name = c.until(nameEnd);
            p.length = static_cast<int>(name.size());
            if (c.peek() != ' ' && c.peek() != '\t') {
                c.skipLine();  // no replacement text: not a definition
                continue;
            }
            Collected& s = names.note(name, p, Role::Declaration);
            s.kind = Kind::Definition;
            c.skipBlanks();
            const size_t from = c.pos();
            scanPattern(c, names, false);
            std::string re = text.substr(from, c.pos() - from);
            while (!re.empty() && (re.back() == ' ' || re.back() == '\t' || re.back() == '\r' || re.back() == '\f' || re.back() == '\v'))
                re.pop_back();
            names.get(name).text = re;
            c.skipLine();
            continue;
        }
        c.skipLine();  // code lines start with a blank
    }

    // Rules: "<SC,SC>pattern action"; lines that start with a blank are code.
    while (!c.eof()) {
        if (c.startsWith("%%"))
            break;
        if (c.startsWith("%{")) {
            c.skipCodeBlock();
            continue;
        }
        const char ch = c.peek();
        if (ch == '\n') {
            c.advance();
            continue;
        }
        if (ch == ' ' || ch == '\t') {
            scanAction(c, names);
            c.advance();
            continue;
        }
        if (ch == '<') {
            c.advance();
            while (!c.eof() && c.peek() != '>' && c.peek() != '\n') {
                if (identStart(c.peek())) {
                    Place p = placeOf(c, 0);
                    const std::string name = c.ident();
                    p.length = static_cast<int>(name.size());
                    Collected& s = names.note(name, p, Role::Other);
                    s.kind = Kind::StartCondition;
                } else {
                    c.advance();
                }
            }
            c.advance();
        }
        scanPattern(c, names, true);
        scanAction(c, names);
        c.advance();
    }

    Index index;
    for (const std::string& name : names.order()) {
        const Collected& s = names.item(name);
        index.symbols_.push_back(finish(name, s, s.kind, Role::Declaration));
    }
    return index;
}

Index Index::ofFile(const std::string& fileName, const std::string& text)
{
    const size_t dot = fileName.rfind('.');
    if (dot != std::string::npos && (fileName.substr(dot) == ".l" || fileName.substr(dot) == ".lex"))
        return ofScanner(text);
    return ofGrammar(text);
}

const Symbol* Index::find(const std::string& name) const
{
    for (const Symbol& s : symbols_)
        if (s.name == name)
            return &s;
    return nullptr;
}

const Symbol* Index::at(int line, int column) const
{
    auto covers = [&](const Place& p) {
        return p.line == line && column >= p.column && column <= p.column + p.length;
    };
    for (const Symbol& s : symbols_) {
        if (s.defined && covers(s.definition))
            return &s;
        for (const Place& p : s.uses)
            if (covers(p))
                return &s;
    }
    return nullptr;
}

} // namespace vork::symbols
