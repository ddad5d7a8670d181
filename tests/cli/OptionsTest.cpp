#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "batch/Version.h"
#include "cli/Options.h"

namespace quorvel::cli::test {
namespace {

TEST(Options, VersionAndHelpNeedNoBatchFile) {
    RunResult version = RunCli({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, std::string("quorvel-batch ") + kVersionText + "\n");

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
        {"-o", "list.tbe", "--files-from", "l.txt", "a.avi"},
        {"-o", "list.tbe", "--files-from", "l.txt", "-s", "clips"},
        {"-o", "list.tbe", "--files-from", "l.txt", "-r"},
        {"-o", "list.tbe", "--files-from", ""},
        {"-o", "list.tbe", "-0"},
        {"-o", "list.tbe", "-r", "a.avi"},
        {"-o", "list.tbe", "--outputs-beside-sources", "-d", "out"},
        {"-o", "list.tbe", "--remaining", "old.tbe", "--deinterlace"},
        {"-o", "list.tbe", "--remaining", "old.tbe", "-t", "t.mcf"},
        {"-o", "list.tbe", "--remaining", "old.tbe", "a.avi"},
        {"-o", "list.tbe", "--remaining="},
        {"-o", "list.tbe", "--code-page"},
        {"-o", "list.tbe", "--code-page", "latin1"},
        {"-o", "list.tbe", "--code-page=-932"},
        {"-o", "list.tbe", "--aspect-ratio", "16:9"},
        {"-o", "list.tbe", "--aspect-ratio", "4:3 display"},
        {"-o", "list.tbe", "--aspect-ratio", ""},
        {"-o", "list.tbe", "--source-type", "banana"},
        {"-o", "list.tbe", "--clip-top", "-5"},
        {"-o", "list.tbe", "--clip-bottom", "1.5"},
        {"-o", "list.tbe", "--clip-top", ""},
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
    CliOptions parsed;
    const Status status = ParseArguments({"-o", "list.tbe"}, parsed);
    ASSERT_TRUE(status.IsOk()) << status.Message();
    const CliOptions* options = &parsed;
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
    CliOptions parsed;
    const Status status = ParseArguments({"b.avi",
                                          "--batch-file=l.tbe",
                                          "-sclips",
                                          "-d",
                                          "out",
                                          "--clip-top",
                                          "8",
                                          "--clip-bottom=0",
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
                                         parsed);
    ASSERT_TRUE(status.IsOk()) << status.Message();
    const CliOptions* options = &parsed;
    EXPECT_EQ(options->BatchFile, "l.tbe");
    EXPECT_EQ(options->SourceDirectory.value_or(""), "clips");
    EXPECT_EQ(options->OutputDirectory.value_or(""), "out");
    EXPECT_EQ(options->TemplateFile, "t.mcf");
    EXPECT_EQ(options->Advanced.TopClipping, "8");
    EXPECT_EQ(options->Advanced.BottomClipping, "0");
    EXPECT_EQ(options->Advanced.Deinterlace, 1);
    EXPECT_EQ(options->Advanced.NoiseReduction, 1);
    EXPECT_EQ(options->Advanced.AspectRatio, "16:9 Display");
    EXPECT_EQ(options->Advanced.VideoSourceType, "Interlace");
    EXPECT_EQ(options->Advanced.AutoLaunch, 1);
    EXPECT_EQ(options->Advanced.TMPGEncPath, "C:\\enc.exe");
    EXPECT_TRUE(options->DryRun);
    EXPECT_EQ(options->Names, (std::vector<std::string>{"b.avi", "a.avi", "-odd.avi", "--x"}));
}

TEST(Options, SourcesFromManyFoldersAndRemainingJobs) {
    CliOptions options;
    ASSERT_TRUE(ParseArguments({"-o", "l.tbe", "--files-from=-", "-0", "--outputs-beside-sources"}, options).IsOk());
    EXPECT_EQ(options.FilesFrom.value_or(""), "-");
    EXPECT_TRUE(options.NullSeparated);
    EXPECT_TRUE(options.OutputsBesideSources);
    EXPECT_FALSE(options.Recursive);
    ASSERT_TRUE(ParseArguments({"-o", "l.tbe", "-r", "-s", "clips", "-p", "*.avi"}, options).IsOk());
    EXPECT_TRUE(options.Recursive);
    ASSERT_TRUE(ParseArguments({"-n", "--remaining", "old.tbe", "-o", "-"}, options).IsOk());
    EXPECT_EQ(options.Remaining.value_or(""), "old.tbe");
    EXPECT_TRUE(options.DryRun);

    // The message names the option that does not belong.
    const Status refused = ParseArguments({"-o", "l.tbe", "--remaining", "old.tbe", "--clip-top", "8"}, options);
    EXPECT_EQ(refused.Message(), "--clip-top shapes new jobs; --remaining copies the jobs of a list as they are");
}

TEST(Options, DashAloneIsStandardOutputOnlyAsTheBatchFile) {
    CliOptions options;
    ASSERT_TRUE(ParseArguments({"-o", "-"}, options).IsOk());
    EXPECT_TRUE(options.ToStandardOutput());
    ASSERT_TRUE(ParseArguments({"-o", "list.tbe", "-"}, options).IsOk());
    EXPECT_FALSE(options.ToStandardOutput());
    EXPECT_EQ(options.Names, std::vector<std::string>{"-"});
}

}  // namespace
}  // namespace quorvel::cli::test
