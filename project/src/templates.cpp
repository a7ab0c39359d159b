#include "vork/project/templates.h"

#include "vork/project/atomic_file.h"
#include "vork/project/project_error.h"
#include "vork/project/texts.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

enum class Created { Written, Kept, Failed };

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Creates path with bytes unless the name exists.  O_EXCL makes the test
// and the creation one step, so a file that appears in between is kept as
// well.  A file this call created but could not fill is removed again.
Created createOnly(const std::string& path, const std::string& bytes)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        struct stat st;
        // A directory or a dangling link is no source to keep.
        if (errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return Created::Kept;
        return Created::Failed;
    }
    bool ok = writeAll(fd, bytes);
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        ::unlink(path.c_str());
        return Created::Failed;
    }
    return Created::Written;
}

void writeTemplate(const std::string& path, const std::string& text, std::vector<std::string>& kept)
{
    switch (createOnly(path, toCrLf(text))) {
    case Created::Written:
        break;
    case Created::Kept:
        kept.push_back(path);
        break;
    case Created::Failed:
        throw ProjectError(ProjectError::Kind::Io, texts::kCannotCreate + path);
    }
}

} // namespace

std::vector<std::string> writeTemplates(ProjectKind kind, const std::string& lexSpecFile,
                                        const std::string& yaccSpecFile, const std::string& lexOutputName)
{
    std::vector<std::string> kept;
    if (kind == kLexProject) {
        writeTemplate(lexSpecFile, lexOnlyTemplate(), kept);
        return kept;
    }
    writeTemplate(lexSpecFile, lexTemplate(), kept);
    writeTemplate(yaccSpecFile, yaccTemplate(lexOutputName), kept);
    return kept;
}

} // namespace vork
