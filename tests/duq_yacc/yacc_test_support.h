// Helpers shared by the DUQ-yacc tests: a private working directory per
// test (the generator writes its temporary files into the current
// directory), file access, sinks that keep what they are given, and a
// one-call generation.
#pragma once

#include "../common/test_support.h"
#include "duq_yacc/yacc_run.h"
#include "vork/sinks.h"

#include <filesystem>
#include <string>
#include <vector>

namespace yacctest {

// A fresh directory that is the current one until the end of the scope.
using TempDir = vorktest::ScratchDir;
using vorktest::exists;
using vorktest::readFile;
using vorktest::writeFile;

// A fixture file of this suite, under tests/duq_yacc/data.
inline std::string dataFile(const std::string& name)
{
    return readFile(std::string(VORK_SOURCE_DIR) + "/tests/duq_yacc/data/" + name);
}

// The parser file without its header comment (which holds the time).
inline std::string body(const std::string& parser)
{
    const size_t at = parser.find("----- */");
    return at == std::string::npos ? parser : parser.substr(at);
}

struct ErrorItem {
    std::string text;
    int line;
};

class RecordingSinks : public vork::Sinks {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    void lexError(const std::string& text, int line) override { errors.push_back({"lex:" + text, line}); }
    void lexWarning(const std::string& text, int line) override { errors.push_back({"lexw:" + text, line}); }
    void yaccError(const std::string& text, int line) override { errors.push_back({text, line}); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> t;
        for (const ErrorItem& e : errors)
            t.push_back(e.text);
        return t;
    }

    std::vector<std::string> messages;
    std::vector<ErrorItem> errors;
};

struct Generation {
    int status = -1;
    int tokenCount = -1;
    RecordingSinks sinks;
    std::string output;  // the parser file's text ("" when it is missing)
};

struct Options {
    int debug = 0;
    int slovak = 0;
    int large = 0;
    std::string skeleton = "SKELETON[$A]\n";
    std::string stateFile;     // the listing's name, "" for none
    double cexSeconds = 2.0;   // negative: no conflict examples
    int fast = 0;              // yyparse coded directly
};

// Writes g.y and the skeleton "skel" into the current directory, runs the
// generator into g.cpp (and g.lex in debug builds) and reads the result.
inline Generation generate(const std::string& grammar, const Options& opt = Options())
{
    writeFile("g.y", grammar);
    writeFile("skel", opt.skeleton);
    Generation g;
    g.status = duq_yacc::yacc_run(g.sinks, "skel", "g.y", "g.cpp", opt.debug, &g.tokenCount, opt.slovak,
                                  opt.debug ? "g.lex" : "", opt.stateFile, opt.large, opt.cexSeconds, std::string(), opt.fast);
    if (exists("g.cpp"))
        g.output = readFile("g.cpp");
    return g;
}

inline Generation generate(const std::string& grammar, int slovak, int large = 0)
{
    Options opt;
    opt.slovak = slovak;
    opt.large = large;
    return generate(grammar, opt);
}

// The line that follows a full table's error in the default mode.
inline const char* largeTablesHint(int slovak)
{
    return slovak ? "Skuste rezim velkych tabuliek (duq-yacc --large, alebo \"Velke tabulky\" v nastaveniach IDE)."
                  : "Try the large-tables mode (duq-yacc --large, or \"Veľké tabuľky\" in the IDE settings).";
}

} // namespace yacctest
