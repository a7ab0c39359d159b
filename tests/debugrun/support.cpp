#include "support.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace drtest {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vork-debugrun-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream f(path, std::ios::binary);
    f << text;
}

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string sourceFile(const std::string& relative)
{
    return readFile(std::string(VORK_SOURCE_DIR) + "/" + relative);
}

void copyExample(const std::string& example, const std::vector<std::string>& names, const TempDir& dir)
{
    for (const std::string& name : names)
        writeFile(dir / name, sourceFile("examples/" + example + "/" + name));
}

std::vector<std::string> ProgramRun::lines() const
{
    std::vector<std::string> result;
    std::string line;
    std::istringstream in(out);
    while (std::getline(in, line))
        result.push_back(line);
    return result;
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
    ProgramRun run;
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(::open("/dev/null", O_WRONLY), 2);
        if (::chdir(dir.c_str()) != 0)
            ::_exit(126);
        ::setenv("VORK_CHAN_SUFFIX", channelSuffix.c_str(), 1);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    // The scripts are far smaller than a pipe's buffer.
    if (!input.empty() && ::write(in[1], input.data(), input.size()) < 0)
        run.out = "";
    ::close(in[1]);

    const auto deadline = std::chrono::steady_clock::now() + limit;
    char buf[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            run.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        pollfd pfd{out[0], POLLIN, 0};
        const int r = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (r <= 0)
            continue;
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0)
            break;
        run.out.append(buf, static_cast<size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.exitCode = 128 + WTERMSIG(status);
    return run;
}

} // namespace drtest
