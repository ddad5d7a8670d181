#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchOutput.h"
#include "batch/BatchRequest.h"
#include "batch/CodePage.h"

namespace quorvel::test {

// Set by main from the program's own path: where the expected lists were copied.
extern std::filesystem::path gProgramFolder;

class StringSink final : public ByteSink {
public:
    Status Write(std::string_view bytes) override {
        Bytes.append(bytes);
        return Status::Ok();
    }
    std::string Bytes;
};

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // A path inside the folder as the core takes it (UTF-8).
    std::string File(std::string_view name) const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path path_;
};

std::string Utf8(const std::filesystem::path& path);
std::filesystem::path PathOf(const std::string& utf8);
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ExpectedList(std::string_view name);

// The lines of a list, split at CR LF; every line must end with CR LF.
std::vector<std::string> CrLfLines(std::string_view bytes);

// The lines one job of a list writes, from PrintItemToBatch into a string.
std::string OneJob(std::string_view fileName, const BatchJob& job, const AdvancedOptions& options);

BatchJob SampleJob();

// A code page opened once for the whole run; the test fails when this system cannot convert it.
const CodePage& OpenedCodePage(unsigned number);
inline const CodePage& Western() { return OpenedCodePage(kCodePageWestern); }

}  // namespace quorvel::test
