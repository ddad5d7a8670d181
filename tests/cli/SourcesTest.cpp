#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"

namespace quorvel::cli::test {
namespace {

namespace fs = std::filesystem;

// ROOT is drive D: and the current directory. Sources lie in a, b, "c d" and a tree.
class CliSources : public testing::Test {
protected:
    void SetUp() override {
        const fs::path& r = root.Path();
        for (const char* file : {"a/clip.avi",
                                 "a/x.avi",
                                 "b/clip10.avi",
                                 "b/clip2.avi",
                                 "c d/Bob's.avi",
                                 "e/CLIP.mov",
                                 "tree/b.avi",
                                 "tree/a10.avi",
                                 "tree/a2.avi",
                                 "tree/notes.txt",
                                 "tree/Sub10/x.avi",
                                 "tree/sub2/y.avi",
                                 "tree/sub2/deeper/z.MPG",
                                 "tree/sub2/deeper/clip.mpg"}) {
            fs::create_directories((r / file).parent_path());
            WriteFile(r / file, "");
        }
        fs::create_directories(r / "tree" / "empty");
        fs::create_directories(r / "out");
        // A link back up: followed, the tree would never end.
        fs::create_directory_symlink(r / "tree", r / "tree" / "sub2" / "loop");
        fs::create_symlink(r / "a" / "x.avi", r / "tree" / "link.avi");
        WriteFile(r / "t.mcf", "object T\r\n  MPEG.Video.Width = 480\r\nend\r\n");
    }

    RunResult RunHere(const std::vector<std::string>& args) const { return RunCli(args, resolver); }
    std::string List() const { return (root.Path() / "out" / "list.tbe").string(); }

    TempDirectory root;
    PathResolver resolver{{{'D', root.Path().string()}}, root.Path().string()};
};

TEST_F(CliSources, ThreeFoldersFromAListInEachOfItsForms) {
    const std::string b = (root.Path() / "b" / "clip2.avi").string();
    const std::vector<std::string> lists = {
        "a/x.avi\n" + b + "\nD:\\c d\\Bob's.avi\na/clip.avi\n",
        "a/x.avi\r\n\r\n" + b + "\r\n  \r\nD:\\c d\\Bob's.avi\r\na/clip.avi",
        std::string("a/x.avi\0", 8) + b + std::string("\0", 1) + "D:\\c d\\Bob's.avi" + std::string("\0", 1) +
            "a/clip.avi" + std::string("\0", 1),
    };
    for (std::size_t i = 0; i < lists.size(); ++i) {
        SCOPED_TRACE(i);
        WriteFile(root.Path() / "sources.txt", lists[i]);
        std::vector<std::string> args = {"-o", List(), "-t", "t.mcf", "--files-from", "sources.txt"};
        if (i == 2) args.push_back("-0");
        RunResult result = RunHere(args);
        ASSERT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(result.Out, "Created Batch List to file " + List() + " (4 jobs)\n");
        ExpectListIs(ReadFile(List()), "three_folders.tbe");
    }

    // Standard input, and a Windows-form path on a drive this machine cannot see, taken on trust.
    RunResult result = RunCliWithInput(
        {"-n", "-o", List(), "--code-page", "1252", "--files-from", "-"}, "a/x.avi\nQ:\\tapes\\far.avi\n", resolver);
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out,
              "D:\\a\\x.avi -> D:\\out\\x.mpg\n"
              "Q:\\tapes\\far.avi -> D:\\out\\far.mpg\n"
              "2 jobs (dry run, nothing written)\n"
              "code page 1252 (--code-page)\n");
}

TEST_F(CliSources, RecursiveTreeInFileListOrderAtEachLevel) {
    RunResult result = RunHere({"-o", List(), "-t", "t.mcf", "-r", "-s", "tree", "-p", "*.avi;*.mpg"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "Created Batch List to file " + List() + " (8 jobs)\n");
    const std::string list = ReadFile(List());
    EXPECT_EQ(QuotedValues(list, "Video.SourceFileName"),
              (std::vector<std::string>{"D:\\tree\\a2.avi",
                                        "D:\\tree\\a10.avi",
                                        "D:\\tree\\b.avi",
                                        "D:\\tree\\link.avi",
                                        "D:\\tree\\sub2\\y.avi",
                                        "D:\\tree\\sub2\\deeper\\clip.mpg",
                                        "D:\\tree\\sub2\\deeper\\z.MPG",
                                        "D:\\tree\\Sub10\\x.avi"}));
    ExpectListIs(list, "recursive_tree.tbe");
}

TEST_F(CliSources, OutputsBesideTheirSources) {
    // The .mpg files the pattern finds would be their own outputs: left out, with one line.
    RunResult result = RunHere({"-o", List(), "-t", "t.mcf", "--outputs-beside-sources", "-r", "-s", "D:\\"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Err,
              "quorvel-batch: left out 2 files found by the pattern that would be encoded to themselves (the output "
              "of an earlier run?), the first: D:\\tree\\sub2\\deeper\\clip.mpg\n");
    EXPECT_EQ(QuotedValues(ReadFile(List()), "Job.OutputFileName")[4], "D:\\c d\\Bob'#39's.mpg");
    ExpectListIs(ReadFile(List()), "beside_sources.tbe");

    // A source the user names is refused instead.
    result = RunCliWithInput(
        {"-o", List(), "--outputs-beside-sources", "--files-from", "-"}, "tree/sub2/deeper/clip.mpg\n", resolver);
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err,
              "quorvel-batch: The output file D:\\tree\\sub2\\deeper\\clip.mpg would overwrite its own source\n");
}

TEST_F(CliSources, OneOutputForSourcesOfTwoFoldersIsRefusedNamingBoth) {
    WriteFile(List(), "object TTMPGEncBatchEncodeList");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-r", "-s", "."},
             {"--files-from", "-"},
         }) {
        RunResult result = RunCliWithInput(
            [&] {
                std::vector<std::string> all = {"-o", List()};
                all.insert(all.end(), args.begin(), args.end());
                return all;
            }(),
            "a/clip.avi\ne/CLIP.mov\n",
            resolver);
        EXPECT_EQ(result.Status, 1);
        EXPECT_EQ(result.Err,
                  "quorvel-batch: Two sources would be encoded to the same file D:\\out\\CLIP.mpg: D:\\a\\clip.avi "
                  "and D:\\e\\CLIP.mov\n");
        EXPECT_EQ(ReadFile(List()), "object TTMPGEncBatchEncodeList");
        EXPECT_EQ(DirectoryNames(root.Path() / "out"), std::vector<std::string>{"list.tbe"});
    }
}

