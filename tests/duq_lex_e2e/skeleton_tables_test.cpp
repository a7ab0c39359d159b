// The skeleton on hand-packed tables: each case spells out the packed form
// of a small automaton (entries per state, states compressed by character,
// fall-back links, stop lists), lays it out into yycrank the way DUQ-Lex
// does, appends ncform and runs the program.  This pins down how ncform
// reads the table conventions without depending on the generator.
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct PackedState {
    std::vector<std::pair<int, int>> entries;  // (character, target; -1: error entry)
    std::vector<int> stops;                    // stop list without its closing 0
    int fallback = -1;
    bool compressed = false;
};

struct TableCase {
    const char* name;
    std::vector<PackedState> states;
    std::map<int, int> match;   // yymatch entries that differ from the identity
    bool optim;                 // write YYOPTIM and yymatch
    std::vector<std::string> actions;  // action of rule 1, 2, ...
    std::string input;
    std::string expected;
    std::vector<int> context = {};  // rules with trailing context (yyextra)
    std::string errContains = "";   // "": standard error stays empty
};

// The declarations every generated scanner starts with.
const char* const kPrologue = R"L(#include <stdio.h> 
#include <alloc.h> 
#define   U(x)       x
#define   NLSTATE    yyprevious = YYNEWLINE
#define   BEGIN      yybgin = yysvec + 1 +
#define   INITIAL    0
#define   YYLERR     yysvec
#define   YYSTATE    ( yyestate - yysvec - 1 )
%s#define   YYLMAX     200

#define   output( c )   putc( c, yyout )
#define   input()       ( ( ( yytchar = yysptr > yysbuf ? U( *--yysptr ) : getc( yyin ) ) == 10 ? ( yylineno++, yytchar ) : yytchar ) == EOF ? 0 : yytchar ) 
#define   unput( c )    {  yytchar = ( c ); if ( yytchar == '\n') yylineno--; *yysptr++ = yytchar; }
#define   yymore()      ( yymorfg = 1 )
#define   ECHO          fprintf( yyout,"%%s", yytext )
#define   REJECT        { nstr = yyreject(); goto yyfussy; }

int   yylook( void ); 
int   yyback( int  *p, int  m );
int  yyinput( void );
void  yyoutput( int  c );
void  yyunput( int c );
FILE    *yyin   =   {stdin},  
        *yyout  =   {stdout} ;
struct  yysvf  { 
    struct  yywork   *yystoff;
    struct  yysvf    *yyother;
    int              *yystops;
};
struct           yysvf   *yyestate;
extern  struct   yysvf    yysvec[],
                         *yybgin;
