// Helpers for the DUQ-Lex tests: a private directory per test, a run of the
// generator on a specification text, and a reader for the generated tables.
#pragma once

#include "../common/test_support.h"
#include "vork/sinks.h"

#include <string>
#include <utility>
#include <vector>

namespace lextest {

// A fresh temporary directory, removed with its files at the end.
class TempDir : public vorktest::TempDir {
public:
    std::string path(const std::string& name) const { return *this / name; }
    void write(const std::string& name, const std::string& text) const { vorktest::writeFile(path(name), text); }
};

using vorktest::readFile;
// A file of tests/duq_lex/data.
std::string dataFile(const std::string& name);
// The generated file without its creation-time line.
std::string withoutDateLine(const std::string& text);

// What a run reports: progress lines as they are, errors and warnings as
// "E text @line" and "W text @line".
class Capture : public vork::Sinks {
public:
    void message(const std::string& t) override { messages.push_back(t); }
    void lexError(const std::string& t, int line) override { errors.push_back("E " + t + " @" + std::to_string(line)); }
    void lexWarning(const std::string& t, int line) override { errors.push_back("W " + t + " @" + std::to_string(line)); }
    void yaccError(const std::string& t, int) override { errors.push_back("Y " + t); }
    std::vector<std::string> messages, errors;
};

struct Result {
    int status = -1;
    std::string output;  // the generated file
    bool outputExists = false;
    std::vector<std::string> messages, errors;
};

// Runs lex_run with `dir` as the current directory and the names relative
// to it, the way the IDE calls it from the project directory.
Result runIn(const TempDir& dir, const std::string& skeleton, const std::string& spec, const std::string& output,
             int slovak = 0, int statistics = 0, int optimise = 1, int large = 0);

// Writes `spec` to x.l next to a one-line stand-in skeleton "skel" and runs
// lex_run on them into x.c.
Result generate(const std::string& spec, int slovak = 0, int statistics = 0, int optimise = 1, int large = 0);

// The generated tables, read back from the text, and a matcher that follows
// the table conventions the skeleton relies on.
struct Tables {
    std::vector<int> verify, advance;
    struct State {
        int base;   // negative: compressed by character
        int other;  // fall-back state, -1 none
        int stops;  // offset in vstop, -1 none
    };
    std::vector<State> states;
    std::vector<int> vstop;
    std::vector<int> match;  // empty when not written
    std::vector<int> extra;
    int top = 0;

    static Tables parse(const std::string& text);
    // Next state of s on c, -1 when none.
    int next(int s, int c) const;
    // Longest match from the start state of start condition `sc`; returns
    // the first rule of the accepting state's stop list and the length.
    std::pair<int, int> longest(const std::string& input, int sc = 0, bool lineStart = false) const;
};

} // namespace lextest
