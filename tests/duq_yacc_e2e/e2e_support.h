// Running the real programs: duq-yacc, then vork-cc, then the generated
// compiler, each in the test's own directory.
#pragma once

#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>

namespace e2e {

using yacctest::exists;
using yacctest::readFile;
using yacctest::writeFile;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Quotes a word for the shell.
inline std::string quoted(const std::string& word)
{
    std::string q = "'";
    for (char c : word)
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string bin(const std::string& program)
{
    return quoted(std::string(VORK_BIN_DIR) + "/" + program);
}

// A fixture file of this suite, under tests/duq_yacc_e2e/data.
inline std::string dataFile(const std::string& name)
{
    return readFile(std::string(VORK_SOURCE_DIR) + "/tests/duq_yacc_e2e/data/" + name);
}

// Runs a shell command line in the current directory with stdin from the
// given text.
inline Result run(const std::string& command, const std::string& input = "")
{
    writeFile("stdin.txt", input);
    const int raw = std::system(("(" + command + ") <stdin.txt >stdout.txt 2>stderr.txt").c_str());
    Result r;
    r.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    r.out = readFile("stdout.txt");
    r.err = readFile("stderr.txt");
    return r;
}

// duq-yacc ARGS g.y, with the grammar written to g.y first.
inline Result generate(const std::string& grammar, const std::string& args = "")
{
    writeFile("g.y", grammar);
    return run(bin("duq-yacc") + " " + args + " g.y");
}

// Generates g.cpp from the grammar and compiles it into g.exe; failures
// are reported through gtest and make the result false.
inline bool build(const std::string& grammar, Result* generation)
{
    *generation = generate(grammar);
    if (generation->status != 0) {
        ADD_FAILURE() << "duq-yacc failed:\n" << generation->out << generation->err;
        return false;
    }
    const Result c = run(bin("vork-cc") + " g.cpp");
    if (c.status != 0)
        ADD_FAILURE() << "vork-cc failed:\n" << c.out << c.err;
    return c.status == 0;
}

} // namespace e2e
