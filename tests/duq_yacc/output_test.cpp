// Exact text of small parser files.  Each grammar under data/ comes with the
// expected text of one or more parts of its parser file, worked out by hand:
// the LR(0) states with their lookaheads, the action decisions, the packing,
// the declarations with their # line directives and the spliced actions.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

using namespace yacctest;

namespace {

struct Part {
    const char* suffix;  // of the expected file: data/<grammar>.<suffix>
    const char* from;    // "" = the start of the file
    bool withFrom;       // whether the text starts with `from` itself
    const char* to;      // "" = the end of the file
};

const Part kWhole{"whole", "", true, ""};
const Part kHead{"head", "", true, "short yyexca"};
const Part kDeclarations{"decl", "*/ \n\n", false, "short yyexca"};
const Part kTables{"tables", "short yyexca", true, "SKELETON["};
const Part kRules{"rules", "short yyr1", true, "short yychk"};
const Part kActions{"actions", "SKELETON[", true, ""};  // the skeleton is "SKELETON[$A]\n"

std::string part(const std::string& text, const Part& p)
{
    size_t a = *p.from ? text.find(p.from) : 0;
    if (a == std::string::npos)
        return "<missing " + std::string(p.from) + ">";
    if (!p.withFrom)
        a += std::strlen(p.from);
    const size_t b = *p.to ? text.find(p.to, a) : std::string::npos;
    return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

// The creation time is the one part that changes; it must have the C
// library's ctime form ("Sun Dec  6 07:03:07 2026"), which reads back and
// prints again to the same text.
std::string maskCreated(const std::string& text)
{
    const std::string key = "Created:  ";
    const size_t at = text.find(key);
    const size_t from = at + key.size(), end = text.find('\n', from);
    if (at == std::string::npos || end == std::string::npos)
        return text;
    const std::string stamp = text.substr(from, end - from);
    std::tm tm{};
    char again[64] = "";
    const char* form = "%a %b %e %H:%M:%S %Y";
    const char* rest = strptime(stamp.c_str(), form, &tm);
    if (!rest || *rest || std::strftime(again, sizeof again, form, &tm) == 0 || stamp != again)
        return text;
    return text.substr(0, from) + "TIME" + text.substr(end);
}

} // namespace

TEST(ParserFile, PartsMatchTheHandWorkedText)
{
    struct Case {
        const char* grammar;
        int debug;
        Part part;
    };
    const Case cases[] = {
        {"smallest", 0, kWhole},
        {"debug-header", 1, kHead},    // the debug lines follow the header
        {"nonassoc", 0, kTables},      // an error entry; states 0 and 3 share a shift row
        {"left", 0, kTables},          // reducing on '+' needs no exception row
        {"empty-rule", 0, kTables},    // states without shifts keep the -1000 marker
        {"ten-per-line", 0, kRules},   // arrays hold ten values per line
        {"code-and-user", 0, kDeclarations},  // a literal's define keeps its blank; '+' has none
        {"union", 0, kDeclarations},   // with a union there is no default YYSTYPE
        {"keywords", 0, kDeclarations},  // uppercase keywords and the backslash forms
        {"mid-rule", 0, kRules},       // rules: $$1 : ; a : b $$1 c ; b : 'b' ; c : 'c'
        {"mid-rule", 0, kActions},
        {"action-values", 0, kActions},  // $$, $n, $0 and $-1
        {"action-typed", 0, kActions},   // members of the symbols' and the explicit types
        {"action-quoted", 0, kActions},  // strings, characters and comments copied as they are
        {"action-dollar", 0, kActions},  // a $ that is no value reference stays
        {"debug-actions", 1, kActions},  // SemantickaAkcia with the action's line
    };
    for (const Case& c : cases) {
        const std::string name = std::string(c.grammar) + "." + c.part.suffix;
        SCOPED_TRACE(name);
        TempDir dir;
        Options opt;
        opt.debug = c.debug;
        const Generation g = generate(dataFile(std::string(c.grammar) + ".y"), opt);
        ASSERT_EQ(g.status, 0);
        EXPECT_EQ(part(maskCreated(g.output), c.part), dataFile(name));
    }
}

TEST(ParserFile, EscapedLiteralValues)
{
    // Each literal is shifted from state 0 into a state of its own, so its
    // value shows up in yychk.
    const std::pair<const char*, int> cases[] = {{"'\\n'", 10},   {"'\\t'", 9},   {"'\\\\'", 92}, {"'\\''", 39},
                                                 {"'\\101'", 65}, {"'z'", 122}, {"\"q\"", 113}};
    for (const auto& [literal, value] : cases) {
        SCOPED_TRACE(literal);
        TempDir dir;
        const Generation g = generate(std::string("%%\ns : ") + literal + " ;\n");
        ASSERT_EQ(g.status, 0);
        EXPECT_EQ(part(g.output, {"", "short yychk", true, "short yydef"}),
                  "short yychk[]={\n\n-1000,  -1," + vork::format("%4d", value) + " };\n");
    }
}

TEST(ParserFile, WindowsLineEndsReadLikeUnixOnes)
{
    const std::string unix = "%{\nint x;\n%}\n%token A\n%%\ns : A { f(\"a\\\n\"); }\n  | s A ;\n%%\nint y;\n";
    std::string windows;
    for (char c : unix)
        windows += (c == '\n') ? std::string("\r\n") : std::string(1, c);
    TempDir dir;
    const Generation a = generate(unix);
    const Generation b = generate(windows);
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    EXPECT_EQ(body(b.output), body(a.output));
}

TEST(ParserFile, DefinesOnlyForNamesThatAreIdentifiers)
{
    // A literal such as '1' keeps its code but gets no define: "# define  1 49"
    // would not compile.  The codes of later tokens do not move.
    struct Case {
        const char* tokens;
        const char* defines;  // the token file's whole text
        std::vector<const char*> absent;
        int count;
    };
    const Case cases[] = {
        {"NUM '1' 'ab' '9z' 'x1' '_'", "# define NUM 257\n# define  ab 258\n# define  x1 260\n# define  _ 95\n",
         {"# define  1 ", "# define  9z "}, 4},
        {"'0' '7' \"42\" N", "# define N 258\n", {"# define  0 ", "# define  7 ", "# define  42 "}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tokens);
        TempDir dir;
        Options opt;
        opt.debug = 1;
        const Generation g = generate(std::string("%token ") + c.tokens + "\n%%\ns : " + c.tokens + " ;\n", opt);
        ASSERT_EQ(g.status, 0);
        EXPECT_EQ(readFile("g.lex"), c.defines);
        EXPECT_NE(g.output.find(c.defines), std::string::npos);
        for (const char* line : c.absent)
            EXPECT_EQ(g.output.find(line), std::string::npos) << line;
        EXPECT_EQ(g.tokenCount, c.count);
    }
}
