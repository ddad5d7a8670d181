#pragma once

// The paths a list hands the encoder. The encoder reads them in its ANSI code page, so a path
// that page cannot hold would reach it with '?' in place of letters and name no file. On
// Windows such a path is given by its short (8.3) form when the code page holds that.

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "BatchRequest.h"
#include "CodePage.h"
#include "Status.h"

namespace quorvel {

// A short form of a path, and whether it opens the same file. Under Wine a case-sensitive
// folder may hold two names that differ only in letter case; both get one short name, which
// opens only one of them. OpensInstead is the long path of that other file ("" for none).
struct ShortForm {
    ShortForm(std::string path, bool opensSameFile = true) : Path(std::move(path)), OpensSameFile(opensSameFile) {}
    std::string Path;
    bool OpensSameFile;
    std::string OpensInstead;
};

// The short form of an existing path, or nothing: no such path, or a volume that keeps no
// short names (the long path comes back unchanged then, which counts as nothing too).
using ShortPathLookup = std::function<std::optional<ShortForm>(const std::string& path)>;

// GetShortPathNameW, with the short path checked to open the same file (volume and file index)
// where another entry of its folder answers to the same short name. Declared for every platform,
// defined on Windows only, as is SystemShortPaths: the same for many paths, keeping the listing
// of the folder last asked about.
std::optional<ShortForm> SystemShortPath(const std::string& path);
ShortPathLookup SystemShortPaths();

// The short form a file would have here: when it does not exist, it is created empty for the
// moment of the question and removed again. Declared everywhere, defined on Windows only.
std::optional<ShortForm> SystemShortPathOfNewFile(const std::string& path);

// The system's short names on Windows; none elsewhere.
ShortPathLookup PlatformShortPaths();
// The same for a file that may not exist yet.
ShortPathLookup PlatformNewFileShortPaths();

// The job as the list is to hold it. A source directory, output directory or source whose path
// the code page cannot hold is given by its short form; a source given by its short name also
// takes its output name from it, and keeps its long name for messages (ShownSources). Refuses,
// naming the first ten files by their long names and how many there are, when a path has no
// form the code page holds that opens the same file.
Status EncoderJob(const BatchJob& job, const CodePage& codePage, BatchJob& written,
                  const ShortPathLookup& shortPath = PlatformShortPaths());

// The batch file path handed to the encoder after /batch, by the same rule. Asked before the list
// is written (with PlatformNewFileShortPaths, as the file may not exist yet), it says whether
// the encoder can be handed the list; asked after, it gives the path.
Status EncoderBatchFile(const std::string& batchFile, const CodePage& codePage, std::string& written,
                        const ShortPathLookup& shortPath = PlatformShortPaths());

// Whether the encoder can open the list at batchFile (the path as it names it), asked before the
// list is written. Started on it (launch), by EncoderBatchFile; loaded by the user, a path its file
// calls cannot hold is refused all the same unless a short form of it fits.
Status CheckBatchFileForEncoder(const std::string& batchFile, const CodePage& codePage, bool launch);

// Refuses an output directory that is empty, names a file, a drive that does not exist, a folder
// that does not exist or one that cannot be looked at; shown is the directory as the user gave it.
Status CheckOutputDirectory(const std::string& path, const std::string& shown);

// Every source must still be there: the folder was listed a while ago.
Status CheckSourcesExist(const BatchJob& job);

// True for a refusal because of the code page, where another code page would be the way out.
bool IsCodePageRefusal(const Status& refusal);

// The refusal of EncoderJob without short names: every path of the list must be held as it is.
Status CheckCodePage(const BatchJob& job, const CodePage& codePage);

}  // namespace quorvel
