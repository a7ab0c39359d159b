// The directly coded parser routine (duq-yacc --fast): yyparse written out
// state by state instead of the table walk of the skeleton.
//
// Every decision is read back from the packed tables just written, the way
// the table walk reads them, so that both routines shift, reduce, accept,
// fail and call yylex at exactly the same points.  The tables stay in the
// file: error recovery, the cold path, searches them for a state that
// shifts "error" as the skeleton does.
#include "run.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace duq_yacc::detail {

namespace {

constexpr int kNoShifts = -1000;  // yypact of a state without shifts

// A state's action on a lookahead: a shift to a state (>= 0), or one of
// these kinds with a rule.
struct Action {
    enum Kind { Shift, Reduce, Accept, Error } kind = Error;
    int target = 0;  // state or rule
    bool operator<(const Action& o) const { return kind != o.kind ? kind < o.kind : target < o.target; }
    bool operator==(const Action& o) const { return kind == o.kind && target == o.target; }
};

Action fromRule(int n)
{
    if (n < 0)
        return {Action::Accept, 0};
    if (n == 0)
        return {Action::Error, 0};
    return {Action::Reduce, n};
}

} // namespace

void Run::writeDirectParser(const std::vector<int>& r2, const std::vector<int>& chk)
{
    const int nst = nstate_;
    const int last = maxa_ + 1;  // YYLAST
    auto act = [&](long long i) { return i >= 0 && i < last ? yyact_[static_cast<size_t>(i)] : -1; };
    auto isState = [&](int s) { return s >= 0 && s < nst; };

    // The actions, one text per rule, as the action file holds them.
    std::map<int, std::string> actions;
    if (std::FILE* f = actionWork_.reopen()) {
        std::string all;
        int c;
        while ((c = std::fgetc(f)) != EOF)
            all.push_back(static_cast<char>(c));
        std::fclose(f);
        size_t from = 0;
        for (const long end : actionEnds_) {
            const size_t to = std::min(all.size(), static_cast<size_t>(end));
            const std::string text = all.substr(from, to - from);
            from = to;
            const size_t caseAt = text.find("case ");
            if (caseAt != std::string::npos)
                actions[std::atoi(text.c_str() + caseAt + 5)] = text;
        }
    } else {
        fatal("cannot reopen action tempfile", "nemozno opatovne otvorit pracovny subor 'action'");
    }
    actionWork_.remove();

    // Each state's exception row, as the table walk finds it: the first row
    // that names the state.
    std::vector<int> row(static_cast<size_t>(nst), -1);
    for (size_t j = 0; j + 1 < exca_.size(); j += 2) {
        const int s = exca_[j + 1];
        if (exca_[j] == -1 && isState(s) && row[static_cast<size_t>(s)] < 0)
            row[static_cast<size_t>(s)] = static_cast<int>(j) + 2;
    }

    // The goto on nonterminal n from the uncovered state u, as the table
    // walk finds it: the column's entry when it names a state entered by n,
    // else the column's default.
    auto gotoOf = [&](int u, int n) {
        const int base = yypgo_[static_cast<size_t>(n)];
        const int to = act(static_cast<long long>(base) + u + 1);
        return isState(to) && chk[static_cast<size_t>(to)] == -n ? to : act(base);
    };
    // A state that reduces by a one-symbol rule without an action whatever
    // the lookahead: entering it leaves the value and the uncovered state as
    // they are, so it is passed at once (its rule, else 0).
    std::vector<int> passed(static_cast<size_t>(nst), 0);
    for (int s = 0; s < nst; ++s) {
        const int def = defact_[static_cast<size_t>(s)];
        if (yypact_[static_cast<size_t>(s)] <= kNoShifts && def > 0 && def < nprod_ &&
            r2[static_cast<size_t>(def)] == 1 && !actions.count(def) && levprd_[static_cast<size_t>(def)] >= 0 &&
            levprd_[static_cast<size_t>(def)] <= nnonter_ &&
            static_cast<size_t>(levprd_[static_cast<size_t>(def)]) < yypgo_.size())
            passed[static_cast<size_t>(s)] = def;
    }
    std::vector<bool> tokenTarget(static_cast<size_t>(nst), false);
    std::vector<bool> detects(static_cast<size_t>(nst), false);  // may find a syntax error
    std::string states;
    char buf[160];
    for (int s = 0; s < nst; ++s) {
        const int pact = yypact_[static_cast<size_t>(s)];
        const int def = defact_[static_cast<size_t>(s)];
        const bool reads = pact > kNoShifts || def == -2;
        if (passed[static_cast<size_t>(s)]) {
            // Its push and pop would leave the stacks as they are: the
            // state it leads to pushes the same value into the same place,
            // with the same check of the bound.
            std::snprintf(buf, sizeof buf, "yyS%d:\n    goto yyG%d;\n", s,
                          levprd_[static_cast<size_t>(passed[static_cast<size_t>(s)])]);
            states += buf;
            continue;
        }
        std::snprintf(buf, sizeof buf, "yyS%d:\n    YYPUSH(%d);\n", s, s);
        states += buf;
        // The label where recovery goes on after dropping a token.
        std::snprintf(buf, sizeof buf, "yyN%d:\n", s);
        const size_t labelAt = states.size();
        states += buf;
        if (!reads) {
            // One action whatever comes next: no token is read for it.
            const Action a = fromRule(def);
            if (a.kind == Action::Reduce) {
                std::snprintf(buf, sizeof buf, "    goto yyR%d;\n", a.target);
            } else {
                std::snprintf(buf, sizeof buf, "    yystate = %d;\n    goto yyerrdetect;\n", s);
                detects[static_cast<size_t>(s)] = true;
            }
            states += buf;
            if (!detects[static_cast<size_t>(s)])
                states.erase(labelAt, std::strlen("yyN:\n") + std::to_string(s).size());
            continue;
        }
        // The actions by token, then the one for every other token.
        std::map<int, Action> byToken;
        if (pact > kNoShifts) {
            for (int i = std::max(pact, 0); i < last; ++i) {
                const int t = i - pact;
                const int to = act(i);
                if (t >= 0 && isState(to) && chk[static_cast<size_t>(to)] == t) {
                    byToken[t] = {Action::Shift, to};
                    tokenTarget[static_cast<size_t>(to)] = true;
                }
            }
        }
        Action other = fromRule(def);
        if (def == -2) {
            other = {Action::Error, 0};
            int j = row[static_cast<size_t>(s)];
            if (j >= 0) {
                const int n = static_cast<int>(exca_.size());
                for (; j + 1 < n && exca_[static_cast<size_t>(j)] >= 0; j += 2)
                    byToken.emplace(exca_[static_cast<size_t>(j)], fromRule(exca_[static_cast<size_t>(j) + 1]));
                if (j + 1 < n)
                    other = fromRule(exca_[static_cast<size_t>(j) + 1]);
            }
        }
        std::map<Action, std::vector<int>> cases;
        for (const auto& [t, a] : byToken)
            if (!(a == other))
                cases[a].push_back(t);
        auto jump = [&](const Action& a) {
            switch (a.kind) {
            case Action::Shift:
                std::snprintf(buf, sizeof buf, "goto yyT%d;\n", a.target);
                break;
            case Action::Reduce:
                std::snprintf(buf, sizeof buf, "goto yyR%d;\n", a.target);
                break;
            case Action::Accept:
                std::snprintf(buf, sizeof buf, "YYACCEPT;\n");
                break;
            case Action::Error:
                std::snprintf(buf, sizeof buf, "yystate = %d; goto yyerrdetect;\n", s);
                detects[static_cast<size_t>(s)] = true;
                break;
            }
            return std::string(buf);
        };
        const bool errorOther = other.kind == Action::Error;
        bool errorCase = false;
        for (const auto& kv : cases)
            errorCase = errorCase || kv.first.kind == Action::Error;
        if (!errorOther && !errorCase)
            states.erase(labelAt, std::strlen("yyN:\n") + std::to_string(s).size());
        states += "    YYREAD();\n";
        if (cases.empty()) {
            states += "    " + jump(other);
            continue;
        }
        states += "    switch (yychar) {\n";
        for (const auto& [a, tokens] : cases) {
            for (size_t k = 0; k < tokens.size(); ++k) {
                std::snprintf(buf, sizeof buf, "%s%d:", k % 8 == 0 ? "    case " : " case ", tokens[k]);
                states += buf;
                if (k % 8 == 7 || k + 1 == tokens.size())
                    states += "\n";
            }
            states += "        " + jump(a);
        }
        states += "    default:\n        " + jump(other) + "    }\n";
    }

    outText("\n/* yyparse, coded directly: each state pushes itself, reads a token\n"
            "   only where its action depends on one, and goes on to a shift or to\n"
            "   a rule's reduction; a reduction pops, runs the rule's action and\n"
            "   goes to the state its left side leads to from the uncovered one. */\n");
    outText("#ifndef YYDBG_END\n#define YYDBG_END(result)\n#endif\n");
    outText("#define YYFLAG (-1000)\n"
            "#define YYRETURN(v) do { YYDBG_END(v); return (v); } while (0)\n"
            "#define YYERROR goto yyerrlab\n"
            "#define YYACCEPT YYRETURN(0)\n"
            "#define YYABORT YYRETURN(1)\n"
            "#define YYNSTATES ((int) (sizeof(yychk) / sizeof(yychk[0])))\n"
            "#define YYREAD() if (yychar < 0) { yychar = yylex(); if (yychar < 0) yychar = 0; }\n"
            "#define YYPUSH(s) if (yysp + 1 >= YYMAXDEPTH) goto yyoverflow; \\\n"
            "    yys[++yysp] = (short) (s); yyv[yysp] = yyval\n"
            "\n"
            "YYSTYPE yyv[YYMAXDEPTH];    /* value stack, parallel to the state stack */\n"
            "int yychar = -1;            /* current lookahead token, -1 for none */\n"
            "int yynerrs = 0;            /* number of syntax errors */\n"
            "short yyerrflag = 0;        /* tokens still to shift before recovery ends */\n\n"
            "int yyparse()\n{\n"
            "    short yys[YYMAXDEPTH];  /* state stack */\n"
            "    int yysp;               /* top of both stacks */\n"
            "    YYSTYPE *yypvt;         /* value-stack top at a reduction */\n"
            "    int yystate, yyn, yyj, yym, yylhs;\n\n"
            "    yysp = -1;\n    yychar = -1;\n    yynerrs = 0;\n    yyerrflag = 0;\n"
            "    yystate = 0;\n    yym = yylhs = 0;\n    yypvt = yyv;\n    (void) yypvt;\n"
            "    goto yyS0;\n\n");

    // The states, a shift into each state entered by a token in front of it.
    {
        size_t at = 0;
        for (int s = 0; s < nst; ++s) {
            std::snprintf(buf, sizeof buf, "yyS%d:\n", s);
            const size_t from = states.find(buf, at);
            if (tokenTarget[static_cast<size_t>(s)]) {
                std::snprintf(buf, sizeof buf,
                              "yyT%d:\n    yychar = -1;\n    yyval = yylval;\n    if (yyerrflag > 0)\n"
                              "        --yyerrflag;\n",
                              s);
                outText(states.substr(at, from - at).c_str());
                outText(buf);
                at = from;
            }
        }
        outText(states.substr(at).c_str());
    }

    // The reductions: every rule but $accept's, which is never reduced.
    std::vector<bool> lhsUsed(static_cast<size_t>(nnonter_ + 1), false);
    for (int r = 1; r < nprod_; ++r) {
        const int lhs = levprd_[static_cast<size_t>(r)];
        const int len = r2[static_cast<size_t>(r)];
        if (lhs >= 0 && lhs <= nnonter_)
            lhsUsed[static_cast<size_t>(lhs)] = true;
        outFormat("yyR%d:\n", r);
        const auto it = actions.find(r);
        if (it != actions.end())
            outText("    yypvt = &yyv[yysp];\n");
        if (len > 0) {
            outFormat("    yysp -= %d;\n    yyval = yyv[yysp + 1];\n", len);
        } else {
            // The default value is that of the first symbol, here the one
            // above the top, as the table walk takes it.
            outText("    if (yysp + 1 < YYMAXDEPTH)\n        yyval = yyv[yysp + 1];\n");
        }
        if (it != actions.end()) {
            outFormat("    switch (%d) {", r);
            // The action's "case" begins on a line of its own; after it the
            // parser file's own line numbers return.
            for (const char ch : it->second)
                outChar(static_cast<unsigned char>(ch));
            returnToOutput();
            outText("    }\n");
        }
        outFormat("    goto yyG%d;\n", lhs);
    }

    // The gotos, by the left side and the uncovered state.
    for (int n = 0; n <= nnonter_; ++n) {
        if (!lhsUsed[static_cast<size_t>(n)])
            continue;
        if (static_cast<size_t>(n) >= yypgo_.size()) {
            // No goto column (tables that do not fit the grammar).
            outFormat("yyG%d:\n    YYABORT;\n", n);
            continue;
        }
        // From each uncovered state, the goto and on through the states
        // passed at once, which all go from the same uncovered state.
        std::map<int, std::vector<int>> byTarget;
        for (int u = 0; u < nst; ++u) {
            int to = gotoOf(u, n);
            for (int step = 0; isState(to) && passed[static_cast<size_t>(to)] && step < nst; ++step) {
                const int next = gotoOf(u, levprd_[static_cast<size_t>(passed[static_cast<size_t>(to)])]);
                if (!isState(next))
                    break;
                to = next;
            }
            byTarget[to].push_back(u);
        }
        // The target of the most uncovered states is the default.
        int fallback = byTarget.begin()->first;
        for (const auto& [to, from] : byTarget)
            if (from.size() > byTarget[fallback].size())
                fallback = to;
        auto enter = [&](int to) {
            if (!isState(to))
                return std::string("YYABORT;\n");
            std::snprintf(buf, sizeof buf, "goto yyS%d;\n", to);
            return std::string(buf);
        };
        outFormat("yyG%d:\n", n);
        if (byTarget.size() == 1) {
            outText(("    " + enter(fallback)).c_str());
            continue;
        }
        outText("    switch (yys[yysp]) {\n");
        for (const auto& [to, from] : byTarget) {
            if (to == fallback)
                continue;
            for (size_t k = 0; k < from.size(); ++k) {
                outFormat("%s%d:", k % 8 == 0 ? "    case " : " case ", from[k]);
                if (k % 8 == 7 || k + 1 == from.size())
                    outText("\n");
            }
            outText(("        " + enter(to)).c_str());
        }
        outText(("    default:\n        " + enter(fallback) + "    }\n").c_str());
    }

    // Errors: reported once, then recovery on "error" as the table walk
    // does it, with its tables.
    outText("yyoverflow:\n"
            "    yyerror(\"yacc stack overflow\");\n"
            "    YYABORT;\n"
            "yyerrdetect:\n"
            "    switch (yyerrflag) {\n"
            "    case 0:\n"
            "        yyerror(\"syntax error\");\n"
            "    yyerrlab:\n"
            "        ++yynerrs;\n"
            "        /* fall through */\n"
            "    case 1:\n"
            "    case 2:\n"
            "        /* a state that shifts \"error\", as deep in the stack as needed */\n"
            "        yyerrflag = 3;\n"
            "        while (yysp >= 0) {\n"
            "            yyn = yypact[yys[yysp]];\n"
            "            if (yyn > YYFLAG) {\n"
            "                yyn += YYERRCODE;\n"
            "                if (yyn >= 0 && yyn < YYLAST) {\n"
            "                    yyj = yyact[yyn];\n"
            "                    if (yyj >= 0 && yyj < YYNSTATES && yychk[yyj] == YYERRCODE) {\n"
            "                        yystate = yyj;\n"
            "                        goto yyerrshift;\n"
            "                    }\n"
            "                }\n"
            "            }\n"
            "            --yysp;\n"
            "        }\n"
            "        YYABORT;\n"
            "    case 3:\n"
            "        /* still no token shifted since the error: drop this one,\n"
            "           but never the end of the input */\n"
            "        if (yychar == 0)\n"
            "            YYABORT;\n"
            "        yychar = -1;\n"
            "        break;\n"
            "    default:\n"
            "        YYABORT;\n"
            "    }\n"
            "    /* on in the state where the error was found */\n"
            "    switch (yystate) {\n");
    for (int s = 0; s < nst; ++s)
        if (detects[static_cast<size_t>(s)])
            outFormat("    case %d: goto yyN%d;\n", s, s);
    outText("    }\n    YYABORT;\n"
            "yyerrshift:\n"
            "    /* \"error\" shifted: its state is pushed over the one that shifts it */\n"
            "    switch (yystate) {\n");
    for (int s = 0; s < nst; ++s)
        if (chk[static_cast<size_t>(s)] == tokset_[2].value)
            outFormat("    case %d: goto yyS%d;\n", s, s);
    outText("    }\n    YYABORT;\n}\n");
}

} // namespace duq_yacc::detail
