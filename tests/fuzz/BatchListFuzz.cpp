// Reading a batch list back. Input: the list's bytes; the first byte also picks where the list
// is cut in two pieces, which must not change the result.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "batch/BatchList.h"
#include "batch/BatchListReader.h"
#include "batch/CodePage.h"

namespace {

using quorvel::BatchListContents;

const quorvel::CodePage& Western() {
    static std::unique_ptr<quorvel::CodePage> page;
    if (!page) FUZZ_CHECK(quorvel::OpenCodePage(quorvel::kCodePageWestern, page).IsOk());
    return *page;
}

bool Read(std::string_view bytes, BatchListContents& contents, std::string& message) {
    const quorvel::Status status = quorvel::ReadBatchList(bytes, "list.tbe", Western(), contents);
    message = status.Message();
    return status.IsOk();
}

std::string_view LineAt(std::string_view bytes, std::uint64_t offset) {
    const std::string_view rest = bytes.substr(offset);
    return rest.substr(0, rest.find('\n'));
}

// A job begins with a line reading "item", blanks and letter case aside.
bool IsItemLine(std::string_view line) {
    std::string word;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\r') continue;
        word += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return word == "item";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    BatchListContents whole;
    std::string message;
    const bool ok = Read(bytes, whole, message);

    quorvel::BatchListReader reader(Western());
    const std::size_t cut = size == 0 ? 0 : static_cast<std::size_t>(data[0]) * size / 256;
    BatchListContents pieces;
    quorvel::Status split = reader.Feed(bytes.substr(0, cut));
    if (split) split = reader.Feed(bytes.substr(cut));
    if (split) split = reader.Finish(pieces);
    FUZZ_CHECK(split.IsOk() == ok);

    if (!ok) {
        FUZZ_CHECK(message.starts_with("list.tbe is not a batch list: "));
        FUZZ_CHECK(message.find("line ") != std::string::npos || message.ends_with("it is empty"));
        return 0;
    }
    FUZZ_CHECK(pieces.Jobs.size() == whole.Jobs.size());
    FUZZ_CHECK(whole.Size == size);
    FUZZ_CHECK(whole.JobsBegin <= whole.JobsEnd && whole.JobsEnd <= whole.Size);
    std::uint64_t previousEnd = whole.JobsBegin;
    for (std::size_t i = 0; i < whole.Jobs.size(); ++i) {
        const quorvel::ListedJob& job = whole.Jobs[i];
        FUZZ_CHECK(job.Begin >= previousEnd && job.Begin < job.End && job.End <= whole.JobsEnd);
        FUZZ_CHECK(pieces.Jobs[i].Begin == job.Begin && pieces.Jobs[i].End == job.End);
        FUZZ_CHECK(pieces.Jobs[i].OutputFile == job.OutputFile && pieces.Jobs[i].SourceFiles == job.SourceFiles);
        FUZZ_CHECK(IsItemLine(LineAt(bytes, job.Begin)));
        previousEnd = job.End;
    }

    // The list's own envelope around all of its jobs, or none, reads back as a list again.
    const std::string_view head = bytes.substr(0, whole.JobsBegin);
    const std::string_view tail = bytes.substr(whole.JobsEnd);
    FUZZ_CHECK(pieces.JobsBegin == whole.JobsBegin && pieces.JobsEnd == whole.JobsEnd);
    std::string all(head);
    for (const quorvel::ListedJob& job : whole.Jobs) all.append(bytes.substr(job.Begin, job.End - job.Begin));
    all.append(tail);
    BatchListContents again;
    FUZZ_CHECK(Read(all, again, message));
    FUZZ_CHECK(again.Jobs.size() == whole.Jobs.size());
    for (std::size_t i = 0; i < again.Jobs.size(); ++i) {
        FUZZ_CHECK(again.Jobs[i].OutputFile == whole.Jobs[i].OutputFile);
        FUZZ_CHECK(again.Jobs[i].SourceFiles == whole.Jobs[i].SourceFiles);
    }
    BatchListContents none;
    FUZZ_CHECK(Read(std::string(head) + std::string(tail), none, message));
    FUZZ_CHECK(none.Jobs.empty());
    return 0;
}
