#include "scanner_run.h"

namespace e2e {

std::string buildScanner(const TempDir& dir, const std::string& spec, bool optimise, const std::string& options,
                         bool asC)
{
    const std::string source = asC ? "lexyy.c" : "lexyy.cpp";
    writeFile(dir.file("spec.l"), spec);
    const std::string cd = "cd '" + dir.path() + "' && ";
    std::string gen = cd + "'" + binPath("duq-lex") + "'" + (optimise ? "" : " --no-optimise") + " " + options +
                      " -o " + source + " spec.l >gen.log 2>&1";
    if (runShell(gen) != 0) return "duq-lex failed:\n" + readFile(dir.file("gen.log"));
    // The scanners here test behaviour, not speed: no optimisation, and the
    // sanitizers watch the skeleton's buffers and table reads.
    std::string cc = "cd '" + dir.path() +
                     "' && VORK_CC_FLAGS='-O0 -g -fsanitize=address,undefined -fno-sanitize-recover=undefined' '" +
                     binPath("vork-cc") + "' " + source + " >cc.log 2>&1";
    if (runShell(cc) != 0) return "vork-cc failed:\n" + readFile(dir.file("cc.log"));
    return "";
}

RunResult runScanner(const TempDir& dir, const std::vector<std::string>& args, const std::string& input)
{
    std::string cmd = "./lexyy.exe";
    for (const auto& a : args) cmd += " " + vorktest::quoted(a);
    return vorktest::runIn(dir.path(), cmd, input);
}

} // namespace e2e
