#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"

namespace quorvel::cli::test {
namespace {

namespace fs = std::filesystem;

const std::string kProgramEnd("\x00\x00\x01\xBA stream \x00\x00\x01\xB9", 16);
const std::string kSequenceEnd("\x00\x00\x01\xB3 video \x00\x00\x01\xB7", 15);

// Eight sources in ROOT/clips, their outputs in ROOT/out; ROOT is drive D:.
class CliRemaining : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(clips);
        fs::create_directories(out);
        for (const char* name : kNames) WriteFile(clips / name, "source");
        WriteFile(root.Path() / "t.mcf", "object T\r\n  MPEG.Video.Width = 480\r\nend\r\n");
    }

    RunResult RunHere(const std::vector<std::string>& args) const { return RunCli(args, resolver); }
    std::string Old() const { return (root.Path() / "old.tbe").string(); }
    std::string New() const { return (root.Path() / "new.tbe").string(); }

    // The old list of eight jobs, with the built-in block or a template's.
    void WriteOldList(bool withTemplate) const {
        std::vector<std::string> args = {"-o", Old(), "-s", "clips", "-d", "D:\\out"};
        if (withTemplate) args.insert(args.end(), {"-t", "t.mcf"});
        args.insert(args.end(), std::begin(kNames), std::end(kNames));
        RunResult result = RunHere(args);
        ASSERT_EQ(result.Status, 0) << result.Err;
    }

    // Outputs as an encoder leaves them: finished, never begun, stopped, made before the source changed.
    void WriteOutputs() const {
        WriteFile(out / "done.mpg", kProgramEnd);
        WriteFile(out / "it's done.mpg", kSequenceEnd);
        WriteFile(out / "late.mpg", kProgramEnd);
        WriteFile(out / "empty.mpg", "");
        WriteFile(out / "cut.mpg", kProgramEnd.substr(0, 12));
        WriteFile(out / "old.mpg", kProgramEnd);
        const auto written = fs::last_write_time(out / "old.mpg");
        fs::last_write_time(clips / "old.avi", written + std::chrono::minutes(5));
        fs::last_write_time(clips / "late.avi", written - std::chrono::minutes(5));
    }

    static constexpr const char* kNames[] = {
        "done.avi", "it's done.avi", "empty.avi", "cut.avi", "old.avi", "missing.avi", "Bob's.avi", "late.avi"};

    TempDirectory root;
    fs::path clips = root.Path() / "clips";
    fs::path out = root.Path() / "out";
    PathResolver resolver{{{'D', root.Path().string()}}, root.Path().string()};
};

TEST_F(CliRemaining, UnfinishedJobsAreCopiedByteForByte) {
    for (bool withTemplate : {false, true}) {
        SCOPED_TRACE(withTemplate ? "template" : "built-in");
        WriteOldList(withTemplate);
        WriteOutputs();
        RunResult result = RunHere({"--remaining", "old.tbe", "-o", New()});
        ASSERT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(result.Out, "5 of 8 jobs remain\n");
        EXPECT_EQ(result.Err, "");
        ExpectListIs(ReadFile(New()), withTemplate ? "remaining_template.tbe" : "remaining_builtin.tbe");

        // To standard output the count goes to standard error.
        result = RunHere({"--remaining", "old.tbe", "-o", "-"});
        ASSERT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(result.Out, ReadFile(New()));
        EXPECT_EQ(result.Err, "5 of 8 jobs remain\n");
    }
}

TEST_F(CliRemaining, DryRunListsTheJobsAndWhy) {
    WriteOldList(false);
    WriteOutputs();
    WriteFile(New(), "object TTMPGEncBatchEncodeList");
    RunResult result = RunHere({"-n", "--remaining", "old.tbe", "-o", New()});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out,
              "D:\\clips\\empty.avi -> D:\\out\\empty.mpg (empty)\n"
              "D:\\clips\\cut.avi -> D:\\out\\cut.mpg (not finished: no end code)\n"
              "D:\\clips\\old.avi -> D:\\out\\old.mpg (older than its source)\n"
              "D:\\clips\\missing.avi -> D:\\out\\missing.mpg (missing)\n"
              "D:\\clips\\Bob's.avi -> D:\\out\\Bob's.mpg (missing)\n"
              "5 of 8 jobs remain (dry run, nothing written)\n");
    EXPECT_EQ(ReadFile(New()), "object TTMPGEncBatchEncodeList");
}

