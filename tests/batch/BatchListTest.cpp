#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "batch/BatchList.h"
#include "batch/FileAccess.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvel::test {
namespace {

class BatchListFile : public testing::Test {
protected:
    BatchJob Job(std::vector<std::string> names) {
        BatchJob job = SampleJob();
        job.BatchFile = list_;
        job.SourceNames = std::move(names);
        return job;
    }

    // What a request writes to a stream, or the failure message.
    static std::string Streamed(const BatchJob& job, const AdvancedOptions& options) {
        std::FILE* stream = std::tmpfile();
        EXPECT_NE(stream, nullptr);
        if (stream == nullptr) return "no stream";
        const Status status = WriteBatchListToStream(stream, job, options, Western());
        std::string bytes;
        std::rewind(stream);
        char piece[4096];
        for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, stream)) > 0;) bytes.append(piece, got);
        std::fclose(stream);
        return status.IsOk() ? bytes
                             : "failed: " + status.Message() + " after " + std::to_string(bytes.size()) + " bytes";
    }

    TempFolder folder_;
    std::string list_ = folder_.File("list.tbe");
};

TEST_F(BatchListFile, TwoJobsWithTheBuiltInBlockAreByteExact) {
    const BatchJob job = Job({"clip01.avi", "Bob's clip.avi"});
    ASSERT_TRUE(WriteBatchList(job, AdvancedOptions(), Western()).IsOk());
    const std::string expected = ExpectedList("two_jobs_builtin.tbe");
    EXPECT_EQ(ReadBytes(list_), expected);
    EXPECT_EQ(CrLfLines(expected).size(), 2u + 2 * 198 + 2);
    EXPECT_EQ(Streamed(job, AdvancedOptions()), expected);
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"list.tbe"});
}

TEST_F(BatchListFile, TemplateAndOptionsAreByteExact) {
    const std::string templatePath = folder_.File("svcd.mcf");
    WriteBytes(templatePath,
               "object TMPGEncTemplate\r\n  MPEG.Video.Width = 480\r\n  mpeg.Audio.BitRate = 224000  \n\r\n"
               "Job.MPEG.Video.Height = 576\rEndTime = 0\r\nend");
    BatchJob job = Job({"a.avi"});
    job.SourceDirectory = "C:\\";
    job.OutputDirectory = "E:\\Enc";
    job.TemplateFile = templatePath;
    AdvancedOptions options;
    options.VideoSourceType = "Interlace";
    options.AspectRatio = "16:9 Display";
    options.TopClipping = "8";
    options.BottomClipping = "0";
    options.Deinterlace = 1;
    options.NoiseReduction = 1;
    ASSERT_TRUE(WriteBatchList(job, options, Western()).IsOk());
    EXPECT_EQ(ReadBytes(list_), ExpectedList("template_options.tbe"));
}

TEST_F(BatchListFile, NoSourcesGiveTheFourEnvelopeLines) {
    BatchJob job = Job({});
    // Neither the template nor the clipping texts are read for a list without jobs.
    job.TemplateFile = folder_.File("missing.mcf");
    AdvancedOptions options;
    options.TopClipping = "x";
    ASSERT_TRUE(WriteBatchList(job, options, Western()).IsOk());
    const std::string expected = ExpectedList("empty.tbe");
    EXPECT_EQ(ReadBytes(list_), expected);
    EXPECT_EQ(CrLfLines(expected).size(), 4u);
}

TEST_F(BatchListFile, ReplacesALongerListCompletely) {
    WriteBytes(list_, "object TTMPGEncBatchEncodeList\r\n" + std::string(100000, 'z'));
    ASSERT_TRUE(WriteBatchList(Job({}), AdvancedOptions(), Western()).IsOk());
    EXPECT_EQ(ReadBytes(list_), ExpectedList("empty.tbe"));
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"list.tbe"});
}

