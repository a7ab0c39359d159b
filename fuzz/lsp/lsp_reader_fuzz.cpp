// Any bytes as the language server's input stream: the framing, then every
// message the reader delivers handled by a server.  Nothing may crash, every
// byte fed must be consumed or held as the start of a message, and the
// same bytes cut into other pieces must frame to the same messages.
#include "message_reader.h"
#include "server.h"

#include <cstdlib>
#include <string>
#include <vector>

static void check(bool ok)
{
    if (!ok)
        std::abort();
}

static std::vector<std::string> frame(const std::string& bytes, size_t piece)
{
    vork::lsp::MessageReader reader(1 << 16);
    std::vector<std::string> out;
    for (size_t i = 0; i < bytes.size(); i += piece) {
        const size_t n = std::min(piece, bytes.size() - i);
        reader.feed(bytes.data() + i, n);
        std::string m;
        for (;;) {
            const auto r = reader.next(m);
            if (r == vork::lsp::MessageReader::Result::NeedMore)
                break;
            out.push_back((r == vork::lsp::MessageReader::Result::Message ? "M" : "E") + m);
        }
        check(reader.pending() <= bytes.size());
    }
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 16))
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> whole = frame(bytes, bytes.size() + 1);
    const std::vector<std::string> pieces = frame(bytes, 1 + size % 13);
    // Errors may be found at other points of a stream cut differently (a
    // header that grows too long), but the messages themselves never differ.
    std::vector<std::string> a, b;
    for (const auto& m : whole)
        if (m[0] == 'M')
            a.push_back(m);
    for (const auto& m : pieces)
        if (m[0] == 'M')
            b.push_back(m);
    check(a == b);

    // The messages to a server that analyses nothing (every document is too
    // large), so that only the protocol handling runs.
    vork::lsp::ServerOptions options;
    options.maxDocument = 0;
    vork::lsp::Server server(options, [](const QByteArray& out) { check(out.startsWith("Content-Length: ")); });
    for (const std::string& m : whole) {
        if (m[0] == 'M')
            server.handle(m.substr(1));
        else
            server.framingError(m.substr(1));
        if (server.exitRequested())
            break;
    }
    return 0;
}
