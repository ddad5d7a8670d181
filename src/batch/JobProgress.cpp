#include "JobProgress.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

constexpr unsigned char kProgramEnd[] = {0x00, 0x00, 0x01, 0xB9};
constexpr unsigned char kSequenceEnd[] = {0x00, 0x00, 0x01, 0xB7};

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string ReasonOf(const std::error_code& error) {
    if (error == std::errc::permission_denied) return "access denied";
    return error.message();
}

bool EndsWith(std::string_view bytes, const unsigned char (&code)[4]) {
    if (bytes.size() < 4) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (static_cast<unsigned char>(bytes[bytes.size() - 4 + i]) != code[i]) return false;
    }
    return true;
}

}  // namespace

bool EndsWithMpegEndCode(std::string_view bytes) {
    return EndsWith(bytes, kProgramEnd) || EndsWith(bytes, kSequenceEnd);
}

OutputCheck CheckOutput(const std::string& output, const std::vector<std::string>& sources) {
    try {
        const fs::path path = PathOf(output);
        // Opened first: the usual finished output needs no other look at it than its time.
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
        if (size <= 0) {
            std::error_code error;
            const fs::file_status status = fs::status(path, error);
            if (status.type() == fs::file_type::not_found) return {OutputState::Missing, ""};
            if (error) return {OutputState::Unreadable, ReasonOf(error)};
            if (status.type() != fs::file_type::regular) return {OutputState::Unreadable, "it is not an ordinary file"};
            if (!file) return {OutputState::Unreadable, "it cannot be opened"};
            if (size == 0) return {OutputState::Empty, ""};
            return {OutputState::Unreadable, "it cannot be read"};
        }
        char last[4];
        const std::streamoff tail = size < 4 ? size : 4;
        file.seekg(-tail, std::ios::end);
        file.read(last, static_cast<std::streamsize>(tail));
        if (!file) return {OutputState::Unreadable, "it cannot be read"};
        if (!EndsWithMpegEndCode(std::string_view(last, static_cast<std::size_t>(tail)))) {
            return {OutputState::NoEndCode, ""};
        }

        std::error_code error;
        const fs::file_time_type written = fs::last_write_time(path, error);
        if (error) return {OutputState::Unreadable, ReasonOf(error)};
        for (const std::string& source : sources) {
            std::error_code sourceError;
            const fs::file_time_type changed = fs::last_write_time(PathOf(source), sourceError);
            if (!sourceError && written < changed) return {OutputState::OlderThanSource, ""};
        }
        return {OutputState::Complete, ""};
    } catch (const std::exception& failure) {
        return {OutputState::Unreadable, failure.what()};
    }
}

std::string OutputStateText(const OutputCheck& check) {
    switch (check.State) {
        case OutputState::Complete: return "complete";
        case OutputState::Missing: return "missing";
        case OutputState::Empty: return "empty";
        case OutputState::NoEndCode: return "not finished: no end code";
        case OutputState::OlderThanSource: return "older than its source";
        case OutputState::Unreadable: return "not checked: " + check.Reason;
    }
    return "";
}

}  // namespace quorvel
