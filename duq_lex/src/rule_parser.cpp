// The parser of the specification's structure and of the rules.
//
// It is a hand-written shift-reduce parser that behaves like the LALR(1)
// parser of the rule grammar with its precedences (tightest first: postfix
// operators, concatenation, repetition counts, ^ and $, |, start-condition
// lists, /), including the points where that parser reduces by default
// before it notices a syntax error, and its error recovery, which lets one
// run report the errors of the whole specification (the run then fails):
//  - an error inside a rule drops the rule up to its end (its rule number is
//    reused by the next rule);
//  - an error where a rule should begin ends the rules: the rest is still
//    scanned, so actions are still copied, but it yields no rules;
//  - after an error, further errors stay silent until three tokens have
//    been accepted.
#include "run.h"

namespace duq_lex {

namespace {

constexpr int S_RE = 1000;  // a reduced expression on the stack

struct Entry {
    int sym;
    int val;
};

struct GiveUp {};

bool isAtom(int t)
{
    return t == T_CHAR || t == T_STRING || t == '.' || t == T_CLASS || t == T_NEGCLASS || t == T_EMPTY;
}

bool startsExpression(int t)
{
    return isAtom(t) || t == '(' || t == '^' || t == T_STARTLIST;
}

class Parser {
public:
    explicit Parser(Run& r) : r_(r) {}
    int run();

private:
    int token()
    {
        if (la_ < 0)
            la_ = r_.scan();
        return la_;
    }
    // Accepts the look-ahead token.
    void shift()
    {
        la_ = -1;
        if (errFlag_ > 0)
            --errFlag_;
    }
    void checkDepth(size_t extra)
    {
        if (base_ + st_.size() + extra > static_cast<size_t>(r_.cap_.parserStack)) {
            r_.capacity();
            r_.message("%s", r_.tr("yacc stack overflow", "preplnenie Yacc zasobnika"));
            throw GiveUp();
        }
    }
    void push(int sym, int val)
    {
        checkDepth(1);
        st_.push_back({sym, val});
    }
    // Every syntax error fails the run, but only the first of a cluster is
    // reported: until three tokens have been accepted after an error, a
    // further one is most likely its echo.  The report is an error item
    // with the line of the offending token, so that the error list can
    // jump to it.
    void syntaxErrorLine()
    {
        ++r_.syntaxErrors_;
        if (errFlag_ == 0) {
            r_.sinks_.lexError(r_.tr("syntax error", "syntakticka chyba"), la_ == 0 ? -1 : r_.tokenLine_);
            r_.lastReportLine_ = la_ == 0 ? -1 : r_.tokenLine_;
        }
        errFlag_ = 3;
    }

    int parseRule();
    int ruleError();
    int drain();
    void finishRules(bool haveRules, int rules);
    void storeDefinition(const std::string& name, const std::string& text);
    void shiftAtom(int t);
    int precedenceBelowTop() const;
    void reduceWhile(int prec);
    void reduceTop();
    int context(int head, int tail);
    int repeatRange(int x, long m, long n);
    int repeatExactly(int x, long n);
    int repeatAtLeast(int x, long n);
    int chain(int first, long copies);