TEST_F(BatchListFile, AListHeldOpenByAReaderIsReplacedOrKept) {
    WriteBytes(list_, "object TTMPGEncBatchEncodeList\r\n");
    // The C library's reader does not share deletion: Windows may refuse the move then.
    std::ifstream reader(PathOf(list_), std::ios::binary);
    ASSERT_TRUE(reader.is_open());
    const Status status = WriteBatchList(Job({}), AdvancedOptions(), Western());
    reader.close();
    if (status.IsOk()) {
        EXPECT_EQ(ReadBytes(list_), ExpectedList("empty.tbe"));
    } else {
        EXPECT_EQ(status.Message(),
                  "Cannot replace the batch file " + list_ + ": the file is in use by another program");
        EXPECT_EQ(ReadBytes(list_), "object TTMPGEncBatchEncodeList\r\n");
    }
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"list.tbe"});
}

// Marks what it converts, so the test sees which texts reach the list through the code page.
class MarkingCodePage final : public CodePage {
public:
    unsigned Number() const override { return 1; }
    bool Encode(std::string_view utf8, std::string& bytes) const override {
        bytes = "<" + std::string(utf8) + ">";
        return true;
    }
    bool Decode(std::string_view bytes, std::string& utf8) const override {
        utf8 = bytes;
        return true;
    }
};

TEST_F(BatchListFile, ThePathsGoThroughTheCodePageWhole) {
    AdvancedOptions options;
    options.TopClipping = "4";
    options.BottomClipping = "2";
    ASSERT_TRUE(WriteBatchList(Job({"a.avi"}), options, MarkingCodePage()).IsOk());
    const std::string bytes = ReadBytes(list_);
    EXPECT_NE(bytes.find("Video.SourceFileName = '<C:\\Video\\a.avi>'  \r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Audio.SourceFileName = '<C:\\Video\\a.avi>'  \r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Job.OutputFileName = '<D:\\Out\\a.mpg>' \r\n"), std::string::npos);
    // Clipping texts read as numbers are ASCII, the same in every code page.
    EXPECT_NE(bytes.find("Video.Clipping.Top =4\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Video.Clipping.Bottom =2\r\n"), std::string::npos);
}

struct RefusedCase {
    const char* What;
    std::function<void(BatchJob&, AdvancedOptions&, TempFolder&)> Arrange;
    std::function<std::string(const BatchJob&)> Message;
};

TEST_F(BatchListFile, RefusalsLeaveTheOldListAndNoTemporaryFile) {
    const RefusedCase cases[] = {
        {"missing template",
         [](BatchJob& job, AdvancedOptions&, TempFolder& folder) { job.TemplateFile = folder.File("none.mcf"); },
         [](const BatchJob& job) { return "Cannot read the template file " + job.TemplateFile + ": file not found"; }},
        {"empty template",
         [](BatchJob& job, AdvancedOptions&, TempFolder& folder) {
             job.TemplateFile = folder.File("empty.mcf");
             WriteBytes(job.TemplateFile, "");
         },
         [](const BatchJob& job) { return "The template file " + job.TemplateFile + " is empty"; }},
        {"binary template",
         [](BatchJob& job, AdvancedOptions&, TempFolder& folder) {
             job.TemplateFile = folder.File("picture.mcf");
             WriteBytes(job.TemplateFile, std::string("MPEG.a = 1\r\n\0\x89PNG", 17));
         },
         [](const BatchJob& job) {
             return "The template file " + job.TemplateFile +
                    " is not a text template: it holds NUL bytes, as a program or picture does";
         }},
        {"clipping",
         [](BatchJob&, AdvancedOptions& options, TempFolder&) {
             options.TopClipping = "1.2";
             options.BottomClipping = ".3";
         },
         [](const BatchJob&) {
             return std::string("The top clipping \"1.2\" and the bottom clipping \".3\" do not read as a number");
         }},
        {"same output",
         [](BatchJob& job, AdvancedOptions&, TempFolder&) {
             job.SourceNames = {"a.avi", "b.avi", "A.mov"};
         },
         [](const BatchJob&) {
             return std::string("Two sources would be encoded to the same file D:\\Out\\A.mpg: a.avi and A.mov");
         }},
        {"read-only list",
         [](BatchJob& job, AdvancedOptions&, TempFolder&) {
             std::filesystem::permissions(PathOf(job.BatchFile),
                                          std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                              std::filesystem::perms::others_write,
                                          std::filesystem::perm_options::remove);
         },
         [](const BatchJob& job) {
             return "Cannot create the batch file " + job.BatchFile + ": the file is read-only";
         }},
    };
    for (const RefusedCase& c : cases) {
        TempFolder folder;
        BatchJob job = Job({"a.avi", "b.avi"});
        job.BatchFile = folder.File("list.tbe");
        WriteBytes(job.BatchFile, "object TTMPGEncBatchEncodeList\r\n");
        AdvancedOptions options;
        c.Arrange(job, options, folder);
        const std::vector<std::string> before = folder.Names();
        const Status status = WriteBatchList(job, options, Western());
        ASSERT_FALSE(status.IsOk()) << c.What;
        EXPECT_EQ(status.Message(), c.Message(job)) << c.What;
        EXPECT_EQ(ReadBytes(job.BatchFile), "object TTMPGEncBatchEncodeList\r\n") << c.What;
        EXPECT_EQ(folder.Names(), before) << c.What;
        if (std::string(c.What) != "read-only list") {
            EXPECT_EQ(Streamed(job, options), "failed: " + c.Message(job) + " after 0 bytes") << c.What;
        }
    }
}

