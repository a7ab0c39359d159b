// The command-line tools name the place of an error as "file(line):", the
// form that editors and CI logs turn into a link.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

std::string run(const std::string& dir, const std::string& command)
{
    std::string out;
    if (FILE* p = ::popen(("cd '" + dir + "' && " + command + " 2>&1").c_str(), "r")) {
        std::array<char, 4096> buf;
        size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            out.append(buf.data(), n);
        ::pclose(p);
    }
    return out;
}

TEST(Diagnostics, CarryFileAndLine)
{
    struct Case {
        const char* program;
        const char* file;
        const char* text;
        const char* pattern;  // a whole line of the output
    } cases[] = {
        {"duq-lex", "bad.l", "%%\n[a-z]+ { return 1; }\n(abc { return 2; }\n%%\n",
         R"(\[DUQ - LEX Chyba\] bad\.l\(3\): .+)"},
        {"duq-yacc", "bad.y", "%token A\n%%\ns : A\n  | s B\n  ;\n", R"(\[DUQ - YACC Chyba\] bad\.y\([0-9]+\): .+)"},
        {"jal", "bad.jal",
         ".source x.jal\n.class public X .super java/lang/Object\n.method public m ()V\n  bogus\n  return\n.endm\n",
         R"(bad\.jal\(4\): syntax error\(LINE 4: bogus\))"},
        // A token that itself reads "(LINE 9:" does not move the place.
        {"jal", "str.jal", ".source x.jal\n.class public X .super java/lang/Object\n\"(LINE 9: x\"\n",
         R"(str\.jal\(3\): syntax error\(LINE 3: .*)"},
        // The message file's lines are not errors and stay as they are.
        {"jal", "x(LINE 2: y).jal", "nop\n", R"(Chybny subor "x\(LINE 2: y\)\.jal")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        char tmpl[] = "/tmp/vork-diag-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        const std::string dir = tmpl;
        std::ofstream(dir + "/" + c.file, std::ios::binary) << c.text;
        const std::string out =
            run(dir, std::string("'" VORK_BIN_DIR "/") + c.program + "' '" + c.file + "'");
        EXPECT_TRUE(std::regex_search(out, std::regex(std::string("(^|\n)") + c.pattern + "(\n|$)"))) << out;
        std::filesystem::remove_all(dir);
    }
}

// The guide and the manual page show the prefixes of the error and warning
// lines; they must be the ones duq-lex prints.
TEST(Diagnostics, DocumentedLexPrefixesAreThePrintedOnes)
{
    char tmpl[] = "/tmp/vork-diag-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    // a warning (a range across letter groups) and an error (an open group)
    std::ofstream(dir + "/w.l", std::ios::binary) << "%%\n[+-9]\t;\n(a\t;\n";
    const std::string out = run(dir, "'" VORK_BIN_DIR "/duq-lex' w.l");
    std::filesystem::remove_all(dir);
    const std::regex prefix(R"(\[DUQ - LEX [^\]]*\])");
    std::set<std::string> printed;
    for (std::sregex_iterator i(out.begin(), out.end(), prefix), end; i != end; ++i)
        printed.insert(i->str());
    ASSERT_EQ(printed.size(), 2u) << out;
    for (const char* doc : {VORK_MAN_SOURCE_DIR "/duq-lex.1.txt", VORK_MAN_SOURCE_DIR "/../../docs/guide.md"}) {
        SCOPED_TRACE(doc);
        std::ifstream in(doc, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(text.empty());
        std::set<std::string> shown;
        for (std::sregex_iterator i(text.begin(), text.end(), prefix), end; i != end; ++i)
            shown.insert(i->str());
        EXPECT_EQ(shown, printed);
    }
}

} // namespace
