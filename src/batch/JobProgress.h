#pragma once

// Whether the encoder finished a job, as far as its output file tells.

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

enum class OutputState {
    Complete,
    Missing,
    Empty,
    NoEndCode,        // the encoder stopped writing it
    OlderThanSource,  // the source changed after it was encoded
    Unreadable,       // it cannot be looked at; Reason says why
};

struct OutputCheck {
    OutputState State = OutputState::Missing;
    std::string Reason;
};

// True when the bytes end with an MPEG program end or sequence end code.
bool EndsWithMpegEndCode(std::string_view bytes);

// Looks at an output file and the sources it was made from (local paths, UTF-8). A source
// that is missing or cannot be looked at does not make the output old.
OutputCheck CheckOutput(const std::string& output, const std::vector<std::string>& sources);

// A few words for the user: "missing", "empty", ...
std::string OutputStateText(const OutputCheck& check);

}  // namespace quorvel
