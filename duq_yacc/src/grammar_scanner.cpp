// The grammar file's scanner and the symbol tables it fills.
#include "run.h"

#include <climits>
#include <cstring>

namespace duq_yacc::detail {

namespace {
bool isLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}
bool isWordChar(int c)
{
    return isLetter(c) || isDigit(c) || c == '_' || c == '.' || c == '$';
}
bool isOctal(int c)
{
    return c >= '0' && c <= '7';
}

struct Reserved {
    const char* word;
    int token;
};
const Reserved kReserved[] = {
    {"term", kTerm},     {"token", kTerm},  {"left", kLeft},       {"nonassoc", kBinary},
    {"binary", kBinary}, {"right", kRight}, {"prec", kPrec},       {"start", kStart},
    {"type", kTypedef},  {"union", kUnion}, {"expect", kExpect},   {"expect-rr", kExpectRr},
};

// Directives that grammars written for other parser generators carry.  They
// change what those tools generate, so a grammar that needs one cannot be
// taken as if it were not there; saying plainly that it is not supported
// beats calling it an invalid escape.
const char* const kForeign[] = {
    "define",         "code",        "locations",     "pure-parser",    "pure_parser",   "token-table",
    "token_table",    "debug",       "verbose",       "defines",        "header",        "output",
    "file-prefix",    "name-prefix", "skeleton",      "language",       "glr-parser",    "error-verbose",
    "initial-action", "destructor",  "printer",       "param",          "parse-param",   "lex-param",
    "require",        "no-lines",    "no_lines",      "default-prec",   "no-default-prec", "precedence",
    "nterm",          "empty",       "yacc",          "fixed-output-files", "nondeterministic-parser",
    "ident",
};
} // namespace

int Run::getc()
{
    if (pushback_ != -2) {
        int c = pushback_;
        pushback_ = -2;
        return c;
    }
    // Grammars written on Windows end their lines with CR LF; they read
    // exactly like LF ones.
    int c = std::fgetc(finput_);
    if (c == '\r') {
        const int next = std::fgetc(finput_);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            std::ungetc(next, finput_);
    }
    return c;
}

void Run::ungetc(int c)
{
    pushback_ = c;
}

int Run::skipComment()
{
    // The '/' has been read; returns the number of newlines inside.
    int c = getc();
    if (c != '*')
        fatal("illegal comment", "nedovoleny komentar");
    int lines = 0;
    c = getc();
    while (c != EOF) {
        while (c == '*') {
            c = getc();
            if (c == '/')
                return lines;
        }
        if (c == '\n')
            ++lines;
        if (c != EOF)
            c = getc();
    }
    fatal("EOF inside comment", "bolo indikovane EOF vo vnutri komentara");
}

