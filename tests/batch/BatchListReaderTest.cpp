#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "batch/BatchList.h"
#include "batch/BatchListReader.h"
#include "batch/JobProgress.h"

namespace quorvel::test {
namespace {

// A list as quorvel writes it, in a string.
std::string Written(const BatchJob& job, const AdvancedOptions& options = AdvancedOptions()) {
    std::FILE* stream = std::tmpfile();
    EXPECT_NE(stream, nullptr);
    const Status status = WriteBatchListToStream(stream, job, options, Western());
    EXPECT_TRUE(status.IsOk()) << status.Message();
    std::string bytes;
    std::rewind(stream);
    char piece[4096];
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, stream)) > 0;) bytes.append(piece, got);
    std::fclose(stream);
    return bytes;
}

Status Read(std::string_view bytes, BatchListContents& contents) {
    return ReadBatchList(bytes, "old.tbe", Western(), contents);
}

std::string ReadFailure(std::string_view bytes) {
    BatchListContents contents;
    const Status status = Read(bytes, contents);
    return status.IsOk() ? "read " + std::to_string(contents.Jobs.size()) + " jobs" : status.Message();
}

// The bytes CopyJobs writes for the marked jobs of a list.
std::string Copied(const std::string& bytes, const BatchListContents& contents, const std::vector<bool>& keep) {
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    StringSink sink;
    const Status status = CopyJobs(file, contents, keep, sink);
    std::fclose(file);
    EXPECT_TRUE(status.IsOk()) << status.Message();
    return sink.Bytes;
}

TEST(BatchListReader, FindsEachJobOfAWrittenListWithItsPaths) {
    BatchJob job = SampleJob();
    job.SourceNames = {"clip01.avi", "Bob's 'best'.avi", "Caf\xC3\xA9.mov"};
    job.SourceDirectories = {"C:\\Video", "E:\\It's", "C:\\"};
    const std::string bytes = Written(job);

    BatchListContents contents;
    ASSERT_TRUE(Read(bytes, contents).IsOk());
    ASSERT_EQ(contents.Jobs.size(), 3u);
    EXPECT_EQ(contents.Size, bytes.size());
    EXPECT_EQ(contents.Jobs[1].SourceFiles, std::vector<std::string>{"E:\\It's\\Bob's 'best'.avi"});
    EXPECT_EQ(contents.Jobs[1].OutputFile, "D:\\Out\\Bob's 'best'.mpg");
    EXPECT_EQ(contents.Jobs[2].SourceFiles, std::vector<std::string>{"C:\\Caf\xC3\xA9.mov"});
    EXPECT_EQ(contents.Jobs[2].OutputFile, "D:\\Out\\Caf\xC3\xA9.mpg");

    // Each job is exactly the bytes the job writer gave it, from its "item" line on.
    EXPECT_EQ(contents.JobsBegin, contents.Jobs[0].Begin);
    EXPECT_EQ(contents.Jobs[0].Line, 3u);
    EXPECT_EQ(contents.Jobs[1].Line, 3u + 198);
    EXPECT_EQ(bytes.substr(contents.Jobs[0].Begin, contents.Jobs[0].End - contents.Jobs[0].Begin),
              OneJob("clip01.avi", job, AdvancedOptions()));
    EXPECT_EQ(contents.Jobs[2].End, contents.JobsEnd);

    // Pieces of any size give the same result, also with a CR LF split between two of them.
    for (std::size_t size : {1u, 2u, 7u, 4096u}) {
        BatchListReader reader(Western());
        for (std::size_t at = 0; at < bytes.size(); at += size) {
            ASSERT_TRUE(reader.Feed(std::string_view(bytes).substr(at, size)).IsOk());
        }
        BatchListContents pieces;
        ASSERT_TRUE(reader.Finish(pieces).IsOk());
        ASSERT_EQ(pieces.Jobs.size(), 3u) << size;
        EXPECT_EQ(pieces.Jobs[2].Begin, contents.Jobs[2].Begin) << size;
        EXPECT_EQ(pieces.Jobs[2].End, contents.Jobs[2].End) << size;
        EXPECT_EQ(pieces.Jobs[1].OutputFile, contents.Jobs[1].OutputFile) << size;
    }
}

