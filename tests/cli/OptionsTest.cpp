#include <gtest/gtest.h>

#include <sstream>

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
    std::istringstream lines(help.Out);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
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
        {"-o", "list.tbe", "--code-page", "12345"},
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

// The options that PARSED carries, in a short form: o=batch file, s=, p=, then flags and NAMEs.
std::string Parsed(const CliOptions& o) {
    std::string text = "o=" + o.BatchFile;
    if (o.SourceDirectory) text += " s=" + *o.SourceDirectory;
    if (o.Pattern) text += " p=" + *o.Pattern;
    if (o.Advanced.AspectRatio != "4:3 Display") text += " aspect=" + o.Advanced.AspectRatio;
    if (o.CodePageNumber != 0) text += " cp=" + std::to_string(o.CodePageNumber);
    if (o.Recursive) text += " -r";
    if (o.DryRun) text += " -n";
    if (o.Advanced.Deinterlace == 1) text += " --deinterlace";
    for (const std::string& name : o.Names) text += " [" + name + "]";
    return text;
}

TEST(Options, ParsedAsGnuToolsParse) {
    // One call after another: a refusal in the middle of a bundle must not leak into the next.
    const struct {
        std::vector<std::string> Args;
        std::string Result;  // what Parsed() shows, or the usage error
    } cases[] = {
        {{"-rn", "-o", "l.tbe"}, "o=l.tbe -r -n"},
        {{"-rno", "l.tbe", "-sclips"}, "o=l.tbe s=clips -r -n"},
        {{"-rx", "-o", "l.tbe"}, "unknown option '-x'"},
        {{"-o", "l.tbe", "-p*.avi"}, "o=l.tbe p=*.avi"},
        {{"--batch-file=l.tbe", "--source-dir", "my clips"}, "o=l.tbe s=my clips"},
        {{"--batch=l.tbe", "--source-d=x", "--dry", "--asp", "16:9 Display", "--code=932"},
         "o=l.tbe s=x aspect=16:9 Display cp=932 -n"},
        {{"a.avi", "-o", "l.tbe", "b.avi", "-n"}, "o=l.tbe -n [a.avi] [b.avi]"},
        {{"-o", "l.tbe", "--", "-n", "--deinterlace"}, "o=l.tbe [-n] [--deinterlace]"},
        {{"-o", "-", "-"}, "o=- [-]"},
        {{"-o", "l.tbe", "--dryrun"}, "unknown option '--dryrun'; did you mean '--dry-run'?"},
        {{"-o", "l.tbe", "--templat=t.mcf"}, "o=l.tbe"},
        {{"-o", "l.tbe", "--tempalte=t.mcf"}, "unknown option '--tempalte'; did you mean '--template'?"},
        {{"-o", "l.tbe", "--colour"}, "unknown option '--colour'"},
        {{"-o", "l.tbe", "--s", "x"}, "option '--s' is ambiguous; possibilities: '--source-dir' '--source-type'"},
        {{"-o", "l.tbe", "--deinterlace=1"}, "option '--deinterlace' takes no value"},
        {{"-o", "l.tbe", "--dei=1"}, "option '--deinterlace' takes no value"},
        {{"-o", "l.tbe", "-rp"}, "option '-p' needs a value"},
        {{"-o", "l.tbe", "--pat"}, "option '--pattern' needs a value"},
        {{"-o", "l.tbe", "--code-page", "latin1"},
         "option '--code-page' takes a code page number (932, 1251, ...) or utf-8, not 'latin1'"},
    };
    for (const auto& [args, result] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        CliOptions options;
        const Status status = ParseArguments(args, options);
        EXPECT_EQ(status ? Parsed(options) : status.Message(), result);
    }
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
