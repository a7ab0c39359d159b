// vork-lsp as its own process, the way an editor runs it: every way the
// editor can end it (a clean shutdown, closing the pipe, the signals an
// editor sends when it gives up on the server) ends it with a known status
// and leaves nothing in the temporary directory, and its standard output
// carries nothing but protocol messages.
#include "message_reader.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using vork::lsp::MessageReader;

namespace {

const int kBySignal = 1000;

std::string frame(const std::string& body)
{
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::vector<std::string> entries(const std::string& dir)
{
    std::vector<std::string> out;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                out.push_back(e->d_name);
        ::closedir(d);
    }
    return out;
}

// Every conflict of this grammar has an example to search: the server is
// still busy with them when it is told to end.
std::string ambiguousGrammar()
{
    std::string g = "%token NUM\n%%\ne : NUM";
    for (const char* op : {"+", "-", "*", "/", "%", "<", ">", "&", "|", "^"})
        g += std::string("\n  | e '") + op + "' e";
    return g + "\n  ;\n";
}

class ServerProcess {
public:
    explicit ServerProcess(const std::string& tmpdir)
    {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            ::setenv("TMPDIR", tmpdir.c_str(), 1);
            ::execl(VORK_BIN_DIR "/vork-lsp", "vork-lsp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        to_ = in[1];
        from_ = out[0];
    }
    ~ServerProcess()
    {
        closeInput();
        if (from_ >= 0)
            ::close(from_);
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool started() const { return pid_ > 0 && to_ >= 0; }
    pid_t pid() const { return pid_; }

    void send(const std::string& body)
    {
        const std::string f = frame(body);
        ASSERT_EQ(::write(to_, f.data(), f.size()), static_cast<ssize_t>(f.size()));
    }
    void closeInput()
    {
        if (to_ >= 0)
            ::close(to_);
        to_ = -1;
    }
    // Reads until a message with this method (or an answer with this id)
    // came; false when the server ended first.  The poll's time only keeps
    // a broken server from hanging the test.
    bool awaitMessage(const std::string& method, int id = -1)
    {
        for (;;) {
            std::string body;
            for (MessageReader::Result r; (r = reader_.next(body)) != MessageReader::Result::NeedMore;) {
                if (r == MessageReader::Result::Error) {
                    framingErrors_.push_back(body);
                    continue;
                }
                const QJsonObject m = QJsonDocument::fromJson(QByteArray::fromStdString(body)).object();
                if ((!method.empty() && m.value("method").toString().toStdString() == method) ||
                    (id >= 0 && m.value("id").toInt(-1) == id && !m.contains("method")))
                    return true;
            }
            if (!readSome())
                return false;
        }
    }
    // The exit status, once the rest of its output was read.
    int wait()
    {
        while (readSome()) {
        }
        std::string body;
        for (MessageReader::Result r; (r = reader_.next(body)) != MessageReader::Result::NeedMore;)
            if (r == MessageReader::Result::Error)
                framingErrors_.push_back(body);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : kBySignal + WTERMSIG(status);
    }
    const std::vector<std::string>& framingErrors() const { return framingErrors_; }
    size_t unread() const { return reader_.pending(); }

private:
    bool readSome()
    {
        pollfd p{from_, POLLIN, 0};
        if (::poll(&p, 1, 60000) <= 0)
            return false;
        char buf[65536];
        const ssize_t n = ::read(from_, buf, sizeof buf);
        if (n <= 0)
            return false;
        reader_.feed(buf, static_cast<size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int to_ = -1;
    int from_ = -1;
    bool reaped_ = false;
    MessageReader reader_;
    std::vector<std::string> framingErrors_;
};

} // namespace

TEST(LspProcess, EveryWayOfEndingLeavesNoWorkFiles)
{
    struct Case {
        const char* name;
        int signal;      // 0: the editor ends it through the protocol or the pipe
        bool shutdown;   // before the exit notification
        bool exit;       // the exit notification (else the input is closed)
        int status;      // the exit status, or kBySignal + the signal that ended it
    };
    const std::vector<Case> cases{
        {"shutdown and exit", 0, true, true, 0},
        {"exit without shutdown", 0, false, true, 1},
        {"the editor closes the pipe", 0, false, false, 0},
        // Ended by the signal itself once it has cleaned up: an editor takes
        // any other status for a failure of the server.
        {"SIGTERM, as Neovim stops a server", SIGTERM, false, false, kBySignal + SIGTERM},
        {"SIGINT", SIGINT, false, false, kBySignal + SIGINT},
        {"SIGHUP, the terminal gone", SIGHUP, false, false, kBySignal + SIGHUP},
    };
    std::signal(SIGPIPE, SIG_IGN);  // a server that died must fail the case, not end the test
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char dirTemplate[] = "/tmp/vork-lsp-process-XXXXXX";
        ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
        const std::string tmpdir = dirTemplate;
        {
            ServerProcess server(tmpdir);
            ASSERT_TRUE(server.started());
            server.send(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
            ASSERT_TRUE(server.awaitMessage("", 1));
            server.send(R"({"jsonrpc":"2.0","method":"initialized","params":{}})");
            const QJsonObject open{
                {"jsonrpc", "2.0"},
                {"method", "textDocument/didOpen"},
                {"params", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///work/ops.y"},
                                                                     {"languageId", "yacc"},
                                                                     {"version", 1},
                                                                     {"text", QString::fromStdString(ambiguousGrammar())}}}}}};
            server.send(QJsonDocument(open).toJson(QJsonDocument::Compact).toStdString());
            // The conflicts are shown; their examples are being searched.
            ASSERT_TRUE(server.awaitMessage("textDocument/publishDiagnostics"));
            EXPECT_EQ(entries(tmpdir).size(), 1u) << "the server's own work directory";

            if (c.signal) {
                ::kill(server.pid(), c.signal);
            } else {
                if (c.shutdown) {
                    server.send(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})");
                    EXPECT_TRUE(server.awaitMessage("", 2));
                }
                if (c.exit)
                    server.send(R"({"jsonrpc":"2.0","method":"exit"})");
                else
                    server.closeInput();
            }
            EXPECT_EQ(server.wait(), c.status);
            EXPECT_TRUE(server.framingErrors().empty()) << server.framingErrors().front();
            EXPECT_EQ(server.unread(), 0u) << "bytes on standard output that are no message";
        }
        EXPECT_TRUE(entries(tmpdir).empty()) << entries(tmpdir).front();
        std::system(("rm -rf '" + tmpdir + "'").c_str());
    }
}
