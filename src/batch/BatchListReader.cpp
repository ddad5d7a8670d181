#include "BatchListReader.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

#include "FileAccess.h"
#include "Utf8.h"

namespace quorvel {
namespace {

constexpr std::size_t kReadPiece = 1024 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != lowerWord[i]) return false;
    }
    return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view lowerWord) {
    return text.size() >= lowerWord.size() && EqualsIgnoringCase(text.substr(0, lowerWord.size()), lowerWord);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view lowerWord) {
    return text.size() >= lowerWord.size() &&
           EqualsIgnoringCase(text.substr(text.size() - lowerWord.size()), lowerWord);
}

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    return line;
}

// The value of a "Name = value" line whose property is name; empty when it is another one.
bool PropertyValue(std::string_view text, std::string_view lowerName, std::string_view& value) {
    if (!StartsWithIgnoringCase(text, lowerName)) return false;
    std::string_view rest = text.substr(lowerName.size());
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (rest.empty() || rest.front() != '=') return false;
    rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    value = rest;
    return true;
}

// A property whose value is a collection of items on the following lines: "Name = <".
bool OpensCollection(std::string_view text) {
    return text.size() >= 2 && text.back() == '<' && (text[text.size() - 2] == ' ' || text[text.size() - 2] == '=');
}

bool IsObjectLine(std::string_view text) {
    return StartsWithIgnoringCase(text, "object") && text.size() > 6 && IsBlank(text[6]) &&
           EndsWithIgnoringCase(text, "ttmpgencbatchencodelist");
}

bool SeekTo(std::FILE* file, std::uint64_t offset) {
    errno = 0;
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::string LineText(std::uint64_t number) { return "line " + std::to_string(number); }

Status NotABatchList(const std::string& name, const Status& why) {
    return Status::Fail(name + " is not a batch list: " + why.Message());
}

}  // namespace

bool DecodeQuotedValue(std::string_view value, const CodePage& codePage, std::string& text) {
    text.clear();
    std::string bytes;  // in the list's code page, not yet decoded
    std::string decoded;
    const auto flush = [&]() {
        if (bytes.empty()) return true;
        if (!codePage.Decode(bytes, decoded)) return false;
        text += decoded;
        bytes.clear();
        return true;
    };
    std::size_t pos = 0;
    bool anyPart = false;
    while (pos < value.size() && !IsBlank(value[pos])) {
        if (value[pos] == '\'') {
            ++pos;
            for (;;) {
                const std::size_t close = value.find('\'', pos);
                if (close == std::string_view::npos) return false;
                bytes.append(value.substr(pos, close - pos));
                pos = close + 1;
                if (pos < value.size() && value[pos] == '\'') {
                    bytes += '\'';
                    ++pos;
                    continue;
                }
                break;
            }
        } else if (value[pos] == '#') {
            ++pos;
            char32_t code = 0;
            const std::size_t digitsFrom = pos;
            while (pos < value.size() && value[pos] >= '0' && value[pos] <= '9') {
                code = code * 10 + static_cast<char32_t>(value[pos] - '0');
                if (code > 0x10FFFF) return false;
                ++pos;
            }
            if (pos == digitsFrom) return false;
            // A code below 256 is a byte of the list's code page, as the encoder reads it.
            if (code < 0x100) {
                bytes += static_cast<char>(code);
            } else {
                if (!flush()) return false;
                AppendUtf8(text, code);
            }
        } else {
            return false;
        }
        anyPart = true;
    }
    while (pos < value.size() && IsBlank(value[pos])) ++pos;
    if (!anyPart || pos != value.size()) return false;
    return flush();
}

BatchListReader::BatchListReader(const CodePage& codePage) : codePage_(&codePage) {}

Status BatchListReader::Stop(std::string message) {
    status_ = Status::Fail(std::move(message));
    return status_;
}

Status BatchListReader::TooLong() {
    return Stop(LineText(lineNumber_ + 1) + " is longer than " + std::to_string(kLongestListLine / 1024) +
                " KiB, more than any line of a batch list");
}

