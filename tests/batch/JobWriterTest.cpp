#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "batch/BatchList.h"
#include "batch/JobPaths.h"
#include "batch/JobWriter.h"

namespace quorvel::test {
namespace {

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

std::vector<std::string> JobLines(std::string_view fileName, const BatchJob& job = SampleJob(),
                                  const AdvancedOptions& options = AdvancedOptions()) {
    return CrLfLines(OneJob(fileName, job, options));
}

// The one line of a job that starts with the given text after its leading blanks.
std::string LineStarting(const std::vector<std::string>& lines, std::string_view text) {
    std::string found;
    int count = 0;
    for (const std::string& line : lines) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos && std::string_view(line).substr(first).starts_with(text)) {
            found = line;
            ++count;
        }
    }
    EXPECT_EQ(count, 1) << text;
    return found;
}

TEST(BuiltInBlock, HasItsLinesWithExactBlanks) {
    StringSink sink;
    BatchOutput out(sink);
    WriteDefaultMpegSettings(out);
    ASSERT_TRUE(out.Flush().IsOk());
    const std::vector<std::string> lines = CrLfLines(sink.Bytes);
    ASSERT_EQ(lines.size(), 105u);

    EXPECT_EQ(lines[0], Blanks(9) + "Job.MPEG.Text = '$$Super_Video_CD_PAL'");
    EXPECT_EQ(lines[1], Blanks(9) + "Job.MPEG.Description = '' ");
    EXPECT_EQ(lines[6], Blanks(9) + "Job.MPEG.Video.Width = 480    ");
    EXPECT_EQ(lines[19], Blanks(9) + "Job.MPEG.Video.AspectRatio = 2    ");
    EXPECT_EQ(lines[76], Blanks(9) + "Job.MPEG.Video.QuantizeMatrix_Intra = {   ");
    EXPECT_EQ(lines[77], Blanks(11) + "081013161A1B1D22101016181B1D222513161A1B1D22222616161A1B1D222528    ");
    EXPECT_EQ(lines[78], Blanks(11) + "161A1B1D202328301A1B1D202328303A1A1B1D22262E38451B1D23262E384553}   ");
    EXPECT_EQ(lines[80], Blanks(11) + "1011121314151617111213141516171812131415161718191314151617181A1B    ");
    EXPECT_EQ(lines[81], Blanks(11) + "14151617191A1B1C151617181A1B1C1E1617181A1B1C1E1F1718191B1C1E1F21}   ");
    EXPECT_EQ(lines[104], Blanks(9) + "Job.MPEG.System.EnableCommentText = False ");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool continuation = i == 77 || i == 78 || i == 80 || i == 81;
        EXPECT_EQ(lines[i].find_first_not_of(' '), continuation ? 11u : 9u) << "line " << i + 1;
    }
}

TEST(JobItem, BuiltInItemIs198LinesFromItemToEnd) {
    const std::vector<std::string> lines = JobLines("a.avi");
    ASSERT_EQ(lines.size(), 198u);
    EXPECT_EQ(lines[0], Blanks(7) + "item    ");
    EXPECT_EQ(lines[1], Blanks(9) + "Job.MPEG.Text = '$$Super_Video_CD_PAL'");
    EXPECT_EQ(lines[106], Blanks(9) + "Job.SourceList = <    ");
    EXPECT_EQ(lines[107], Blanks(11) + "item    ");
    EXPECT_EQ(lines[175], Blanks(11) + "end>    ");
    EXPECT_EQ(lines[194], Blanks(9) + "Job.OutputConfig_Graphic.JPEGCompressionQuality = 80  ");
    EXPECT_EQ(lines[195], Blanks(9) + "Encoded = False   ");
    EXPECT_EQ(lines[196], Blanks(9) + "InformationText = ''  ");
    EXPECT_EQ(lines[197], Blanks(9) + "end  ");
    EXPECT_EQ(
        LineStarting(lines, "Video.ImageArrange.ArrangeType"),
        Blanks(13) + "Video.ImageArrange.ArrangeType = MPEGVideoConfig_ImageArrangeType_FullScreen_KeepAspectRatio  ");
    EXPECT_EQ(LineStarting(lines, "Video.GhostReduction"), Blanks(13) + "Video.GhostReduction = <> ");
    EXPECT_EQ(LineStarting(lines, "Audio.Effect.FadeOutTime"), Blanks(13) + "Audio.Effect.FadeOutTime = 500    ");
}

TEST(JobItem, ItemsOfTwoFilesDifferOnlyInTheirPaths) {
    const std::vector<std::string> first = JobLines("one.avi");
    const std::vector<std::string> second = JobLines("two.avi");
    ASSERT_EQ(first.size(), second.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i] != second[i]) differing.push_back(i);
    }
    EXPECT_EQ(differing, (std::vector<std::size_t>{108, 164, 176}));
}

