#pragma once

// The import of an encoder template's setting lines into a job item.

#include <string>
#include <string_view>

#include "BatchOutput.h"
#include "Status.h"

namespace quorvel {

// The filter applied to each template line (given without its line end): blanks are
// trimmed from both ends, the lines opening and closing the template's object are dropped,
// and the template's own "MPEG" property paths get the job's "JOB." prefix. True when the
// line is written; written then holds its bytes without the line end.
bool FilterTemplateLine(std::string_view line, std::string& written);

// Cuts a byte stream into lines. CR LF, a lone LF and a lone CR each end a line, also when
// a CR LF pair is split between two pieces; a final line end does not start another line.
class TemplateLineSplitter {
public:
    template <class OnLine>
    void Feed(std::string_view piece, OnLine&& onLine) {
        std::size_t pos = 0;
        if (afterCr_ && !piece.empty()) {
            afterCr_ = false;
            if (piece.front() == '\n') pos = 1;
        }
        while (pos < piece.size()) {
            const std::size_t end = piece.find_first_of("\r\n", pos);
            if (end == std::string_view::npos) {
                pending_.append(piece.substr(pos));
                return;
            }
            if (pending_.empty()) {
                onLine(piece.substr(pos, end - pos));
            } else {
                pending_.append(piece.substr(pos, end - pos));
                onLine(std::string_view(pending_));
                pending_.clear();
            }
            pos = end + 1;
            if (piece[end] == '\r') {
                if (pos == piece.size()) {
                    afterCr_ = true;
                } else if (piece[pos] == '\n') {
                    ++pos;
                }
            }
        }
    }

    // Hands over a last line that has no line end.
    template <class OnLine>
    void Finish(OnLine&& onLine) {
        if (!pending_.empty()) onLine(std::string_view(pending_));
        pending_.clear();
        afterCr_ = false;
    }

private:
    std::string pending_;
    bool afterCr_ = false;
};

// Reads the template once: its filtered lines, each ended by CR LF, become the encoding
// block that every job of one run shares. Fails on a file that cannot be opened or read, has
// no bytes, or holds a NUL byte (no text template does).
Status ReadTemplateSettings(const std::string& templatePath, std::string& block);

// Copies the filtered lines of the template into a single job item, reading the file anew.
Status CopyTemplateSettings(BatchOutput& out, const std::string& templatePath);

// The failure ReadTemplateSettings would meet, found before a list is begun.
Status CheckTemplateFile(const std::string& templatePath);

}  // namespace quorvel
