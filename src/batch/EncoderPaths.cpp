#include "EncoderPaths.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "FileAccess.h"
#include "JobPaths.h"
#include "Utf8.h"

namespace quorvel {
namespace {

constexpr std::size_t kNamesShown = 10;
// MAX_PATH less its closing NUL: what the encoder's own file calls hold.
constexpr std::size_t kLongestPath = 259;

// IsCodePageRefusal knows a refusal by this start.
std::string Intro(const CodePage& codePage) {
    return "The batch list's code page " + CodePageLabel(codePage.Number()) + " cannot hold ";
}

std::string NotEvenShort(bool shortNames) { return shortNames ? " (nor a short form of it)" : ""; }

// Windows drops a dot or blank that ends a name when it opens a path, so such a name opens
// another file or none.
bool HasNameWindowsTrims(std::string_view path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of("\\/", start), path.size());
        const std::string_view name = path.substr(start, end - start);
        if (!name.empty() && name != "." && name != ".." && (name.back() == '.' || name.back() == ' ')) return true;
        start = end + 1;
    }
    return false;
}

// What keeps the encoder from opening a path as the list writes it.
enum class Blocker { None, CodePage, Length, TrimmedName };

Blocker WhyNotOpened(std::string_view path, const CodePage& codePage) {
    if (!codePage.Holds(path)) return Blocker::CodePage;
    if (Utf16Length(path) > kLongestPath) return Blocker::Length;
    if (HasNameWindowsTrims(path)) return Blocker::TrimmedName;
    return Blocker::None;
}

// How a refusal names the cause; the code page's own wording comes from Intro.
std::string Described(Blocker blocker) {
    return blocker == Blocker::Length ? "longer than " + std::to_string(kLongestPath) + " characters"
                                      : "named with a dot or a blank at the end of a name, which Windows drops";
}

// "The batch list's code page 1252 cannot hold the output directory D:\x" or "The output
// directory D:\x is longer than 259 characters".
std::string CannotOpen(Blocker blocker, const CodePage& codePage, const std::string& what) {
    if (blocker == Blocker::CodePage) return Intro(codePage) + what;
    std::string sentence = what;
    sentence[0] = 'T';
    sentence += " is ";
    sentence += Described(blocker);
    return sentence;
}

bool Opens(std::string_view path, const CodePage& codePage) { return WhyNotOpened(path, codePage) == Blocker::None; }

// Where a short form opens another file than its long path: that file's long path, "" for none.
using OpensInstead = std::optional<std::string>;

// A short form found for a path the encoder could not open as it is, if the encoder opens that
// and it is the same file; instead is set where it is not.
std::optional<std::string> UsableShortForm(const std::string& path, const CodePage& codePage,
                                           const ShortPathLookup& shortPath, OpensInstead* instead = nullptr) {
    if (!shortPath) return std::nullopt;
    std::optional<ShortForm> found = shortPath(path);
    if (!found || found->Path.empty() || found->Path == path || !Opens(found->Path, codePage)) return std::nullopt;
    if (!found->OpensSameFile) {
        if (instead != nullptr) *instead = found->OpensInstead;
        return std::nullopt;
    }
    return std::move(found->Path);
}

// Why a short form can open another file, and the way out.
std::string SharedShortName(const std::string& kind) {
    return "A short name shared by two " + kind +
           "s (as names that differ only in letter case get under Wine, or names Wine happens to shorten alike) "
           "opens only one of them; rename one of the two";
}

// The end of a refusal where the short form of a folder or file opens another one.
std::string OpensAnother(const std::string& kind, const std::string& other, const std::string& consequence) {
    return ", and its short form opens " + (other.empty() ? "no " + kind : "another " + kind + ", " + other) + ", so " +
           consequence + ". " + SharedShortName(kind);
}

std::string LastName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The first ten names, one a line, and how many more there are.
std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) list += "\n  " + names[i];
    if (names.size() > kNamesShown) list += "\n  and " + std::to_string(names.size() - kNamesShown) + " more";
    return list;
}

// Refuses sources without a usable form; opensAnother: their short forms open other files, which
// the names say.
Status RefuseSources(const BatchJob& job, const std::vector<std::string>& names, const CodePage& codePage,
                     bool shortNames, Blocker blocker, bool opensAnother) {
    const bool one = names.size() == 1;
    const std::string files = std::to_string(names.size()) + (one ? " file" : " files") +
                              (job.SourceDirectories.empty() ? " in " + job.SourceDirectory : std::string());
    const std::string head = blocker == Blocker::CodePage
                                 ? Intro(codePage) + "the names of " + files
                                 : "The paths of " + files + " (or of their outputs) are " + Described(blocker);
    if (opensAnother) {
        return Status::Fail(
            head + (one ? ", and its short form opens another file" : ", and their short forms open other files") +
            ", so the encoder would read the wrong clip" + (one ? ":" : "s:") + NameList(names) + "\n" +
            SharedShortName("file"));
    }
    const std::string nor = shortNames ? " (nor short forms of them)" : "";
    return Status::Fail(head + nor + ", so the encoder could not open " + (one ? "it:" : "them:") + NameList(names));
}

}  // namespace

