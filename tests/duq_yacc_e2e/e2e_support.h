// Running the real programs: duq-yacc, then vork-cc, then the generated
// compiler, each in the test's own directory.
#pragma once

#include "yacc_test_support.h"

#include <string>

namespace e2e {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command line in the current directory with stdin from the
// given text.
Result run(const std::string& command, const std::string& input = "");

// Quotes a word for the shell.
std::string quoted(const std::string& word);

std::string bin(const std::string& program);

// duq-yacc ARGS g.y, with the grammar written to g.y first.
Result generate(const std::string& grammar, const std::string& args = "");

// Generates g.cpp from the grammar and compiles it into g.exe; failures
// are reported through gtest and make the result false.
bool build(const std::string& grammar, const std::string& args = "", Result* generation = nullptr);

} // namespace e2e
