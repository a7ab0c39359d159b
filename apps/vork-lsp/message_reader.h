// Splits the byte stream of a language client into messages: header lines
// ("Content-Length: N", others ignored) ended by an empty line, then N bytes
// of JSON.  A broken header is reported and skipped, never fatal: the reader
// resynchronises at the next header.
#pragma once

#include <cstddef>
#include <string>

namespace vork::lsp {

class MessageReader {
public:
    enum class Result { NeedMore, Message, Error };

    // Bodies longer than this are skipped and reported, so that a client
    // cannot make the server hold more than this much of one message.
    explicit MessageReader(size_t maxBody = size_t(96) << 20) : maxBody_(maxBody) {}

    void feed(const char* data, size_t size) { buffer_.append(data, size); }

    // Message: `out` holds the body.  Error: `out` holds what was wrong.
    // NeedMore: nothing complete yet.
    Result next(std::string& out);

    // Bytes held that make no complete message yet.
    size_t pending() const { return buffer_.size() - start_; }

private:
    void compact();

    std::string buffer_;
    size_t start_ = 0;
    size_t maxBody_;
    size_t skip_ = 0;  // bytes of an oversized body still to drop
};

} // namespace vork::lsp
