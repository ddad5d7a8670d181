#pragma once

// The buffered line writer every batch list goes through.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "Status.h"

namespace quorvel {

// Where the bytes of a list end up: a file being written, a stream, a test buffer.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual Status Write(std::string_view bytes) = 0;
};

// Writes to an open stream; it is flushed by BatchOutput::Flush, never closed.
class StreamSink final : public ByteSink {
public:
    explicit StreamSink(std::FILE* stream) : stream_(stream) {}
    Status Write(std::string_view bytes) override;
    Status FlushStream();

private:
    std::FILE* stream_;
};

// Collects bytes in a fixed buffer and hands them to the sink in large pieces. The first
// failure of the sink is kept; everything written after it is dropped, so a writer can
// carry on without checking and ask once at the end.
class BatchOutput {
public:
    static constexpr std::size_t kDefaultCapacity = 1024 * 1024;

    explicit BatchOutput(ByteSink& sink, std::size_t capacity = kDefaultCapacity);
    BatchOutput(const BatchOutput&) = delete;
    BatchOutput& operator=(const BatchOutput&) = delete;

    // Bytes as they are, line ends included when they carry any.
    void Append(std::string_view bytes);
    // A line: the text, then CR LF.
    void Line(std::string_view text) {
        Append(text);
        Append("\r\n");
    }

    // Hands the buffered bytes to the sink; gives the first failure seen.
    Status Flush();
    bool Failed() const { return !status_.IsOk(); }
    const Status& State() const { return status_; }

private:
    void Drain();

    ByteSink& sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    Status status_ = Status::Ok();
};

}  // namespace quorvel
