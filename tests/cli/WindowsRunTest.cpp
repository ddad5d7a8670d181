#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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

    fs::create_directories(dir.Path() / "out");
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
    WriteFile(dir.Path() / "my lists" / "list.tbe", "object TTMPGEncBatchEncodeList");
    RunResult result = RunCli({"-o", "my lists\\list.tbe", "-s", "clips", "--launch", encoder, "a.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("The batch file (and path) cannot have any spaces in it to run automatically"),
              std::string::npos);
    EXPECT_EQ(ReadFile(dir.Path() / "my lists" / "list.tbe"), "object TTMPGEncBatchEncodeList");

    result = RunCli({"-o", "list.tbe", "-s", "clips", "--launch", Here("none.exe"), "a.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("does not exist"), std::string::npos) << result.Err;
    result = RunCli({"-o", "list.tbe", "-s", "clips", "--launch", Here("clips"), "a.avi"});
    EXPECT_NE(result.Err.find("is a folder, not a program"), std::string::npos) << result.Err;
    result = RunCli({"-o", "list.tbe", "-s", "clips", "--launch", "not-on-the-path.exe", "a.avi"});
    EXPECT_NE(result.Err.find("was not found on the PATH"), std::string::npos) << result.Err;
    EXPECT_FALSE(fs::exists(dir.Path() / "list.tbe"));
    EXPECT_FALSE(fs::exists(dir.Path() / "log.txt"));
}

TEST_F(CliWindows, SourcesFromManyFoldersAndTheJobsStillToDo) {
    fs::create_directories(dir.Path() / "clips" / "sub");
    WriteFile(dir.Path() / "clips" / "sub" / "c.avi", "");
    RunResult result =
        RunCli({"-n", "-o", "list.tbe", "-r", "-s", "clips", "--outputs-beside-sources", "--code-page", "1252"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out,
              Here("clips\\a.avi") + " -> " + Here("clips\\a.mpg") + "\n" + Here("clips\\b.avi") + " -> " +
                  Here("clips\\b.mpg") + "\n" + Here("clips\\sub\\c.avi") + " -> " + Here("clips\\sub\\c.mpg") +
                  "\n3 jobs (dry run, nothing written)\ncode page 1252 (--code-page)\n");

    // CR LF line ends and both separators in the list of paths.
    WriteFile(dir.Path() / "paths.txt", "clips/sub/c.avi\r\n" + Here("clips\\a.avi") + "\r\n");
    fs::create_directories(dir.Path() / "out");
    result = RunCli({"-o", "list.tbe", "--files-from", "paths.txt", "-d", "out"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    const std::string list = ReadFile(dir.Path() / "list.tbe");
    EXPECT_EQ(QuotedValues(list, "Video.SourceFileName"),
              (std::vector<std::string>{Here("clips\\sub\\c.avi"), Here("clips\\a.avi")}));

    // One output finished, the other never begun: the paths of the list are read as they are.
    fs::create_directories(dir.Path() / "out");
    WriteFile(dir.Path() / "out" / "a.mpg", std::string("\x00\x00\x01\xB9", 4));
    result = RunCli({"--remaining", "list.tbe", "-o", "rest.tbe"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "1 of 2 jobs remains\n");
    EXPECT_EQ(QuotedValues(ReadFile(dir.Path() / "rest.tbe"), "Job.OutputFileName"),
              std::vector<std::string>{Here("out\\c.mpg")});

    // Replaced in place: the list being read is closed before the new one takes its name.
    result = RunCli({"--remaining", "list.tbe", "-o", "list.tbe"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(ReadFile(dir.Path() / "list.tbe"), ReadFile(dir.Path() / "rest.tbe"));
}

// Greek and Japanese names in a Cyrillic folder: no Western or Japanese code page holds them all.
TEST_F(CliWindows, NamesOutsideTheCodePageReachTheEncoderByShortPaths) {
    const std::string videos = "\xD0\xB2\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE";  // видео
    const std::string greek = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.avi";
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.avi";
    const fs::path folder = dir.Path() / fs::path(std::u8string(videos.begin(), videos.end()));
    fs::create_directories(folder);
    for (const std::string& name : {greek, japanese})
        WriteFile(folder / fs::path(std::u8string(name.begin(), name.end())), name);
    const std::string list = videos + "\\" + greek.substr(0, greek.size() - 4) + ".tbe";
    const std::string encoder = FakeEncoder();

    RunResult result = RunCli({"-o", list, "-s", videos, "--launch", encoder, greek, japanese});
    ASSERT_EQ(result.Status, 0) << result.Err;
    const std::optional<std::string> commandLine = WaitForLog();
    ASSERT_TRUE(commandLine) << "the encoder was not started";
    // The encoder opened the list from its ANSI command line and read the list itself.
    const std::string written = ReadFile(dir.Path() / fs::path(std::u8string(list.begin(), list.end())));
    EXPECT_EQ(ReadFile(dir.Path() / "log.txt.list"), written);

    const std::vector<std::string> sources = QuotedValues(written, "Video.SourceFileName");
    const std::vector<std::string> outputs = QuotedValues(written, "Job.OutputFileName");
    ASSERT_EQ(sources.size(), 2u);
    ASSERT_EQ(outputs.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        HANDLE file =
            CreateFileA(sources[i].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << sources[i];
        char bytes[64];
        DWORD got = 0;
        ::ReadFile(file, bytes, sizeof bytes, &got, nullptr);
        CloseHandle(file);
        EXPECT_EQ(std::string(bytes, got), i == 0 ? greek : japanese);
        const std::string name = sources[i].substr(sources[i].rfind('\\') + 1);
        EXPECT_EQ(outputs[i].substr(outputs[i].rfind('\\') + 1), name.substr(0, name.rfind('.')) + ".mpg");
    }
}

}  // namespace
}  // namespace quorvel::cli::test