TEST(BatchListReader, CopiesTheMarkedJobsBetweenTheListsOwnEnvelope) {
    BatchJob job = SampleJob();
    job.SourceNames = {"a.avi", "b.avi", "c.avi"};
    const std::string bytes = Written(job);
    BatchListContents contents;
    ASSERT_TRUE(Read(bytes, contents).IsOk());

    EXPECT_EQ(Copied(bytes, contents, {true, true, true}), bytes);
    EXPECT_EQ(Copied(bytes, contents, {false, false, false}), ExpectedList("empty.tbe"));
    job.SourceNames = {"a.avi", "c.avi"};
    EXPECT_EQ(Copied(bytes, contents, {true, false, true}), Written(job));
    const std::string blankFirst = "\n\n\n" + bytes;  // blank lines before the opening are the list's own
    ASSERT_TRUE(Read(blankFirst, contents).IsOk());
    EXPECT_EQ(Copied(blankFirst, contents, {true, false, true}), "\n\n\n" + Written(job));

    // A list of jobs only, read back, is the same list again.
    BatchListContents none;
    ASSERT_TRUE(Read(ExpectedList("empty.tbe"), none).IsOk());
    EXPECT_TRUE(none.Jobs.empty());
}

TEST(BatchListReader, TemplateLinesAndOtherFormsAreNotTakenForStructure) {
    // Template settings start in the first column: "item", a path property or "> " there are
    // settings, not structure. Lines may end with LF alone; names in any letter case.
    const std::string list =
        "OBJECT TTMPGEncBatchEncodeList\n"
        "  list = <\n"
        "    ITEM\n"
        "item\n"
        "Video.SourceFileName = 'X:\\not-this.avi'\n"
        "JOB.MPEG.Video.QuantizeMatrix_Intra = {\n"
        "    Job.SourceList = <\n"
        "      item\n"
        "        video.sourcefilename = 'C:\\a'#39's.avi'\n"
        "        Audio.SourceFileName = 'C:\\a''s.wav'\n"
        "      end\n"
        "      item\n"
        "        Video.SourceFileName = 'C:\\'#233't'#233'.avi'\n"
        "      end>\n"
        "    Job.OutputConfig_AVI.OutputFileName = 'X:\\neither.avi'\n"
        "    job.outputfilename = 'D:\\a'#39's.mpg'\n"
        "    end\n"
        "  >\n"
        "end\n"
        "\n";
    BatchListContents contents;
    const Status status = Read(list, contents);
    ASSERT_TRUE(status.IsOk()) << status.Message();
    ASSERT_EQ(contents.Jobs.size(), 1u);
    EXPECT_EQ(contents.Jobs[0].SourceFiles,
              (std::vector<std::string>{"C:\\a's.avi", "C:\\a's.wav", "C:\\\xC3\xA9t\xC3\xA9.avi"}));
    EXPECT_EQ(contents.Jobs[0].OutputFile, "D:\\a's.mpg");
    EXPECT_EQ(contents.Jobs[0].Line, 3u);
    EXPECT_EQ(list.substr(contents.Jobs[0].End, 4), "  >\n");
}

TEST(BatchListReader, RefusesWhatIsNotABatchListNamingTheLine) {
    const std::string good = Written([] {
        BatchJob job = SampleJob();
        job.SourceNames = {"a.avi", "b.avi"};
        return job;
    }());
    const std::size_t secondJob = good.find("\r\n       item    \r\n", 100) + 2;
    std::size_t fifthLineOfSecondJob = secondJob;
    for (int i = 0; i < 5; ++i) fifthLineOfSecondJob = good.find("\r\n", fifthLineOfSecondJob) + 2;
    const struct {
        std::string Bytes;
        std::string Message;
    } cases[] = {
        {"", "old.tbe is not a batch list: it is empty"},
        {"\r\n  \r\n", "old.tbe is not a batch list: it is empty"},
        {"\x7F"
         "ELF\x02\x01\x01\0\0\0",
         "old.tbe is not a batch list: line 1 does not begin one (\"object "
         "TTMPGEncBatchEncodeList\")"},
        {"object TOther\r\n",
         "old.tbe is not a batch list: line 1 does not begin one (\"object "
         "TTMPGEncBatchEncodeList\")"},
        {"object TTMPGEncBatchEncodeList\r\n\r\n  Items = <\r\n",
         "old.tbe is not a batch list: line 3 is not the opening of its jobs (\"List = <\")"},
        {"object TTMPGEncBatchEncodeList\r\n  List = <\r\n  thing\r\n",
         "old.tbe is not a batch list: line 3 is neither a job's \"item\" nor the list's closing \">\""},
        {good.substr(0, secondJob + 5000),
         "old.tbe is not a batch list: it ends at line 292 inside the job that begins on line 201"},
        {good.substr(0, secondJob), "old.tbe is not a batch list: it ends at line 200 before its closing lines"},
        {good.substr(0, fifthLineOfSecondJob) + "       item    \r\n" + good.substr(fifthLineOfSecondJob),
         "old.tbe is not a batch list: line 206 begins a job inside the job that begins on line 201"},
        {good + "  extra\r\n", "old.tbe is not a batch list: line 401 follows the end of the list"},
        {"object TTMPGEncBatchEncodeList\n List = <\n item\n  Job.OutputFileName = 'D:\\a.mpg\n",
         "old.tbe is not a batch list: line 4 holds a path that cannot be read"},
        {"object TTMPGEncBatchEncodeList\n List = <\n item\n  Job.SourceList = <\n  item\n  end>\n >\n",
         "old.tbe is not a batch list: line 7 closes the list inside the job that begins on line 3"},
        {"object TTMPGEncBatchEncodeList\n List = <>\n >\n",
         "old.tbe is not a batch list: line 3 is not the list's closing \"End\""},
        {"\n\n" + std::string(kLongestListLine, '\0'),
         "old.tbe is not a batch list: line 3 is longer than 1024 KiB, more than any line of a batch list"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadFailure(c.Bytes), c.Message) << c.Bytes.substr(0, 200);
    }
    EXPECT_EQ(ReadFailure(good), "read 2 jobs");
    EXPECT_EQ(ReadFailure("object TTMPGEncBatchEncodeList\n List = <>\nEnd"), "read 0 jobs");
}

