#include "cli/Sources.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "batch/FileAccess.h"
#include "batch/SourceListing.h"
#include "cli/Shown.h"

namespace quorvel::cli {

namespace fs = std::filesystem;

namespace {

fs::path PathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

bool IsDriveRoot(std::string_view path) { return path.size() == 3 && path[1] == ':' && path[2] == '\\'; }

bool IsRegularFile(const std::string& local) {
    std::error_code ec;
    return fs::is_regular_file(PathFromUtf8(local), ec);
}

// "D:\Video" and "tape.avi" give "D:\Video\tape.avi"; a root keeps its one separator.
std::string JoinPath(const std::string& folder, std::string_view name, char separator) {
    std::string path = folder;
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += separator;
    path += name;
    return path;
}

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

Status ReadAll(std::FILE* file, std::string& bytes) {
    char piece[64 * 1024];
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(piece, 1, sizeof piece, file);
        if (got == 0) {
            if (std::ferror(file)) return Status::Fail(FileErrorReason(errno));
            return Status::Ok();
        }
        bytes.append(piece, got);
    }
}

Status ReadPathList(const CliOptions& options, const PathResolver& resolver, std::FILE* in, std::string& bytes) {
    const std::string& given = *options.FilesFrom;
    const auto cannotRead = [&](const std::string& reason) {
        return Status::Fail("Cannot read the list of sources " + Shown(given) + ": " + reason);
    };
    if (given == "-") {
        if (in == nullptr) return cannotRead("there is no standard input");
        if (Status read = ReadAll(in, bytes); !read) return cannotRead(read.Message());
        return Status::Ok();
    }
    ResolvedPath list;
    if (Status resolved = resolver.Resolve(given, list); !resolved) return resolved;
    if (list.Local.empty()) return Status::Fail(Unreachable("The list of sources", given));
    std::string reason;
    const std::unique_ptr<std::FILE, FileClose> file(OpenFileForReading(list.Local, reason));
    if (!file) return cannotRead(reason);
    if (Status read = ReadAll(file.get(), bytes); !read) return cannotRead(read.Message());
    return Status::Ok();
}

// One path of a --files-from list: its folder resolved like a directory option, its own name
// kept (a link to a file is named by the link, as the user gave it).
Status ResolveSource(const PathResolver& resolver, const std::string& given, std::string& folder, std::string& name) {
    const std::size_t separator = given.find_last_of(IsWindowsForm(given) ? "\\/" : "/");
    std::string folderGiven;
    if (separator == std::string::npos) {
        if (given.size() >= 2 && given[1] == ':') {
            return Status::Fail("The path " + Shown(given) +
                                " depends on a drive's own current directory; give it in full, as " +
                                given.substr(0, 2) + "\\...");
        }
        folderGiven = ".";
    } else {
        folderGiven = given.substr(0, separator);
        // "/a.avi" and "D:\a.avi" lie in a root, which keeps its separator.
        if (folderGiven.empty() || (folderGiven.size() == 2 && folderGiven[1] == ':')) {
            folderGiven = given.substr(0, separator + 1);
        }
    }
    name = separator == std::string::npos ? given : given.substr(separator + 1);
    if (name.empty() || name == "." || name == "..")
        return Status::Fail("The path " + Shown(given) + " does not name a file");

    ResolvedPath resolved;
    if (Status done = resolver.Resolve(folderGiven, resolved); !done) return done;
    // On a drive this machine cannot see, the file is taken on trust.
    if (!resolved.Local.empty() && !IsRegularFile(JoinPath(resolved.Local, name, '/'))) {
        return Status::Fail("There is no file " + Shown(given));
    }
    folder = SourceDirectoryForm(resolved.Encoder);
    return Status::Ok();
}

Status CollectFromPathList(const CliOptions& options, const PathResolver& resolver, std::FILE* in, BatchJob& job) {
    std::string bytes;
    if (Status read = ReadPathList(options, resolver, in, bytes); !read) return read;
    std::vector<std::string> paths;
    if (Status split = SplitPathList(bytes, options.NullSeparated, paths); !split) {
        return Status::Fail("The list of sources " + Shown(*options.FilesFrom) + " " + split.Message());
    }
    for (const std::string& path : paths) {
        std::string folder;
        std::string name;
        if (Status resolved = ResolveSource(resolver, path, folder, name); !resolved) return resolved;
        job.SourceDirectories.push_back(std::move(folder));
        job.SourceNames.push_back(std::move(name));
    }
    return Status::Ok();
}

Status CollectFromTree(const ResolvedPath& sourceDir, const std::string& shownDir, std::string_view pattern,
                       BatchJob& job) {
    if (sourceDir.Local.empty()) return Status::Fail(Unreachable("The source directory", shownDir));
    std::vector<FolderFiles> folders;
    if (Status listed = ListSourceTree(sourceDir.Local, pattern, folders); !listed) return listed;
    for (FolderFiles& found : folders) {
        std::string folder = job.SourceDirectory;
        std::string shown = sourceDir.Local;
        for (const std::string& name : found.Path) {
            folder = JoinPath(folder, name, '\\');
            shown = JoinPath(shown, name, '/');
#ifndef _WIN32
            if (!IsWindowsFileName(name)) {
                return Status::Fail("The folder " + Shown(shown) +
                                    " holds a character Windows does not allow, so the encoder cannot open it");
            }
#endif
        }
        for (std::string& name : found.Names) {
            job.SourceDirectories.push_back(folder);
            job.SourceNames.push_back(std::move(name));
        }
    }
    return Status::Ok();
}

Status CollectFromFolder(const CliOptions& options, const ResolvedPath& sourceDir, const std::string& shownDir,
                         BatchJob& job) {
    if (options.Names.empty()) {
        if (sourceDir.Local.empty()) return Status::Fail(Unreachable("The source directory", shownDir));
        return ListSourceFiles(sourceDir.Local, options.Pattern.value_or(kDefaultPattern), job.SourceNames);
    }
    job.SourceNames = options.Names;
    // On a drive this machine cannot see, the names are taken on trust.
    if (!sourceDir.Local.empty()) {
        for (const std::string& name : job.SourceNames) {
            if (!IsRegularFile(JoinPath(sourceDir.Local, name, '/'))) {
                return Status::Fail("There is no file " + Shown(name) + " in " + Shown(shownDir));
            }
        }
    }
    return Status::Ok();
}

}  // namespace

