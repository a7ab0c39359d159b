// Helpers shared by the DUQ-yacc tests: a private working directory per
// test (the generator writes its temporary files into the current
// directory), file access, sinks that keep what they are given, and a
// one-call generation.
#pragma once

#include "duq_yacc/yacc_run.h"
#include "vork/sinks.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace yacctest {

class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/duq-yacc-test-XXXXXX";
        const char* made = mkdtemp(tmpl);
        path_ = made ? made : "";
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd))
            old_ = cwd;
        if (!path_.empty() && chdir(path_.c_str()) != 0)
            path_.clear();
    }
    ~TempDir()
    {
        if (!old_.empty() && chdir(old_.c_str()) != 0)
            std::perror("chdir");
        if (!path_.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(path_, ec);
        }
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string old_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
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
    std::string skeleton = "SKELETON[$A]\n";
    int debug = 0;
    int slovak = 0;
};

// Writes g.y (and the skeleton "skel") into the current directory, runs the
// generator into g.cpp and reads the result back.
inline Generation generate(const std::string& grammar, const Options& opt = Options())
{
    writeFile("g.y", grammar);
    writeFile("skel", opt.skeleton);
    Generation g;
    g.status = duq_yacc::yacc_run(g.sinks, "skel", "g.y", "g.cpp", opt.debug, &g.tokenCount, opt.slovak,
                                  opt.debug ? "g.lex" : "", "");
    if (exists("g.cpp"))
        g.output = readFile("g.cpp");
    return g;
}

// The part of text from the first occurrence of from up to (not including)
// the first occurrence of to after it; "" when from is missing.
inline std::string between(const std::string& text, const std::string& from, const std::string& to)
{
    const size_t a = text.find(from);
    if (a == std::string::npos)
        return "";
    const size_t b = to.empty() ? std::string::npos : text.find(to, a);
    return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

} // namespace yacctest
