// Copying a semantic action into the action file, with the $ forms turned
// into references to the parser's value stack.
#include "run.h"

#include <string>
#include <vector>

namespace duq_yacc::detail {

namespace {
bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

// An action is pasted into the parser's own switch on the rule number, so a
// "case" or "default" label that no switch of the action encloses becomes
// a label of that switch: a second default, or another rule's number
// leading into the middle of this action.  Anywhere else in C such a label
// is an error, and it is reported as one.  This follows the characters an
// action copies as code (strings, character constants and block comments
// are passed by; line comments are skipped here) and keeps the braces of
// the action's own switches.
class LabelWatch {
public:
    // The label word c completes when it is a stray one, else null.
    const char* step(int c)
    {
        if (lineComment_) {
            lineComment_ = c != '\n';
            return nullptr;
        }
        if (c == '/' && prev_ == '/') {
            lineComment_ = true;
            word_.clear();
            return nullptr;
        }
        prev_ = c;
        if (c == '_' || isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            word_.push_back(static_cast<char>(c));
            return nullptr;
        }
        const char* found = nullptr;
        if (!word_.empty()) {
            if (word_ == "switch") {
                pendingSwitch_ = true;
                parens_ = 0;
            } else if (word_ == "case" && stray()) {
                found = "case";
            } else if (word_ == "default") {
                pendingDefault_ = true;
            }
            word_.clear();
        }
        // C++'s "= default" is no label: only "default" before ':' is.
        if (pendingDefault_ && c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            pendingDefault_ = false;
            if (c == ':' && stray())
                found = "default";
        }
        switch (c) {
        case '(':
            parens_ += pendingSwitch_ ? 1 : 0;
            ++inParens_;
            break;
        case ')':
            parens_ -= pendingSwitch_ && parens_ > 0 ? 1 : 0;
            inParens_ -= inParens_ > 0 ? 1 : 0;
            break;
        case ';':
            // A switch without braces: its labels are not followed further,
            // and none after it is taken for a stray one.
            if (pendingSwitch_ && parens_ == 0) {
                pendingSwitch_ = false;
                unsure_ = true;
            }
            break;
        case '{':
            ++depth_;
            if (pendingSwitch_ && parens_ == 0) {
                pendingSwitch_ = false;
                switches_.push_back(depth_);
            }
            break;
        case '}':
            if (!switches_.empty() && switches_.back() == depth_)
                switches_.pop_back();
            --depth_;
            break;
        default:
            break;
        }
        return found;
    }
    // A string, character constant or comment was copied.
    void passed()
    {
        prev_ = 0;
        word_.clear();
    }

private:
    // In parentheses a "default:" is C11's _Generic association, no label.
    bool stray() const { return switches_.empty() && !pendingSwitch_ && !unsure_ && inParens_ == 0; }

