#pragma once

#include <string>
#include <utility>

namespace quorvel {

// The outcome of a core operation: success, or a failure with a message for the user.
// The core never ends the program and never lets an exception reach a caller.
class [[nodiscard]] Status {
public:
    static Status Ok() { return Status(); }
    static Status Fail(std::string message) { return Status(std::move(message)); }

    bool IsOk() const { return !failed_; }
    explicit operator bool() const { return !failed_; }
    const std::string& Message() const { return message_; }

private:
    Status() = default;
    explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

    bool failed_ = false;
    std::string message_;
};

}  // namespace quorvel
