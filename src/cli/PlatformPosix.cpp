#include "cli/Platform.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "batch/CodePage.h"
#include "cli/Shown.h"

extern char** environ;

namespace quorvel::cli {

namespace fs = std::filesystem;

namespace {

std::string CurrentDirectory() {
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    return ec ? std::string("/") : current.string();
}

std::string WineCommand() {
    const char* wine = std::getenv("WINE");
    return (wine != nullptr && *wine != '\0') ? wine : "wine";
}

// The program a command names, the way execvp looks it up.
std::optional<std::string> FindProgram(const std::string& command) {
    if (command.find('/') != std::string::npos) {
        if (access(command.c_str(), X_OK) == 0) return command;
        return std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::string_view dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = dirs.find(':');
        // An empty entry is the current directory.
        const std::string_view dir = colon == 0 || dirs.empty() ? std::string_view(".") : dirs.substr(0, colon);
        const std::string candidate = std::string(dir) + "/" + command;
        if (access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate)) return candidate;
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

}  // namespace

PathResolver::PathResolver() : links_(ReadDosDevices(WinePrefixDirectory())), currentDirectory_(CurrentDirectory()) {}

PathResolver::PathResolver(std::vector<DriveLink> links, std::string currentDirectory)
    : links_(std::move(links)), currentDirectory_(std::move(currentDirectory)) {}

Status PathResolver::Resolve(const std::string& given, ResolvedPath& resolved) const {
    if (given.empty()) return Status::Fail("An empty path was given");
    if (IsWindowsForm(given)) {
        std::error_code ec;
        const fs::path current = fs::weakly_canonical(currentDirectory_, ec);
        const std::optional<std::string> currentForm = MapToWinePath(ec ? currentDirectory_ : current.string(), links_);
        const std::optional<std::string> full = FullWindowsForm(given, currentForm.value_or(""));
        if (!full) {
            return Status::Fail("The path " + Shown(given) +
                                " depends on a drive's own current directory; give it in full, as " +
                                given.substr(0, 2) + "\\...");
        }
        resolved.Encoder = *full;
        resolved.Local = MapFromWinePath(*full, links_).value_or("");
        return Status::Ok();
    }

    fs::path absolute = given.front() == '/' ? fs::path(given) : fs::path(currentDirectory_) / given;
    std::string local = absolute.lexically_normal().string();
    while (local.size() > 1 && local.back() == '/') local.pop_back();
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(local, ec);
    const std::optional<std::string> form = MapToWinePath(ec ? local : canonical.string(), links_);
    if (!form)
        return Status::Fail(
            "The path " + Shown(given) +
            " cannot be named for the encoder: no Wine drive reaches it, or a name in it is not allowed on Windows");
    resolved.Local = std::move(local);
    resolved.Encoder = *form;
    return Status::Ok();
}

std::optional<std::string> PathResolver::LocalPathOf(const std::string& encoderPath) const {
    // A control character cannot be in a Windows path, and a NUL would cut the local one short.
    for (char c : encoderPath) {
        if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
    }
    if (encoderPath.size() < 3 || encoderPath[2] != '\\') return std::nullopt;
    return MapFromWinePath(encoderPath, links_);
}

std::string DefaultCodePageSource() {
    const std::string name = EnvironmentLocaleName();
    // The variable that decides is the first one set; when its locale is missing, glibc and
    // Wine both fall back to C, which the user should hear about.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* asked = std::getenv(variable);
        if (asked == nullptr || *asked == '\0') continue;
        if (name == "C" && std::string_view(asked) != "C" && std::string_view(asked) != "POSIX") {
            return "from the locale C: " + std::string(variable) + " asks for " + Shown(asked) +
                   ", which is not installed";
        }
        break;
    }
    return "from the locale " + name;
}

namespace {

// A bare encoder name is found on the PATH as a shell would find it; Wine is handed the path.
std::string EncoderProgram(const std::string& encoder) {
    if (encoder.find_first_of("/\\") != std::string::npos) return encoder;
    return FindProgram(encoder).value_or(encoder);
}

}  // namespace

std::string LaunchCommandText(const std::string& encoder, const std::string& batchFile) {
    return WineCommand() + " \"" + EncoderProgram(encoder) + "\" /batch \"" + batchFile + "\"";
}

Status CheckEncoder(const std::string& encoder, const PathResolver& resolver) {
    const std::string wine = WineCommand();
    if (!FindProgram(wine)) {
        return Status::Fail("Cannot start the encoder: the Wine command " + wine + " was not found (set WINE to it)");
    }
    if (encoder.find_first_of("/\\") == std::string::npos) {
        if (FindProgram(encoder)) return Status::Ok();
        return Status::Fail("The encoder program " + Shown(encoder) + " was not found on the PATH; give its path (./" +
                            Shown(encoder) + " for one here)");
    }
    ResolvedPath program;
    if (Status resolved = resolver.Resolve(encoder, program); !resolved) return resolved;
    std::error_code ec;
    if (!program.Local.empty() && fs::is_directory(program.Local, ec)) {
        return Status::Fail("The encoder program " + Shown(encoder) + " is a folder, not a program");
    }
    if (!program.Local.empty() && !fs::is_regular_file(program.Local, ec)) {
        return Status::Fail("The encoder program " + Shown(encoder) + " does not exist");
    }
    return Status::Ok();
}

Status LaunchEncoder(const std::string& encoder, const std::string& batchFile) {
    const std::string wine = WineCommand();
    const std::optional<std::string> program = FindProgram(wine);
    if (!program) return Status::Fail("Cannot start the encoder: the Wine command " + wine + " was not found");

    // The encoder outlives this process: its own session, and none of our standard streams,
    // so a caller reading our output is not kept waiting on it.
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

    std::string argv0 = wine;
    std::string argv1 = EncoderProgram(encoder);
    std::string argv2 = "/batch";
    std::string argv3 = batchFile;
    char* argv[] = {argv0.data(), argv1.data(), argv2.data(), argv3.data(), nullptr};
    pid_t child = 0;
    const int result = posix_spawn(&child, program->c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        return Status::Fail("Cannot start the encoder " + encoder + " through " + wine + ": " + std::strerror(result));
    }
    return Status::Ok();
}

}  // namespace quorvel::cli
