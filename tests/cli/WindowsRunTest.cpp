#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "CliTestSupport.h"

namespace quorvel::cli::test {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path ProgramDirectory() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(std::wstring(path, length)).parent_path();
}

// Runs in a fresh current directory holding clips\a.avi and clips\b.avi.
class CliWindows : public testing::Test {
protected:
    void SetUp() override {
        previous = fs::current_path();
        fs::current_path(dir.Path());
        fs::create_directories(dir.Path() / "clips");
        WriteFile(dir.Path() / "clips" / "a.avi", "");
        WriteFile(dir.Path() / "clips" / "b.avi", "");
    }
    void TearDown() override {
        fs::current_path(previous);
        SetEnvironmentVariableW(L"QUORVEL_FAKE_ENCODER_RECORD", nullptr);
    }

    std::string Here(const std::string& relative) const { return Utf8(dir.Path()) + "\\" + relative; }

    // The fake encoder, copied to a folder with a blank so the quoting counts.
    std::string FakeEncoder() const {
        const fs::path folder = dir.Path() / "enc dir";
        fs::create_directories(folder);
        fs::copy_file(ProgramDirectory() / "quorvel_fake_encoder.exe", folder / "fake enc.exe");
        SetEnvironmentVariableW(L"QUORVEL_FAKE_ENCODER_RECORD", (dir.Path() / "log.txt").wstring().c_str());
        return Utf8(folder / "fake enc.exe");
    }

    // The command line the fake encoder recorded (the first line of its record).
    std::optional<std::string> WaitForLog() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            if (fs::exists(dir.Path() / "log.txt")) {
                const std::string record = ReadFile(dir.Path() / "log.txt");
                return record.substr(0, record.find("\r\n"));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

    TempDirectory dir;
    fs::path previous;
};

TEST_F(CliWindows, PathsAreFullAndOutputGoesBesideTheList) {
    RunResult result = RunCli({"-o", "list.tbe", "-s", "clips/", "b.avi", "a.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "Created Batch List to file list.tbe (2 jobs)\n");
    const std::string list = ReadFile(dir.Path() / "list.tbe");
    EXPECT_EQ(QuotedValues(list, "Video.SourceFileName"),
              (std::vector<std::string>{Here("clips\\b.avi"), Here("clips\\a.avi")}));
    EXPECT_EQ(QuotedValues(list, "Job.OutputFileName"), (std::vector<std::string>{Here("b.mpg"), Here("a.mpg")}));

    result = RunCli({"-o", "-", "-s", "clips", "-d", "out", "a.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(result.Out.ends_with("    End \r\n"));
    EXPECT_EQ(result.Out.find("\r\r\n"), std::string::npos);
    EXPECT_EQ(QuotedValues(result.Out, "Job.OutputFileName"), std::vector<std::string>{Here("out\\a.mpg")});
}

TEST_F(CliWindows, LaunchQuotesTheEncoderAndTheFullListPath) {
    const std::string encoder = FakeEncoder();
    RunResult result = RunCli({"-o", "list.tbe", "-s", "clips", "--launch", encoder, "a.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    const std::optional<std::string> commandLine = WaitForLog();
    ASSERT_TRUE(commandLine) << "the encoder was not started";
    EXPECT_EQ(*commandLine, "\"" + encoder + "\" /batch \"" + Here("list.tbe") + "\"");
}

TEST_F(CliWindows, LaunchRefusalsWriteNothing) {
    const std::string encoder = FakeEncoder();
    fs::create_directories(dir.Path() / "my lists");
    WriteFile(dir.Path() / "my lists" / "list.tbe", "old list");
    RunResult result = RunCli({"-o", "my lists\\list.tbe", "-s", "clips", "--launch", encoder, "a.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("The batch file (and path) cannot have any spaces in it to run automatically"),
              std::string::npos);
    EXPECT_EQ(ReadFile(dir.Path() / "my lists" / "list.tbe"), "old list");

    result = RunCli({"-o", "list.tbe", "-s", "clips", "--launch", Here("none.exe"), "a.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("does not exist"), std::string::npos) << result.Err;
    EXPECT_FALSE(fs::exists(dir.Path() / "list.tbe"));
    EXPECT_FALSE(fs::exists(dir.Path() / "log.txt"));
}

}  // namespace
}  // namespace quorvel::cli::test
