#include "vork/project/templates.h"

#include "vork/project/atomic_file.h"
#include "vork/project/project_error.h"
#include "vork/project/texts.h"

namespace vork {

std::string lexOnlyTemplate()
{
    std::string t;
    t += "%{\n\t#include <stdlib.h>\n";
    t += "\t#include <string.h>\n";
    t += "\tint yywrap( void );\n";
    t += "\tint yylex( void );\n";
    t += "\tchar filename[80];\n";
    t += "\n";
    t += "%}\n\n";
    t += "%%\n\n\n\n%%\n";
    t += "\nint main( int argc, char **argv )\n";
    t += "{\n\tstrcpy( filename, \"stdin\" );\n";
    t += "\tif (argc > 1) {\n";
    t += "\t\tFILE *file;\n\t\tfile = fopen(argv[1], \"r\");\n";
    t += "\t\tif (!file) {\n\t\t\tfprintf(stderr,\"\\nERROR: can't open file \\\"%s\\\"\\n\",argv[1] );\n";
    t += "\t\t\texit(1);\n\t\t}\n";
    t += "\t\tyyin = file;\n";
    t += "\t\tstrcpy( filename, argv[1] );\n\t}\n";
    t += "\tyylex();\n\tprintf(\"File : \\\"%s\\\" \\n\\n\", filename );\n";
    t += "\n\n\n\treturn 0;\n}\n";
    t += "\nint yywrap( void )\n{\n\treturn ( 1 );\n}\n";
    return t;
}

std::string lexTemplate()
{
    std::string t;
    t += "%{\nint yywrap(void);\n\n\n";
    t += "%}\n\n";
    t += "P\t\t[a-zA-Z]\nC\t\t[0-9]\n\n";
    t += "%%\n\n\n\n";
    t += "%%\nint yywrap(void){return(1);}\n\n";
    return t;
}

std::string yaccTemplate(const std::string& lexOutputName)
{
    std::string t;
    t += "%{\n/* Cast definicii */\n";
    t += "int yyparse(void), yylex(void);\n\n";
    t += "#include \"" + lexOutputName + "\"\n";
    t += "%}\n\n";
    t += "%%\n";
    t += "/* Cast pravidiel */\nSubor\t\t:/* e */\n\t\t;\n\n";
    t += "%%\n";
    t += "/* Cast funkcii */\n";
    t += "void yyerror(char *s){\n}\n\n";
    t += "int main(int ac,char *av[]){\n\n\t(void)yyparse();\n";
    t += "\treturn(0);\n}\n\n";
    return t;
}

static void writeTemplate(const std::string& path, const std::string& text)
{
    if (!writeFileAtomically(path, toCrLf(text)))
        throw ProjectError(ProjectError::Kind::Io, texts::kCannotCreate + path);
}

void writeTemplates(ProjectKind kind, const std::string& lexSpecFile, const std::string& yaccSpecFile,
                    const std::string& lexOutputName)
{
    if (kind == kLexProject) {
        writeTemplate(lexSpecFile, lexOnlyTemplate());
        return;
    }
    writeTemplate(lexSpecFile, lexTemplate());
    writeTemplate(yaccSpecFile, yaccTemplate(lexOutputName));
}

} // namespace vork
