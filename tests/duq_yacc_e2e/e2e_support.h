// Running the real programs: duq-yacc, then vork-cc, then the generated
// compiler, each in the test's own directory.
#pragma once

#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e {

using yacctest::exists;
using yacctest::readFile;
using yacctest::writeFile;

using Result = vorktest::Run;
using vorktest::quoted;

inline std::string bin(const std::string& program) { return vorktest::program(program); }

// A fixture file of this suite, under tests/duq_yacc_e2e/data.
inline std::string dataFile(const std::string& name)
{
    return readFile(std::string(VORK_SOURCE_DIR) + "/tests/duq_yacc_e2e/data/" + name);
}

// Runs a shell command line in the current directory with stdin from the
// given text.
inline Result run(const std::string& command, const std::string& input = "")
{
    return vorktest::runIn(".", command, input);
}

// duq-yacc ARGS g.y, with the grammar written to g.y first.
inline Result generate(const std::string& grammar, const std::string& args = "")
{
    writeFile("g.y", grammar);
    return run(bin("duq-yacc") + " " + args + " g.y");
}

// Generates g.cpp (g.c when asC: vork-cc then compiles it as C) from the
// grammar, with duq-yacc's further args, and compiles it into g.exe; failures are reported through gtest
// and make the result false.
inline bool build(const std::string& grammar, Result* generation, bool asC = false, const std::string& args = "")
{
    const std::string source = asC ? "g.c" : "g.cpp";
    *generation = generate(grammar, args + (args.empty() ? "" : " ") + "-o " + source);
    if (generation->status != 0) {
        ADD_FAILURE() << "duq-yacc failed:\n" << generation->out << generation->err;
        return false;
    }
    const Result c = run(bin("vork-cc") + " " + source);
    if (c.status != 0)
        ADD_FAILURE() << "vork-cc failed:\n" << c.out << c.err;
    return c.status == 0;
}

} // namespace e2e