Status CheckSourcesExist(const BatchJob& job) {
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < job.SourceNames.size(); ++i) {
        if (KindOfPath(SourcePath(job, i)) == PathKind::File) continue;
        missing.push_back(ShownSource(job, i));
    }
    if (missing.empty()) return Status::Ok();
    const bool one = missing.size() == 1;
    return Status::Fail(std::to_string(missing.size()) +
                        (one ? " selected file no longer exists" : " selected files no longer exist") +
                        (job.SourceDirectories.empty() ? " in " + job.SourceDirectory : std::string()) +
                        " (moved, renamed or deleted since the folder was listed), so the encoder could not open " +
                        (one ? "it:" : "them:") + NameList(missing));
}

ShortPathLookup PlatformShortPaths() {
#ifdef _WIN32
    return SystemShortPaths();
#else
    return {};
#endif
}

ShortPathLookup PlatformNewFileShortPaths() {
#ifdef _WIN32
    return &SystemShortPathOfNewFile;
#else
    return {};
#endif
}

Status EncoderJob(const BatchJob& job, const CodePage& codePage, BatchJob& written, const ShortPathLookup& shortPath) {
    const bool shortNames = static_cast<bool>(shortPath);
    BatchJob result = job;

    // Sources of one folder follow each other, so the last answer serves most of them.
    std::string lastFolder;
    std::string lastHeld;
    const auto usableFolder = [&](std::string& folder) {
        const Blocker blocker = WhyNotOpened(folder, codePage);
        if (blocker == Blocker::None) return Status::Ok();
        if (!lastFolder.empty() && folder == lastFolder) {
            folder = lastHeld;
            return Status::Ok();
        }
        OpensInstead instead;
        std::optional<std::string> shortFolder = UsableShortForm(folder, codePage, shortPath, &instead);
        if (!shortFolder) {
            const std::string cannot = CannotOpen(blocker, codePage, "the source directory " + folder);
            if (instead)
                return Status::Fail(cannot + OpensAnother("folder", *instead, "the encoder would read other files"));
            return Status::Fail(cannot + NotEvenShort(shortNames) + ", so the encoder could not open its files");
        }
        lastFolder = folder;
        lastHeld = *shortFolder;
        folder = std::move(*shortFolder);
        return Status::Ok();
    };
    if (Status held = usableFolder(result.SourceDirectory); !held) return held;
    for (std::string& folder : result.SourceDirectories) {
        if (Status held = usableFolder(folder); !held) return held;
    }

    if (const Blocker blocker = WhyNotOpened(job.OutputDirectory, codePage); blocker != Blocker::None) {
        OpensInstead instead;
        std::optional<std::string> folder = UsableShortForm(job.OutputDirectory, codePage, shortPath, &instead);
        if (!folder) {
            const std::string cannot = CannotOpen(blocker, codePage, "the output directory " + job.OutputDirectory);
            if (instead)
                return Status::Fail(cannot + OpensAnother("folder", *instead, "the encoder would write elsewhere"));
            return Status::Fail(
                cannot + NotEvenShort(shortNames) +
                (shortNames ? "; a short form needs the directory to exist on a volume with short names" : "") +
                ", so the encoder could not write there");
        }
        // The output names are joined straight to the directory.
        if (job.OutputDirectory.ends_with('\\') && !folder->ends_with('\\')) *folder += '\\';
        result.OutputDirectory = std::move(*folder);
    }

    // Each source and its output must open as the list names them; where they do not, the
    // source's short form (and its folder's) stands in, and its output takes the short name.
    // The folders are settled above, so a source's name and the two lengths are what is left.
    // A path has no more UTF-16 units than UTF-8 bytes, so the byte counts settle most lengths.
    const auto blockerOf = [&](std::size_t i) {
        const std::string& name = result.SourceNames[i];
        if (!codePage.Holds(name)) return Blocker::CodePage;
        if (!name.empty() && (name.back() == '.' || name.back() == ' ')) return Blocker::TrimmedName;
        const std::size_t outputFolderBytes =
            result.OutputsBesideSources ? SourceDirectoryOf(result, i).size() : result.OutputDirectory.size();
        const std::size_t longest = std::max(SourceDirectoryOf(result, i).size(), outputFolderBytes) + 1;
        if (longest + name.size() + 4 <= kLongestPath) return Blocker::None;
        if (Utf16Length(SourcePath(result, i)) > kLongestPath || Utf16Length(OutputPath(result, i)) > kLongestPath) {
            return Blocker::Length;
        }
        return Blocker::None;
    };
    // Sources whose short forms open other files are told apart: renaming is their way out.
    std::vector<std::string> refused[2];
    Blocker firstBlocker[2] = {Blocker::None, Blocker::None};
    for (std::size_t i = 0; i < result.SourceNames.size(); ++i) {
        Blocker blocker = blockerOf(i);
        if (blocker == Blocker::None) continue;
        OpensInstead instead;
        if (const std::optional<std::string> shortForm =
                UsableShortForm(SourcePath(job, i), codePage, shortPath, &instead)) {
            result.SourceNames[i] = LastName(*shortForm);
            if (blockerOf(i) != Blocker::None && !result.SourceDirectories.empty()) {
                result.SourceDirectories[i] = FolderPart(*shortForm);
            }
            blocker = blockerOf(i);
        }
        if (blocker == Blocker::None) continue;
        const bool opensAnother = instead.has_value();
        if (refused[opensAnother].empty()) firstBlocker[opensAnother] = blocker;
        refused[opensAnother].push_back(ShownSource(job, i));
        if (opensAnother) {
            // Another file of the same folder goes by its name, as the sources do.
            const std::string& other = *instead;
            const bool besideIt = FolderPart(other) == StripTrailingBackslash(SourceDirectoryOf(job, i));
            const std::string shown = other.empty() ? "no file" : besideIt ? LastName(other) : other;
            refused[true].back() += " (its short name opens " + shown + ")";
        }
    }
    for (const bool opensAnother : {true, false}) {
        if (refused[opensAnother].empty()) continue;
        return RefuseSources(
            job, refused[opensAnother], codePage, shortNames, firstBlocker[opensAnother], opensAnother);
    }
    // Messages about the sources keep naming them as the user knows them.
    if (result.ShownSources.empty() &&
        (result.SourceNames != job.SourceNames || result.SourceDirectories != job.SourceDirectories)) {
        for (std::size_t i = 0; i < job.SourceNames.size(); ++i) result.ShownSources.push_back(ShownSource(job, i));
    }

    written = std::move(result);
    return Status::Ok();
}

