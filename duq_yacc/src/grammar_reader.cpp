// The grammar reader: declarations, rules and user code.  While reading it
// writes the declaration part of the parser file and the action file.
#include "run.h"

#include <cstring>

namespace duq_yacc::detail {

namespace {
bool isDefineChar(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
} // namespace

void Run::readGrammar()
{
    names_.reserve(static_cast<size_t>(lim_.nameSpace));  // never grows past this, so name() pointers stay valid
    define(0, "$end");
    tokset_[1].value = 0;
    define(0, "error");
    tokset_[2].value = 256;
    extval_ = 257;
    define(1, "$accept");

    int t = gettok();
    readDeclarations(t);
    readRules();
}

void Run::readDeclarations(int& t)
{
    while (t != kMark && t != kEndFile) {
        switch (t) {
        case ';':
            t = gettok();
            break;
        case kStart:
            if (gettok() != kIdentifier)
                fatal("bad %%start construction", "chybna %%start konstrukcia");
            start_ = chfind(1, tokname_.data());
            noteUse(start_);
            t = gettok();
            break;
        case kTypedef:
            readTypeList(t);
            break;
        case kUnion:
            copyUnion();
            t = gettok();
            break;
        case kLeft:
        case kBinary:
        case kRight:
            if (precLevel_ >= lim_.levels)
                limit("too many precedence levels, limit %d", "privela urovni priority, limit %d", lim_.levels);
            ++precLevel_;
            readTokenList(t, t);
            break;
        case kTerm:
            readTokenList(t, t);
            break;
        case kExpect:
        case kExpectRr: {
            const bool rr = t == kExpectRr;
            if (gettok() != kNumber) {
                if (rr)
                    fatal("bad %%expect-rr construction", "chybna %%expect-rr konstrukcia");
                fatal("bad %%expect construction", "chybna %%expect konstrukcia");
            }
            (rr ? expectRr_ : expectSr_) = numbval_;
            (rr ? expectRrLine_ : expectSrLine_) = lineno_;
            t = gettok();
            break;
        }
        case kLCurly:
            writeDefines();
            copyCode();
            t = gettok();
            break;
        default:
            fatal("syntax error", "syntakticka chyba");
        }
    }
    if (t == kEndFile)
        fatal("unexpected EOF before %%", "neocakavany vyskyt EOF pred %%");
}

void Run::readTokenList(int t, int& next)
{
    const int assoc = t - kTerm;  // 0 %token, 1 %left, 2 %right, 3 %nonassoc
    int ty = 0;
    t = gettok();
    if (t == kTypename) {
        ty = numbval_;
        t = gettok();
    }
    for (;;) {
        if (t == ',') {
            t = gettok();
            continue;
        }
        if (t != kIdentifier)
            break;
        const int j = chfind(0, tokname_.data());
        if (j >= kNtBase)
            fatal("nonterminal %s declared as a token", "neterminal %s deklarovany ako lexikalny element", tokname_.data());
        int& lev = tokset_[j].lev;
        if (assoc) {
            if (assocOf(lev))
                fatal("redeclaration of precedence of %s", "redeklaracia priority %s", tokname_.data());
            lev = withLevel(withAssoc(lev, assoc), precLevel_);
        }
        if (ty) {
            if (typeOf(lev))
                fatal("redeclaration of type of %s", "redeklaracia typu %s", tokname_.data());
            lev = withType(lev, ty);
        }
        t = gettok();
        if (t == kNumber) {
            tokset_[j].value = numbval_;
            if (j < ndefout_ && j > 2)
                fatal("please define type number of %s earlier", "prosim definujte cislo typu %s uz skor", termName(j));
            t = gettok();
        }
    }
    next = t;
}

void Run::readTypeList(int& next)
{
    if (gettok() != kTypename)
        fatal("bad syntax in %%type", "chybna syntax v konstrukcii %%type");
    const int ty = numbval_;
    for (;;) {
        const int t = gettok();
        if (t == kIdentifier) {
            const int s = chfind(1, tokname_.data());
            if (s < kNtBase) {
                int& lev = tokset_[s].lev;
                if (typeOf(lev) != 0 && typeOf(lev) != ty)
                    fatal("type redeclaration of token %s", "redeklaracia typu lexikalneho elementu %s", termName(s));
                lev = withType(lev, ty);
            } else {
                Nonterminal& n = nontrst_[s - kNtBase];
                if (n.type != 0 && n.type != ty)
                    fatal("type redeclaration of nonterminal %s", "redeklaracia typu neterminalu %s", name(n.name));
                n.type = ty;
            }
        } else if (t == ',') {
            continue;
        } else {
            next = (t == ';') ? gettok() : t;
            return;
        }
    }
}

void Run::writeDefines()
{
    for (int i = ndefout_; i <= ntokens_; ++i) {
        const char* full = termName(i);
        const char* cp = (*full == ' ') ? full + 1 : full;
        // Only names that are C identifiers can be defines: an empty
        // literal would give a define without a name, a literal such as '1'
        // a define of a number.  The token keeps its code either way.
        bool ok = *cp != '\0' && !(*cp >= '0' && *cp <= '9');
        for (; *cp && ok; ++cp)
            ok = isDefineChar(static_cast<unsigned char>(*cp));
        if (!ok)
            continue;
        outFormat("# define %s %d\n", full, tokset_[i].value);
        headerDefines_ += vork::format("#define %s %d\n", *full == ' ' ? full + 1 : full, tokset_[i].value);
        if (fdefine_)
            std::fprintf(fdefine_, "# define %s %d\n", full, tokset_[i].value);
        if (debug_ && recordedTokens_.size() < static_cast<size_t>(lim_.terms))
            recordedTokens_.push_back(full);
    }
    ndefout_ = ntokens_ + 1;
}

void Run::copyCode()
{
    int c = getc();
    if (c == '\n') {
        c = getc();
        ++lineno_;
    }
    outFormat("\n# line %d \"%s\"\n", lineno_, lineDirectiveName(grammarName_).c_str());
    while (c != EOF) {
        if (c == '\\' || c == '%') {
            const int n = getc();
            if (n == '}') {
                returnToOutput();
                return;
            }
            outChar(c);
            c = n;  // examined in turn: "%%}" still ends the block
            continue;
        }
        outChar(c);
        if (c == '\n')
            ++lineno_;
        c = getc();
    }
    fatal("eof before %%}", "bol indikovany EOF pred  %%}");
}

void Run::copyUnion()
{
    outFormat("\n# line %d \"%s\"\n", lineno_, lineDirectiveName(grammarName_).c_str());
    outText("typedef union ");
    if (fdefine_)
        std::fputs("\ntypedef union ", fdefine_);
    int level = 0;
    for (;;) {
        const int c = getc();
        if (c == EOF)
            fatal("EOF encountered while processing %%union", "pri spracovavani %%union bol indikovany EOF");
        outChar(c);
        headerUnion_.push_back(static_cast<char>(c));
        if (fdefine_)
            std::fputc(c, fdefine_);
        if (c == '\n') {
            ++lineno_;
        } else if (c == '{') {
            ++level;
        } else if (c == '}') {
            if (--level == 0) {
                outText(" YYSTYPE;\n");
                if (fdefine_)
                    std::fputs(" YYSTYPE;\nextern YYSTYPE yylval;\n", fdefine_);
                returnToOutput();
                return;
            }
        }
    }
}

void Run::noteUse(int sym)
{
    // A nonterminal that is never defined is reported where it is used
    // first; a mention in %type counts only when it has no use at all.
    if (sym >= kNtBase) {
        int& line = ntLine_[static_cast<size_t>(sym - kNtBase)];
        if (line <= 0)
            line = lineno_;
    }
}

void Run::putWord(int w)
{
    // Productions and, later, the state kernels share this memory.
    if (memTop_ >= lim_.mem)
        limit("too many symbols in rules, limit %d", "privela symbolov v pravidlach, limit %d", lim_.mem);
    mem_[static_cast<size_t>(memTop_++)] = w;
}

void Run::nextProduction()
{
    if (++nprod_ >= lim_.prods)
        limit("more than %d rules", "viac ako %d pravidiel", lim_.prods);
}

void Run::checkDefaultAction()
{
    // $$ = $1 is implied; with typed values that must make sense.
    if (typeset_.size() <= 1 || (levprd_[nprod_] & kActFlag))
        return;
    const int lhsType = nontrst_[mem_[prdptr_[nprod_]] - kNtBase].type;
    if (!lhsType)
        return;
    const int first = mem_[prdptr_[nprod_] + 1];
    if (first <= 0)
        fatal("must return a value, since LHS has a type", "je nutne vratit hodnotu, kedze LHS ma typ");
    const int firstType = first >= kNtBase ? nontrst_[first - kNtBase].type : typeOf(tokset_[first].lev);
    if (firstType != lhsType)
        fatal("default action causes potential type clash", "implicitna akcia sposobuje mozny stret typov");
}

void Run::readRules()
{
    writeDefines();
    outText("#define yyclearin yychar = -1\n");
    outText("#define yyerrok yyerrflag = 0\n");
    outText("extern int yychar;\nextern short yyerrflag;\n");
    outText("#ifndef YYMAXDEPTH\n#define YYMAXDEPTH 150\n#endif\n");
    if (typeset_.size() <= 1)
        outText("#ifndef YYSTYPE\n#define YYSTYPE int\n#endif\n");
    outText("YYSTYPE yylval, yyval;\n");

    // Production 0: $accept : start $end
    prdptr_[0] = memTop_;
    putWord(kNtBase);
    putWord(start_);
    putWord(1);
    putWord(0);
    prdptr_[1] = memTop_;

    int t;
    while ((t = gettok()) == kLCurly)
        copyCode();
    if (t != kCIdentifier)
        fatal("bad syntax on first rule", "chybna syntax prveho pravidla");
    if (!start_)
        mem_[static_cast<size_t>(prdptr_[0] + 1)] = chfind(1, tokname_.data());

    while (t != kMark && t != kEndFile) {
        if (t == '|') {
            putWord(mem_[static_cast<size_t>(prdptr_[nprod_ - 1])]);
        } else if (t == kCIdentifier) {
            const int s = chfind(1, tokname_.data());
            if (s < kNtBase)
                fatal("token illegal on LHS of grammar rule", "nedovoleny lexikalny element na LHS pravidla gramatiky");
            putWord(s);
        } else {
            fatal("illegal rule: missing semicolon or | ?", "nedovolene pravidlo: chybajuca bodkociarka alebo | ?");
        }
        prodLine_[static_cast<size_t>(nprod_)] = lineno_;
        t = gettok();
        for (;;) {
            while (t == kIdentifier) {
                const int s = chfind(1, tokname_.data());
                if (s < kNtBase)
                    levprd_[nprod_] = tokset_[s].lev;
                noteUse(s);
                putWord(s);
                t = gettok();
            }
            if (t == kPrec) {
                if (gettok() != kIdentifier)
                    fatal("illegal %%prec syntax", "nedovolena %%prec syntax");
                const int j = chfind(2, tokname_.data());
                if (j >= kNtBase)
                    fatal("nonterminal %s illegal after %%prec", "neterminal %s nie je dovoleny za %%prec",
                          ntName(j - kNtBase));
                levprd_[nprod_] = tokset_[j].lev;
                t = gettok();
            }
            if (t != kAction)
                break;
            levprd_[nprod_] |= kActFlag;
            std::fprintf(faction_, "\ncase %d:", nprod_);
            copyAction(memTop_ - prdptr_[nprod_] - 1);
            std::fputs(" break;", faction_);
            actionEnds_.push_back(std::ftell(faction_));
            t = gettok();
            if (t != kIdentifier)
                break;
            // An action inside the rule becomes the action of a new empty
            // rule $$N in front of it; the rule itself takes the next number
            // and gets $$N in the action's place.
            char actname[24];
            std::snprintf(actname, sizeof actname, "$$%d", nprod_);
            const int j = chfind(1, actname);
            if (memTop_ + 2 > lim_.mem)
                limit("too many symbols in rules, limit %d", "privela symbolov v pravidlach, limit %d", lim_.mem);
            for (int p = memTop_ - 1; p >= prdptr_[nprod_]; --p)
                mem_[static_cast<size_t>(p + 2)] = mem_[static_cast<size_t>(p)];
            memTop_ += 2;
            int p = prdptr_[nprod_];
            mem_[static_cast<size_t>(p++)] = j;
            mem_[static_cast<size_t>(p++)] = -nprod_;
            levprd_[nprod_ + 1] = levprd_[nprod_] & ~kActFlag;
            levprd_[nprod_] = kActFlag;
            nextProduction();
            prdptr_[nprod_] = p;
            prodLine_[static_cast<size_t>(nprod_)] = prodLine_[static_cast<size_t>(nprod_ - 1)];
            putWord(j);
        }
        while (t == ';')
            t = gettok();
        putWord(-nprod_);
        checkDefaultAction();
        nextProduction();
        prdptr_[nprod_] = memTop_;
        levprd_[nprod_] = 0;
    }

    std::fclose(faction_);
    faction_ = nullptr;
    outFormat("# define YYERRCODE %d\n", tokset_[2].value);
    if (t == kMark) {
        outFormat("\n# line %d \"%s\"\n", lineno_, lineDirectiveName(grammarName_).c_str());
        int c;
        while ((c = getc()) != EOF)
            outChar(c);
        returnToOutput();
    }
    std::fclose(finput_);
    finput_ = nullptr;
    pushback_ = -2;
}

} // namespace duq_yacc::detail
