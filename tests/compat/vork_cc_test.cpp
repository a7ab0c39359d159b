// vork-cc must take the old-style C the generators and the templates emit,
// and leave the program where the make engine looks for it.
#include "../common/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

using vorktest::exists;
using vorktest::quoted;
using vorktest::readFile;
using vorktest::writeFile;

// The command's standard output and error together.
vorktest::Run run(const std::string& cmd) { return vorktest::runCommand(cmd + " 2>&1"); }

const std::string kVorkCc = std::string(VORK_BIN_DIR) + "/vork-cc";

// The program lands next to the source, named after it up to its last dot
// (dots in the directory's name do not count).
TEST(VorkCc, CompilesOldStyleSourcesIntoDotExe)
{
    struct Case {
        const char* name;
        const char* file;
        const char* exe;
        const char* source;
        const char* expectedOutput;
    };
    const char* const trivial = "int main(){ return 0; }\n";
    const Case cases[] = {
        {"implicit int, alloc.h and Borland pragmas", "prog.c", "prog.exe",
         "#include <stdio.h>\n#include <alloc.h>\n#pragma warn -rch\n"
         "count(){ char *p = (char*)malloc(8); free(p); return 3; }\n"
         "main(){ printf(\"%d\\n\", count()); return 0; }\n#pragma warn +rch\n",
         "3\n"},
        {"functions called before their definition, as generated scanners do", "prog.c", "prog.exe",
         "#include <stdio.h>\n"
         "int use(){ return yyreject() + yywrap(); }\n"
         "int yyreject(void){ return 40; }\n"
         "yywrap(){ return 2; }\n"
         "int main(){ printf(\"%d\\n\", use()); return 0; }\n",
         "42\n"},
        {"bytes above 127 stay positive codes", "prog.c", "prog.exe",
         "#include <stdio.h>\n"
         "char buf[] = \"\\xff\\x80\";\n"
         "int main(){ int c = buf[0]; int d = buf[1]; printf(\"%d %d\\n\", c, d); return 0; }\n",
         "255 128\n"},
        {"only the last extension goes", "a.b.c", "a.b.exe", trivial, ""},
        {"no extension", "plain", "plain.exe", trivial, ""},
        {"a blank in the name", "with blank.cpp", "with blank.exe", trivial, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp / "dir.with.dots";
        ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
        writeFile(dir + "/" + c.file, c.source);
        const vorktest::Run cc = run(quoted(kVorkCc) + " " + quoted(dir + "/" + c.file));
        ASSERT_EQ(cc.status, 0) << cc.out;
        ASSERT_TRUE(exists(dir + "/" + c.exe));
        const vorktest::Run prog = run(quoted(dir + "/" + c.exe));
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.out, c.expectedOutput);
    }
}

TEST(VorkCc, ErrorsPassThroughWithTheCompilersStatus)
{
    vorktest::TempDir tmp;
    const std::string dir = tmp.path();
    writeFile(dir + "/bad.c", "int main(){ return undeclared_name; }\n");
    const vorktest::Run cc = run(quoted(kVorkCc) + " " + quoted(dir + "/bad.c"));
    EXPECT_NE(cc.status, 0);
    EXPECT_NE(cc.out.find("undeclared_name"), std::string::npos) << cc.out;
    EXPECT_FALSE(exists(dir + "/bad.exe"));

    const vorktest::Run usage = run(quoted(kVorkCc));
    EXPECT_EQ(usage.status, 2);
}

// Classic lex/yacc programs (data/classic_*), written the old way: main()
// in the grammar's last section calls yyparse() before the parser engine
// defines it, the scanner is included after main(), yywrap() and yyerror()
// have implicit int, and yyerror() ends without a return; the scanner on
// its own reads ahead with input() and gives back with yyunput().  Each
// goes through the two generators and vork-cc like a project build; the
// debug skeletons must take the same declarations.
TEST(VorkCc, CompilesClassicLexYaccProgramsWrittenTheOldWay)
{
    struct Program {
        const char* name;
        const char* lex;
        const char* grammar;  // nullptr: a scanner on its own
        bool debug;           // the debug skeletons: compiled, not run
        const char* input;
        const char* out;
        const char* err;
    };
    const Program programs[] = {
        {"calculator", "classic_calc.l", "classic_calc.y", false, "1+2*3\n4-x\n10-3\n", "7\n7\n",
         "syntax error\n"},
        {"calculator, debug build", "classic_calc.l", "classic_calc.y", true, "", "", ""},
        {"scanner", "classic_count.l", nullptr, false, "one /* two */ three-four--five\n", "4 1\n", ""},
        {"scanner, debug build", "classic_count.l", nullptr, true, "", "", ""},
    };
    const std::string bin = std::string(VORK_BIN_DIR) + "/";
    for (const Program& p : programs) {
        SCOPED_TRACE(p.name);
        vorktest::TempDir tmp;
        const std::string dir = tmp.path();
        const std::string in = "cd " + quoted(dir) + " && ";
        const std::string debug = p.debug ? " --debug" : "";
        writeFile(dir + "/calc.l", vorktest::sourceFile(std::string("tests/compat/data/") + p.lex));
        const vorktest::Run lex = run(in + quoted(bin + "duq-lex") + debug + " calc.l");
        ASSERT_EQ(lex.status, 0) << lex.out;
        std::string source = "lexyy.cpp";
        if (p.grammar) {
            writeFile(dir + "/calc.y", vorktest::sourceFile(std::string("tests/compat/data/") + p.grammar));
            const vorktest::Run yacc = run(in + quoted(bin + "duq-yacc") + debug + " calc.y");
            ASSERT_EQ(yacc.status, 0) << yacc.out;
            source = "calc.cpp";
        }
        const vorktest::Run cc = run(in + quoted(kVorkCc) + " " + source);
        ASSERT_EQ(cc.status, 0) << cc.out;
        if (p.debug)
            continue;
        writeFile(dir + "/input", p.input);
        const std::string exe = "./" + source.substr(0, source.find('.')) + ".exe";
        const vorktest::Run prog = run("(" + in + exe + " <input 2>stderr)");
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.out, p.out);
        EXPECT_EQ(readFile(dir + "/stderr"), p.err);
    }
}

} // namespace