    std::string word_;
    std::vector<int> switches_;  // brace depth of each open switch body
    int depth_ = 0;
    int parens_ = 0;    // of the condition of a switch just named
    int inParens_ = 0;  // of any kind
    int prev_ = 0;
    bool pendingSwitch_ = false;
    bool pendingDefault_ = false;
    bool lineComment_ = false;
    bool unsure_ = false;
};
} // namespace

int Run::symbolType(int sym)
{
    const int v = sym >= kNtBase ? nontrst_[sym - kNtBase].type : typeOf(tokset_[sym].lev);
    if (v <= 0)
        fatal("must specify type for %s", "je nutne specifikovat typ pre %s",
              sym >= kNtBase ? ntName(sym - kNtBase) : termName(sym));
    return v;
}

void Run::copyQuoted(int quote)
{
    std::fputc(quote, faction_);
    for (;;) {
        int c = getc();
        if (c == EOF)
            fatal("EOF in string or character constant",
                  "bol indikovany EOF vo vnutri retazca alebo znakovej konstanty");
        if (c == '\\') {
            std::fputc(c, faction_);
            c = getc();
            if (c == EOF)
                fatal("EOF in string or character constant",
                      "bol indikovany EOF vo vnutri retazca alebo znakovej konstanty");
            if (c == '\n')
                ++lineno_;
        } else if (c == quote) {
            std::fputc(c, faction_);
            return;
        } else if (c == '\n') {
            fatal("newline in string or char. const.",
                  "indikovany znak 'novy riadok' v retazci alebo znakovej konstante");
        }
        std::fputc(c, faction_);
    }
}

void Run::copyComment()
{
    // "/*" has been read and "/" written.
    std::fputc('*', faction_);
    int c = getc();
    while (c != EOF) {
        while (c == '*') {
            std::fputc(c, faction_);
            c = getc();
            if (c == '/') {
                std::fputc(c, faction_);
                return;
            }
        }
        if (c == EOF)
            break;
        std::fputc(c, faction_);
        if (c == '\n')
            ++lineno_;
        c = getc();
    }
    fatal("EOF inside comment", "bolo indikovane EOF vo vnutri komentara");
}

void Run::copyAction(int offset)
{
    std::fprintf(faction_, "\n# line %d \"%s\"\n", lineno_, lineDirectiveName(grammarName_).c_str());
    if (debug_)
        std::fprintf(faction_, "SemantickaAkcia( %d ); ", lineno_);
    const bool typed = typeset_.size() > 1;
    int brac = 0;
    LabelWatch labels;
    int c = getc();
    for (;;) {
        if (const char* label = labels.step(c))
            fatal("%s label outside a switch in an action", "navestie %s mimo prikazu switch v akcii", label);
        switch (c) {
        case ';':
            std::fputc(c, faction_);
            if (brac == 0)
                return;
            c = getc();
            continue;
        case '{':
            ++brac;
            std::fputc(c, faction_);
            c = getc();
            continue;
        case '}':
            std::fputc(c, faction_);
            if (--brac == 0)
                return;
            c = getc();
            continue;
        case '/':
            std::fputc(c, faction_);
            c = getc();
            if (c == '*') {
                copyComment();
                labels.passed();
                c = getc();
            }
            continue;
        case '\'':
        case '"':
            copyQuoted(c);
            labels.passed();
            c = getc();
            continue;
        case EOF:
            fatal("action does not terminate", "akcia nebola ukoncena");
        case '\n':
            ++lineno_;
            std::fputc(c, faction_);
            c = getc();
            continue;
        case '$':
            break;
        default:
            std::fputc(c, faction_);
            c = getc();
            continue;
        }

        // A $ form.
        int tag = -1;
        c = getc();
        if (c == '<') {
            // The tag is kept whole, as the declarations' tags are.
            std::string text;
            while ((c = getc()) != '>' && c != EOF && c != '\n')
                text.push_back(static_cast<char>(c));
            if (c != '>' || text.find('\0') != std::string::npos)
                fatal("bad syntax on $<ident> clause", "chybna syntax v $<ident> klauzule");
            tag = addType(text.c_str());
            c = getc();
        }
        if (c == '$') {
            std::fputs("yyval", faction_);
            if (typed) {
                if (tag < 0)
                    tag = symbolType(mem_[static_cast<size_t>(prdptr_[nprod_])]);
                std::fprintf(faction_, ".%s", name(typeset_[static_cast<size_t>(tag)]));
            }
            c = getc();
            continue;
        }
        int sign = 1;
        if (c == '-') {
            sign = -1;
            c = getc();
        }
        if (isDigit(c)) {
            long long k = 0;
            while (isDigit(c)) {
                if (k < 1000000)
                    k = k * 10 + (c - '0');
                c = getc();
            }
            const int j = static_cast<int>(k * sign);  // the symbol's position in the rule
            if (j > offset)
                fatal("Illegal use of $%d", "Nedovolene pouzitie $%d", j);
            std::fprintf(faction_, "yypvt[-%d]", offset - j);
            if (typed) {
                if (j <= 0 && tag < 0)
                    fatal("must specify type of $%d", "je nutne specifikovat typ $%d", j);
                if (tag < 0)
                    tag = symbolType(mem_[static_cast<size_t>(prdptr_[nprod_] + j)]);
                std::fprintf(faction_, ".%s", name(typeset_[static_cast<size_t>(tag)]));
            }
            continue;  // c follows the number and is examined next
        }
        std::fputc('$', faction_);
        if (sign < 0)
            std::fputc('-', faction_);
    }
}

} // namespace duq_yacc::detail
