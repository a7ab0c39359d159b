#include "vork/project/templates.h"

#include "vork/project/project_error.h"
#include "vork/project/projekt.h"

#include "test_dir.h"

#include <gtest/gtest.h>

using namespace vork;
using vork::test::exists;
using vork::test::readFile;

namespace {

// The templates as the user sees them in a text editor, CR LF line ends.
const char* const kLexOnlyBytes =
    "%{\r\n\t#include <stdlib.h>\r\n\t#include <string.h>\r\n\tint yywrap( void );\r\n"
    "\tint yylex( void );\r\n\tchar filename[80];\r\n\r\n%}\r\n\r\n%%\r\n\r\n\r\n\r\n%%\r\n"
    "\r\nint main( int argc, char **argv )\r\n{\r\n\tstrcpy( filename, \"stdin\" );\r\n"
    "\tif (argc > 1) {\r\n\t\tFILE *file;\r\n\t\tfile = fopen(argv[1], \"r\");\r\n"
    "\t\tif (!file) {\r\n\t\t\tfprintf(stderr,\"\\nERROR: can't open file \\\"%s\\\"\\n\",argv[1] );\r\n"
    "\t\t\texit(1);\r\n\t\t}\r\n\t\tyyin = file;\r\n\t\tstrcpy( filename, argv[1] );\r\n\t}\r\n"
    "\tyylex();\r\n\tprintf(\"File : \\\"%s\\\" \\n\\n\", filename );\r\n\r\n\r\n\r\n\treturn 0;\r\n}\r\n"
    "\r\nint yywrap( void )\r\n{\r\n\treturn ( 1 );\r\n}\r\n";

const char* const kLexBytes =
    "%{\r\nint yywrap(void);\r\n\r\n\r\n%}\r\n\r\nP\t\t[a-zA-Z]\r\nC\t\t[0-9]\r\n\r\n%%\r\n\r\n\r\n\r\n"
    "%%\r\nint yywrap(void){return(1);}\r\n\r\n";

const char* const kYaccBytes =
    "%{\r\n/* Cast definicii */\r\nint yyparse(void), yylex(void);\r\n\r\n#include \"lexyy.cpp\"\r\n"
    "%}\r\n\r\n%%\r\n/* Cast pravidiel */\r\nSubor\t\t:/* e */\r\n\t\t;\r\n\r\n%%\r\n"
    "/* Cast funkcii */\r\nvoid yyerror(char *s){\r\n}\r\n\r\nint main(int ac,char *av[]){\r\n\r\n"
    "\t(void)yyparse();\r\n\treturn(0);\r\n}\r\n\r\n";

} // namespace

TEST(Templates, NewProjectWritesTheTemplatesOfItsKind)
{
    struct Case { const char* name; const char* lex; const char* yacc; };
    const Case cases[] = {
        {"new.lye", kLexOnlyBytes, nullptr},
        {"new.lyy", kLexBytes, kYaccBytes},
        {"new.ly", kLexBytes, kYaccBytes},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
        { Projekt p(dir / c.name, true, ui); }
        EXPECT_EQ(readFile(dir / "new.l"), c.lex) << c.name;
        if (c.yacc)
            EXPECT_EQ(readFile(dir / "new.y"), c.yacc) << c.name;
        else
            EXPECT_FALSE(exists(dir / "new.y")) << c.name;
    }
}

TEST(Templates, ReplaceExistingSources)
{
    test::TempDir dir;
    test::writeFile(dir / "new.l", "old scanner");
    test::writeFile(dir / "new.y", "old grammar");
    writeTemplates(kGeneralProject, dir / "new.l", dir / "new.y", "lexyy.cpp");
    EXPECT_EQ(readFile(dir / "new.l"), kLexBytes);
    EXPECT_EQ(readFile(dir / "new.y"), kYaccBytes);
}

TEST(Templates, FailureNamesTheFileAndStopsBeforeTheGrammar)
{
    test::TempDir dir;
    // A directory where the scanner specification should go cannot be
    // replaced by a file.
    ::mkdir((dir / "x.l").c_str(), 0777);
    FixedAnswerUi ui(FixedAnswerUi::Answer::No, nullptr);
    try {
        Projekt p(dir / "x.lyy", true, ui);
        FAIL() << "construction succeeded";
    } catch (const ProjectError& e) {
        EXPECT_FALSE(e.cancelled());
        EXPECT_EQ(std::string(e.what()), "Nie je možné vytvoriť súbor " + (dir / "x.l"));
    }
    EXPECT_FALSE(exists(dir / "x.y"));
    EXPECT_FALSE(exists(dir / "x.lyy"));
}

TEST(Templates, GrammarFailureAfterScanner)
{
    test::TempDir dir;
    ::mkdir((dir / "x.y").c_str(), 0777);
    try {
        writeTemplates(kLexYaccProject, dir / "x.l", dir / "x.y", "lexyy.cpp");
        FAIL() << "templates written";
    } catch (const ProjectError& e) {
        EXPECT_EQ(std::string(e.what()), "Nie je možné vytvoriť súbor " + (dir / "x.y"));
    }
    EXPECT_EQ(readFile(dir / "x.l"), kLexBytes);
}
