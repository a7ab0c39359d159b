#include "e2e_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace e2e {

std::string quoted(const std::string& word)
{
    std::string q = "'";
    for (char c : word)
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string bin(const std::string& program)
{
    return quoted(std::string(VORK_BIN_DIR) + "/" + program);
}

Result run(const std::string& command, const std::string& input)
{
    yacctest::writeFile("stdin.txt", input);
    const std::string line = "(" + command + ") <stdin.txt >stdout.txt 2>stderr.txt";
    const int raw = std::system(line.c_str());
    Result r;
    r.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    r.out = yacctest::readFile("stdout.txt");
    r.err = yacctest::readFile("stderr.txt");
    return r;
}

Result generate(const std::string& grammar, const std::string& args)
{
    yacctest::writeFile("g.y", grammar);
    return run(bin("duq-yacc") + " " + args + " g.y");
}

bool build(const std::string& grammar, const std::string& args, Result* generation)
{
    const Result g = generate(grammar, args);
    if (generation)
        *generation = g;
    if (g.status != 0) {
        ADD_FAILURE() << "duq-yacc failed:\n" << g.out << g.err;
        return false;
    }
    const Result c = run(bin("vork-cc") + " g.cpp");
    if (c.status != 0) {
        ADD_FAILURE() << "vork-cc failed:\n" << c.out << c.err;
        return false;
    }
    return true;
}

} // namespace e2e
