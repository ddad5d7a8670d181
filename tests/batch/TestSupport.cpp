#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "batch/JobWriter.h"

namespace quorvel::test {

std::filesystem::path gProgramFolder;

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("quorvel-unit-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code error;
    // Read-only files left by a test must not keep the folder alive.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
        std::filesystem::permissions(
            entry.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add, error);
    }
    std::filesystem::remove_all(path_, error);
}

std::string TempFolder::File(std::string_view name) const {
    return Utf8(path_ / std::filesystem::path(std::u8string(name.begin(), name.end())));
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(Utf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path PathOf(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ExpectedList(std::string_view name) {
    std::filesystem::path copied = gProgramFolder / "batch_expected" / name;
    if (std::filesystem::exists(copied)) return ReadBytes(Utf8(copied));
    const std::string source = std::string(QUORVEL_EXPECTED_SOURCE_DIR) + "/" + std::string(name);
    EXPECT_TRUE(std::filesystem::exists(source)) << "no expected list " << name;
    return ReadBytes(source);
}

std::vector<std::string> CrLfLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) {
            ADD_FAILURE() << "last line without CR LF: " << bytes.substr(start);
            lines.emplace_back(bytes.substr(start));
            break;
        }
        const std::string_view line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos) << "stray line end in: " << line;
        lines.emplace_back(line);
        start = end + 2;
    }
    return lines;
}

std::string OneJob(std::string_view fileName, const BatchJob& job, const AdvancedOptions& options) {
    StringSink sink;
    BatchOutput out(sink);
    const Status status = PrintItemToBatch(out, fileName, job, options, Western());
    EXPECT_TRUE(status.IsOk()) << status.Message();
    EXPECT_TRUE(out.Flush().IsOk());
    return sink.Bytes;
}

BatchJob SampleJob() {
    BatchJob job;
    job.BatchFile = "list.tbe";
    job.SourceDirectory = "C:\\Video";
    job.OutputDirectory = "D:\\Out\\";
    return job;
}

const CodePage& OpenedCodePage(unsigned number) {
    static std::map<unsigned, std::unique_ptr<CodePage>> opened;
    std::unique_ptr<CodePage>& codePage = opened[number];
    if (!codePage) {
        const Status status = OpenCodePage(number, codePage);
        if (!status) {
            ADD_FAILURE() << status.Message();
            static_cast<void>(OpenCodePage(kCodePageUtf8, codePage));
        }
    }
    return *codePage;
}

}  // namespace quorvel::test