Status BatchListReader::Feed(std::string_view piece) {
    if (!status_) return status_;
    while (!piece.empty()) {
        if (pending_.empty()) {
            // Empty lines mean nothing anywhere in a list; a run of them costs no more than its bytes.
            std::size_t blank = 0;
            while (blank < piece.size()) {
                if (piece[blank] == '\n') {
                    ++blank;
                } else if (piece[blank] == '\r' && blank + 1 < piece.size() && piece[blank + 1] == '\n') {
                    blank += 2;
                } else {
                    break;
                }
                ++lineNumber_;
            }
            offset_ += blank;
            piece.remove_prefix(blank);
            if (piece.empty()) break;
        }
        const std::size_t newline = piece.find('\n');
        const std::size_t lineLength = pending_.size() + (newline == std::string_view::npos ? piece.size() : newline);
        if (lineLength >= kLongestListLine) return TooLong();
        if (newline == std::string_view::npos) {
            pending_.append(piece);
            return status_;
        }
        std::string_view raw = piece.substr(0, newline + 1);
        if (!pending_.empty()) {
            pending_.append(raw);
            raw = pending_;
        }
        const std::uint64_t begin = offset_;
        offset_ += raw.size();
        ++lineNumber_;
        Status taken = TakeLine(raw, begin, offset_);
        pending_.clear();
        if (!taken) return taken;
        piece.remove_prefix(newline + 1);
    }
    return status_;
}

Status BatchListReader::Finish(BatchListContents& contents) {
    if (!status_) return status_;
    if (!pending_.empty()) {
        const std::string last = std::move(pending_);
        pending_.clear();
        const std::uint64_t begin = offset_;
        offset_ += last.size();
        ++lineNumber_;
        if (Status taken = TakeLine(last, begin, offset_); !taken) return taken;
    }
    switch (place_) {
        case Place::BeforeObject: return Stop("it is empty");
        case Place::InJob:
            return Stop("it ends at " + LineText(lineNumber_) + " inside the job that begins on " +
                        LineText(contents_.Jobs.back().Line));
        case Place::AfterEnd: break;
        default: return Stop("it ends at " + LineText(lineNumber_) + " before its closing lines");
    }
    contents_.Size = offset_;
    contents = std::move(contents_);
    contents_ = BatchListContents();
    return Status::Ok();
}

Status BatchListReader::TakeLine(std::string_view raw, std::uint64_t begin, std::uint64_t end) {
    std::string_view line = raw;
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view text = Trimmed(line);
    if (place_ == Place::InJob) return TakeJobLine(line, text, end);
    if (text.empty()) return Status::Ok();
    switch (place_) {
        case Place::BeforeObject:
            if (!IsObjectLine(text)) {
                return Stop(LineText(lineNumber_) + " does not begin one (\"object TTMPGEncBatchEncodeList\")");
            }
            place_ = Place::BeforeJobs;
            return Status::Ok();
        case Place::BeforeJobs: {
            std::string_view value;
            if (!PropertyValue(text, "list", value) || (value != "<" && value != "<>")) {
                return Stop(LineText(lineNumber_) + " is not the opening of its jobs (\"List = <\")");
            }
            contents_.JobsBegin = end;
            contents_.JobsEnd = end;
            place_ = value == "<" ? Place::BetweenJobs : Place::AfterJobs;
            return Status::Ok();
        }
        case Place::BetweenJobs:
            if (EqualsIgnoringCase(text, "item")) {
                ListedJob job;
                job.Begin = begin;
                job.Line = lineNumber_;
                contents_.Jobs.push_back(std::move(job));
                depth_ = 0;
                place_ = Place::InJob;
                return Status::Ok();
            }
            if (text == ">") {
                contents_.JobsEnd = begin;
                place_ = Place::AfterJobs;
                return Status::Ok();
            }
            return Stop(LineText(lineNumber_) + " is neither a job's \"item\" nor the list's closing \">\"");
        case Place::AfterJobs:
            if (!EqualsIgnoringCase(text, "end"))
                return Stop(LineText(lineNumber_) + " is not the list's closing \"End\"");
            place_ = Place::AfterEnd;
            return Status::Ok();
        case Place::AfterEnd: return Stop(LineText(lineNumber_) + " follows the end of the list");
        case Place::InJob: break;
    }
    return Status::Ok();
}

