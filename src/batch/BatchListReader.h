#pragma once

// Reading a batch list back: where its jobs lie and which files each one names, so that the
// jobs still to be done can be copied into a new list byte for byte.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "BatchList.h"
#include "BatchOutput.h"
#include "CodePage.h"
#include "Status.h"

namespace quorvel {

// One job of a list. Offsets count bytes from the start of the list.
struct ListedJob {
    std::uint64_t Begin = 0;  // its "item" line
    std::uint64_t End = 0;    // just past its closing "end" line and that line's end
    std::uint64_t Line = 0;   // the number of its "item" line, from 1
    // Paths as the list holds them, in UTF-8 with the '#39' form undone; empty when the job
    // names no output.
    std::string OutputFile;
    std::vector<std::string> SourceFiles;  // the video and audio sources, each once
};

// The list's own opening lines are its bytes before JobsBegin, its closing lines those from
// JobsEnd on; they stay in the file, as blank lines around them may be any number.
struct BatchListContents {
    std::uint64_t JobsBegin = 0;  // just past the line that opens the list of jobs
    std::uint64_t JobsEnd = 0;    // the line that closes it
    std::uint64_t Size = 0;       // the whole list
    std::vector<ListedJob> Jobs;
};

// Takes a list piece by piece (lines may be split anywhere) and finds its jobs. Lines may end
// with CR LF or LF; the names of structure and properties are read without regard to letter
// case. Lines that start in the first column (a template's settings) are never structure.
// Memory grows with the jobs only: a line longer than kLongestListLine is refused.
inline constexpr std::size_t kLongestListLine = 1024 * 1024;

class BatchListReader {
public:
    explicit BatchListReader(const CodePage& codePage);

    // A failure names the line where reading stopped; what follows is not read.
    Status Feed(std::string_view piece);
    Status Finish(BatchListContents& contents);

private:
    enum class Place { BeforeObject, BeforeJobs, BetweenJobs, InJob, AfterJobs, AfterEnd };

    Status TakeLine(std::string_view raw, std::uint64_t begin, std::uint64_t end);
    Status TakeJobLine(std::string_view line, std::string_view text, std::uint64_t end);
    Status Stop(std::string message);
    Status TooLong();

    const CodePage* codePage_;
    Place place_ = Place::BeforeObject;
    Status status_ = Status::Ok();
    std::string pending_;  // a line begun in an earlier piece
    std::uint64_t offset_ = 0;
    std::uint64_t lineNumber_ = 0;
    std::uint64_t depth_ = 0;  // collections open inside the current job
    BatchListContents contents_;
};

// The whole list at once. Messages name the list as name: "NAME is not a batch list: line 7 ...".
Status ReadBatchList(std::string_view bytes, const std::string& name, const CodePage& codePage,
                     BatchListContents& contents);

// The list from an open file, read from its start.
Status ReadBatchList(std::FILE* file, const std::string& name, const CodePage& codePage, BatchListContents& contents);

// Writes the list's own opening lines, the jobs marked in keep (one mark per job) and the list's
// closing lines, copied from the file they were read from, which must not have changed.
Status CopyJobs(std::FILE* file, const BatchListContents& contents, const std::vector<bool>& keep, ByteSink& sink);

// The text of a quoted list value ('...', '' for a quote inside, #39 and other character
// codes between the parts), decoded to UTF-8. False when the value is not of that form or holds
// bytes the code page reads as nothing.
bool DecodeQuotedValue(std::string_view value, const CodePage& codePage, std::string& text);

}  // namespace quorvel
