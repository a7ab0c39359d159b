// duq-yacc: the parser generator on the command line.
#include "duq_yacc/yacc_run.h"
#include "vork/error_list.h"
#include "vork/progdir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kUsage[] =
    "usage: duq-yacc [-o OUTPUT] [-k SKELETON] [-d | --defines FILE] [--debug] [--tokens FILE]\n"
    "                [--slovak] [--large] [--fast] [-v | --states FILE] [--cex-time SECONDS] [--] GRAMMAR\n"
    "\n"
    "Generates an LALR(1) parser in C from a yacc grammar.\n"
    "  -o OUTPUT      parser file (default: the grammar's base name + \".cpp\")\n"
    "  -k SKELETON    parser skeleton (default: \"yaccpar\", \"lyaccpar\" with --debug)\n"
    "  -d             write the token header: the output's base name + \".h\"\n"
    "  --defines FILE write the token header to FILE\n"
    "  --debug        debug build: SemantickaAkcia calls and the token file\n"
    "  --tokens FILE  token file of a debug build (default: base name + \".lex\")\n"
    "  --slovak       messages in Slovak\n"
    "  --large        large tables: every table 16 times its usual size\n"
    "  --fast         yyparse coded state by state instead of the skeleton's table\n"
    "                 walk (no skeleton is read, so not with -k; --debug keeps\n"
    "                 the skeleton)\n"
    "  -v             write the state listing to the base name + \".stv\"\n"
    "  --states FILE  write the state listing to FILE\n"
    "  --cex-time S   budget of the search for ambiguous examples (default 2): 100,000\n"
    "                 pairs a second for the whole run, at most S seconds a conflict;\n"
    "                 0 searches none\n"
    "  --             the next word is the grammar, even when it begins with '-'\n"
    "  --help, --version\n";

// "dir/calc.y" -> "dir/calc": the extension is the part after the last '.'
// that follows the last '/'.
std::string baseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        return path.substr(0, dot);
    return path;
}

int usageError(const char* what)
{
    std::fprintf(stderr, "duq-yacc: %s\n%s", what, kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string output, skeleton, tokens, grammar, states, header;
    bool debug = false, slovak = false, large = false, fast = false, verbose = false, defines = false;
    double cexSeconds = 2.0;
    bool optionsEnded = false;  // after "--" every word is a file name
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (optionsEnded || (a[0] != '-' || a[1] == '\0')) {
            if (!grammar.empty())
                return usageError("only one grammar file");
            grammar = a;
            continue;
        }
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        if (!std::strcmp(a, "--")) {
            optionsEnded = true;
        } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!std::strcmp(a, "--version")) {
            std::printf("duq-yacc (VORK) %s\n", vork::versionString());
            return 0;
        } else if (!std::strcmp(a, "-o")) {
            if (!value(output))
                return usageError("-o needs a file name");
        } else if (!std::strcmp(a, "-k")) {
            if (!value(skeleton))
                return usageError("-k needs a file name");
        } else if (!std::strcmp(a, "--tokens")) {
            if (!value(tokens))
                return usageError("--tokens needs a file name");
        } else if (!std::strcmp(a, "-d")) {
            defines = true;
        } else if (!std::strcmp(a, "--defines")) {
            if (!value(header))
                return usageError("--defines needs a file name");
            defines = true;
        } else if (!std::strncmp(a, "--defines=", 10)) {
            header = a + 10;
            if (header.empty())
                return usageError("--defines needs a file name");
            defines = true;
        } else if (!std::strcmp(a, "--debug")) {
            debug = true;
        } else if (!std::strcmp(a, "--slovak")) {
            slovak = true;
        } else if (!std::strcmp(a, "--large")) {
            large = true;
        } else if (!std::strcmp(a, "--fast")) {
            fast = true;
        } else if (!std::strcmp(a, "-v")) {
            verbose = true;
        } else if (!std::strcmp(a, "--states")) {
            if (!value(states))
                return usageError("--states needs a file name");
        } else if (!std::strcmp(a, "--cex-time")) {
            std::string v;
            char* end = nullptr;
            if (!value(v) || (cexSeconds = std::strtod(v.c_str(), &end), end == v.c_str() || *end != '\0') ||
                !(cexSeconds >= 0 && cexSeconds <= 3600))
                return usageError("--cex-time needs a number of seconds from 0 to 3600");
        } else {
            return usageError((std::string("unknown option ") + a).c_str());
        }
    }
    if (grammar.empty())
        return usageError("no grammar file");
    // The coded parser reads no skeleton: a skeleton named with it would be
    // dropped without a word, and the parser would lack what it adds.
    if (fast && !debug && !skeleton.empty())
        return usageError("-k and --fast: the directly coded parser reads no skeleton");
    const std::string base = baseName(grammar);
    if (output.empty())
        output = base + ".cpp";
    if (skeleton.empty())
        skeleton = vork::dataFilePath(debug ? "lyaccpar" : "yaccpar");
    if (debug && tokens.empty())
        tokens = base + ".lex";
    if (verbose && states.empty())
        states = base + ".stv";
    // The header is named after the parser: calc.cpp gives calc.h.
    if (defines && header.empty())
        header = baseName(output) + ".h";
    if (output == grammar)
        return usageError("the output file would overwrite the grammar");
    if (!states.empty() && (states == grammar || states == output))
        return usageError("the state listing would overwrite the grammar or the parser");
    if (!header.empty() && (header == grammar || header == output || header == states))
        return usageError("the token header would overwrite the grammar, the parser or the state listing");

    vork::StreamSinks sinks(stdout, stderr, std::string(), grammar);
    int count = 0;
    const int status = duq_yacc::yacc_run(sinks, skeleton, grammar, output, debug ? 1 : 0, &count,
                                          slovak ? 1 : 0, debug ? tokens : std::string(), states,
                                          large ? 1 : 0, cexSeconds, header, fast ? 1 : 0);
    return status;
}