TEST_F(CliRemaining, JobsThatCannotBeCheckedAreKeptWithAWarning) {
    WriteOldList(false);
    WriteOutputs();
    std::string list = ReadFile(Old());
    const auto replace = [&](const std::string& from, const std::string& to) {
        for (std::size_t at; (at = list.find(from)) != std::string::npos;) list.replace(at, from.size(), to);
    };
    replace("D:\\out\\done.mpg", "Q:\\out\\done.mpg");
    replace("'D:\\clips\\late.avi'", "'\\\\server\\share\\late.avi'");
    WriteFile(Old(), list);
    RunResult result = RunHere({"--remaining", "old.tbe", "-o", New()});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "7 of 8 jobs remain\n");
    EXPECT_EQ(result.Err,
              "quorvel-batch: warning: the job on line 3 is kept unchecked: its output Q:\\out\\done.mpg cannot be "
              "reached here\n"
              "quorvel-batch: warning: the job on line 1389 is kept unchecked: its source \\\\server\\share\\late.avi "
              "cannot be reached here\n");
    EXPECT_EQ(QuotedValues(ReadFile(New()), "Job.OutputFileName").front(), "Q:\\out\\done.mpg");
}

TEST_F(CliRemaining, AListIsReplacedInPlaceAndAFinishedOneKeepsItsEnvelope) {
    WriteOldList(false);
    WriteOutputs();
    RunResult result = RunHere({"--remaining", Old(), "-o", Old()});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "5 of 8 jobs remain\n");
    EXPECT_EQ(ReadFile(Old()), ExpectedList("remaining_builtin.tbe"));
    EXPECT_EQ(DirectoryNames(root.Path()), (std::vector<std::string>{"clips", "old.tbe", "out", "t.mcf"}));

    for (const char* name : {"empty.mpg", "cut.mpg", "missing.mpg", "Bob's.mpg"}) WriteFile(out / name, kProgramEnd);
    fs::last_write_time(out / "old.mpg", fs::last_write_time(clips / "old.avi") + std::chrono::minutes(1));
    result = RunHere({"--remaining", Old(), "-o", New()});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "0 of 5 jobs remain\n");
    EXPECT_EQ(ReadFile(New()),
              "   object TTMPGEncBatchEncodeList  \r\n     List = <  \r\n       >    \r\n    End \r\n");
}

TEST_F(CliRemaining, NamesInTheListsCodePageAreReadBack) {
    // Written in Windows-1252: read as UTF-8 they would name files that do not exist.
    const std::vector<std::string> names = {"Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65.avi", "\xE2\x82\xACuro's.avi"};
    for (const std::string& name : names) WriteFile(clips / name, "source");
    std::vector<std::string> args = {"-o", Old(), "-s", "clips", "-d", "D:\\out"};
    args.insert(args.end(), names.begin(), names.end());
    ASSERT_EQ(RunHere(args).Status, 0);
    ASSERT_NE(ReadFile(Old()).find("Cr\xE8me br\xFBl\xE9\x65.avi"), std::string::npos);
    WriteFile(out / "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65.mpg", kProgramEnd);

    RunResult result = RunHere({"-n", "--remaining", "old.tbe", "-o", New()});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out,
              "D:\\clips\\\xE2\x82\xACuro's.avi -> D:\\out\\\xE2\x82\xACuro's.mpg (missing)\n"
              "1 of 2 jobs remains (dry run, nothing written)\n");
}

TEST_F(CliRemaining, WhatIsNotABatchListFailsNamingTheLineAndWritesNothing) {
    WriteOldList(false);
    const std::string whole = ReadFile(Old());
    const struct {
        std::string Bytes;
        std::string Message;
    } cases[] = {
        {"Not a list at all\r\n", "old.tbe is not a batch list: line 1 does not begin one"},
        {"", "old.tbe is not a batch list: it is empty"},
        {whole.substr(0, whole.size() / 2),
         "old.tbe is not a batch list: it ends at line 793 inside the job that begins on line 597"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        WriteFile(Old(), c.Bytes);
        WriteFile(New(), "object TTMPGEncBatchEncodeList");
        RunResult result = RunHere({"--remaining", "old.tbe", "-o", New()});
        EXPECT_EQ(result.Status, 1);
        EXPECT_EQ(result.Out, "");
        EXPECT_TRUE(result.Err.starts_with("quorvel-batch: " + c.Message)) << result.Err;
        EXPECT_EQ(ReadFile(New()), "object TTMPGEncBatchEncodeList");
        EXPECT_EQ(DirectoryNames(root.Path()),
                  (std::vector<std::string>{"clips", "new.tbe", "old.tbe", "out", "t.mcf"}));
    }
    RunResult result = RunHere({"--remaining", "none.tbe", "-o", New()});
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "quorvel-batch: Cannot read the batch list none.tbe: file not found\n");
}

}  // namespace
}  // namespace quorvel::cli::test
