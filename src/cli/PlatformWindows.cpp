#include <windows.h>

#include <string>

#include "cli/Platform.h"
#include "batch/TextWindows.h"

namespace quorvel::cli {

namespace {

std::string SystemMessage(DWORD error) { return Narrow(SystemErrorText(error)); }

}  // namespace

PathResolver::PathResolver() = default;

PathResolver::PathResolver(std::vector<DriveLink> links, std::string currentDirectory)
    : links_(std::move(links)), currentDirectory_(std::move(currentDirectory)) {}

Status PathResolver::Resolve(const std::string& given, ResolvedPath& resolved) const {
    if (given.empty()) return Status::Fail("An empty path was given");
    const std::wstring wide = Widen(given);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return Status::Fail("The path " + given + " is not valid: " + SystemMessage(GetLastError()));
    std::wstring full(size, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (written == 0 || written >= size) return Status::Fail("The path " + given + " is not valid");
    full.resize(written);
    resolved.Local = Narrow(full);
    resolved.Encoder = resolved.Local;
    return Status::Ok();
}

std::optional<std::string> PathResolver::LocalPathOf(const std::string& encoderPath) const {
    for (char c : encoderPath) {
        if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    }
    const bool drivePath = encoderPath.size() >= 3 && encoderPath[1] == ':' && encoderPath[2] == '\\';
    const bool sharePath = encoderPath.starts_with("\\\\");
    if (!drivePath && !sharePath) return std::nullopt;
    return encoderPath;
}

std::string DefaultCodePageSource() { return "the system's ANSI code page"; }

std::string LaunchCommandText(const std::string& encoder, const std::string& batchFile) {
    return "\"" + encoder + "\" /batch \"" + batchFile + "\"";
}

Status CheckEncoder(const std::string& encoder, const PathResolver& resolver) {
    // A bare name is looked up as CreateProcess will look it up.
    if (encoder.find_first_of("/\\:") == std::string::npos) {
        wchar_t found[MAX_PATH];
        if (SearchPathW(nullptr, Widen(encoder).c_str(), L".exe", MAX_PATH, found, nullptr) != 0) {
            return Status::Ok();
        }
        return Status::Fail("The encoder program " + encoder + " was not found on the PATH; give its path");
    }
    ResolvedPath program;
    if (Status resolved = resolver.Resolve(encoder, program); !resolved) return resolved;
    const DWORD attributes = GetFileAttributesW(Widen(program.Local).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Status::Fail("The encoder program " + encoder + " is a folder, not a program");
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Status::Fail("The encoder program " + encoder + " does not exist");
    }
    return Status::Ok();
}

Status LaunchEncoder(const std::string& encoder, const std::string& batchFile) {
    std::wstring commandLine = Widen(LaunchCommandText(encoder, batchFile));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(
            nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return Status::Fail("Cannot start the encoder " + encoder + ": " + SystemMessage(GetLastError()));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return Status::Ok();
}

}  // namespace quorvel::cli