bool IsCodePageRefusal(const Status& refusal) {
    return !refusal && refusal.Message().starts_with("The batch list's code page ");
}

Status CheckCodePage(const BatchJob& job, const CodePage& codePage) {
    BatchJob unchanged;
    return EncoderJob(job, codePage, unchanged, ShortPathLookup());
}

Status EncoderBatchFile(const std::string& batchFile, const CodePage& codePage, std::string& written,
                        const ShortPathLookup& shortPath) {
    if (Opens(batchFile, codePage)) {
        written = batchFile;
        return Status::Ok();
    }
    OpensInstead instead;
    if (std::optional<std::string> whole = UsableShortForm(batchFile, codePage, shortPath, &instead)) {
        written = std::move(*whole);
        return Status::Ok();
    }
    const std::size_t slash = batchFile.find_last_of("\\/");
    if (slash != std::string::npos) {
        const std::string name = batchFile.substr(slash + 1);
        std::string folder = batchFile.substr(0, slash + 1);
        if (std::optional<std::string> shortFolder = UsableShortForm(folder, codePage, shortPath, &instead)) {
            folder = std::move(*shortFolder);
            if (!folder.ends_with('\\') && !folder.ends_with('/')) folder += '\\';
        }
        if (Opens(folder + name, codePage)) {
            written = folder + name;
            return Status::Ok();
        }
    }
    const Blocker blocker = WhyNotOpened(batchFile, codePage);
    if (instead) {
        return Status::Fail(CannotOpen(blocker, codePage, "the batch file path " + batchFile) +
                            OpensAnother("file", *instead, "the encoder would be started on another list"));
    }
    return Status::Fail(CannotOpen(blocker, codePage, "the batch file path " + batchFile) +
                        NotEvenShort(static_cast<bool>(shortPath)) + ", so the encoder could not be started on it; " +
                        (blocker == Blocker::CodePage ? "choose a name and folder it holds" : "choose a shorter path"));
}

Status CheckBatchFileForEncoder(const std::string& batchFile, const CodePage& codePage, bool launch) {
    // The list's path matters to the encoder when it is handed over, and a path too long for
    // the encoder's own file calls cannot be opened there at all.
    if (!launch && Utf16Length(batchFile) <= kLongestPath) return Status::Ok();
    std::string ignored;
    return EncoderBatchFile(batchFile, codePage, ignored, PlatformNewFileShortPaths());
}

Status CheckOutputDirectory(const std::string& path, const std::string& shown) {
    if (path.empty()) return Status::Fail("No output directory is given");
    std::string folder = path;
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') && !folder.ends_with(":\\")) {
        folder.pop_back();
    }
    switch (KindOfPath(folder)) {
        case PathKind::Folder: return Status::Ok();
        case PathKind::File: return Status::Fail("The output directory " + shown + " is a file, not a folder");
        case PathKind::NoDrive:
            return Status::Fail("The output directory " + shown + " is on the drive " + folder.substr(0, 2) +
                                ", which does not exist");
        case PathKind::Missing:
            return Status::Fail("The output directory " + shown +
                                " does not exist; create it, or choose a folder that exists");
        case PathKind::Other: break;
    }
    return Status::Fail("The output directory " + shown + " cannot be reached");
}

}  // namespace quorvel