    Run& r_;
    int la_ = -1;
    int errFlag_ = 0;
    size_t base_ = 1;  // states under the rule being parsed
    int ruleLine_ = 0; // where the rule being parsed began
    std::vector<Entry> st_;
};

int Parser::run()
{
    try {
        base_ = 2;  // the start state and the (empty) definitions
        for (;;) {
            int t = token();
            if (t == T_STRING) {
                std::string name = r_.tokenText_;
                checkDepth(1);
                shift();
                if (token() != T_STRING) {
                    syntaxErrorLine();
                    return drain();
                }
                checkDepth(2);
                shift();
                storeDefinition(name, r_.tokenText_);
                continue;
            }
            if (t == T_SECTION) {
                checkDepth(1);
                shift();
                ++r_.section_;
                break;
            }
            syntaxErrorLine();
            return drain();
        }

        base_ = 3;
        bool haveRules = false;
        int rules = -1;
        for (;;) {
            int t = token();
            if (startsExpression(t)) {
                // The look-ahead is the rule's first token: its line is the
                // rule's line, however many lines the action takes.
                ruleLine_ = r_.tokenLine_;
                int rule = parseRule();
                if (!haveRules) {
                    haveRules = true;
                    base_ = 4;
                    rules = rule;
                } else if (rule >= 0) {
                    rules = rules >= 0 ? r_.node(N_RULEALT, rules, rule) : rule;
                }
                continue;
            }
            if (t == T_SECTION) {
                checkDepth(1);
                shift();
                ++r_.section_;
                finishRules(haveRules, rules);
                if (token() == 0)
                    return 0;
                syntaxErrorLine();
                return drain();
            }
            // Anything else closes the rules section by default; only then
            // is a token that cannot follow seen as an error.
            finishRules(haveRules, rules);
            if (t == 0)
                return 0;
            syntaxErrorLine();
            return drain();
        }
    } catch (const GiveUp&) {
        return 1;
    }
}

void Parser::finishRules(bool haveRules, int rules)
{
    if (!haveRules && !r_.switchHeadWritten_)
        r_.writeSwitchHead();
    r_.root_ = rules;
}

// After an error at the level of the whole specification: every token up to
// the end of the input is dropped.
int Parser::drain()
{
    while (token() != 0)
        la_ = -1;
    return 0;
}

void Parser::storeDefinition(const std::string& name, const std::string& text)
{
    if (r_.definitions_.size() + 1 >= static_cast<size_t>(r_.cap_.maxDefinitions)) {
        r_.capacity();
        r_.error("%s", r_.tr("Too many definitions", "Prilis vela definicii"));
    }
    int need = static_cast<int>(name.size() + text.size()) + 2;
    if (r_.definitionPoolUsed_ + need > r_.cap_.definitionPool) {
        r_.capacity();
        r_.error("%s", r_.tr("Definitions too long", "Prilis dlha definicia"));
    }
    r_.definitionPoolUsed_ += need;
    r_.definitions_.push_back({name, text});
}

// A syntax error inside a rule: back to the start of the rule, then skip
// to the rule's end.  The rule is dropped.
int Parser::ruleError()
{
    syntaxErrorLine();
    st_.clear();
    checkDepth(1);  // the error token
    // A trailing context seen before the error belongs to the dropped rule
    // and must not turn the next rule's '/' into an extra slash.
    r_.contextFlag_ = false;
    for (;;) {
        int t = token();
        if (t == T_ENDRULE) {
            shift();
            r_.ruleRead(false);
            return -1;
        }
        if (t == 0)
            throw GiveUp();
        la_ = -1;
    }
}

void Parser::shiftAtom(int t)
{
    push(t, 0);
    shift();
    st_.pop_back();
    int v = -1;
    switch (t) {
    case T_CHAR:
        v = r_.node(r_.tokenChar_);
        break;
    case T_STRING: {
        const std::string& s = r_.tokenText_;
        v = r_.node(static_cast<unsigned char>(s[0]));
        for (size_t i = 1; i < s.size(); ++i)
            v = r_.node(N_STRCONT, v, static_cast<unsigned char>(s[i]));
        break;
    }
    case '.': {
        if (r_.dotClass_ < 0) {
            std::string text;
            for (int c = 1; c < 128; ++c) {
                r_.classMarks_[c] = c != '\n';
                if (c != '\n')
                    text.push_back(static_cast<char>(c));
            }
            r_.dotClass_ = r_.storeClassText(text, "Too many large character classes",
                                             "Prilis vela rozsiahlych znakovych tried");
        }
        r_.classMarks_[int{'\n'}] = false;
        r_.updateNumbering(false);
        v = r_.node(N_CLASS, r_.dotClass_);
        break;
    }
    case T_CLASS:
        v = r_.node(N_CLASS, r_.tokenPool_);
        break;
    case T_NEGCLASS:
        v = r_.node(N_NEGCLASS, r_.tokenPool_);
        break;
    case T_EMPTY:
        v = r_.node(N_EMPTY);
        break;
    }
    push(S_RE, v);
}

// Binding strength of the construct that would be reduced with the
// expression on top of the stack; 0 when nothing can be reduced.
int Parser::precedenceBelowTop() const
{
    if (st_.size() < 2 || st_.back().sym != S_RE)
        return 0;
    switch (st_[st_.size() - 2].sym) {
    case S_RE: return 6;         // concatenation
    case '^': return 4;
    case '|': return 3;
    case T_STARTLIST: return 2;
    case '/': return 1;
    default: return 0;           // '(' waits for its ')'
    }
}

void Parser::reduceWhile(int prec)
{
    for (;;) {
        int p = precedenceBelowTop();
        if (p == 0 || p < prec)
            return;
        reduceTop();
    }
}

void Parser::reduceTop()
{
    int right = st_.back().val;
    st_.pop_back();
    Entry op = st_.back();
    int v;
    switch (op.sym) {
    case S_RE:
        st_.pop_back();
        v = r_.node(N_CONCAT, op.val, right);
        break;
    case '|':
        st_.pop_back();
        v = r_.node(N_ALT, st_.back().val, right);
        st_.pop_back();
        break;
    case '/':
        st_.pop_back();
        v = context(st_.back().val, right);
        st_.pop_back();
        break;
    case '^':
        st_.pop_back();
        v = r_.node(N_LINESTART, right);
        break;
    default:  // T_STARTLIST
        st_.pop_back();
        v = r_.node(N_STARTCOND, right, op.val);
        break;
    }
    st_.push_back({S_RE, v});
}

int Parser::context(int head, int tail)
{
    if (r_.contextFlag_) {
        r_.warning("%s", r_.tr("Extra slash removed", "Bolo odstraneny prebytocny znak 'lomitko' \"\\\""));
        return r_.node(N_CONCAT, head, tail);
    }
    int mark = r_.node(N_CTXMARK, -r_.ruleCounter_);
    int h = r_.node(N_CONCAT, head, mark);
    r_.contextFlag_ = true;
    return r_.node(N_CONTEXT, h, tail);
}

// first followed by `copies` copies of it.
int Parser::chain(int first, long copies)
{
    int v = first;
    for (long i = 0; i < copies; ++i)
        v = r_.node(N_CONCAT, v, r_.copyTree(first));
    return v;
}

int Parser::repeatRange(int x, long m, long n)
{
    if (m > n)
        std::swap(m, n);
    if (n <= 0) {
        r_.warning("%s", r_.tr("Iteration range must be positive", "Rozsah iteracie musi byt kladny"));
        return x;
    }
    int result = chain(x, m > 0 ? m - 1 : 0);
    for (long len = m > 0 ? m + 1 : 1; len <= n; ++len) {
        int term = chain(r_.copyTree(x), len - 1);
        result = r_.node(N_ALT, result, term);
    }
    return result;
}

int Parser::repeatExactly(int x, long n)
{
    if (n < 0) {
        r_.warning("%s", r_.tr("Can't have negative iteration", "Zaporna iteracia nie je mozna"));
        return x;
    }
    if (n == 0)
        return r_.node(N_EMPTY);
    return chain(x, n - 1);
}

int Parser::repeatAtLeast(int x, long n)
{
    if (n < 0) {
        r_.warning("%s", r_.tr("Can't have negative iteration", "Zaporna iteracia nie je mozna"));
        return x;
    }
    if (n == 0)
        return r_.node(N_STAR, x);
    if (n == 1)
        return r_.node(N_PLUS, x);
    int v = chain(x, n - 2);
    return r_.node(N_CONCAT, v, r_.node(N_PLUS, r_.copyTree(x)));
}

// One rule up to its T_ENDRULE.  The node of the rule, or -1 when a syntax
// error dropped it.
int Parser::parseRule()
{
    st_.clear();
    bool prefixed = false;  // the rule begins with a <...> list
    for (;;) {
        int t = token();
        bool haveExpression = !st_.empty() && st_.back().sym == S_RE;
        if (!haveExpression) {
            if (isAtom(t)) {
                shiftAtom(t);
            } else if (t == '(' || t == '^' || t == T_STARTLIST) {
                prefixed = prefixed || t == T_STARTLIST;
                push(t, t == T_STARTLIST ? r_.tokenPool_ : 0);
                shift();
            } else {
                return ruleError();
            }
            continue;
        }
        switch (t) {
        case '*':
        case '+':
        case '?': {
            push(t, 0);
            shift();
            st_.pop_back();
            int kind = t == '*' ? N_STAR : t == '+' ? N_PLUS : N_QUEST;
            st_.back().val = r_.node(kind, st_.back().val);
            break;
        }
        case '(':
            reduceWhile(5);
            push('(', 0);
            shift();
            break;
        case T_COUNT: {
            reduceWhile(5);
            long m = r_.tokenCount_;
            push(T_COUNT, 0);
            shift();
            int x = st_[st_.size() - 2].val;
            int v;
            if (token() == '}') {
                push('}', 0);
                shift();
                v = repeatExactly(x, m);
            } else if (token() == ',') {
                push(',', 0);
                shift();
                if (token() == '}') {
                    push('}', 0);
                    shift();
                    v = repeatAtLeast(x, m);
                } else if (token() == T_COUNT) {
                    long n = r_.tokenCount_;
                    push(T_COUNT, 0);
                    shift();
                    if (token() != '}')
                        return ruleError();
                    push('}', 0);
                    shift();
                    v = repeatRange(x, m, n);
                } else {
                    return ruleError();
                }
            } else {
                return ruleError();
            }
            while (st_.back().sym != S_RE)
                st_.pop_back();
            st_.back().val = v;
            break;
        }
        case '$': {
            reduceWhile(4);
            push('$', 0);
            shift();
            st_.pop_back();
            int nl = r_.node('\n');
            st_.back().val = context(st_.back().val, nl);
            break;
        }
        case '|':
            reduceWhile(3);
            push('|', 0);
            shift();
            break;
        case '/':
            reduceWhile(1);
            push('/', 0);
            shift();
            break;
        case ')':
            reduceWhile(1);
            if (st_.size() < 2 || st_[st_.size() - 2].sym != '(')
                return ruleError();
            push(')', 0);
            shift();
            st_.pop_back();
            {
                int v = st_.back().val;
                st_.pop_back();
                st_.back() = {S_RE, v};
            }
            break;
        case T_ENDRULE: {
            reduceWhile(1);
            if (st_.size() != 1)
                return ruleError();
            push(T_ENDRULE, 0);
            shift();
            int re = st_.front().val;
            // Exclusive start conditions run only the rules that name them.
            int inclusive = prefixed ? -1 : r_.inclusiveList();
            if (inclusive >= 0)
                re = r_.node(N_STARTCOND, re, inclusive);
            int fin = r_.node(r_.contextFlag_ ? N_FINALCTX : N_FINAL, r_.ruleCounter_);
            r_.noteRuleLine(r_.ruleCounter_, ruleLine_);
            int v = r_.node(N_CONCAT, re, fin);
            r_.contextFlag_ = false;
            r_.ruleRead(true);
            ++r_.ruleCounter_;
            st_.clear();
            return v;
        }
        default:
            if (isAtom(t)) {
                reduceWhile(5);
                shiftAtom(t);
                break;
            }
            reduceWhile(1);
            return ruleError();
        }
    }
}

} // namespace

void Run::noteRuleLine(int rule, int line)
{
    if (rule < 1)
        return;
    if (ruleLines_.size() <= static_cast<size_t>(rule))
        ruleLines_.resize(static_cast<size_t>(rule) + 1, 0);
    ruleLines_[static_cast<size_t>(rule)] = line;
}

int Run::parse()
{
    Parser p(*this);
    return p.run();
}

} // namespace duq_lex
