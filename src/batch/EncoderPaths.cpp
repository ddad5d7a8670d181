#include "EncoderPaths.h"

#include <memory>
#include <vector>

#include "BatchList.h"

namespace quorvel {
namespace {

constexpr std::size_t kNamesShown = 10;

std::string Intro(const CodePage& codePage) {
    return "The batch list's code page " + CodePageLabel(codePage.Number()) + " cannot hold ";
}

std::string NotEvenShort(bool shortNames) { return shortNames ? " (nor a short form of it)" : ""; }

// A short form found for a path the code page cannot hold, if the code page holds it.
std::optional<std::string> HeldShortForm(const std::string& path, const CodePage& codePage,
                                         const ShortPathLookup& shortPath) {
    if (!shortPath) return std::nullopt;
    std::optional<std::string> found = shortPath(path);
    if (!found || found->empty() || *found == path || !codePage.Holds(*found)) return std::nullopt;
    return found;
}

std::string LastName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Status RefuseSources(const BatchJob& job, const std::vector<std::string>& names, const CodePage& codePage,
                     bool shortNames) {
    std::string message = Intro(codePage) + "the names of " + std::to_string(names.size()) +
                          (names.size() == 1 ? " file" : " files") +
                          (job.SourceDirectories.empty() ? " in " + job.SourceDirectory : std::string()) +
                          (shortNames ? " (nor short forms of them)" : "") + ", so the encoder could not open " +
                          (names.size() == 1 ? "it:" : "them:");
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) message += "\n  " + names[i];
    if (names.size() > kNamesShown) message += "\n  and " + std::to_string(names.size() - kNamesShown) + " more";
    return Status::Fail(message);
}

}  // namespace

ShortPathLookup PlatformShortPaths() {
#ifdef _WIN32
    return &SystemShortPath;
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
    const auto heldFolder = [&](std::string& folder) {
        if (codePage.Holds(folder)) return Status::Ok();
        if (!lastFolder.empty() && folder == lastFolder) {
            folder = lastHeld;
            return Status::Ok();
        }
        std::optional<std::string> shortFolder = HeldShortForm(folder, codePage, shortPath);
        if (!shortFolder) {
            return Status::Fail(Intro(codePage) + "the source directory " + folder + NotEvenShort(shortNames) +
                                ", so the encoder could not open its files");
        }
        lastFolder = folder;
        lastHeld = *shortFolder;
        folder = std::move(*shortFolder);
        return Status::Ok();
    };
    if (Status held = heldFolder(result.SourceDirectory); !held) return held;
    for (std::string& folder : result.SourceDirectories) {
        if (Status held = heldFolder(folder); !held) return held;
    }

    if (!codePage.Holds(job.OutputDirectory)) {
        std::optional<std::string> folder = HeldShortForm(job.OutputDirectory, codePage, shortPath);
        if (!folder) {
            return Status::Fail(
                Intro(codePage) + "the output directory " + job.OutputDirectory + NotEvenShort(shortNames) +
                (shortNames ? "; a short form needs the directory to exist on a volume with short names" : "") +
                ", so the encoder could not write there");
        }
        // The output names are joined straight to the directory.
        if (job.OutputDirectory.ends_with('\\') && !folder->ends_with('\\')) *folder += '\\';
        result.OutputDirectory = std::move(*folder);
    }

    std::vector<std::string> refused;
    for (std::size_t i = 0; i < result.SourceNames.size(); ++i) {
        std::string& name = result.SourceNames[i];
        if (codePage.Holds(name)) continue;
        const std::optional<std::string> shortForm = HeldShortForm(SourcePath(job, i), codePage, shortPath);
        if (!shortForm) {
            refused.push_back(job.SourceDirectories.empty() ? name : SourcePath(job, i));
            continue;
        }
        name = LastName(*shortForm);
    }
    if (!refused.empty()) return RefuseSources(job, refused, codePage, shortNames);

    written = std::move(result);
    return Status::Ok();
}

Status CheckCodePage(const BatchJob& job, const CodePage& codePage) {
    BatchJob unchanged;
    return EncoderJob(job, codePage, unchanged, ShortPathLookup());
}

Status EncoderBatchFile(const std::string& batchFile, const CodePage& codePage, std::string& written,
                        const ShortPathLookup& shortPath) {
    if (codePage.Holds(batchFile)) {
        written = batchFile;
        return Status::Ok();
    }
    if (std::optional<std::string> whole = HeldShortForm(batchFile, codePage, shortPath)) {
        written = std::move(*whole);
        return Status::Ok();
    }
    const std::size_t slash = batchFile.find_last_of("\\/");
    if (slash != std::string::npos) {
        const std::string name = batchFile.substr(slash + 1);
        std::string folder = batchFile.substr(0, slash + 1);
        if (std::optional<std::string> shortFolder = HeldShortForm(folder, codePage, shortPath)) {
            folder = std::move(*shortFolder);
            if (!folder.ends_with('\\') && !folder.ends_with('/')) folder += '\\';
        }
        if (codePage.Holds(folder + name)) {
            written = folder + name;
            return Status::Ok();
        }
    }
    return Status::Fail(Intro(codePage) + "the batch file path " + batchFile +
                        NotEvenShort(static_cast<bool>(shortPath)) +
                        ", so the encoder could not be started on it; choose a name and folder it holds");
}

Status WriteListForEncoder(const BatchJob& job, const AdvancedOptions& options, std::string* encoderBatchFile) {
    std::unique_ptr<CodePage> codePage;
    if (Status opened = OpenCodePage(PlatformCodePage(), codePage); !opened) return opened;
    BatchJob written;
    if (Status held = EncoderJob(job, *codePage, written); !held) return held;
    std::string launchPath;
    if (encoderBatchFile != nullptr && options.AutoLaunch == 1) {
        if (Status held = EncoderBatchFile(job.BatchFile, *codePage, launchPath, PlatformNewFileShortPaths()); !held)
            return held;
    }
    if (Status done = WriteBatchList(written, options, *codePage); !done) return done;
    // The list exists now, so it may have a short name of its own.
    if (encoderBatchFile != nullptr) {
        *encoderBatchFile = EncoderBatchFile(job.BatchFile, *codePage, launchPath) ? launchPath : job.BatchFile;
    }
    return Status::Ok();
}

}  // namespace quorvel