TEST_F(BatchListFile, UnusableTargetsAreNamedInTheMessage) {
    const std::string missingFolder = Utf8(folder_.Path() / "missing" / "list.tbe");
    BatchJob job = Job({"a.avi"});
    job.BatchFile = missingFolder;
    EXPECT_EQ(WriteBatchList(job, AdvancedOptions()).Message(),
              "Cannot create the batch file " + missingFolder + ": folder not found");
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "missing"));

    job.BatchFile = Utf8(folder_.Path());
    EXPECT_EQ(WriteBatchList(job, AdvancedOptions()).Message(),
              "Cannot create the batch file " + job.BatchFile + ": it is a folder");

    job.BatchFile = "";
    EXPECT_EQ(WriteBatchList(job, AdvancedOptions()).Message(), "Cannot create the batch file: no path is given");
    EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(BatchListFile, AnUncommittedFileLeavesNothingBehind) {
    WriteBytes(list_, "object TTMPGEncBatchEncodeList\r\n");
    {
        std::unique_ptr<AtomicFile> file;
        ASSERT_TRUE(CreateAtomicFile(list_, file).IsOk());
        ASSERT_TRUE(file->Write("half a list").IsOk());
#ifdef __linux__
        EXPECT_EQ(folder_.Names().size(), 1u);  // no name before the commit
#else
        EXPECT_EQ(folder_.Names().size(), 2u);
#endif
    }
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"list.tbe"});
    EXPECT_EQ(ReadBytes(list_), "object TTMPGEncBatchEncodeList\r\n");
}

// Another program saves at the list's path while the list is written (Refusal nullptr: the new
// list takes the place).
TEST_F(BatchListFile, AFileThatAppearedOrIsNoLongerAListIsKept) {
    struct Case {
        const char *Before, *During, *Refusal;
    };
    const char* old = "object TTMPGEncBatchEncodeList\r\n";
    for (const Case& c : {Case{nullptr, "notes", "appeared while the list was written, so it is left as it is"},
                          Case{old, "notes", "exists and is not a batch list, so it is left as it is"},
                          Case{old, old, nullptr}}) {
        std::filesystem::remove(list_);
        if (c.Before != nullptr) WriteBytes(list_, c.Before);
        std::unique_ptr<AtomicFile> file;
        ASSERT_TRUE(CreateAtomicFile(list_, file).IsOk());
        ASSERT_TRUE(file->Write("new list").IsOk());
        WriteBytes(list_, c.During);
        const std::string refusal = file->Commit().Message();
        file.reset();
        EXPECT_TRUE(c.Refusal ? refusal.find(c.Refusal) != std::string::npos : refusal.empty()) << refusal;
        EXPECT_EQ(ReadBytes(list_), c.Refusal ? c.During : "new list");
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{"list.tbe"});
    }
}

