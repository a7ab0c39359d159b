// The command-line tools name the place of an error as "file(line):", the
// form that editors and CI logs turn into a link.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
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

} // namespace
