#include "cli/Sources.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <system_error>

#include "batch/BatchList.h"
#include "batch/FileAccess.h"
#include "batch/JobPaths.h"
#include "batch/SourceListing.h"
#include "cli/Shown.h"

namespace quorvel::cli {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kReadPiece = 64 * 1024;

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

// The list of sources named by --files-from, opened; standard input for "-".
Status OpenPathList(const CliOptions& options, const PathResolver& resolver, std::FILE* in,
                    std::unique_ptr<std::FILE, FileClose>& opened, std::FILE*& file) {
    const std::string& given = *options.FilesFrom;
    if (given == "-") {
        if (in == nullptr) return Status::Fail("Cannot read the list of sources -: there is no standard input");
        file = in;
        return Status::Ok();
    }
    ResolvedPath list;
    if (Status resolved = resolver.Resolve(given, list); !resolved) return resolved;
    if (list.Local.empty()) return Status::Fail(Unreachable("The list of sources", given));
    std::string reason;
    opened.reset(OpenFileForReading(list.Local, reason));
    if (!opened) return Status::Fail("Cannot read the list of sources " + Shown(given) + ": " + reason);
    file = opened.get();
    return Status::Ok();
}

// Sources already taken, by a hash of their folder and name as the encoder names them: a source
// named twice would be encoded twice to one output. Open addressing: a look-up costs one cache
// line, where a node-based map cost the run several percent. Names that differ in letter case only
// are left to the check of outputs, which compares as the file system does.
class SourcesSeen {
public:
    // The index of an earlier job with the same source path, or nothing; adds the path otherwise.
    std::optional<std::size_t> Add(const BatchJob& job, std::size_t index) {
        if (2 * (count_ + 1) > slots_.size()) Grow();
        const std::hash<std::string> hash;
        const std::size_t key = hash(job.SourceDirectories[index]) * 31 + hash(job.SourceNames[index]);
        for (std::size_t at = key;; ++at) {
            Slot& slot = slots_[at & (slots_.size() - 1)];
            if (slot.Taken == 0) {
                slot = {key, index + 1};
                ++count_;
                return std::nullopt;
            }
            const std::size_t other = slot.Taken - 1;
            if (slot.Key == key && job.SourceNames[other] == job.SourceNames[index] &&
                job.SourceDirectories[other] == job.SourceDirectories[index]) {
                return other;
            }
        }
    }

private:
    struct Slot {
        std::size_t Key = 0;
        std::size_t Taken = 0;  // the job's index + 1; 0 for a free slot
    };

    void Grow() {
        std::vector<Slot> old(std::max<std::size_t>(64, 2 * slots_.size()));
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.Taken == 0) continue;
            std::size_t at = slot.Key;
            while (slots_[at & (slots_.size() - 1)].Taken != 0) ++at;
            slots_[at & (slots_.size() - 1)] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

// Each path is checked as it is read, so that a list that never ends is refused at its first bad
// line rather than gathered whole.
Status CollectFromPathList(const CliOptions& options, const PathResolver& resolver, std::FILE* in, BatchJob& job) {
    std::unique_ptr<std::FILE, FileClose> opened;
    std::FILE* file = nullptr;
    if (Status open = OpenPathList(options, resolver, in, opened, file); !open) return open;
    const std::string listName = "The list of sources " + Shown(*options.FilesFrom);
    PathListReader reader(file, options.NullSeparated);
    SourcesSeen seen;
    std::string path;
    for (;;) {
        bool got = false;
        if (Status read = reader.Next(path, got); !read) return Status::Fail(listName + " " + read.Message());
        if (!got) return Status::Ok();
        std::string folder;
        std::string name;
        if (Status resolved = ResolveSource(resolver, path, folder, name); !resolved) return resolved;
        job.SourceDirectories.push_back(std::move(folder));
        job.SourceNames.push_back(std::move(name));
        const std::size_t index = job.SourceNames.size() - 1;
        if (const std::optional<std::size_t> earlier = seen.Add(job, index)) {
            const std::string again = SourcePath(job, index);
            const std::string before = SourcePath(job, *earlier);
            return Status::Fail(listName + " names the source " + Shown(again) + " a second time on " + reader.Where() +
                                (before == again ? "" : " (first as " + Shown(before) + ")"));
        }
    }
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
        return ListSourceFiles(
            sourceDir.Local, options.Pattern.value_or(std::string(kDefaultPattern)), job.SourceNames);
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

PathListReader::PathListReader(std::FILE* file, bool nullSeparated)
    : file_(file), nullSeparated_(nullSeparated), buffer_(new char[kReadPiece]) {}

std::string PathListReader::Where() const { return (nullSeparated_ ? "entry " : "line ") + std::to_string(number_); }

Status PathListReader::Next(std::string& path, bool& got) {
    got = false;
    for (;;) {
        path.clear();
        bool ended = false;  // by its separator, not by the end of the input
        while (!ended) {
            if (begin_ == end_) {
                if (atEnd_) break;
                errno = 0;
                end_ = std::fread(buffer_.get(), 1, kReadPiece, file_);
                begin_ = 0;
                if (end_ == 0) {
                    if (std::ferror(file_)) return Status::Fail("cannot be read: " + FileErrorReason(errno));
                    atEnd_ = true;
                    break;
                }
            }
            const char* from = buffer_.get() + begin_;
            const auto* separator =
                static_cast<const char*>(std::memchr(from, nullSeparated_ ? '\0' : '\n', end_ - begin_));
            const std::size_t length =
                separator == nullptr ? end_ - begin_ : static_cast<std::size_t>(separator - from);
            if (path.size() + length > kLongestPathLine) {
                ++number_;
                return Status::Fail("has " + std::string(nullSeparated_ ? "an entry" : "a line") + " of more than " +
                                    std::to_string(kLongestPathLine / 1024) + " KiB (" + Where() +
                                    "); no path the encoder opens is that long");
            }
            path.append(from, length);
            begin_ += length;
            if (separator != nullptr) {
                ++begin_;
                ended = true;
            }
        }
        if (!ended && path.empty()) return Status::Ok();
        ++number_;
        if (number_ == 1 && path.starts_with("\xEF\xBB\xBF")) path.erase(0, 3);
        if (nullSeparated_) {
            if (path.empty()) return Status::Fail("has an empty name (" + Where() + ")");
        } else {
            if (!path.empty() && path.back() == '\r') path.pop_back();
            // Blank lines are how people space out a list they write.
            if (path.find_first_not_of(" \t") == std::string::npos) continue;
            if (path.find('\0') != std::string::npos) {
                return Status::Fail("holds a NUL character on " + Where() + " (--null reads NUL-separated paths)");
            }
        }
        got = true;
        return Status::Ok();
    }
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
        Status collected =
            options.Recursive
                ? CollectFromTree(sourceDir, shownDir, options.Pattern.value_or(std::string(kDefaultPattern)), job)
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
