#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "cli/Options.h"

namespace quorvel::cli::test {
namespace {

TEST(Options, VersionAndHelpNeedNoBatchFile) {
    RunResult version = RunCli({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "quorvel-batch 3.0.0\n");

    RunResult help = RunCli({"-h"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("-o, --batch-file PATH"), std::string::npos);
    EXPECT_NE(help.Out.find("*.avi;*.mpg;*.mpeg;*.mov;*.vob"), std::string::npos);
    EXPECT_EQ(help.Err, "");
}

TEST(Options, UsageErrorsExitTwoWithAHintAndWriteNothing) {
    TempDirectory dir;
    const PathResolver resolver({}, dir.Path().string());
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"-s", "."},
        {"-o", ""},
        {"-o", "list.tbe", "--bogus"},
        {"-o", "list.tbe", "-x"},
        {"-o", "list.tbe", "--pattern"},
        {"-o", "list.tbe", "--deinterlace=1"},
        {"-o", "list.tbe", "-p", "*.avi", "a.avi"},
        {"-o", "-", "--launch", "enc.exe"},
        {"-o", "list.tbe", "--launch", ""},
        {"-o", "list.tbe", "sub/a.avi"},
        {"-o", "list.tbe", "sub\\a.avi"},
    };
    for (const std::vector<std::string>& args : bad) {
        SCOPED_TRACE(testing::PrintToString(args));
        RunResult result = RunCli(args, resolver);
        EXPECT_EQ(result.Status, 2);
        EXPECT_TRUE(result.Err.starts_with("quorvel-batch: ")) << result.Err;
        EXPECT_NE(result.Err.find("Try 'quorvel-batch --help'"), std::string::npos);
        EXPECT_EQ(result.Out, "");
    }
    EXPECT_TRUE(DirectoryNames(dir.Path()).empty());
}

TEST(Options, DefaultsAreTheAdvancedOptionsDesignValues) {
    std::string error;
    const std::optional<CliOptions> options = ParseArguments({"-o", "list.tbe"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->Advanced.AspectRatio, "4:3 Display");
    EXPECT_EQ(options->Advanced.VideoSourceType, "Non-interlace (progressive)");
    EXPECT_EQ(options->Advanced.TopClipping, "0");
    EXPECT_EQ(options->Advanced.BottomClipping, "0");
    EXPECT_EQ(options->Advanced.Deinterlace, 0);
    EXPECT_EQ(options->Advanced.NoiseReduction, 0);
    EXPECT_EQ(options->Advanced.AutoLaunch, 0);
    EXPECT_FALSE(options->SourceDirectory);
    EXPECT_FALSE(options->OutputDirectory);
    EXPECT_FALSE(options->Pattern);
    EXPECT_EQ(options->TemplateFile, "");
    EXPECT_FALSE(options->DryRun);
}

TEST(Options, ValuesAttachedOrSeparateAndNamesAfterDoubleDash) {
    std::string error;
    const std::optional<CliOptions> options = ParseArguments({"b.avi",
                                                              "--batch-file=l.tbe",
                                                              "-sclips",
                                                              "-d",
                                                              "out",
                                                              "--clip-top",
                                                              "8",
                                                              "--clip-bottom=",
                                                              "--deinterlace",
                                                              "--noise-reduction",
                                                              "--aspect-ratio",
                                                              "16:9 Display",
                                                              "--source-type=Interlace",
                                                              "-t",
                                                              "t.mcf",
                                                              "--launch",
                                                              "C:\\enc.exe",
                                                              "-n",
                                                              "a.avi",
                                                              "--",
                                                              "-odd.avi",
                                                              "--x"},
                                                             error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->BatchFile, "l.tbe");
    EXPECT_EQ(options->SourceDirectory.value_or(""), "clips");
    EXPECT_EQ(options->OutputDirectory.value_or(""), "out");
    EXPECT_EQ(options->TemplateFile, "t.mcf");
    EXPECT_EQ(options->Advanced.TopClipping, "8");
    EXPECT_EQ(options->Advanced.BottomClipping, "");
    EXPECT_EQ(options->Advanced.Deinterlace, 1);
    EXPECT_EQ(options->Advanced.NoiseReduction, 1);
    EXPECT_EQ(options->Advanced.AspectRatio, "16:9 Display");
    EXPECT_EQ(options->Advanced.VideoSourceType, "Interlace");
    EXPECT_EQ(options->Advanced.AutoLaunch, 1);
    EXPECT_EQ(options->Advanced.TMPGEncPath, "C:\\enc.exe");
    EXPECT_TRUE(options->DryRun);
    EXPECT_EQ(options->Names, (std::vector<std::string>{"b.avi", "a.avi", "-odd.avi", "--x"}));
}

TEST(Options, DashAloneIsStandardOutputOnlyAsTheBatchFile) {
    std::string error;
    std::optional<CliOptions> options = ParseArguments({"-o", "-"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->ToStandardOutput());
    options = ParseArguments({"-o", "list.tbe", "-"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_FALSE(options->ToStandardOutput());
    EXPECT_EQ(options->Names, std::vector<std::string>{"-"});
}

}  // namespace
}  // namespace quorvel::cli::test