struct PathCase {
    std::string SourceDirectory;
    std::string OutputDirectory;
    std::string FileName;
    std::string Source;
    std::string Output;
};

TEST(JobItem, SourceAndOutputPaths) {
    const PathCase cases[] = {
        {"C:\\", "D:\\Out\\", "a.avi", "C:\\a.avi", "D:\\Out\\a.mpg"},
        {"C:\\Video", "D:\\Out\\", "holiday.part1.avi", "C:\\Video\\holiday.part1.avi", "D:\\Out\\holiday.part1.mpg"},
        {"C:\\Video", "D:\\Out\\", "clip", "C:\\Video\\clip", "D:\\Out\\clip.mpg"},
        {"C:\\Video", "D:\\Out\\", ".avi", "C:\\Video\\.avi", "D:\\Out\\.avi.mpg"},
        {"C:\\Video", "D:\\Out\\", "Bob'#39's.avi", "C:\\Video\\Bob'#39's.avi", "D:\\Out\\Bob'#39's.mpg"},
        // A folder without its backslash still gets one before the name.
        {"C:\\Video", "C:\\Out", "a.avi", "C:\\Video\\a.avi", "C:\\Out\\a.mpg"},
        {"C:\\Video", "", "a.avi", "C:\\Video\\a.avi", "a.mpg"},
        // Quotes in folders would end the quoted value early.
        {"C:\\Bob's", "D:\\It's\\", "a.avi", "C:\\Bob'#39's\\a.avi", "D:\\It'#39's\\a.mpg"},
        {"C:\\Caf\xC3\xA9", "D:\\\xC3\xA0\\", "\xE2\x82\xAC.avi", "C:\\Caf\xE9\\\x80.avi", "D:\\\xE0\\\x80.mpg"},
    };
    for (const PathCase& c : cases) {
        BatchJob job = SampleJob();
        job.SourceDirectory = c.SourceDirectory;
        job.OutputDirectory = c.OutputDirectory;
        const std::vector<std::string> lines = JobLines(c.FileName, job);
        EXPECT_EQ(LineStarting(lines, "Video.SourceFileName"),
                  Blanks(13) + "Video.SourceFileName = '" + c.Source + "'  ");
        EXPECT_EQ(LineStarting(lines, "Audio.SourceFileName"),
                  Blanks(13) + "Audio.SourceFileName = '" + c.Source + "'  ");
        EXPECT_EQ(LineStarting(lines, "Job.OutputFileName"), Blanks(9) + "Job.OutputFileName = '" + c.Output + "' ");
    }
}

TEST(PathHelpers, StripOnlyWhatTheyShould) {
    EXPECT_EQ(StripTrailingBackslash("C:\\"), "C:");
    EXPECT_EQ(StripTrailingBackslash("C:\\a\\\\"), "C:\\a\\");
    EXPECT_EQ(StripTrailingBackslash(""), "");
    EXPECT_EQ(StripExtension("a.b.c"), "a.b");
    EXPECT_EQ(StripExtension(".hidden"), ".hidden");
    EXPECT_EQ(StripExtension("name."), "name");
    EXPECT_EQ(EscapeSingleQuotes("''x'"), "'#39''#39'x'#39'");
}

TEST(JobItem, InterlaceFollowsTheFirstLetterOnly) {
    const std::pair<std::string, bool> cases[] = {
        {"Interlace", true}, {"interlaced?", true}, {"Non-interlace (progressive)", false}, {"", false}, {" I", false}};
    for (const auto& [text, interlaced] : cases) {
        AdvancedOptions options;
        options.VideoSourceType = text;
        EXPECT_EQ(LineStarting(JobLines("a.avi", SampleJob(), options), "Video.InterlaceImage"),
                  Blanks(13) + (interlaced ? "Video.InterlaceImage = True  " : "Video.InterlaceImage = False  "))
            << text;
    }
}

TEST(JobItem, AspectRatioCodesMatchTextsExactly) {
    const std::pair<std::string, int> cases[] = {
        {"1:1 (VGA)", 1},
        {"4:3 525 line (NTSC)", 12},
        {"4:3 625 line (NTSC, 704x480)", 44},
        {"4:3 625 (PAL)", 8},
        {"16:9 525 line (NTSC)", 6},
        {"16:9 625 line (PAL)", 3},
        {"4:3 Display", 13},
        {"16:9 Display", 14},
        {"2.11:1 Display", 15},
        {"4:3 display", 1},
        {"", 1},
        {"4:3 Display ", 1},
    };
    for (const auto& [text, code] : cases) {
        AdvancedOptions options;
        options.AspectRatio = text;
        const std::vector<std::string> lines = JobLines("a.avi", SampleJob(), options);
        EXPECT_EQ(LineStarting(lines, "Video.AspectRatio"), Blanks(13) + "Video.AspectRatio = " + std::to_string(code))
            << text;
        // The encoding block keeps its own fixed ratio.
        EXPECT_EQ(lines[20], Blanks(9) + "Job.MPEG.Video.AspectRatio = 2    ");
    }
}