int   yyleng;  
int   yymorfg; 
int   yytchar; 
extern  char    yytext[];
extern  char    yysbuf[];
extern  char   *yysptr;
extern  int     yylineno;
int yywrap(void) { return 1; }
int yyreject(void);
# define YYNEWLINE 10
yylex(){
int nstr; extern int yyprevious;
   while ( ( nstr = yylook() ) >= 0 )  { 
yyfussy:
        switch( nstr )  {
            case 0:
                     if ( yywrap() ) 
                          return( 0 );
                           break;
)L";

std::string format(const char* fmt, int a, int b = 0)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

// First-fit layout of the states' entries into verify/advance, as DUQ-Lex
// does it, and the text of all tables.
std::string tablesText(const TableCase& c)
{
    const int n = static_cast<int>(c.states.size());
    std::vector<int> verify(4096, 0), advance(4096, 0), base(n, 0);
    int top = 0;
    for (int s = 0; s < n; ++s) {
        const auto& e = c.states[s].entries;
        if (e.empty()) continue;
        int o = 1;
        for (;; ++o) {
            bool fits = true;
            for (const auto& p : e) fits = fits && verify[o + p.first] == 0;
            if (fits) break;
        }
        for (const auto& p : e) {
            verify[o + p.first] = s + 1;
            advance[o + p.first] = p.second + 1;
            top = std::max(top, o + p.first);
        }
        base[s] = o;
    }
    std::string t = "int   yyvstop[]  =  {\n0,\n";
    std::vector<int> stopAt(n, -1);
    int next = 1;
    for (int s = 0; s < n; ++s) {
        if (c.states[s].stops.empty()) continue;
        stopAt[s] = next;
        for (int r : c.states[s].stops) t += format("%d,\n", r), ++next;
        t += "0,\n", ++next;
    }
    t += "0\n};\n";
    t += std::string("#define   YYTYPE    ") + (n < 129 ? "char" : "int") + "\n";
    t += "struct  yywork   { YYTYPE verify, advance; }  yycrank[]  =  {\n";
    for (int k = 0; k <= top; ++k) t += format("%d,%d,\t", verify[k], advance[k]);
    t += "0,0\n};\nstruct  yysvf   yysvec[]  =  {\n0,\t0,\t0,\n";
    for (int s = 0; s < n; ++s) {
        const PackedState& st = c.states[s];
        t += format("yycrank+%d,\t", st.compressed ? -base[s] : base[s]);
        t += st.fallback >= 0 ? format("yysvec+%d,\t", st.fallback + 1) : "0,\t\t";
        t += stopAt[s] >= 0 ? format("yyvstop+%d,\n", stopAt[s]) : "0,\n";
    }
    t += "0,\t0,\t0\n};\n";
    t += format("struct  yywork   *yytop  = yycrank + %d;\n", top);
    t += "struct  yysvf    *yybgin = yysvec  + 1;\n";
    if (c.optim) {
        t += "char  yymatch[]  =  {\n";
        for (int ch = 0; ch < 128; ++ch) t += format("0%o,", c.match.count(ch) ? c.match.at(ch) : ch);
        t += "0\n};\n";
    }
    t += "char  yyextra[]  =   {\n";
    for (size_t r = 0; r <= c.actions.size() + 1; ++r) {
        bool ctx = std::find(c.context.begin(), c.context.end(), static_cast<int>(r)) != c.context.end();
        t += ctx ? "1, " : "0, ";
    }
    t += "0\n};\n";
    return t;
}

std::string programText(const TableCase& c)
{
    std::string pro = kPrologue;
    std::string optim = c.optim ? "#define   YYOPTIM    1\n" : "";
    std::string text;
    char buf[8192];
    std::snprintf(buf, sizeof buf, pro.c_str(), optim.c_str());
    text = buf;
    for (size_t r = 0; r < c.actions.size(); ++r)
        text += format("case %d:\n", static_cast<int>(r + 1)) + c.actions[r] + "\nbreak;\n";
    text += "            case -1: \n                     break; \n            default: \n"
            "                     fprintf( yyout, \"bad switch yylook  %d\", nstr ); \n"
            "                     break;\n        }\n   }\n   return ( 0 ); \n}\n"
            "int main(void) { yylex(); return 0; }\n";
    return text + tablesText(c) + e2e::readFile(e2e::binPath("ncform"));
}

std::map<int, int> lettersTo(char rep)
{
    std::map<int, int> m;
    for (int ch = 'a'; ch <= 'z'; ++ch) m[ch] = rep;
    return m;
}

// A chain of n states: states 0 and 1 (the start states) and each further
// one move on 'a' to the next; the last one ends rule 1.
std::vector<PackedState> chain(int n)
{
    std::vector<PackedState> s(n);
    s[0].entries = {{'a', 2}};
    s[1].entries = {{'a', 2}};
    for (int k = 2; k < n - 1; ++k) s[k].entries = {{'a', k + 1}};
    s[n - 1].stops = {1};
    return s;
}

std::vector<TableCase> tableCases()
{
    // Fall-back: state 3 ('b' seen) keeps only its own 'b' entry and moves
    // on 'a' like state 2.
    std::vector<PackedState> fallback(4);
    fallback[0].entries = {{'a', 2}, {'b', 3}};
    fallback[1].fallback = 0;
    fallback[2].entries = {{'a', 2}};
    fallback[2].stops = {1};
    fallback[3].entries = {{'b', 3}};
    fallback[3].fallback = 2;
    fallback[3].stops = {2};

    // Compressed by character: the letters share the representative 'a';
    // 'q' is an error entry at the start, 'z' inside a word.
    std::vector<PackedState> compressed(3);
    compressed[0].entries = {{'a', 2}, {'q', -1}};
    compressed[0].compressed = true;
    compressed[1].fallback = 0;
    compressed[1].compressed = true;
    compressed[2].entries = {{'a', 2}, {'z', -1}};
    compressed[2].compressed = true;
    compressed[2].stops = {1};

    // ab/cd: state 3 ends the head (-1), state 5 the whole rule.
    std::vector<PackedState> context(6);
    context[0].entries = {{'a', 2}};
    context[1].entries = {{'a', 2}};
    context[2].entries = {{'b', 3}};
    context[3].entries = {{'c', 4}};
    context[3].stops = {-1};
    context[4].entries = {{'d', 5}};
    context[5].stops = {1};

    // Rule 1 "ab" and rule 2 "a".
    std::vector<PackedState> prefixes(4);
    prefixes[0].entries = {{'a', 2}};
    prefixes[1].entries = {{'a', 2}};
    prefixes[2].entries = {{'b', 3}};
    prefixes[2].stops = {2};
    prefixes[3].stops = {1};

    // [a-z]+ in full, without packing.
    std::vector<PackedState> word(3);
    for (int ch = 'a'; ch <= 'z'; ++ch)
        for (int s = 0; s < 3; ++s) word[s].entries.push_back({ch, 2});
    word[2].stops = {1};

    const std::vector<std::string> ab = {"printf(\"A(%s)\", yytext);", "printf(\"B(%s)\", yytext);"};
    const std::vector<std::string> w = {"printf(\"W(%s)\", yytext);"};
    const std::vector<std::string> x = {"printf(\"X\");"};
    const std::vector<std::string> h = {"printf(\"H(%s)\", yytext);"};
    const std::vector<std::string> rejecting = {"printf(\"1(%s)\", yytext); REJECT;", "printf(\"2(%s)\", yytext);"};
    const std::vector<std::string> len = {"printf(\"w%d \", yyleng);"};
    return {
        {"trailing_context_ends_at_head", context, {}, true, h, "abcd abc\n", "H(ab)cd abc\n", {1}},
        {"reject_falls_back_to_prefix", prefixes, {}, true, rejecting, "ab b\n", "1(ab)2(a)b b\n"},
        {"token_longer_than_yylmax", word, {}, false, len, std::string(450, 'q') + "\n",
         "w200 w200 w50 \n", {}, "YYLMAX"},
        {"nul_and_high_bytes_are_characters", word, {}, false, w, "ab\0cd\xff\x80x\n"s,
         "W(ab)\0W(cd)\xff\x80W(x)\n"s},
        {"fallback_link", fallback, {}, true, ab, "aab bba\n", "A(aa)B(b) A(bba)\n"},
        {"fallback_link_without_yymatch", fallback, {}, false, ab, "aab bba\n", "A(aa)B(b) A(bba)\n"},
        {"compressed_by_character", compressed, lettersTo('a'), true, w,
         "abqcz zz q\xffz\n"s, "W(abqc)W(z) W(z)W(z) q\xffW(z)\n"s},
        {"chain_of_128_states_in_char_cells", chain(128), {}, true, x,
         std::string(126, 'a') + "\n" + std::string(125, 'a') + "\n", "X\n" + std::string(125, 'a') + "\n"},
        {"chain_of_130_states_in_int_cells", chain(130), {}, false, x,
         std::string(128, 'a') + "\n", "X\n"},
    };
}

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class SkeletonTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(SkeletonTables, ScannerReadsPackedTables)
{
    const TableCase& c = GetParam();
    e2e::TempDir dir;
    e2e::writeFile(dir.file("lexyy.cpp"), programText(c));
    ASSERT_EQ(e2e::compileScanner(dir), "");
    e2e::RunResult r = e2e::runScanner(dir, {}, c.input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, c.expected);
    if (c.errContains.empty())
        EXPECT_EQ(r.err, "");
    else
        EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Tables, SkeletonTables, ::testing::ValuesIn(tableCases()),
                         [](const ::testing::TestParamInfo<TableCase>& info) { return info.param.name; });

} // namespace