Status BatchListReader::TakeJobLine(std::string_view line, std::string_view text, std::uint64_t end) {
    // Template settings are written from the first column; only indented lines are structure.
    if (text.empty() || !IsBlank(line.front())) return Status::Ok();
    ListedJob& job = contents_.Jobs.back();
    const auto insideJob = [&](const char* what) {
        return Stop(LineText(lineNumber_) + " " + what + " inside the job that begins on " + LineText(job.Line));
    };
    if (EqualsIgnoringCase(text, "end")) {
        // Inside a collection it ends one of its items; the collection stays open.
        if (depth_ == 0) {
            job.End = end;
            place_ = Place::BetweenJobs;
        }
        return Status::Ok();
    }
    if (EqualsIgnoringCase(text, "end>") || text == ">") {
        if (depth_ == 0) return insideJob("closes the list");
        --depth_;
        return Status::Ok();
    }
    if (EqualsIgnoringCase(text, "item")) {
        if (depth_ == 0) return insideJob("begins a job");
        return Status::Ok();
    }
    if (OpensCollection(text)) {
        ++depth_;
        return Status::Ok();
    }
    std::string_view value;
    std::string* path = nullptr;
    std::string source;
    // Most lines are other settings; their first letter rules out all but one name at most.
    switch (Lower(text.front())) {
        case 'j':
            if (depth_ == 0 && PropertyValue(text, "job.outputfilename", value)) path = &job.OutputFile;
            break;
        case 'v':
            if (PropertyValue(text, "video.sourcefilename", value)) path = &source;
            break;
        case 'a':
            if (PropertyValue(text, "audio.sourcefilename", value)) path = &source;
            break;
        default: break;
    }
    if (path == nullptr) return Status::Ok();
    std::string decoded;
    if (!DecodeQuotedValue(value, *codePage_, decoded))
        return Stop(LineText(lineNumber_) + " holds a path that cannot be read");
    if (path == &job.OutputFile) {
        if (job.OutputFile.empty()) job.OutputFile = std::move(decoded);
    } else if (!decoded.empty() &&
               std::find(job.SourceFiles.begin(), job.SourceFiles.end(), decoded) == job.SourceFiles.end()) {
        job.SourceFiles.push_back(std::move(decoded));
    }
    return Status::Ok();
}

Status ReadBatchList(std::string_view bytes, const std::string& name, const CodePage& codePage,
                     BatchListContents& contents) {
    BatchListReader reader(codePage);
    Status read = reader.Feed(bytes);
    if (read) read = reader.Finish(contents);
    if (!read) return NotABatchList(name, read);
    return read;
}

Status ReadBatchList(std::FILE* file, const std::string& name, const CodePage& codePage, BatchListContents& contents) {
    BatchListReader reader(codePage);
    const std::unique_ptr<char[]> buffer(new char[kReadPiece]);
    std::rewind(file);
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer.get(), 1, kReadPiece, file);
        if (got == 0) {
            if (std::ferror(file))
                return Status::Fail("Cannot read the batch list " + name + ": " + FileErrorReason(errno));
            break;
        }
        if (Status fed = reader.Feed(std::string_view(buffer.get(), got)); !fed) return NotABatchList(name, fed);
    }
    Status finished = reader.Finish(contents);
    if (!finished) return NotABatchList(name, finished);
    return finished;
}

Status CopyJobs(std::FILE* file, const BatchListContents& contents, const std::vector<bool>& keep, ByteSink& sink) {
    // The byte ranges to copy, in file order; neighbouring jobs are read as one.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges = {{0, contents.JobsBegin}};
    const auto add = [&](std::uint64_t from, std::uint64_t to) {
        if (ranges.back().second == from) {
            ranges.back().second = to;
        } else {
            ranges.emplace_back(from, to);
        }
    };
    for (std::size_t i = 0; i < contents.Jobs.size(); ++i) {
        if (i < keep.size() && keep[i]) add(contents.Jobs[i].Begin, contents.Jobs[i].End);
    }
    add(contents.JobsEnd, contents.Size);

    BatchOutput out(sink);
    const std::unique_ptr<char[]> buffer(new char[kReadPiece]);
    for (const auto& [from, to] : ranges) {
        if (!SeekTo(file, from)) return Status::Fail("Cannot read the batch list: " + FileErrorReason(errno));
        for (std::uint64_t at = from; at < to && !out.Failed();) {
            errno = 0;
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadPiece, to - at));
            const std::size_t got = std::fread(buffer.get(), 1, want, file);
            if (got == 0) {
                if (std::ferror(file)) return Status::Fail("Cannot read the batch list: " + FileErrorReason(errno));
                return Status::Fail("The batch list was changed while it was being read");
            }
            out.Append(std::string_view(buffer.get(), got));
            at += got;
        }
    }
    return out.Flush();
}

}  // namespace quorvel
