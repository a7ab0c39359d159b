#include "support.h"

#include <csignal>
#include <unistd.h>

namespace drtest {

void copyExample(const std::string& example, const std::vector<std::string>& names, const TempDir& dir)
{
    for (const std::string& name : names)
        writeFile(dir / name, sourceFile("examples/" + example + "/" + name));
}

std::string uniqueSuffix()
{
    static int counter = 0;
    return "-t" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

std::string vorkProgram()
{
    return std::string(VORK_BIN_DIR) + "/vork";
}

ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& dir, const std::string& input,
                      const std::string& channelSuffix, std::chrono::milliseconds limit)
{
    // timeout kills the whole process group, the generated program with it.
    std::string command = "VORK_CHAN_SUFFIX=" + vorktest::quoted(channelSuffix) + " timeout -s KILL " +
                          std::to_string(static_cast<double>(limit.count()) / 1000.0);
    for (const std::string& a : argv)
        command += " " + vorktest::quoted(a);
    const vorktest::Run r = vorktest::runIn(dir, command, input);
    ProgramRun run;
    run.exitCode = r.status;
    run.timedOut = r.status == 128 + SIGKILL;
    run.out = r.out;
    return run;
}

} // namespace drtest
