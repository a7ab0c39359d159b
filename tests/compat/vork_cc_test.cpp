// vork-cc must take the old-style C the generators and the templates emit,
// and leave the program where the make engine looks for it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string tempDir()
{
    char tmpl[] = "/tmp/vork-cc-test-XXXXXX";
    const char* d = ::mkdtemp(tmpl);
    EXPECT_NE(d, nullptr);
    return d ? d : "/tmp";
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

struct Outcome {
    int status;
    std::string output;
};

Outcome run(const std::string& cmd)
{
    Outcome r{-1, {}};
    FILE* p = ::popen((cmd + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.output.append(buf, n);
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string quote(const std::string& s) { return "'" + s + "'"; }

const std::string kVorkCc = std::string(VORK_BIN_DIR) + "/vork-cc";

struct Case {
    const char* name;
    const char* source;
    const char* expectedOutput;
};

const Case kCases[] = {
    {"implicit int, alloc.h and Borland pragmas",
     "#include <stdio.h>\n#include <alloc.h>\n#pragma warn -rch\n"
     "count(){ char *p = (char*)malloc(8); free(p); return 3; }\n"
     "main(){ printf(\"%d\\n\", count()); return 0; }\n#pragma warn +rch\n",
     "3\n"},
    {"functions called before their definition, as generated scanners do",
     "#include <stdio.h>\n"
     "int use(){ return yyreject() + yywrap(); }\n"
     "int yyreject(void){ return 40; }\n"
     "yywrap(){ return 2; }\n"
     "int main(){ printf(\"%d\\n\", use()); return 0; }\n",
     "42\n"},
    {"bytes above 127 stay positive codes",
     "#include <stdio.h>\n"
     "char buf[] = \"\\xff\\x80\";\n"
     "int main(){ int c = buf[0]; int d = buf[1]; printf(\"%d %d\\n\", c, d); return 0; }\n",
     "255 128\n"},
};

TEST(VorkCc, CompilesOldStyleSourcesIntoDotExe)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::string dir = tempDir();
        writeFile(dir + "/prog.c", c.source);
        Outcome cc = run(quote(kVorkCc) + " " + quote(dir + "/prog.c"));
        ASSERT_EQ(cc.status, 0) << cc.output;
        ASSERT_TRUE(exists(dir + "/prog.exe"));
        Outcome prog = run(quote(dir + "/prog.exe"));
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.output, c.expectedOutput);
    }
}

TEST(VorkCc, OutputNameDropsOnlyTheLastExtension)
{
    struct Name { const char* source; const char* exe; };
    const Name names[] = {
        {"a.b.c", "a.b.exe"},
        {"plain", "plain.exe"},
        {"with blank.cpp", "with blank.exe"},
    };
    std::string dir = tempDir() + "/dir.with.dots";
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    for (const Name& n : names) {
        SCOPED_TRACE(n.source);
        writeFile(dir + "/" + n.source, "int main(){ return 0; }\n");
        Outcome cc = run(quote(kVorkCc) + " " + quote(dir + "/" + n.source));
        ASSERT_EQ(cc.status, 0) << cc.output;
        EXPECT_TRUE(exists(dir + "/" + n.exe));
    }
}

TEST(VorkCc, ErrorsPassThroughWithTheCompilersStatus)
{
    std::string dir = tempDir();
    writeFile(dir + "/bad.c", "int main(){ return undeclared_name; }\n");
    Outcome cc = run(quote(kVorkCc) + " " + quote(dir + "/bad.c"));
    EXPECT_NE(cc.status, 0);
    EXPECT_NE(cc.output.find("undeclared_name"), std::string::npos) << cc.output;
    EXPECT_FALSE(exists(dir + "/bad.exe"));

    Outcome usage = run(quote(kVorkCc));
    EXPECT_EQ(usage.status, 2);
}

// Classic lex/yacc programs (data/classic_*), written the old way: main()
// in the grammar's last section calls yyparse() before the parser engine
// defines it, the scanner is included after main(), yywrap() and yyerror()
// have implicit int, and yyerror() ends without a return; the scanner on
// its own reads ahead with input() and gives back with yyunput().  Each
// goes through the two generators and vork-cc like a project build; the
// debug skeletons must take the same declarations.
std::string classic(const char* name)
{
    std::ifstream in(std::string(VORK_SOURCE_DIR) + "/tests/compat/data/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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
        const std::string dir = tempDir();
        const std::string in = "cd " + quote(dir) + " && ";
        const std::string debug = p.debug ? " --debug" : "";
        writeFile(dir + "/calc.l", classic(p.lex));
        Outcome lex = run(in + quote(bin + "duq-lex") + debug + " calc.l");
        ASSERT_EQ(lex.status, 0) << lex.output;
        std::string source = "lexyy.cpp";
        if (p.grammar) {
            writeFile(dir + "/calc.y", classic(p.grammar));
            Outcome yacc = run(in + quote(bin + "duq-yacc") + debug + " calc.y");
            ASSERT_EQ(yacc.status, 0) << yacc.output;
            source = "calc.cpp";
        }
        Outcome cc = run(in + quote(kVorkCc) + " " + source);
        ASSERT_EQ(cc.status, 0) << cc.output;
        if (p.debug)
            continue;
        writeFile(dir + "/input", p.input);
        const std::string exe = "./" + source.substr(0, source.find('.')) + ".exe";
        Outcome prog = run("(" + in + exe + " <input 2>stderr)");
        EXPECT_EQ(prog.status, 0);
        EXPECT_EQ(prog.output, p.out);
        std::ifstream err(dir + "/stderr");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(err), {}), p.err);
    }
}

} // namespace
