#include "TemplateImport.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "FileAccess.h"

namespace quorvel {
namespace {

constexpr std::size_t kReadPiece = 64 * 1024;

bool StartsWithUpperCased(std::string_view text, std::string_view upperWord) {
    if (text.size() < upperWord.size()) return false;
    for (std::size_t i = 0; i < upperWord.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != upperWord[i]) return false;
    }
    return true;
}

Status CannotRead(const std::string& templatePath, const std::string& reason) {
    return Status::Fail("Cannot read the template file " + templatePath + ": " + reason);
}

Status Empty(const std::string& templatePath) {
    return Status::Fail("The template file " + templatePath + " is empty");
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

Status OpenTemplate(const std::string& templatePath, FileHandle& file) {
    std::string reason;
    file.reset(OpenFileForReading(templatePath, reason));
    if (!file) return CannotRead(templatePath, reason);
    return Status::Ok();
}

// Reads the next piece; got is 0 at the end of the file.
Status ReadPiece(std::FILE* file, const std::string& templatePath, char* buffer, std::size_t& got) {
    errno = 0;
    got = std::fread(buffer, 1, kReadPiece, file);
    if (got == 0 && std::ferror(file)) return CannotRead(templatePath, FileErrorReason(errno));
    return Status::Ok();
}

}  // namespace

bool FilterTemplateLine(std::string_view line, std::string& written) {
    const std::size_t first = line.find_first_not_of(' ');
    const std::string_view trimmed = first == std::string_view::npos
                                         ? std::string_view()
                                         : line.substr(first, line.find_last_not_of(' ') - first + 1);
    if (StartsWithUpperCased(trimmed, "OBJECT") || StartsWithUpperCased(trimmed, "END")) return false;
    written.clear();
    if (StartsWithUpperCased(trimmed, "MPEG")) written = "JOB.";
    written.append(trimmed);
    return true;
}

Status ReadTemplateSettings(const std::string& templatePath, std::string& block) {
    block.clear();
    FileHandle file;
    Status opened = OpenTemplate(templatePath, file);
    if (!opened) return opened;

    const std::unique_ptr<char[]> buffer(new char[kReadPiece]);
    TemplateLineSplitter splitter;
    std::string written;
    const auto onLine = [&](std::string_view line) {
        if (!FilterTemplateLine(line, written)) return;
        block += written;
        block += "\r\n";
    };
    std::size_t total = 0;
    for (;;) {
        std::size_t got = 0;
        Status read = ReadPiece(file.get(), templatePath, buffer.get(), got);
        if (!read) return read;
        if (got == 0) break;
        // A text template holds no NUL; a binary file would put its bytes into every job.
        if (std::string_view(buffer.get(), got).find('\0') != std::string_view::npos) {
            return Status::Fail("The template file " + templatePath +
                                " is not a text template: it holds NUL bytes, as a program or picture does");
        }
        total += got;
        splitter.Feed(std::string_view(buffer.get(), got), onLine);
    }
    if (total == 0) return Empty(templatePath);
    splitter.Finish(onLine);
    return Status::Ok();
}

Status CopyTemplateSettings(BatchOutput& out, const std::string& templatePath) {
    std::string block;
    Status read = ReadTemplateSettings(templatePath, block);
    if (read) out.Append(block);
    return read;
}

Status CheckTemplateFile(const std::string& templatePath) {
    std::string block;
    return ReadTemplateSettings(templatePath, block);
}

}  // namespace quorvel
