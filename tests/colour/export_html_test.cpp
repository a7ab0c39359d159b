// vork --export-html end to end: the program with its shipped syntax.cfg.
#include "../common/test_support.h"

#include <gtest/gtest.h>

namespace {

using vorktest::exists;
using vorktest::readFile;
using vorktest::writeFile;

struct ExportCase {
    const char* name;
    const char* args;      // $D is the scratch directory
    int exitCode;
    const char* written;   // the page expected, "" for none
    const char* contains;  // a piece of it
};

const ExportCase kCases[] = {
    {"default output name", "--export-html $D/a.y", 0, "a.y.html",
     "<span style=\"color:#ff0000;font-weight:bold\">%token</span> NUM\n"},
    {"-o names the output", "--export-html $D/a.y -o $D/out.html", 0, "out.html", "<title>a.y</title>"},
    {"CR LF is one line end", "--export-html $D/crlf.c", 0, "crlf.c.html",
     "<span style=\"color:#000000;font-weight:bold\">int</span> x;\n<span style=\"color:#007700\">// c</span>\n"},
    {"escaping", "--export-html $D/crlf.c", 0, "crlf.c.html", "&lt;b&gt; &amp;"},
    {"Windows-1250 source", "--export-html $D/sk.c", 0, "sk.c.html", "// \xc4\x8d\xc3\xad"},
    {"own word list", "--export-html $D/a.y --syntax $D/words.cfg", 0, "a.y.html",
     "\n<span style=\"color:#000000;font-weight:bold\">expr</span> : NUM { $$"},
    {"missing word list", "--export-html $D/a.y --syntax $D/none.cfg", 1, "", ""},
    {"missing source", "--export-html $D/none.c", 1, "", ""},
    {"output over the source refused", "--export-html $D/a.y -o $D/a.y", 1, "", ""},
    // The word list is read before the page is written: it must not be the page.
    {"output over the word list refused", "--export-html $D/a.y --syntax $D/words.cfg -o $D/words.cfg", 1, "", ""},
    {"output over the word list by another path refused", "--export-html $D/a.y --syntax $D/words.cfg -o $D/../$B/./words.cfg", 1, "", ""},
    {"output directory missing", "--export-html $D/a.y -o $D/no/dir.html", 1, "", ""},
    {"no file", "--export-html", 2, "", ""},
};

} // namespace

TEST(ExportHtml, Cases)
{
    vorktest::TempDir tmp;
    const std::string& dir = tmp.path();
    const std::string grammar = "%token NUM\n%%\nexpr : NUM { $$ = 1; } ;\n";
    for (const ExportCase& c : kCases) {
        writeFile(dir + "/a.y", grammar);
        writeFile(dir + "/crlf.c", "int x;\r\n// c\r\n<b> &\r\n");
        writeFile(dir + "/sk.c", "// \xe8\xed\n");  // "čí" in Windows-1250
        writeFile(dir + "/words.cfg", "expr 4 10\n");
        std::string args = c.args;
        for (std::size_t p; (p = args.find("$D")) != std::string::npos;)
            args.replace(p, 2, dir);
        for (std::size_t p; (p = args.find("$B")) != std::string::npos;)
            args.replace(p, 2, dir.substr(dir.rfind('/') + 1));
        const vorktest::Run vork = vorktest::runCommand(vorktest::program("vork") + " " + args + " 2>/dev/null");
        EXPECT_EQ(vork.status, c.exitCode) << c.name;
        if (*c.written) {
            const std::string page = readFile(dir + "/" + c.written);
            EXPECT_NE(page.find(c.contains), std::string::npos) << c.name << "\n" << page;
            std::remove((dir + "/" + c.written).c_str());
        }
        EXPECT_EQ(readFile(dir + "/a.y"), grammar) << c.name;
        EXPECT_EQ(readFile(dir + "/words.cfg"), "expr 4 10\n") << c.name;
        EXPECT_FALSE(exists(dir + "/a.y.html")) << c.name;
        EXPECT_FALSE(exists(dir + "/no")) << c.name;
    }
}
