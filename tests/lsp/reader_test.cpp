// The framing of the message stream: whole messages out of arbitrary
// chunks, and every broken header reported and skipped without losing the
// messages after it.
#include "message_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vork::lsp::MessageReader;

namespace {

struct Case {
    const char* name;
    std::vector<std::string> chunks;
    size_t chunkSize;  // 0: feed the chunks as they are; else re-cut the whole input
    size_t maxBody;
    std::vector<std::string> expected;  // "M:<body>" or "E" for an error
};

std::string msg(const std::string& body)
{
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::vector<std::string> drain(MessageReader& r)
{
    std::vector<std::string> got;
    std::string out;
    for (;;) {
        const auto res = r.next(out);
        if (res == MessageReader::Result::NeedMore)
            return got;
        got.push_back(res == MessageReader::Result::Message ? "M:" + out : "E");
    }
}

} // namespace

TEST(MessageReader, FramesMessagesAndSkipsBrokenOnes)
{
    const std::string a = R"({"id":1})", b = R"({"method":"x","params":{"t":"a\r\n\r\nb"}})";
    const std::vector<Case> cases{
        {"one message", {msg(a)}, 0, 1000, {"M:" + a}},
        {"two in one chunk", {msg(a) + msg(b)}, 0, 1000, {"M:" + a, "M:" + b}},
        {"byte by byte", {msg(a) + msg(b)}, 1, 1000, {"M:" + a, "M:" + b}},
        {"seven-byte pieces", {msg(b) + msg(a)}, 7, 1000, {"M:" + b, "M:" + a}},
        {"header name in any case, other headers ignored",
         {"content-length: 8\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n" + a}, 0, 1000,
         {"M:" + a}},
        {"bare line feeds", {"Content-Length: 8\n\n" + a}, 0, 1000, {"M:" + a}},
        {"no length, then a good message", {"Content-Type: x\r\n\r\n" + msg(a)}, 0, 1000, {"E", "M:" + a}},
        {"length not a number", {"Content-Length: 1x\r\n\r\n" + msg(a)}, 0, 1000, {"E", "M:" + a}},
        {"negative length", {"Content-Length: -3\r\n\r\n" + msg(a)}, 0, 1000, {"E", "M:" + a}},
        {"header line without a colon drops its body", {"Content-Length: 8\r\ngarbage\r\n\r\n" + a + msg(b)}, 3, 1000,
         {"E", "M:" + b}},
        {"body too large is dropped, the next one read", {msg(std::string(50, 'x')) + msg(a)}, 5, 20,
         {"E", "M:" + a}},
        {"absurd length", {"Content-Length: 99999999999999999999\r\n\r\n" + msg(a)}, 0, 1000, {"E", "M:" + a}},
        {"endless header", {std::string(9000, 'h')}, 0, 1000, {"E"}},
        {"incomplete body waits", {"Content-Length: 20\r\n\r\n{}"}, 0, 1000, {}},
        {"empty body", {"Content-Length: 0\r\n\r\n"}, 0, 1000, {"M:"}},
        {"blank lines between messages", {msg(a) + "\r\n\r\n" + msg(a)}, 0, 1000, {"M:" + a, "M:" + a}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageReader r(c.maxBody);
        std::vector<std::string> got;
        std::vector<std::string> chunks = c.chunks;
        if (c.chunkSize) {
            std::string all;
            for (const auto& s : c.chunks)
                all += s;
            chunks.clear();
            for (size_t i = 0; i < all.size(); i += c.chunkSize)
                chunks.push_back(all.substr(i, c.chunkSize));
        }
        for (const std::string& s : chunks) {
            r.feed(s.data(), s.size());
            for (auto& g : drain(r))
                got.push_back(g);
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(MessageReader, HoldsNoMoreThanTheMessageInProgress)
{
    MessageReader r(100);
    const std::string body = "{\"a\":1}";
    for (int i = 0; i < 1000; ++i) {
        const std::string m = msg(body);
        r.feed(m.data(), m.size());
        std::string out;
        ASSERT_EQ(r.next(out), MessageReader::Result::Message);
        ASSERT_EQ(out, body);
    }
    EXPECT_EQ(r.pending(), 0u);
    // An oversized body is dropped as it arrives, not kept.
    const std::string head = "Content-Length: 100000\r\n\r\n";
    r.feed(head.data(), head.size());
    std::string out;
    EXPECT_EQ(r.next(out), MessageReader::Result::Error);
    const std::string part(50000, 'x');
    r.feed(part.data(), part.size());
    EXPECT_EQ(r.next(out), MessageReader::Result::NeedMore);
    EXPECT_EQ(r.pending(), 0u);
    r.feed(part.data(), part.size());
    const std::string next = msg(body);
    r.feed(next.data(), next.size());
    EXPECT_EQ(r.next(out), MessageReader::Result::Message);
    EXPECT_EQ(out, body);
}
