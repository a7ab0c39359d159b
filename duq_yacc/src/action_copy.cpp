// Copying a semantic action into the action file, with the $ forms turned
// into references to the parser's value stack.
#include "run.h"

namespace duq_yacc::detail {

namespace {
bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}
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
    int c = getc();
    for (;;) {
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
                c = getc();
            }
            continue;
        case '\'':
        case '"':
            copyQuoted(c);
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
