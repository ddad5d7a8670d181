#include "BatchList.h"

#include <memory>
#include <new>
#include <unordered_map>

#include "BatchOutput.h"
#include "EncoderPaths.h"
#include "FileAccess.h"
#include "JobPaths.h"
#include "JobWriter.h"
#include "PathCompare.h"
#include "Utf8.h"

namespace quorvel {
namespace {

constexpr std::string_view kListStart =
    "   object TTMPGEncBatchEncodeList  \r\n"
    "     List = <  \r\n";
constexpr std::string_view kListEnd =
    "       >    \r\n"
    "    End \r\n";

// Checks that hold before the first byte of a list exists anywhere. The template is read here,
// once for the whole run: a run of many thousand jobs would otherwise spend most of its time
// opening the same file, and every job of one list gets the same block.
Status PrepareRun(const BatchJob& job, const AdvancedOptions& options, const CodePage& codePage,
                  std::string& encodingBlock) {
    Status checked = CheckBatchRequest(job, options);
    if (!checked) return checked;
    Status held = CheckCodePage(job, codePage);
    if (!held) return held;
    if (job.SourceNames.empty()) return Status::Ok();
    return ReadEncodingBlock(job, encodingBlock);
}

Status WriteList(ByteSink& sink, const BatchJob& job, const AdvancedOptions& options, const CodePage& codePage,
                 std::string_view encodingBlock) {
    BatchOutput out(sink);
    out.Append(kListStart);
    for (std::size_t source = 0; source < job.SourceNames.size(); ++source) {
        Status item = WriteJobItem(
            out, EscapeSingleQuotes(job.SourceNames[source]), job, options, codePage, encodingBlock, source);
        if (!item) return item;
        if (out.Failed()) break;
    }
    out.Append(kListEnd);
    return out.Flush();
}

}  // namespace

Status CheckOutputConflicts(const BatchJob& job) {
    const std::string& list = job.BatchFileForEncoder.empty() ? job.BatchFile : job.BatchFileForEncoder;
    const auto refuseList = [&](const std::string& what) {
        return Status::Fail("The batch file " + job.BatchFile + " is " + what +
                            "; choose another name for the batch file");
    };
    if (!job.BatchFile.empty() && !job.TemplateFile.empty() && SamePath(job.BatchFile, job.TemplateFile)) {
        return refuseList("the template file: writing the list would destroy it");
    }
    const std::u32string listKey = list.empty() ? std::u32string() : PathKey(list);
    const std::u32string listFolderKey = listKey.substr(0, listKey.rfind(U'\\') + 1);
    // A source can be the list only in the list's own folder; sources of one folder follow each other.
    const std::string* lastFolder = nullptr;
    bool inListFolder = false;

    // Only a hash per source is kept, so a list of any length checks in little memory;
    // equal hashes are settled by comparing the paths themselves.
    std::unordered_multimap<std::size_t, std::size_t> outputs;
    outputs.reserve(job.SourceNames.size());
    const std::hash<std::u32string> hash;
    for (std::size_t i = 0; i < job.SourceNames.size(); ++i) {
        const std::string output = OutputPath(job, i);
        const std::u32string outputKey = PathKey(output);
        const std::string& folder = SourceDirectoryOf(job, i);
        if (!listKey.empty() && (lastFolder == nullptr || folder != *lastFolder)) {
            lastFolder = &folder;
            inListFolder = PathKey(StripTrailingBackslash(folder) + '\\') == listFolderKey;
        }
        // Only a source named like an output (.mpg) can be its own output.
        if (inListFolder || EndsWithMpg(job.SourceNames[i])) {
            const std::u32string sourceKey = PathKey(SourcePath(job, i));
            if (outputKey == sourceKey) {
                return Status::Fail("The output file " + output + " would overwrite its own source");
            }
            if (inListFolder && listKey == sourceKey) {
                return refuseList("the source " + ShownSource(job, i) + ": writing the list would destroy it");
            }
        }
        if (!listKey.empty() && listKey == outputKey) {
            return refuseList("the output file of the source " + ShownSource(job, i) +
                              ": the encoder would write over the list");
        }
        const std::size_t key = hash(outputKey);
        const auto [first, last] = outputs.equal_range(key);
        for (auto candidate = first; candidate != last; ++candidate) {
            if (PathKey(OutputPath(job, candidate->second)) == outputKey) {
                return Status::Fail("Two sources would be encoded to the same file " + output + ": " +
                                    ShownSource(job, candidate->second) + " and " + ShownSource(job, i));
            }
        }
        outputs.emplace(key, i);
    }
    return Status::Ok();
}

Status CheckListTarget(const std::string& path) {
    if (KindOfPath(path) != PathKind::File) return Status::Ok();  // what else it is, creating the list tells
    std::string reason;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileForReading(path, reason), &std::fclose);
    if (!file) {
        return Status::Fail("Cannot read the batch file " + path + " to see whether it is a batch list: " + reason);
    }
    // The opening line may follow blank lines; anything else first means the file is not a list.
    constexpr std::string_view kOpening = "object TTMPGEncBatchEncodeList";
    std::string head;
    char piece[4096];
    while (head.size() < kOpening.size()) {
        const std::size_t got = std::fread(piece, 1, sizeof piece, file.get());
        if (got == 0) break;
        std::string_view bytes(piece, got);
        if (head.empty()) {
            const std::size_t text = bytes.find_first_not_of(" \t\r\n");
            if (text == std::string_view::npos) continue;
            bytes.remove_prefix(text);
        }
        head.append(bytes);
    }
    if (std::ferror(file.get())) return Status::Fail("Cannot read the batch file " + path);
    if (head.empty() || head.starts_with(kOpening)) return Status::Ok();
    return Status::Fail("The batch file " + path +
                        " exists and is not a batch list, so it is left as it is; choose another name for the "
                        "batch file, or remove that file first");
}