TEST(JobItem, NoiseReductionAndDeinterlaceLines) {
    AdvancedOptions on;
    on.NoiseReduction = 1;
    on.Deinterlace = 1;
    const std::vector<std::string> withFilters = JobLines("a.avi", SampleJob(), on);
    const std::vector<std::string> without = JobLines("a.avi");
    ASSERT_EQ(withFilters.size(), 198u);
    EXPECT_EQ(LineStarting(withFilters, "Video.EnableNoiseReduction"),
              Blanks(13) + "Video.EnableNoiseReduction = True");
    EXPECT_EQ(LineStarting(without, "Video.EnableNoiseReduction"),
              Blanks(13) + "Video.EnableNoiseReduction = False    ");
    EXPECT_EQ(LineStarting(withFilters, "Video.NoiseReductionRange"), Blanks(13) + "Video.NoiseReductionRange = 2");
    EXPECT_EQ(LineStarting(without, "Video.NoiseReductionRange"), Blanks(13) + "Video.NoiseReductionRange = 1 ");
    EXPECT_EQ(LineStarting(withFilters, "Video.Deinterlace ="),
              Blanks(13) + "Video.Deinterlace = VideoFilter_Deinterlace_TopField");
    EXPECT_EQ(
        LineStarting(without, "Video.DeinterlaceEx.AutoType"),
        Blanks(13) +
            "Video.DeinterlaceEx.AutoType = MPEGEncodeJob_Source_Video_DeinterlaceEx_AutoType_24fps_NonInterlace   ");
    EXPECT_EQ(LineStarting(without, "Video.DeinterlaceEx.Cache"), Blanks(13) + "Video.DeinterlaceEx.Cache = {}    ");
    // Any value other than 0 counts as set.
    on.NoiseReduction = 2;
    on.Deinterlace = -1;
    EXPECT_EQ(JobLines("a.avi", SampleJob(), on), withFilters);
}

TEST(JobItem, ClippingLines) {
    const auto clipping = [](std::string top, std::string bottom) {
        AdvancedOptions options;
        options.TopClipping = std::move(top);
        options.BottomClipping = std::move(bottom);
        const std::vector<std::string> lines = JobLines("a.avi", SampleJob(), options);
        return std::vector<std::string>{LineStarting(lines, "Video.Clipping.Enabled"),
                                        LineStarting(lines, "Video.Clipping.Top "),
                                        LineStarting(lines, "Video.Clipping.Bottom ")};
    };
    const std::vector<std::string> off = {Blanks(13) + "Video.Clipping.Enabled = False    ",
                                          Blanks(13) + "Video.Clipping.Top = 0    ",
                                          Blanks(13) + "Video.Clipping.Bottom = 0 "};
    EXPECT_EQ(clipping("0", "0"), off);
    EXPECT_EQ(clipping(" 0.0", "0 "), off);
    EXPECT_EQ(clipping("-0", ""), off);
    EXPECT_EQ(clipping("8", "0"),
              (std::vector<std::string>{Blanks(13) + "Video.Clipping.Enabled = True    ",
                                        Blanks(13) + "Video.Clipping.Top =8",
                                        Blanks(13) + "Video.Clipping.Bottom =0"}));
    // The texts are written as typed, blanks and all.
    EXPECT_EQ(clipping("", " 16"),
              (std::vector<std::string>{Blanks(13) + "Video.Clipping.Enabled = True    ",
                                        Blanks(13) + "Video.Clipping.Top =",
                                        Blanks(13) + "Video.Clipping.Bottom = 16"}));
}

TEST(Clipping, OnlyJoinedNumbersAreAccepted) {
    for (const char* joined : {"00", "80", "016", "16", " 12 ", "+5", "-5", "1.5", ".5", "5.", "  7"}) {
        EXPECT_TRUE(IsClippingNumber(joined)) << joined;
    }
    for (const char* joined : {"", " ", "a1", "5-5", "1.2.3", ".", "-", "1 2", "1e3", "+-1", "\t1"}) {
        EXPECT_FALSE(IsClippingNumber(joined)) << joined;
    }
}

TEST(Clipping, RefusedTextsFailTheItemAndNameBothTexts) {
    AdvancedOptions options;
    options.TopClipping = "5";
    options.BottomClipping = "-5";
    StringSink sink;
    BatchOutput out(sink);
    const Status status = PrintItemToBatch(out, "a.avi", SampleJob(), options, Western());
    ASSERT_FALSE(status.IsOk());
    EXPECT_EQ(status.Message(), "The top clipping \"5\" and the bottom clipping \"-5\" do not read as a number");
    ASSERT_TRUE(out.Flush().IsOk());
    EXPECT_EQ(sink.Bytes, "");
}

}  // namespace
}  // namespace quorvel::test
