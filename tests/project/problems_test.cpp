#include "vork/project/problems.h"

#include "duq_yacc/automaton.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace vork;
using Sev = Problem::Severity;

TEST(Problems, CompilerLines)
{
    struct Case {
        const char* line;
        bool problem;
        Sev severity;
        const char* file;
        int lineNo;
        int column;
        const char* text;
        const char* item;
    };
    const Case cases[] = {
        {"calc.y:12:5: error: 'x' undeclared (first use in this function)", true, Sev::Error, "/p/calc.y", 12, 5,
         "'x' undeclared (first use in this function)",
         "[C prekladač Chyba] calc.y(12:5): 'x' undeclared (first use in this function)"},
        {"calc.cpp:40:1: warning: unused variable 'y'", true, Sev::Warning, "/p/calc.cpp", 40, 1,
         "unused variable 'y'", "[C prekladač Upozornenie] calc.cpp(40:1): unused variable 'y'"},
        {"sub/../calc.l:7: error: expected ';'", true, Sev::Error, "/p/calc.l", 7, -1, "expected ';'",
         "[C prekladač Chyba] calc.l(7): expected ';'"},
        {"/usr/include/x.h:3:10: fatal error: y.h: No such file or directory", true, Sev::Error, "/usr/include/x.h",
         3, 10, "y.h: No such file or directory", "[C prekladač Chyba] x.h(3:10): y.h: No such file or directory"},
        {"./calc.y:2:3: error: a: b: c\r", true, Sev::Error, "/p/calc.y", 2, 3, "a: b: c",
         "[C prekladač Chyba] calc.y(2:3): a: b: c"},
        {"collect2: error: ld returned 1 exit status", true, Sev::Error, "", -1, -1,
         "collect2: error: ld returned 1 exit status", "[C prekladač Chyba] collect2: error: ld returned 1 exit status"},
        {"calc.cpp:5:3: note: declared here", false, Sev::Error, "", 0, 0, "", ""},
        {"calc.cpp: In function 'int main()':", false, Sev::Error, "", 0, 0, "", ""},
        {"In file included from calc.cpp:3:", false, Sev::Error, "", 0, 0, "", ""},
        {"   12 |   x = y;", false, Sev::Error, "", 0, 0, "", ""},
        {"Externý prekladač skončil s kódom 1.", false, Sev::Error, "", 0, 0, "", ""},
        {"", false, Sev::Error, "", 0, 0, "", ""},
    };
    for (const Case& c : cases) {
        const auto p = parseCompilerLine(c.line, "/p/");
        ASSERT_EQ(p.has_value(), c.problem) << c.line;
        if (!p)
            continue;
        EXPECT_EQ(p->severity, c.severity) << c.line;
        EXPECT_EQ(p->file, c.file) << c.line;
        EXPECT_EQ(p->line, c.lineNo) << c.line;
        EXPECT_EQ(p->column, c.column) << c.line;
        EXPECT_EQ(p->text, c.text) << c.line;
        EXPECT_EQ(p->item, c.item) << c.line;
    }
}

TEST(Problems, GeneratorItemsTakeTheirSinksFile)
{
    struct Case {
        const char* item;
        bool problem;
        const char* file;
        Sev severity;
        int line;
        const char* text;
    };
    const Case cases[] = {
        {"[DUQ - YACC Chyba] calc.y(12): syntax error", true, "/p/calc.y", Sev::Error, 12, "syntax error"},
        {"[DUQ - LEX Chyba] calc.l(3): bad rule", true, "/p/calc.l", Sev::Error, 3, "bad rule"},
        {"[DUQ - LEX Upozornenie] calc.l(9): rule never matched", true, "/p/calc.l", Sev::Warning, 9,
         "rule never matched"},
        {"[DUQ - YACC Chyba] calc.y: cannot open", true, "/p/calc.y", Sev::Error, -1, "cannot open"},
        {"[DUQ - YACC Chyba] my calc.y(4): text (with) parens", true, "/p/calc.y", Sev::Error, 4,
         "text (with) parens"},
        {"some other line", false, "", Sev::Error, 0, ""},
    };
    for (const Case& c : cases) {
        const auto p = parseGeneratorItem(c.item, "/p/calc.l", "/p/calc.y");
        ASSERT_EQ(p.has_value(), c.problem) << c.item;
        if (!p)
            continue;
        EXPECT_EQ(p->file, c.file) << c.item;
        EXPECT_EQ(p->severity, c.severity) << c.item;
        EXPECT_EQ(p->line, c.line) << c.item;
        EXPECT_EQ(p->text, c.text) << c.item;
        EXPECT_EQ(p->item, c.item) << c.item;
    }
}

TEST(Problems, ConflictsLandOnTheRulesLine)
{
    const std::string file = ::testing::TempDir() + "problems_conflict.y";
    {
        std::ofstream out(file);
        out << "%token NUM\n"
               "%%\n"
               "e : e '+' e\n"
               "  | NUM\n"
               "  ;\n";
    }
    duq_yacc::Automaton a;
    std::string error;
    ASSERT_TRUE(duq_yacc::build_automaton(file, a, &error)) << error;
    const std::vector<Problem> problems = conflictProblems(a, file);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].severity, Sev::Warning);
    EXPECT_EQ(problems[0].line, 3);
    EXPECT_NE(problems[0].text.find("posun/redukcia na '+'"), std::string::npos) << problems[0].text;
    EXPECT_EQ(problems[0].item.rfind("[DUQ - YACC Upozornenie] problems_conflict.y(3): konflikt v stave ", 0), 0u)
        << problems[0].item;
    std::remove(file.c_str());
}

TEST(Problems, ListCountsAllAndFindsAFilesProblems)
{
    ProblemList list;
    for (int i = 0; i < 12; ++i) {
        Problem p;
        p.severity = i % 3 == 0 ? Sev::Warning : Sev::Error;
        p.file = i % 2 ? "/p/calc.y" : "/p/./calc.l";
        p.line = i + 1;
        list.add(p);
    }
    EXPECT_EQ(list.errors(), 8);
    EXPECT_EQ(list.warnings(), 4);
    const auto inL = list.inFile("/p/calc.l");
    ASSERT_EQ(inL.size(), 6u);
    EXPECT_EQ(inL[1].line, 3);
    EXPECT_TRUE(list.inFile("").empty());
    list.clear();
    EXPECT_EQ(list.size(), 0);
}