TEST(QuotedValue, UndoesTheQuoteFormsAndDecodesTheCodePage) {
    const auto decoded = [](std::string_view value) {
        std::string text;
        return DecodeQuotedValue(value, Western(), text) ? text : "<refused>";
    };
    EXPECT_EQ(decoded("'C:\\Bob'#39's clip.avi'  "), "C:\\Bob's clip.avi");
    EXPECT_EQ(decoded("'it''s'"), "it's");
    EXPECT_EQ(decoded("''"), "");
    EXPECT_EQ(decoded("#39"), "'");
    EXPECT_EQ(decoded("'Caf\xE9 \x80'"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(decoded("'a'#233'b'"),
              "a\xC3\xA9"
              "b");
    EXPECT_EQ(decoded("'a'#8364"), "a\xE2\x82\xAC");
    for (std::string_view bad : {"", "'open", "C:\\bare", "'a' + 'b'", "#", "#99999999", "'a'x", "'a' 'b'"}) {
        EXPECT_EQ(decoded(bad), "<refused>") << bad;
    }
}

TEST(Windows1252, EveryByteDecodesAndEncodesBack) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        std::string text;
        std::string back;
        ASSERT_TRUE(Western().Decode(one, text)) << byte;
        EXPECT_TRUE(Western().Encode(text, back)) << byte;
        EXPECT_EQ(back, one) << byte;
    }
    std::string decoded;
    ASSERT_TRUE(Western().Decode("\x80\x9F\xE9", decoded));
    EXPECT_EQ(decoded, "\xE2\x82\xAC\xC5\xB8\xC3\xA9");
}

TEST(JobProgress, TellsFinishedOutputsFromUnfinishedOnes) {
    TempFolder folder;
    const std::string source = folder.File("clip.avi");
    WriteBytes(source, "video");
    const auto state = [&](std::string_view bytes) {
        const std::string output = folder.File("clip.mpg");
        WriteBytes(output, bytes);
        return CheckOutput(output, {source, folder.File("missing.avi")}).State;
    };
    EXPECT_EQ(state(std::string("\x00\x00\x01\xBA...\x00\x00\x01\xB9", 11)), OutputState::Complete);
    EXPECT_EQ(state(std::string("\x00\x00\x01\xB7", 4)), OutputState::Complete);
    EXPECT_EQ(state(""), OutputState::Empty);
    EXPECT_EQ(state(std::string("\x00\x00\x01\xBA\x44\x00\x00\x01", 8)), OutputState::NoEndCode);
    EXPECT_EQ(state(std::string("\x01\xB9", 2)), OutputState::NoEndCode);
    EXPECT_EQ(CheckOutput(folder.File("none.mpg"), {source}).State, OutputState::Missing);
    EXPECT_EQ(CheckOutput(Utf8(folder.Path()), {source}).State, OutputState::Unreadable);

    const std::string output = folder.File("clip.mpg");
    WriteBytes(output, std::string("\x00\x00\x01\xB9", 4));
    const auto now = std::filesystem::last_write_time(PathOf(output));
    std::filesystem::last_write_time(PathOf(source), now + std::chrono::seconds(60));
    EXPECT_EQ(CheckOutput(output, {source}).State, OutputState::OlderThanSource);
    std::filesystem::last_write_time(PathOf(source), now);
    EXPECT_EQ(CheckOutput(output, {source}).State, OutputState::Complete);
}

}  // namespace
}  // namespace quorvel::test