int Run::gettok()
{
    for (;;) {
        // Newlines seen while looking for a colon after the last name are
        // counted only now, so errors about that name carry its own line.
        lineno_ += peekline_;
        peekline_ = 0;
        int c = getc();
        while (c == ' ' || c == '\n' || c == '\t' || c == '\f') {
            if (c == '\n')
                ++lineno_;
            c = getc();
        }
        if (c == '/') {
            lineno_ += skipComment();
            continue;
        }
        size_t i = 0;
        // Names are kept whole: two long names that differ only after some
        // fixed length are still two symbols.
        auto keep = [&](int ch) {
            if (i + 1 >= tokname_.size())
                tokname_.resize(tokname_.size() * 2);
            tokname_[i++] = static_cast<char>(ch);
        };
        // A NUL inside the grammar would end a name or a literal early and
        // read as the end of the file between symbols: rules and code after
        // it would be lost without a word.
        auto noNul = [&](int ch) {
            if (ch == '\0')
                fatal("NUL character in the grammar", "znak NUL v gramatike");
        };
        switch (c) {
        case EOF:
            return kEndFile;
        case '\0':
            fatal("NUL character in the grammar", "znak NUL v gramatike");
        case '{':
            ungetc(c);
            return kAction;
        case '<':
            while ((c = getc()) != '>' && c != EOF && c != '\n') {
                noNul(c);
                keep(c);
            }
            if (c != '>')
                fatal("unterminated < ... > clause", "neukoncena < ... > klauzula");
            tokname_[i] = '\0';
            numbval_ = addType(tokname_.data());
            return kTypename;
        case '"':
        case '\'': {
            const int match = c;
            keep(' ');
            for (;;) {
                c = getc();
                if (c == '\\') {
                    c = getc();
                    if (c == '\n' || c == EOF)
                        fatal("illegal or missing ' or \"", "nedovoleny alebo chybajuci znak ' or \"");
                    keep('\\');
                } else if (c == match) {
                    break;
                } else if (c == '\n' || c == EOF) {
                    fatal("illegal or missing ' or \"", "nedovoleny alebo chybajuci znak ' or \"");
                }
                noNul(c);
                keep(c);
            }
            break;
        }
        case '%':
        case '\\':
            switch (c = getc()) {
            case '0': return kTerm;
            case '<': return kLeft;
            case '2': return kBinary;
            case '>': return kRight;
            case '%':
            case '\\': return kMark;
            case '=': return kPrec;
            case '{': return kLCurly;
            default: break;
            }
            // A directive's word may hold dashes (%expect-rr).
            while (isWordChar(c) || c == '-') {
                keep((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
                c = getc();
            }
            ungetc(c);
            tokname_[i] = '\0';
            for (const Reserved& r : kReserved)
                if (std::strcmp(tokname_.data(), r.word) == 0)
                    return r.token;
            for (const char* foreign : kForeign)
                if (std::strcmp(tokname_.data(), foreign) == 0)
                    fatal("%%%s is not supported by DUQ-yacc", "%%%s nie je v DUQ-yacc podporovane", tokname_.data());
            fatal("invalid escape, or illegal reserved word: %s",
                  "nedovolena 'escape' sekvencia, alebo nedovolene klucove slovo: %s", tokname_.data());
        default:
            if (isDigit(c)) {
                const int base = (c == '0') ? 8 : 10;
                long long v = c - '0';
                for (c = getc(); isDigit(c); c = getc()) {
                    v = v * base + (c - '0');
                    if (v > INT_MAX)
                        v = INT_MAX;  // saturate: a value this large is unusable anyway
                }
                ungetc(c);
                numbval_ = static_cast<int>(v);
                return kNumber;
            }
            if (!(isLetter(c) || c == '_' || c == '.' || c == '$'))
                return c;
            while (isWordChar(c)) {
                keep(c);
                c = getc();
            }
            ungetc(c);
            break;
        }
        tokname_[i] = '\0';
        // A name or literal followed by a colon starts a rule.
        c = getc();
        while (c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '/') {
            if (c == '\n')
                ++peekline_;
            else if (c == '/')
                peekline_ += skipComment();
            c = getc();
        }
        if (c == ':')
            return kCIdentifier;
        ungetc(c);
        return kIdentifier;
    }
}

int Run::stash(const char* s)
{
    const int at = static_cast<int>(names_.size());
    do {
        if (names_.size() >= static_cast<size_t>(lim_.nameSpace))
            limit("too many characters in id's and literals", "privela znakov v identifikatore alebo literale");
        names_.push_back(*s);
    } while (*s++);
    return at;
}

int Run::addType(const char* tag)
{
    for (size_t i = 1; i < typeset_.size(); ++i)
        if (std::strcmp(name(typeset_[i]), tag) == 0)
            return static_cast<int>(i);
    if (static_cast<int>(typeset_.size()) > lim_.types)
        limit("too many types, limit %d", "privela typov, limit %d", lim_.types);
    typeset_.push_back(stash(tag));
    return static_cast<int>(typeset_.size()) - 1;
}

int Run::chfind(int mode, const char* s)
{
    if (s[0] == ' ')
        mode = 0;
    const std::string key(s);
    const auto t = termByName_.find(key);
    if (t != termByName_.end())
        return t->second;
    const auto n = ntByName_.find(key);
    if (n != ntByName_.end())
        return n->second + kNtBase;
    if (mode > 1)
        fatal("%s should have been defined earlier", "%s by mal byt definovany uz skor", s);
    return define(mode, s);
}

int Run::define(int nonterm, const char* s)
{
    if (nonterm) {
        if (nnonter_ + 1 >= lim_.nonterms)
            limit("too many nonterminals, limit %d", "privela neterminalov, limit %d", lim_.nonterms);
        ++nnonter_;
        nontrst_[nnonter_].name = stash(s);
        ntByName_.emplace(s, nnonter_);  // the first of a name is the one found
        nontrst_[nnonter_].type = 0;
        ntLine_[static_cast<size_t>(nnonter_)] = -lineno_;  // first mention; a use in a rule replaces it
        return kNtBase + nnonter_;
    }
    if (ntokens_ + 1 >= lim_.terms)
        limit("too many terminals, limit %d", "privela terminalov, limit %d", lim_.terms);
    const int value = literalValue(s);
    ++ntokens_;
    tokset_[ntokens_].name = stash(s);
    termByName_.emplace(s, ntokens_);
    tokset_[ntokens_].value = value;
    tokset_[ntokens_].lev = 0;
    return ntokens_;
}

int Run::literalValue(const char* s)
{
    if (s[0] == ' ') {
        const size_t len = std::strlen(s);
        if (len == 2)
            return static_cast<unsigned char>(s[1]);
        if (len >= 3 && s[1] == '\\') {
            if (len == 3) {
                switch (s[2]) {
                case 'n': return '\n';
                case 'r': return '\r';
                case 't': return '\t';
                case 'b': return '\b';
                case 'f': return '\f';
                case '\'': return '\'';
                case '"': return '"';
                case '\\': return '\\';
                default: fatal("invalid escape", "nedovolena 'escape' sekvencia");
                }
            }
            if (isOctal(s[2])) {
                if (len != 5 || !isOctal(s[3]) || !isOctal(s[4]))
                    fatal("illegal \\nnn construction", "nedovolena \\nnn konstrukcia");
                const int v = (s[2] - '0') * 64 + (s[3] - '0') * 8 + (s[4] - '0');
                if (v == 0)
                    fatal("'\\000' is illegal", "'\\000' nie je dovolene");
                return v;
            }
            // A backslash and several characters that are not an octal
            // number name no character at all.
            fatal("invalid escape", "nedovolena 'escape' sekvencia");
        }
    }
    return extval_++;
}

} // namespace duq_yacc::detail
