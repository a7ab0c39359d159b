// Helpers for the DUQ-Lex tests: a private directory per test, a run of the
// generator on a specification text, and a reader for the generated tables.
#pragma once

#include "vork/error_list.h"

#include <map>
#include <string>
#include <vector>

namespace lextest {

// A fresh temporary directory, removed with its files at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    void write(const std::string& name, const std::string& text) const;

private:
    std::string dir_;
};

std::string readFile(const std::string& path);

// The generated file without its creation-time line.
std::string withoutDateLine(const std::string& text);

struct Result {
    int status = -1;
    std::string output;                 // the generated file
    std::vector<std::string> messages;  // message list
    std::vector<std::string> errors;    // error list items
};

// Runs lex_run on `spec` (written to x.l) with a one-line stand-in skeleton.
Result generate(const std::string& spec, int slovak = 0, int statistics = 0, int optimise = 1);

// The text between the first occurrence of `from` and the next `to`
// (inclusive of both).
std::string slice(const std::string& text, const std::string& from, const std::string& to);

// The generated tables, read back from the text, and a matcher that follows
// the table conventions the skeleton relies on.
struct Tables {
    std::vector<int> verify, advance;
    struct State {
        int base;      // negative: compressed by character
        int other;     // fall-back state, -1 none
        int stops;     // offset in vstop, -1 none
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