Status CheckBatchRequest(const BatchJob& job, const AdvancedOptions& options) {
    if (!job.SourceDirectories.empty() && job.SourceDirectories.size() != job.SourceNames.size()) {
        return Status::Fail("The request names " + std::to_string(job.SourceDirectories.size()) + " folders for " +
                            std::to_string(job.SourceNames.size()) + " sources");
    }
    // The clipping texts are read by jobs only; a list without jobs does not depend on them.
    if (!job.SourceNames.empty()) {
        Status clipping = CheckClipping(options);
        if (!clipping) return clipping;
    }
    return CheckOutputConflicts(job);
}

Status WriteBatchList(const BatchJob& job, const AdvancedOptions& options) {
    std::unique_ptr<CodePage> codePage;
    Status opened = OpenCodePage(PlatformCodePage(), codePage);
    if (!opened) return opened;
    return WriteBatchList(job, options, *codePage);
}

Status WriteBatchList(const BatchJob& job, const AdvancedOptions& options, const CodePage& codePage) {
    try {
        std::string encodingBlock;
        Status checked = PrepareRun(job, options, codePage, encodingBlock);
        if (!checked) return checked;
        if (Status replaceable = CheckListTarget(job.BatchFile); !replaceable) return replaceable;
        std::unique_ptr<AtomicFile> file;
        Status created = CreateAtomicFile(job.BatchFile, file);
        if (!created) return created;
        Status written = WriteList(*file, job, options, codePage, encodingBlock);
        if (!written) return written;
        return file->Commit();
    } catch (const std::bad_alloc&) {
        return Status::Fail("Cannot write the batch file " + job.BatchFile + ": not enough memory");
    } catch (const std::exception& error) {
        return Status::Fail("Cannot write the batch file " + job.BatchFile + ": " + error.what());
    }
}

Status WriteBatchListToStream(std::FILE* stream, const BatchJob& job, const AdvancedOptions& options,
                              const CodePage& codePage) {
    if (stream == nullptr) return Status::Fail("Cannot write the batch list: no output stream");
    try {
        std::string encodingBlock;
        Status checked = PrepareRun(job, options, codePage, encodingBlock);
        if (!checked) return checked;
        StreamSink sink(stream);
        Status written = WriteList(sink, job, options, codePage, encodingBlock);
        if (!written) return written;
        return sink.FlushStream();
    } catch (const std::bad_alloc&) {
        return Status::Fail("Cannot write the batch list: not enough memory");
    } catch (const std::exception& error) {
        return Status::Fail(std::string("Cannot write the batch list: ") + error.what());
    }
}

Status WriteListForEncoder(const BatchJob& given, const AdvancedOptions& options, std::string* encoderBatchFile) {
    std::unique_ptr<CodePage> codePage;
    if (Status opened = OpenCodePage(PlatformCodePage(), codePage); !opened) return opened;
    BatchJob job = given;
    if (!job.OutputsBesideSources && job.OutputDirectory.empty()) {
        // No output directory means the batch file's, as the window's label says.
        const std::string folder = FolderPart(job.BatchFile);
        if (folder.empty()) {
            return Status::Fail("No output directory is given, and the batch file path " + job.BatchFile +
                                " names no folder to take its place");
        }
        job.OutputDirectory = folder.ends_with('\\') ? folder : folder + '\\';
        const std::string shown = job.OutputDirectory + " (the batch file's folder, as none is given)";
        if (Status usable = CheckOutputDirectory(job.OutputDirectory, shown); !usable) return usable;
    } else if (!job.OutputsBesideSources) {
        if (Status usable = CheckOutputDirectory(job.OutputDirectory, job.OutputDirectory); !usable) return usable;
    }
    if (Status there = CheckSourcesExist(job); !there) return there;
    BatchJob written;
    if (Status held = EncoderJob(job, *codePage, written); !held) return held;
    const bool launch = encoderBatchFile != nullptr && options.AutoLaunch == 1;
    if (Status held = CheckBatchFileForEncoder(job.BatchFile, *codePage, launch); !held) return held;
    if (Status done = WriteBatchList(written, options, *codePage); !done) return done;
    // The list exists now, so it may have a short name of its own.
    if (encoderBatchFile != nullptr) {
        std::string launchPath;
        *encoderBatchFile = EncoderBatchFile(job.BatchFile, *codePage, launchPath) ? launchPath : job.BatchFile;
    }
    return Status::Ok();
}

}  // namespace quorvel
