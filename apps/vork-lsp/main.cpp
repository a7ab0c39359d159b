// vork-lsp: the language server for DUQ-yacc grammars and DUQ-Lex
// specifications, talking to an editor over standard input and output.
#include "server.h"

#include "vork/progdir.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
void usage(std::FILE* to)
{
    std::fputs("usage: vork-lsp [--lang en|sk] [--large] [--cex-time SECONDS] [--stdio]\n"
               "  --lang LANG       language of the generators' messages: en (default) or sk\n"
               "  --large           large tables, as the IDE's \"large\" option\n"
               "  --cex-time SECS   time to search an example per conflict (default 1)\n"
               "  --stdio           accepted; standard input and output are the channel\n"
               "  --help            print this and exit\n"
               "  --version         print the version and exit\n"
               "Speaks the Language Server Protocol on standard input and output.\n",
               to);
}
} // namespace

int main(int argc, char** argv)
{
    vork::lsp::ServerOptions options;
    options.analyzer.yaccSkeleton = vork::dataFilePath("yaccpar");
    options.analyzer.lexSkeleton = vork::dataFilePath("ncform");
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--lang") && i + 1 < argc) {
            const char* l = argv[++i];
            if (!std::strcmp(l, "sk"))
                options.analyzer.slovak = 1;
            else if (std::strcmp(l, "en")) {
                std::fprintf(stderr, "vork-lsp: unknown language \"%s\" (en or sk)\n", l);
                return 2;
            }
        } else if (!std::strcmp(a, "--large")) {
            options.analyzer.large = 1;
        } else if (!std::strcmp(a, "--cex-time") && i + 1 < argc) {
            options.analyzer.exampleSeconds = std::atof(argv[++i]);
        } else if (!std::strcmp(a, "--stdio")) {
            // what several clients add; standard input and output are the only channel anyway
        } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            usage(stdout);
            return 0;
        } else if (!std::strcmp(a, "--version")) {
            std::printf("vork-lsp %s\n", vork::versionString());
            return 0;
        } else {
            usage(stderr);
            return 2;
        }
    }
    // A client that goes away must not kill the server with SIGPIPE before
    // it has seen the end of its input.
    std::signal(SIGPIPE, SIG_IGN);
    // Standard output is the protocol's alone: a line that anything in the
    // process prints there (the scanner generator prints one in a corner of
    // its table packing) would break the client's framing.  The protocol
    // gets its own copy of the descriptor; the rest goes to standard error,
    // which editors keep as the server's log.
    const int protocol = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (protocol < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::perror("vork-lsp: standard output");
        return 1;
    }
    const int status = vork::lsp::Server::serve(STDIN_FILENO, protocol, std::move(options));
    if (status > 128 && status < 128 + 32) {
        // Ended by a signal, with everything cleaned up: now end by it, as
        // the editor expects (Neovim reports any other status as a failure).
        const int sig = status - 128;
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    return status;
}
