// How the list is moved into place on Windows, where other programs hold files open.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "batch/BatchList.h"
#include "batch/JobPaths.h"
#include "batch/EncoderPaths.h"

namespace quorvel::test {
namespace {

class HeldFile {
public:
    HeldFile(const std::string& path, DWORD share)
        : handle_(CreateFileW(PathOf(path).wstring().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

TEST(WindowsListFile, ReplacesAListReadBySomeoneWhoSharesDeletion) {
    TempFolder folder;
    BatchJob job = SampleJob();
    job.BatchFile = folder.File("list.tbe");
    WriteBytes(job.BatchFile, "object TTMPGEncBatchEncodeList\r\n");
    {
        HeldFile reader(job.BatchFile, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(reader.IsOpen());
        const Status status = WriteBatchList(job, AdvancedOptions(), Western());
        ASSERT_TRUE(status.IsOk()) << status.Message();
    }
    EXPECT_EQ(ReadBytes(job.BatchFile), ExpectedList("empty.tbe"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"list.tbe"});
}

TEST(WindowsListFile, RefusesAReadOnlyListItself) {
    TempFolder folder;
    BatchJob job = SampleJob();
    job.BatchFile = folder.File("list.tbe");
    WriteBytes(job.BatchFile, "object TTMPGEncBatchEncodeList\r\n");
    ASSERT_TRUE(SetFileAttributesW(PathOf(job.BatchFile).wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteBatchList(job, AdvancedOptions()).Message(),
              "Cannot create the batch file " + job.BatchFile + ": the file is read-only");
    SetFileAttributesW(PathOf(job.BatchFile).wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(job.BatchFile), "object TTMPGEncBatchEncodeList\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"list.tbe"});
}

// The values of the lines KEY = '...', as the list's bytes, with the quote form undone.
std::vector<std::string> ListValues(const std::string& list, const std::string& key) {
    std::vector<std::string> values;
    const std::string start = key + " = '";
    for (std::size_t at = list.find(start); at != std::string::npos; at = list.find(start, at + 1)) {
        const std::size_t from = at + start.size();
        const std::size_t lineEnd = list.find("\r\n", from);
        const std::string quoted = list.substr(from, list.rfind('\'', lineEnd) - from);
        std::string value;
        for (std::size_t i = 0; i < quoted.size(); ++i) {
            value += quoted[i];
            if (quoted.compare(i, 5, "'#39'") == 0) i += 4;
        }
        values.push_back(value);
    }
    return values;
}

std::string NamePart(const std::string& path) { return path.substr(path.rfind('\\') + 1); }
std::string FolderPart(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

// What an ANSI program such as the encoder reads through a path made of the list's bytes.
std::string ReadThroughAnsiPath(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<cannot open " + path + ">";
    char buffer[64];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

TEST(EncoderPathsOnWindows, EveryPathInTheListOpensTheFileItNames) {
    TempFolder folder;
    const std::string videos = folder.File("\xD0\xB2\xD0\xB8\xD0\xB4\xD0\xB5\xD0\xBE");  // видео
    ASSERT_TRUE(CreateDirectoryW(PathOf(videos).wstring().c_str(), nullptr));
    const std::vector<std::string> names = {
        "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.avi",  // Ελληνικά.avi
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.avi",                              // 日本語.avi
        "Bob's.avi",
        "trail.",  // Windows drops the dot, and the blank below, when it opens a path
        "blank.avi ",
    };
    // The literal form keeps a name's closing dot or blank; the folder's removal cannot.
    struct LiteralFiles {
        std::vector<std::wstring> Paths;
        ~LiteralFiles() {
            for (const std::wstring& path : Paths) DeleteFileW(path.c_str());
        }
    } literal;
    for (const std::string& name : names) {
        literal.Paths.push_back(L"\\\\?\\" + PathOf(videos + "\\" + name).wstring());
        const HANDLE file = CreateFileW(
            literal.Paths.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        const std::string content = "content of " + name;
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
    BatchJob job;
    job.BatchFile = folder.File("list.tbe");
    job.SourceDirectory = videos;
    job.OutputDirectory = videos + "\\";
    job.SourceNames = names;

    const Status status = WriteListForEncoder(job, AdvancedOptions());
    ASSERT_TRUE(status.IsOk()) << status.Message();
    const std::string list = ReadBytes(job.BatchFile);
    const std::vector<std::string> sources = ListValues(list, "Video.SourceFileName");
    const std::vector<std::string> outputs = ListValues(list, "Job.OutputFileName");
    ASSERT_EQ(sources.size(), names.size());
    ASSERT_EQ(outputs.size(), names.size());
    EXPECT_EQ(ListValues(list, "Audio.SourceFileName"), sources);

    const CodePage& system = OpenedCodePage(GetACP());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i] + " in code page " + std::to_string(GetACP()));
        EXPECT_EQ(sources[i].find('?'), std::string::npos) << sources[i];
        EXPECT_EQ(ReadThroughAnsiPath(sources[i]), "content of " + names[i]);
        // The encoder cannot write the long name either: the output takes the name the list gives.
        const std::string stem = NamePart(sources[i]).substr(0, NamePart(sources[i]).rfind('.'));
        EXPECT_EQ(NamePart(outputs[i]), stem + ".mpg");
        EXPECT_NE(GetFileAttributesA(FolderPart(outputs[i]).c_str()), INVALID_FILE_ATTRIBUTES) << outputs[i];
        // What the code page holds, and Windows opens as it is, is written as it is.
        std::string longName;
        ASSERT_TRUE(system.Decode(NamePart(sources[i]), longName));
        EXPECT_EQ(longName == names[i], system.Holds(names[i]) && !names[i].ends_with('.') && !names[i].ends_with(' '))
            << longName;
    }
}

TEST(EncoderPathsOnWindows, WhatTheEncoderCouldNotOpenIsRefusedAndTheOldListKept) {
    TempFolder folder;
    BatchJob job = SampleJob();
    job.BatchFile = folder.File("list.tbe");
    job.SourceDirectory = Utf8(folder.Path());
    job.OutputDirectory = job.SourceDirectory + "\\";
    WriteBytes(folder.File("a.avi"), "a");
    WriteBytes(job.BatchFile, "object TTMPGEncBatchEncodeList\r\n\x83\x5C");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // A source gone since the folder was listed.
        {{"a.avi", "gone.avi"}, "1 selected file no longer exists in " + job.SourceDirectory},
        // Two sources whose names differ in letter case only, as Windows folds it.
        {{"\xC5\x92.avi", "\xC5\x93.mov"}, "Two sources would be encoded to the same file"},
    };
    WriteBytes(folder.File("\xC5\x92.avi"), "");
    WriteBytes(folder.File("\xC5\x93.mov"), "");
    for (const auto& [names, refusal] : cases) {
        job.SourceNames = names;
        const Status status = WriteListForEncoder(job, AdvancedOptions());
        EXPECT_EQ(status.Message().rfind(refusal, 0), 0u) << status.Message();
    }
    EXPECT_EQ(ReadBytes(job.BatchFile), "object TTMPGEncBatchEncodeList\r\n\x83\x5C");
}

// Under Wine a case-sensitive folder can hold Я.avi beside я.avi: one short name for both, and
// it opens only one of them.
TEST(EncoderPathsOnWindows, AShortNameThatOpensAnotherFileIsRefusedNamingTheLongName) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) GTEST_SKIP() << "needs Wine";
    TempFolder folder;
    char* unixFolder = unixName(folder.Path().wstring().c_str());
    const std::vector<std::string> names = {"\xD0\xAF.avi", "\xD1\x8F.avi"};
    for (const std::string& name : names) {
        // Wine's Unix namespace does not fold letter case, as its own calls do.
        WriteBytes("\\\\?\\unix" + std::string(unixFolder) + "/" + name, name);
    }
    HeapFree(GetProcessHeap(), 0, unixFolder);
    std::vector<std::string> refused;
    for (const std::string& name : names) {
        BatchJob job = SampleJob(), written;
        job.SourceDirectory = Utf8(folder.Path());
        job.SourceNames = {name};
        if (const Status status = EncoderJob(job, Western(), written); !status) {
            refused.push_back(name);
            const std::string other = name == names[0] ? names[1] : names[0];
            EXPECT_NE(status.Message().find("\n  " + name + " (its short name opens " + other +
                                            ")\nA short name shared by two files"),
                      std::string::npos)
                << status.Message();
        } else {
            EXPECT_EQ(ReadThroughAnsiPath(SourcePath(written, 0)), name);
        }
    }
    EXPECT_EQ(refused.size(), 1u);
}

}  // namespace
}  // namespace quorvel::test

#endif