#ifdef __GLIBC__
// A stream that rewrites the template the first time list bytes reach it, that is while the
// run is under way with jobs still to write.
struct TemplateChanger {
    std::string TemplatePath;
    std::string NewContent;
    std::string Bytes;
    bool Changed = false;

    static ssize_t Write(void* cookie, const char* data, std::size_t size) {
        auto* self = static_cast<TemplateChanger*>(cookie);
        if (!self->Changed) {
            WriteBytes(self->TemplatePath, self->NewContent);
            self->Changed = true;
        }
        self->Bytes.append(data, size);
        return static_cast<ssize_t>(size);
    }
};

TEST_F(BatchListFile, TheTemplateIsReadOncePerRun) {
    const std::string templatePath = folder_.File("t.mcf");
    WriteBytes(templatePath, "object T\r\nMPEG.Video.Width = 480\r\nend\r\n");
    BatchJob job = Job({});
    job.TemplateFile = templatePath;
    // Enough jobs that the list reaches the stream several times before the run ends.
    for (int i = 0; i < 1000; ++i) job.SourceNames.push_back("clip" + std::to_string(i) + ".avi");

    TemplateChanger changer;
    changer.TemplatePath = templatePath;
    changer.NewContent = "MPEG.Video.Width = 720\r\n";
    std::FILE* stream = fopencookie(&changer, "w", {nullptr, &TemplateChanger::Write, nullptr, nullptr});
    ASSERT_NE(stream, nullptr);
    const Status status = WriteBatchListToStream(stream, job, AdvancedOptions(), Western());
    std::fclose(stream);
    ASSERT_TRUE(status.IsOk()) << status.Message();
    ASSERT_TRUE(changer.Changed);
    const auto count = [](const std::string& bytes, const std::string& line) {
        std::size_t n = 0;
        for (std::size_t at = bytes.find(line); at != std::string::npos; at = bytes.find(line, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(changer.Bytes, "\r\nJOB.MPEG.Video.Width = 480\r\n"), 1000u);
    EXPECT_EQ(count(changer.Bytes, "Width = 720"), 0u);

    // The next run reads the template as it is now.
    const std::string next = Streamed(job, AdvancedOptions());
    EXPECT_EQ(count(next, "\r\nJOB.MPEG.Video.Width = 720\r\n"), 1000u);
    EXPECT_EQ(count(next, "Width = 480"), 0u);
}
#endif

#ifndef _WIN32
TEST_F(BatchListFile, AFullDiskFailsTheStream) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    const Status status = WriteBatchListToStream(full, Job({"a.avi"}), AdvancedOptions(), Western());
    std::fclose(full);
    EXPECT_EQ(status.Message(), "Cannot write the batch list: the disk is full");
}

// Links stay links, and the list of the longest name one may name keeps its owner and mode. Of
// the temporary files in the list's folder, only those of a writer gone a while are swept.
TEST_F(BatchListFile, ThroughLinksTheListStaysItsUsersAndOnlyStaleTemporaryFilesGo) {
    const std::string longest(255, 'n');
    WriteBytes(list_, "object TTMPGEncBatchEncodeList\r\n");
    ASSERT_EQ(::chmod(list_.c_str(), 0640), 0);
    const bool superUser = ::geteuid() == 0;
    ASSERT_TRUE(!superUser || ::chown(list_.c_str(), 4321, 4322) == 0);
    std::filesystem::create_directory(folder_.Path() / "links");
    std::filesystem::create_symlink("../list.tbe", folder_.Path() / "links" / "link.tbe");
    std::filesystem::create_symlink("../" + longest, folder_.Path() / "links" / "dangling.tbe");
    // No process has the id 7ffffffe; process 1 always runs.
    for (const char* name :
         {".qv7ffffffe-0001.tmp", ".qv00000001-0001.tmp", ".qv7ffffffe-0002.tmp", ".qvnotours.tmp"}) {
        WriteBytes(folder_.File(name), "x");
        const auto age = std::chrono::hours(std::string(name) == ".qv7ffffffe-0002.tmp" ? 0 : 1);
        std::filesystem::last_write_time(folder_.Path() / name, std::filesystem::file_time_type::clock::now() - age);
    }
    BatchJob job = SampleJob();
    for (const char* link : {"links/link.tbe", "links/dangling.tbe"}) {
        job.BatchFile = folder_.File(link);
        EXPECT_EQ(WriteBatchList(job, AdvancedOptions(), Western()).Message(), "");
        EXPECT_TRUE(std::filesystem::is_symlink(job.BatchFile)) << link;
    }
    EXPECT_EQ(ReadBytes(list_), ExpectedList("empty.tbe"));
    EXPECT_EQ(ReadBytes(folder_.File(longest)), ExpectedList("empty.tbe"));
    EXPECT_EQ(folder_.Names(),
              (std::vector<std::string>{
                  ".qv00000001-0001.tmp", ".qv7ffffffe-0002.tmp", ".qvnotours.tmp", "links", "list.tbe", longest}));
    struct stat state;
    ASSERT_EQ(::stat(list_.c_str(), &state), 0);
    EXPECT_EQ(state.st_mode & 07777, 0640u);
    if (!superUser) GTEST_SKIP() << "only the super-user can give a list back to its owner";
    EXPECT_EQ(state.st_uid, 4321u);
    EXPECT_EQ(state.st_gid, 4322u);
}
#endif

TEST(OutputConflicts, AreFoundWithoutRegardToLetterCase) {
    BatchJob job = SampleJob();
    job.SourceNames = {"a.avi", "a.b.avi", ".avi", "b.avi"};
    EXPECT_TRUE(CheckOutputConflicts(job).IsOk());

    job.SourceNames = {"\xC3\x89t\xC3\xA9.avi", "x.avi", "\xC3\xA9T\xC3\x89.mov"};
    EXPECT_EQ(CheckOutputConflicts(job).Message(),
              "Two sources would be encoded to the same file D:\\Out\\\xC3\xA9T\xC3\x89.mpg: \xC3\x89t\xC3\xA9.avi and "
              "\xC3\xA9T\xC3\x89.mov");

    job.SourceDirectory = "C:\\v";
    job.OutputDirectory = "c:\\V\\";
    job.SourceNames = {"a.avi", "x.MPG"};
    EXPECT_EQ(CheckOutputConflicts(job).Message(), "The output file c:\\V\\x.mpg would overwrite its own source");

    // Output folder given without its backslash, source folder at a root.
    job.SourceDirectory = "C:\\";
    job.OutputDirectory = "C:";
    job.SourceNames = {"x.mpg"};
    EXPECT_FALSE(CheckOutputConflicts(job).IsOk());
}

// Capital and small letter of one name, as Windows folds them, in several scripts.
TEST(OutputConflicts, FoldLetterCaseInEveryScript) {
    const std::pair<const char*, const char*> pairs[] = {
        {"\xD0\xAF", "\xD1\x8F"},                  // Я я
        {"\xCE\xA3\xCE\x91", "\xCF\x83\xCE\xB1"},  // ΣΑ σα
        {"\xEF\xBC\xA1", "\xEF\xBD\x81"},          // full-width A a
        {"\xC5\x92", "\xC5\x93"},                  // Œ œ
        {"\xC5\x81", "\xC5\x82"},                  // Ł ł
        {"\xC3\x84", "\xC3\xA4"},                  // Ä ä
    };
    for (const auto& [upper, lower] : pairs) {
        SCOPED_TRACE(upper);
        BatchJob job = SampleJob();
        job.SourceNames = {std::string(upper) + ".avi", std::string(lower) + ".mov"};
        EXPECT_EQ(CheckOutputConflicts(job).Message(),
                  "Two sources would be encoded to the same file D:\\Out\\" + std::string(lower) + ".mpg: " + upper +
                      ".avi and " + lower + ".mov");
        job.SourceDirectory = std::string("D:\\") + upper;
        job.OutputDirectory = std::string("D:\\") + lower + "\\";
        job.SourceNames = {"x.mpg"};
        EXPECT_FALSE(CheckOutputConflicts(job).IsOk());
    }
    // Letters that only look alike stay apart.
    BatchJob job = SampleJob();
    job.SourceNames = {"\xD0\x90.avi", "A.avi"};  // Cyrillic А, Latin A
    EXPECT_TRUE(CheckOutputConflicts(job).IsOk());
}

// The list may replace an earlier list or an empty file, never a file of the request or another file.
TEST(ListTarget, NeverAFileOfTheRequestNorAnotherFile) {
    struct Case {
        const char* What;
        std::string Existing;  // the bytes at the list's path; "-" when there is no file
        std::function<void(BatchJob&, const std::string& folder)> Arrange;
        const char* Refusal;  // the start of the message after "The batch file <path> "; empty: accepted
    };
    const Case cases[] = {
        {"new file", "-", nullptr, ""},
        {"empty file", "", nullptr, ""},
        {"earlier list after blank lines", "\r\n  \r\n   object TTMPGEncBatchEncodeList  \r\n", nullptr, ""},
        {"notes", "hello\r\n", nullptr, "exists and is not a batch list"},
        {"a list's name in other letters", "OBJECT TTMPGENCBATCHENCODELIST\r\n", nullptr, "exists and is not"},
        {"a source, in other letters",
         "-",
         [](BatchJob& job, const std::string& folder) {
             job.SourceDirectory = folder;
             job.SourceNames = {"A.avi", "LIST.TBE"};
         },
         "is the source LIST.TBE"},
        {"the template",
         "-",
         [](BatchJob& job, const std::string&) { job.TemplateFile = job.BatchFile; },
         "is the template file"},
        {"an output of the list",
         "-",
         [](BatchJob& job, const std::string& folder) {
             job.BatchFile = folder + "/b.mpg";
             job.OutputDirectory = folder + "/";
         },
         "is the output file of the source b.avi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TempFolder folder;
        BatchJob job = SampleJob();
        job.SourceNames = {"a.avi", "b.avi"};
        job.BatchFile = folder.File("list.tbe");
        if (c.Existing != "-") WriteBytes(job.BatchFile, c.Existing);
        if (c.Arrange) c.Arrange(job, Utf8(folder.Path()));
        const Status status = WriteBatchList(job, AdvancedOptions(), Western());
        if (*c.Refusal == '\0') {
            EXPECT_TRUE(status.IsOk()) << status.Message();
            continue;
        }
        EXPECT_EQ(status.Message().rfind("The batch file " + job.BatchFile + " " + c.Refusal, 0), 0u)
            << status.Message();
        EXPECT_EQ(KindOfPath(job.BatchFile) == PathKind::File, c.Existing != "-");
        if (c.Existing != "-") {
            EXPECT_EQ(ReadBytes(job.BatchFile), c.Existing);
        }
    }
}

TEST(OutputConflicts, TakeListsBeyondTheOldListLimit) {
    BatchJob job = SampleJob();
    for (int i = 0; i < 40000; ++i) job.SourceNames.push_back("clip" + std::to_string(i) + ".avi");
    EXPECT_TRUE(CheckOutputConflicts(job).IsOk());
    job.SourceNames.push_back("clip39999.mov");
    EXPECT_EQ(CheckOutputConflicts(job).Message(),
              "Two sources would be encoded to the same file D:\\Out\\clip39999.mpg: clip39999.avi and clip39999.mov");
}

}  // namespace
}  // namespace quorvel::test