TEST_F(CliSources, BadPathListsAreRefusedBeforeAnythingIsWritten) {
    WriteFile(List(), "object TTMPGEncBatchEncodeList");
    const struct {
        std::string Input;
        std::vector<std::string> Extra;
        std::string Message;
    } cases[] = {
        {"a/x.avi\na/none.avi\n", {}, "There is no file a/none.avi"},
        {"a\n", {}, "There is no file a"},
        {"a/\n", {}, "The path a/ does not name a file"},
        {std::string("a/x.avi\0b/clip2.avi\n", 20), {}, "holds a NUL character on line 1"},
        {"D:x.avi\n", {}, "depends on a drive's own current directory"},
        {std::string("a/x.avi\0\0", 9), {"--files-from", "-", "-0"}, "has an empty name (entry 2)"},
        {"a/x.avi\nb/clip2.avi\n./a/x.avi\n", {}, "names the source D:\\a\\x.avi a second time on line 3"},
        {"a/x.avi\n" + std::string(40000, 'a') + "\n", {}, "has a line of more than 32 KiB (line 2)"},
        {"", {"--files-from", "missing.txt"}, "Cannot read the list of sources missing.txt: file not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        std::vector<std::string> args = {"-o", List()};
        if (c.Extra.empty()) {
            args.insert(args.end(), {"--files-from", "-"});
        } else {
            args.insert(args.end(), c.Extra.begin(), c.Extra.end());
        }
        RunResult result = RunCliWithInput(args, c.Input, resolver);
        EXPECT_EQ(result.Status, 1);
        EXPECT_NE(result.Err.find(c.Message), std::string::npos) << result.Err.substr(0, 500);
        EXPECT_LT(result.Err.size(), 400u) << "a line of the list is echoed whole";
        EXPECT_EQ(ReadFile(List()), "object TTMPGEncBatchEncodeList");
    }
    // A folder whose name Windows cannot hold, found by going down the tree.
    fs::create_directories(root.Path() / "tree" / "bad:name");
    WriteFile(root.Path() / "tree" / "bad:name" / "v.avi", "");
    RunResult result = RunHere({"-o", List(), "-r", "-s", "tree"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("tree/bad:name holds a character Windows does not allow"), std::string::npos)
        << result.Err;
}

}  // namespace
}  // namespace quorvel::cli::test
