#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "batch/TemplateImport.h"

namespace quorvel::test {
namespace {

std::string Filtered(std::string_view line) {
    std::string written = "stale";
    return FilterTemplateLine(line, written) ? "[" + written + "]" : "dropped";
}

TEST(TemplateFilter, TrimsBlanksDropsObjectLinesAndPrefixesMpeg) {
    EXPECT_EQ(Filtered("  MPEG.Video.Width = 480  "), "[JOB.MPEG.Video.Width = 480]");
    EXPECT_EQ(Filtered("mpeg.Audio.BitRate = 224000"), "[JOB.mpeg.Audio.BitRate = 224000]");
    EXPECT_EQ(Filtered("Job.MPEG.Video.Width = 480"), "[Job.MPEG.Video.Width = 480]");
    EXPECT_EQ(Filtered("MPEG"), "[JOB.MPEG]");
    EXPECT_EQ(Filtered(""), "[]");
    EXPECT_EQ(Filtered("    "), "[]");
    // Only blanks are trimmed, and the tests look at the first characters after them.
    EXPECT_EQ(Filtered("\tMPEG.x = 1\t"), "[\tMPEG.x = 1\t]");
    EXPECT_EQ(Filtered("  \xE9t\xE9 "), "[\xE9t\xE9]");
    for (const char* line :
         {"object TMPGEncTemplate", "  OBJECT", "ObjectName = 1", "end", "  End  ", "EndTime = 0", "endx"}) {
        EXPECT_EQ(Filtered(line), "dropped") << line;
    }
    // A line shorter than a word cannot match it.
    for (const char* line : {"OBJEC", "EN", "MPE"}) EXPECT_EQ(Filtered(line), std::string("[") + line + "]");
}

std::vector<std::string> SplitWhole(std::string_view bytes) {
    std::vector<std::string> lines;
    TemplateLineSplitter splitter;
    const auto add = [&](std::string_view line) { lines.emplace_back(line); };
    splitter.Feed(bytes, add);
    splitter.Finish(add);
    return lines;
}

// Every way of cutting the bytes into two pieces must give the same lines.
void ExpectSplit(std::string_view bytes, const std::vector<std::string>& expected) {
    EXPECT_EQ(SplitWhole(bytes), expected) << "whole";
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        std::vector<std::string> lines;
        TemplateLineSplitter splitter;
        const auto add = [&](std::string_view line) { lines.emplace_back(line); };
        splitter.Feed(bytes.substr(0, cut), add);
        splitter.Feed(bytes.substr(cut), add);
        splitter.Finish(add);
        EXPECT_EQ(lines, expected) << "cut at " << cut;
    }
}

TEST(TemplateLines, EachLineEndEndsOneLine) {
    ExpectSplit("a\r\nb\nc\rd", {"a", "b", "c", "d"});
    ExpectSplit("a\r\n", {"a"});
    ExpectSplit("a", {"a"});
    ExpectSplit("\r\n", {""});
    ExpectSplit("a\r\r\nb\n\n", {"a", "", "b", ""});
    ExpectSplit("a\n\rb\r", {"a", "", "b"});
    ExpectSplit("", {});
}

class TemplateFile : public testing::Test {
protected:
    std::string Copy(std::string_view content) {
        WriteBytes(path_, content);
        return CopyFrom(path_);
    }
    std::string CopyFrom(const std::string& path) {
        StringSink sink;
        BatchOutput out(sink);
        const Status status = CopyTemplateSettings(out, path);
        EXPECT_TRUE(out.Flush().IsOk());
        return status.IsOk() ? sink.Bytes : "failed: " + status.Message();
    }

    TempFolder folder_;
    std::string path_ = folder_.File("svcd.mcf");
};

TEST_F(TemplateFile, CopiesTheSettingLinesInTheFirstColumn) {
    EXPECT_EQ(Copy("object X\r\n  MPEG.Video.Width = 480\r\nmpeg.Audio.BitRate = 224000\r\nend\r\n"),
              "JOB.MPEG.Video.Width = 480\r\nJOB.mpeg.Audio.BitRate = 224000\r\n");
    EXPECT_EQ(Copy("MPEG.a = 1\r\n\r\nMPEG.b = 2\r\n"), "JOB.MPEG.a = 1\r\n\r\nJOB.MPEG.b = 2\r\n");
}

TEST_F(TemplateFile, HandlesTheLastLineAndEveryLineEnd) {
    EXPECT_EQ(Copy("MPEG.only = 1"), "JOB.MPEG.only = 1\r\n");
    EXPECT_EQ(Copy("object X\nMPEG.a = 1\nMPEG.last = 2"), "JOB.MPEG.a = 1\r\nJOB.MPEG.last = 2\r\n");
    EXPECT_EQ(Copy("MPEG.a = 1\rMPEG.b = 2\rend\r"), "JOB.MPEG.a = 1\r\nJOB.MPEG.b = 2\r\n");
    EXPECT_EQ(Copy("\n"), "\r\n");
}

TEST_F(TemplateFile, CopiesBytesUnchanged) {
    // Not UTF-8 and not meant to be: the template is in the encoder's own code page.
    EXPECT_EQ(Copy("MPEG.Text = '\xE9\x80\xFF'\r\n"), "JOB.MPEG.Text = '\xE9\x80\xFF'\r\n");
}

TEST_F(TemplateFile, LinesAndLineEndsAcrossReadPieces) {
    // The file is read 64 KiB at a time: a line spans pieces, and a CR LF pair is split
    // so that its CR is the last byte of the second piece.
    const std::string longLine = "MPEG.Long = " + std::string(100000, 'x');
    const std::string filler(2 * 65536 - 1 - (longLine.size() + 2), 'y');
    const std::string content = longLine + "\r\n" + filler + "\r\nMPEG.After = 1";
    ASSERT_EQ(content[2 * 65536 - 1], '\r');
    EXPECT_EQ(Copy(content), "JOB." + longLine + "\r\n" + filler + "\r\nJOB.MPEG.After = 1\r\n");
}

TEST_F(TemplateFile, IsReadAgainForEveryCall) {
    EXPECT_EQ(Copy("MPEG.a = 1\r\n"), "JOB.MPEG.a = 1\r\n");
    EXPECT_EQ(Copy("MPEG.a = 2\r\n"), "JOB.MPEG.a = 2\r\n");
}

TEST_F(TemplateFile, RefusesAnEmptyMissingOrFolderTemplate) {
    EXPECT_EQ(Copy(""), "failed: The template file " + path_ + " is empty");
    EXPECT_EQ(CheckTemplateFile(path_).Message(), "The template file " + path_ + " is empty");
    const std::string missing = folder_.File("none.mcf");
    EXPECT_EQ(CopyFrom(missing), "failed: Cannot read the template file " + missing + ": file not found");
    EXPECT_EQ(CheckTemplateFile(missing).Message(), "Cannot read the template file " + missing + ": file not found");
    const std::string self = Utf8(folder_.Path());
    EXPECT_EQ(CopyFrom(self), "failed: Cannot read the template file " + self + ": it is a folder");
    WriteBytes(path_, "x");
    EXPECT_TRUE(CheckTemplateFile(path_).IsOk());
}

}  // namespace
}  // namespace quorvel::test
