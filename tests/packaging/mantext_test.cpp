// The manual-page markup, and the agreement of every program's --help and
// --version with its manual page.
#include "mantext.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

using vork::man::documentedOptions;
using vork::man::inlineText;
using vork::man::Page;
using vork::man::parseTitle;
using vork::man::render;

TEST(ManText, InlineMarkupAndEscapes)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"plain", "plain"},
        {"`duq-lex`", "\\fBduq\\-lex\\fR"},
        {"*SPEC*", "\\fISPEC\\fR"},
        {"`-o` *OUTPUT*", "\\fB\\-o\\fR \\fIOUTPUT\\fR"},
        // A backslash is printed, not taken as an escape.
        {"a\\b", "a\\eb"},
        // A lone star or an unclosed backtick is text.
        {"2 * 3", "2 * 3"},
        {"`open", "`open"},
        {"x*", "x*"},
        // A star inside code is code.
        {"`vork_*.deb`", "\\fBvork_*.deb\\fR"},
        {"`$<`*tag*`>`", "\\fB$<\\fR\\fItag\\fR\\fB>\\fR"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inlineText(c.in), c.out) << c.in;
}

TEST(ManText, TitleLine)
{
    struct Case {
        const char* line;
        bool ok;
        const char* name;
        const char* section;
        const char* summary;
    } cases[] = {
        {"jal(1) -- translate Jal", true, "jal", "1", "translate Jal"},
        {"vork-cc(1) -- compile (old) C", true, "vork-cc", "1", "compile (old) C"},
        {"jal -- no section", false, "", "", ""},
        {"(1) -- no name", false, "", "", ""},
        {"jal() -- empty section", false, "", "", ""},
        {"jal(1) - one dash", false, "", "", ""},
        {"jal(1) -- ", false, "", "", ""},
        {"two words(1) -- x", false, "", "", ""},
    };
    for (const Case& c : cases) {
        Page page;
        EXPECT_EQ(parseTitle(c.line, page), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(page.name, c.name);
            EXPECT_EQ(page.section, c.section);
            EXPECT_EQ(page.summary, c.summary);
        }
    }
}

TEST(ManText, Blocks)
{
    struct Case {
        const char* what;
        std::string body;  // after the title line
        std::string roff;  // after the .TH and NAME lines
    } cases[] = {
        {"section and paragraphs", "## DESCRIPTION\nOne\nline.\n\nTwo.\n",
         ".SH DESCRIPTION\nOne\nline.\n.PP\nTwo.\n"},
        {"subsection", "### Make\nx\n", ".SS Make\nx\n"},
        {"item with its text", "* `-o` *OUT*:\n  the file\n  written\n",
         ".TP\n\\fB\\-o\\fR \\fIOUT\\fR\nthe file\nwritten\n"},
        {"text after an item is a new paragraph", "* `-a`:\n  A\nafter\n", ".TP\n\\fB\\-a\\fR\nA\n.PP\nafter\n"},
        {"example kept as written", "Run:\n\n    duq-lex *x*.l\n    vork-cc a.cpp\n\nDone.\n",
         "Run:\n.PP\n.RS 4\n.nf\nduq\\-lex *x*.l\nvork\\-cc a.cpp\n.fi\n.RE\n.PP\nDone.\n"},
        {"example at the end is closed", "    a\n", ".RS 4\n.nf\na\n.fi\n.RE\n"},
        {"a leading dot is no request", ".CLASS files\n\n    .source a\n",
         "\\&.CLASS files\n.PP\n.RS 4\n.nf\n\\&.source a\n.fi\n.RE\n"},
        {"CR LF lines", "## A\r\nb\r\n", ".SH A\nb\n"},
        {"version", "VORK @VERSION@\n", "VORK 9.8.7\n"},
    };
    for (const Case& c : cases) {
        const std::string page = render("x(1) -- y\n" + c.body, "9.8.7");
        const std::string head = ".TH \"X\" \"1\" \"\" \"VORK 9.8.7\" \"VORK\"\n.SH NAME\nx \\- y\n";
        ASSERT_EQ(page.compare(0, head.size(), head), 0) << c.what << "\n" << page;
        EXPECT_EQ(page.substr(head.size()), c.roff) << c.what;
    }
    EXPECT_THROW(render("no title\n## A\n", "1"), std::runtime_error);
    EXPECT_THROW(render("", "1"), std::runtime_error);
}

TEST(ManText, DocumentedOptions)
{
    const std::string source = "x(1) -- y\n"
                               "## SYNOPSIS\n* `--not-here`:\n"
                               "## OPTIONS\n* `-o` *OUT*:\n  text `--nor-this`\n* `-h`, `--help`:\n"
                               "## COMMANDS\n* `--run` *P* [`--` *ARGS*...]:\n* `--mode` `on`|`off` *P*:\n"
                               "## FILES\n* `-file`:\n";
    const std::vector<std::string> expected = {"-o", "-h", "--help", "--run", "--mode"};
    EXPECT_EQ(documentedOptions(source), expected);
}

// ---- the programs against their pages ----

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string output(const std::string& command)
{
    std::string out;
    if (FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
        std::array<char, 4096> buf;
        size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            out.append(buf.data(), n);
        ::pclose(p);
    }
    return out;
}

// Every option word a usage text names: "-o", "--no-optimise", ...
std::set<std::string> helpOptions(const std::string& help)
{
    std::set<std::string> options;
    static const std::regex word(R"((^|[\s\[,|(])(--?[A-Za-z][A-Za-z-]*))");
    for (std::sregex_iterator it(help.begin(), help.end(), word), end; it != end; ++it)
        options.insert((*it)[2]);
    return options;
}

TEST(ManPages, AgreeWithHelpAndVersion)
{
    for (const char* program : {"vork", "duq-lex", "duq-yacc", "jal", "vork-cc", "vork-lsp"}) {
        SCOPED_TRACE(program);
        const std::string source = readFile(std::string(VORK_MAN_SOURCE_DIR "/") + program + ".1.txt");
        ASSERT_FALSE(source.empty());
        const std::vector<std::string> listed = documentedOptions(source);
        const std::set<std::string> documented(listed.begin(), listed.end());
        const std::string exe = std::string(VORK_BIN_DIR "/") + program;
        const std::set<std::string> offered = helpOptions(output("'" + exe + "' --help"));
        EXPECT_EQ(documented, offered) << "options of the manual page vs. --help";
        EXPECT_NE(output("'" + exe + "' --version").find(VORK_VERSION), std::string::npos);
        // The rendered page carries the same version.
        const std::string page = readFile(std::string(VORK_MAN_DIR "/man1/") + program + ".1");
        EXPECT_NE(page.find("\"VORK " VORK_VERSION "\""), std::string::npos);
    }
}

} // namespace
