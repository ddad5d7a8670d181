#include "BatchOutput.h"

#include <cerrno>
#include <cstring>

#include "FileAccess.h"

namespace quorvel {

Status StreamSink::Write(std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
        return Status::Fail("Cannot write the batch list: " + FileErrorReason(errno));
    }
    return Status::Ok();
}

Status StreamSink::FlushStream() {
    errno = 0;
    if (std::fflush(stream_) != 0) return Status::Fail("Cannot write the batch list: " + FileErrorReason(errno));
    return Status::Ok();
}

BatchOutput::BatchOutput(ByteSink& sink, std::size_t capacity)
    : sink_(sink), buffer_(new char[capacity == 0 ? 1 : capacity]), capacity_(capacity == 0 ? 1 : capacity) {}

void BatchOutput::Drain() {
    if (used_ == 0) return;
    if (status_.IsOk()) status_ = sink_.Write(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

void BatchOutput::Append(std::string_view bytes) {
    if (bytes.empty() || !status_.IsOk()) return;
    if (bytes.size() > capacity_ - used_) {
        Drain();
        if (bytes.size() >= capacity_) {
            if (status_.IsOk()) status_ = sink_.Write(bytes);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

Status BatchOutput::Flush() {
    Drain();
    return status_;
}

}  // namespace quorvel