std::string SourceDirectoryForm(std::string path) {
    if (path.size() > 1 && path.back() == '\\' && !IsDriveRoot(path)) path.pop_back();
    return path;
}

std::string Unreachable(const std::string& what, const std::string& given) {
#ifdef _WIN32
    return what + " " + Shown(given) + " cannot be reached";
#else
    return what + " " + Shown(given) + " cannot be reached here: its drive is not linked in " + WinePrefixDirectory() +
           "/dosdevices";
#endif
}

Status SplitPathList(std::string_view bytes, bool nullSeparated, std::vector<std::string>& paths) {
    paths.clear();
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const char separator = nullSeparated ? '\0' : '\n';
    std::size_t number = 0;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find(separator);
        std::string_view path = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++number;
        if (!nullSeparated) {
            if (!path.empty() && path.back() == '\r') path.remove_suffix(1);
            if (path.find_first_not_of(" \t") == std::string_view::npos) continue;
            if (path.find('\0') != std::string_view::npos) {
                return Status::Fail("holds a NUL character on line " + std::to_string(number) +
                                    " (--null reads NUL-separated paths)");
            }
        } else if (path.empty()) {
            continue;
        }
        paths.emplace_back(path);
    }
    return Status::Ok();
}

Status CollectSources(const CliOptions& options, const PathResolver& resolver, std::FILE* in, BatchJob& job) {
    if (options.FilesFrom) {
        if (Status collected = CollectFromPathList(options, resolver, in, job); !collected) return collected;
    } else {
        ResolvedPath sourceDir;
        if (Status resolved = resolver.Resolve(options.SourceDirectory.value_or("."), sourceDir); !resolved) {
            return resolved;
        }
        const std::string shownDir =
            options.SourceDirectory.value_or(sourceDir.Local.empty() ? sourceDir.Encoder : sourceDir.Local);
        job.SourceDirectory = SourceDirectoryForm(sourceDir.Encoder);
        Status collected = options.Recursive
                               ? CollectFromTree(sourceDir, shownDir, options.Pattern.value_or(kDefaultPattern), job)
                               : CollectFromFolder(options, sourceDir, shownDir, job);
        if (!collected) return collected;
    }
#ifndef _WIN32
    for (std::size_t i = 0; i < job.SourceNames.size(); ++i) {
        if (!IsWindowsFileName(job.SourceNames[i])) {
            return Status::Fail("The file name " + Shown(job.SourceNames[i]) + " in " +
                                Shown(job.SourceDirectories.empty() ? job.SourceDirectory : job.SourceDirectories[i]) +
                                " holds a character Windows does not allow, so the encoder cannot open it");
        }
    }
#endif
    return Status::Ok();
}

}  // namespace quorvel::cli
