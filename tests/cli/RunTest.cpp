#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "CliTestSupport.h"

namespace quorvel::cli::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSpaces = "The batch file (and path) cannot have any spaces in it to run automatically";

// Sets one locale variable for a test and puts it back after.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Sources in ROOT/clips; ROOT is drive D: and the current directory. The C locale, so the list
// is in code page 1252 whatever the machine's locale.
class CliRun : public testing::Test {
protected:
    void SetUp() override {
        clips = fs::path(root.Path()) / "clips";
        fs::create_directories(clips / "folder.avi");
        for (const char* name : {"clip1.avi", "clip10.avi", "clip2.avi", "Bob's.mov", "Notes.txt", "CLIP3.MPG"}) {
            WriteFile(clips / name, "");
        }
        fs::create_directories(root.Path() / "out");
    }

    RunResult RunHere(const std::vector<std::string>& args) const { return RunCli(args, resolver); }

    std::string List() const { return (root.Path() / "out" / "list.tbe").string(); }

    ScopedVariable locale_{"LC_ALL", "C"};
    TempDirectory root;
    fs::path clips;
    PathResolver resolver{{{'D', root.Path().string()}}, root.Path().string()};
};

TEST_F(CliRun, DefaultOutputIsTheBatchFilesDirectoryAndNameOrderIsKept) {
    RunResult result = RunHere({"-o", List(), "-s", clips.string(), "clip2.avi", "clip10.avi", "clip1.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, "Created Batch List to file " + List() + " (3 jobs)\n");
    EXPECT_EQ(result.Err, "");
    const std::string list = ReadFile(List());
    EXPECT_EQ(QuotedValues(list, "Video.SourceFileName"),
              (std::vector<std::string>{"D:\\clips\\clip2.avi", "D:\\clips\\clip10.avi", "D:\\clips\\clip1.avi"}));
    EXPECT_EQ(QuotedValues(list, "Job.OutputFileName"),
              (std::vector<std::string>{"D:\\out\\clip2.mpg", "D:\\out\\clip10.mpg", "D:\\out\\clip1.mpg"}));
    EXPECT_EQ(DirectoryNames(root.Path() / "out"), std::vector<std::string>{"list.tbe"});
}

TEST_F(CliRun, PatternListsOrdinaryFilesInFileListOrder) {
    fs::create_directory(root.Path() / "Encoded");
    RunResult result = RunHere({"-o", List(), "-s", "clips", "-d", "D:\\Encoded"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(QuotedValues(ReadFile(List()), "Video.SourceFileName"),
              (std::vector<std::string>{"D:\\clips\\Bob'#39's.mov",
                                        "D:\\clips\\clip1.avi",
                                        "D:\\clips\\clip2.avi",
                                        "D:\\clips\\CLIP3.MPG",
                                        "D:\\clips\\clip10.avi"}));
    EXPECT_EQ(QuotedValues(ReadFile(List()), "Job.OutputFileName")[1], "D:\\Encoded\\clip1.mpg");

    result = RunHere({"-o", List(), "-s", "clips", "--pattern", "*.txt ;c?ip1*"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(QuotedValues(ReadFile(List()), "Video.SourceFileName"),
              (std::vector<std::string>{"D:\\clips\\clip1.avi", "D:\\clips\\clip10.avi", "D:\\clips\\Notes.txt"}));
}

TEST_F(CliRun, StandardOutputTakesTheListAndTheCurrentDirectoryAsOutput) {
    RunResult result = RunHere({"-o", "-", "-s", "clips", "clip1.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(result.Out.starts_with("   object TTMPGEncBatchEncodeList  \r\n")) << result.Out.substr(0, 80);
    EXPECT_TRUE(result.Out.ends_with("    End \r\n"));
    EXPECT_EQ(QuotedValues(result.Out, "Job.OutputFileName"), std::vector<std::string>{"D:\\clip1.mpg"});
    EXPECT_EQ(result.Err, "Created Batch List on standard output (1 job)\n");
}

TEST_F(CliRun, DryRunPrintsTheJobsAndWritesNothing) {
    WriteFile(List(), "object TTMPGEncBatchEncodeList");
    RunResult result = RunHere({"-n", "-o", List(), "-s", "D:\\clips", "-d", "E:\\Enc", "Bob's.mov", "clip1.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out,
              "D:\\clips\\Bob's.mov -> E:\\Enc\\Bob's.mpg\n"
              "D:\\clips\\clip1.avi -> E:\\Enc\\clip1.mpg\n"
              "2 jobs (dry run, nothing written)\n"
              "code page 1252 (from the locale C)\n");
    EXPECT_EQ(ReadFile(List()), "object TTMPGEncBatchEncodeList");
    EXPECT_EQ(DirectoryNames(root.Path() / "out"), std::vector<std::string>{"list.tbe"});

    // A dry run refuses what the real run would refuse.
    result = RunHere({"-n", "-o", List(), "-s", "clips", "--clip-top", "x", "clip1.avi"});
    EXPECT_EQ(result.Status, 2);
    EXPECT_EQ(result.Out, "");
    WriteFile(root.Path() / "empty.mcf", "");
    result = RunHere({"-n", "-o", List(), "-s", "clips", "-t", (root.Path() / "empty.mcf").string(), "clip1.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("empty"), std::string::npos) << result.Err;
}

TEST_F(CliRun, RefusalsExitOneAndLeaveTheOldListAsItWas) {
    WriteFile(clips / "clip1.mov", "");
    WriteFile(clips / "\xe6\x97\xa5.avi", "");
    WriteFile(clips / "bad\xff.avi", "");
    WriteFile(clips / "clip2.avi", "RIFF");
    WriteFile(clips / "trail.", "");
    WriteFile(clips / "blank.avi ", "");
    WriteFile(root.Path() / "binary.mcf", std::string("MPEG.a = 1\r\n\0\0", 14));
    // A list the encoder could not open by its path (over 259 characters), launched or not.
    const fs::path deep = root.Path() / std::string(150, 'd') / std::string(150, 'e');
    fs::create_directories(deep);
    const std::vector<std::vector<std::string>> refused = {
        {"-o", (deep / "list.tbe").string(), "clip1.avi"},
        {"trail."},
        {"blank.avi "},
        {std::string(250, 'x') + ".avi"},
        {"-d", (clips / "clip1.avi").string(), "clip1.avi"},
        {"-d", (root.Path() / "nowhere").string(), "clip1.avi"},
        {"-p", "*.avi,*.mpg"},
        {"-t", (root.Path() / "binary.mcf").string(), "clip1.avi"},
        {"-o", (clips / "clip2.avi").string(), "clip1.avi"},
        {"-o", (clips / "clip1.mpg").string(), "-d", clips.string(), "clip1.avi"},
        {"\xe6\x97\xa5.avi"},
        {"bad\xff.avi"},
        {"-d", "D:\\\xe6\x97\xa5", "clip1.avi"},
        {"-t", (root.Path() / "missing.mcf").string(), "clip1.avi"},
        {"missing.avi"},
        {"folder.avi"},
        {"clip1.avi", "clip1.mov"},
        {"-d", clips.string(), "CLIP3.MPG"},
        {"-s", (root.Path() / "nowhere").string()},
        {"-s", "Q:\\clips"},
    };
    for (const std::vector<std::string>& extra : refused) {
        std::vector<std::string> args = {"-o", List(), "-s", "clips"};
        args.insert(args.end(), extra.begin(), extra.end());
        SCOPED_TRACE(testing::PrintToString(args));
        WriteFile(List(), "object TTMPGEncBatchEncodeList");
        RunResult result = RunHere(args);
        EXPECT_EQ(result.Status, 1);
        EXPECT_TRUE(result.Err.starts_with("quorvel-batch: ")) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(ReadFile(List()), "object TTMPGEncBatchEncodeList");
        EXPECT_EQ(DirectoryNames(root.Path() / "out"), std::vector<std::string>{"list.tbe"});
    }
    EXPECT_TRUE(DirectoryNames(deep).empty());
}

TEST_F(CliRun, LostStandardOutputIsAnError) {
    const std::string program = "cd " + root.Path().string() + " && " + QUORVEL_BATCH_PROGRAM + " ";
    for (const char* args : {"--help", "--version", "-n -o x.tbe -s clips clip1.avi", "-o - -s clips clip1.avi"}) {
        EXPECT_EQ(std::system((program + args + " >/dev/full 2>/dev/null").c_str()), 1 << 8) << args;
    }
}

// Exit status and peak memory (KiB) of a shell command, its children's included.
std::pair<int, long> ExitAndPeak(const std::string& command) {
    const pid_t child = fork();
    if (child == 0) _exit(execl("/bin/bash", "bash", "-c", command.c_str(), nullptr));
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return {WEXITSTATUS(status), usage.ru_maxrss};
}

TEST_F(CliRun, EndlessAndHugeInputIsRefusedInBoundedMemory) {
    const std::string program = std::string(QUORVEL_BATCH_PROGRAM) + " -o " + List();
    const std::string zeros = "head -c 150000000 /dev/zero";
    for (const auto& [command, message] : std::vector<std::pair<std::string, std::string>>{
             {zeros + " | " + program + " -0 --files-from -", "has an empty name (entry 1)"},
             {program + " --files-from <(" + zeros + ")", "has a line of more than 32 KiB (line 1)"},
             {"yes | head -c 30000000 | " + program + " --files-from -", "There is no file y"},
             {program + " --remaining <(" + zeros + ")", "line 1 is longer than 1024 KiB"},
             {program + " --remaining <(" + zeros + " | tr '\\0' '\\n')", "is not a batch list: it is empty"},
         }) {
        const auto [status, peakKiB] = ExitAndPeak(command + " 2>" + (root / "err.txt"));
        EXPECT_EQ(status, 1) << command;
        EXPECT_LT(peakKiB, 100 * 1024) << command;
        EXPECT_NE(ReadFile(root / "err.txt").find(message), std::string::npos) << ReadFile(root / "err.txt");
    }
}

TEST_F(CliRun, WindowsFormDirectoriesAreWrittenAsGiven) {
    RunResult result = RunHere({"-o", "D:\\out\\list.tbe", "-s", "d:\\clips\\", "-d", "E:\\Enc", "clip2.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    const std::string list = ReadFile(List());
    EXPECT_EQ(QuotedValues(list, "Video.SourceFileName"), std::vector<std::string>{"d:\\clips\\clip2.avi"});
    EXPECT_EQ(QuotedValues(list, "Job.OutputFileName"), std::vector<std::string>{"E:\\Enc\\clip2.mpg"});

    // A drive this machine cannot see: the names are taken as given, but nothing can be listed.
    result = RunHere({"-o", List(), "-s", "Q:\\Video", "tape 1.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(QuotedValues(ReadFile(List()), "Video.SourceFileName"),
              std::vector<std::string>{"Q:\\Video\\tape 1.avi"});
    result = RunHere({"-o", List(), "-s", "Q:\\Video"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("Q:\\Video"), std::string::npos) << result.Err;
}

TEST_F(CliRun, NamesWindowsCannotOpenAreRefused) {
    WriteFile(clips / "part:1.avi", "");
    RunResult result = RunHere({"-o", List(), "-s", "clips"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("part:1.avi"), std::string::npos) << result.Err;
    EXPECT_FALSE(fs::exists(List()));
}

TEST_F(CliRun, DriveLinksComeFromTheWinePrefix) {
    TempDirectory prefix;
    fs::create_directories(prefix.Path() / "dosdevices");
    fs::create_directory_symlink(root.Path(), prefix.Path() / "dosdevices" / "m:");
    setenv("WINEPREFIX", prefix.Path().c_str(), 1);
    RunResult result = RunCli({"-n", "-o", List(), "-s", clips.string(), "clip1.avi"});
    unsetenv("WINEPREFIX");
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out,
              "M:\\clips\\clip1.avi -> M:\\out\\clip1.mpg\n1 job (dry run, nothing written)\ncode page 1252 (from the "
              "locale C)\n");
}

TEST_F(CliRun, TheLocaleChoosesTheCodePageAndTheOptionOverridesIt) {
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.avi";  // 日本語.avi, 93 FA 96 7B 8C EA
    const std::string quoted = "\xE3\x82\xBD's.avi";                          // ソ's.avi, 83 5C
    WriteFile(clips / japanese, "");
    WriteFile(clips / quoted, "");
    const std::vector<std::string> args = {"-o", List(), "-s", "clips", japanese, quoted};
    const std::vector<std::string> inShiftJis = {"D:\\clips\\\x93\xFA\x96\x7B\x8C\xEA.avi",
                                                 "D:\\clips\\\x83\x5C'#39's.avi"};
    {
        const ScopedVariable japaneseLocale("LC_ALL", "ja_JP.UTF-8");
        RunResult result = RunHere(args);
        ASSERT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(QuotedValues(ReadFile(List()), "Video.SourceFileName"), inShiftJis);
        EXPECT_EQ(QuotedValues(ReadFile(List()), "Job.OutputFileName"),
                  (std::vector<std::string>{"D:\\out\\\x93\xFA\x96\x7B\x8C\xEA.mpg", "D:\\out\\\x83\x5C'#39's.mpg"}));
        EXPECT_NE(RunHere({"-n", "-o", List(), "-s", "clips", japanese})
                      .Out.find("code page 932 (from the locale ja_JP.UTF-8)\n"),
                  std::string::npos);
        // --help fills its lines, so the words may be split over two.
        std::string help;
        for (char c : RunHere({"--help"}).Out) {
            if (!std::isspace(static_cast<unsigned char>(c)) || (!help.empty() && help.back() != ' ')) {
                help += std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
            }
        }
        EXPECT_NE(help.find("(default here: 932, from the locale ja_JP.UTF-8)"), std::string::npos);
    }

    // The C locale's 1252 cannot hold them: refused, with the way out.
    WriteFile(List(), "object TTMPGEncBatchEncodeList");
    RunResult refused = RunHere(args);
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Err,
              "quorvel-batch: The batch list's code page 1252 cannot hold the names of 2 files in D:\\clips, so the "
              "encoder could not open them:\n  " +
                  japanese + "\n  " + quoted +
                  "\nIf the encoder reads another code page, give it with --code-page N (or utf-8); the default, "
                  "1252, is the one Wine takes from the locale, so a locale for these names serves too.\n");
    EXPECT_EQ(ReadFile(List()), "object TTMPGEncBatchEncodeList");
    {
        // A locale that is not installed is the C locale to Wine too.
        const ScopedVariable missingLocale("LC_ALL", "ja_XX.UTF-8");
        EXPECT_EQ(RunHere(args).Status, 1);
    }

    std::vector<std::string> given = args;
    given.insert(given.begin(), {"--code-page", "932"});
    ASSERT_EQ(RunHere(given).Status, 0);
    EXPECT_EQ(QuotedValues(ReadFile(List()), "Video.SourceFileName"), inShiftJis);
    given[1] = "1251";
    refused = RunHere(given);
    EXPECT_EQ(refused.Status, 1);
    EXPECT_TRUE(refused.Err.ends_with("\nIf the encoder reads another code page, give that one.\n")) << refused.Err;
    given[1] = "UTF-8";
    ASSERT_EQ(RunHere(given).Status, 0);
    EXPECT_EQ(QuotedValues(ReadFile(List()), "Audio.SourceFileName"),
              (std::vector<std::string>{"D:\\clips\\" + japanese, "D:\\clips\\\xE3\x82\xBD'#39's.avi"}));
}

// $WINE for the launch tests: records its arguments and the list it was started on.
class CliLaunch : public CliRun {
protected:
    void SetUp() override {
        CliRun::SetUp();
        fakeWine = root.Path() / "fake-wine";
        WriteFile(fakeWine,
                  "#!/bin/sh\n"
                  "cp \"$QUORVEL_TEST_LIST\" \"$0.list\"\n"
                  "printf '%s\\n' \"$@\" > \"$0.tmp\"\n"
                  "mv \"$0.tmp\" \"$0.args\"\n");
        fs::permissions(fakeWine, fs::perms::owner_all);
        setenv("WINE", fakeWine.c_str(), 1);
        setenv("QUORVEL_TEST_LIST", List().c_str(), 1);
    }
    void TearDown() override {
        unsetenv("WINE");
        unsetenv("QUORVEL_TEST_LIST");
    }

    std::optional<std::string> WaitForArguments() const {
        const fs::path args = fakeWine.string() + ".args";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (fs::exists(args)) return ReadFile(args);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::nullopt;
    }

    fs::path fakeWine;
};

TEST_F(CliLaunch, StartsTheEncoderThroughWineOnTheFinishedList) {
    RunResult result =
        RunHere({"-o", List(), "-s", "clips", "--launch", "C:\\Program Files\\TMPGEnc\\TMPGEnc.exe", "clip1.avi"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out,
              "Created Batch List to file " + List() + " (1 job)\nStarted the encoder, not waiting for it: " +
                  fakeWine.string() + " \"C:\\Program Files\\TMPGEnc\\TMPGEnc.exe\" /batch \"D:\\out\\list.tbe\"\n");
    const std::optional<std::string> args = WaitForArguments();
    ASSERT_TRUE(args) << "the encoder was not started";
    EXPECT_EQ(*args, "C:\\Program Files\\TMPGEnc\\TMPGEnc.exe\n/batch\nD:\\out\\list.tbe\n");
    EXPECT_EQ(ReadFile(fakeWine.string() + ".list"), ReadFile(List()));
}

TEST_F(CliLaunch, NamesInMessagesAreEscapedAndCut) {
    std::string e100;
    std::string u100;
    for (int i = 0; i < 100; ++i) e100 += "\xC3\xA9", u100 += "\xC3\xBC";
    for (const auto& [name, shown] : std::vector<std::pair<std::string, std::string>>{
             {"new\nline\x1b[31m.avi", "'new'$'\\n''line'$'\\033''[31m.avi'"},
             {"bad\xFF\xFE\xC2\x9B.avi", "'bad'$'\\377\\376\\302\\233''.avi'"},
             {e100 + std::string(50, 'x') + u100, e100 + "\xE2\x80\xA6" + u100},
             {"\x01" + std::string(300, 'a'),
              "$'\\001''" + std::string(99, 'a') + "'\xE2\x80\xA6'" + std::string(100, 'a') + "'"},
         }) {
        EXPECT_EQ(RunHere({"-o", List(), "-s", "clips", name}).Err,
                  "quorvel-batch: There is no file " + shown + " in clips\n");
    }
}

TEST_F(CliLaunch, RefusedBeforeAnythingIsWritten) {
    fs::create_directories(root.Path() / "my lists");
    const std::string spaced = (root.Path() / "my lists" / "list.tbe").string();
    const std::string encoder = "C:\\TMPGEnc\\TMPGEnc.exe";
    WriteFile(spaced, "object TTMPGEncBatchEncodeList");
    WriteFile(List(), "object TTMPGEncBatchEncodeList");

    RunResult result = RunHere({"-o", spaced, "-s", "clips", "--launch", encoder, "clip1.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, std::string("quorvel-batch: ") + kSpaces + "\n");
    EXPECT_EQ(ReadFile(spaced), "object TTMPGEncBatchEncodeList");

    // The blank may come from the current directory: the encoder gets the full path.
    const PathResolver inSpacedDir({{'D', root.Path().string()}}, (root.Path() / "my lists").string());
    result = RunCli({"-o", "list.tbe", "-s", clips.string(), "--launch", encoder, "clip1.avi"}, inSpacedDir);
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find(kSpaces), std::string::npos);
    EXPECT_EQ(ReadFile(spaced), "object TTMPGEncBatchEncodeList");

    // Without --launch the same path is fine.
    result = RunHere({"-o", spaced, "-s", "clips", "clip1.avi"});
    EXPECT_EQ(result.Status, 0) << result.Err;

    const std::vector<std::vector<std::string>> refused = {
        {"--launch", (root.Path() / "TMPGEnc.exe").string(), "clip1.avi"},
        {"--launch", clips.string(), "clip1.avi"},
        {"--launch", "not-on-the-path.exe", "clip1.avi"},
        {"--launch", encoder, "--pattern", "*.none"},
    };
    for (const std::vector<std::string>& extra : refused) {
        std::vector<std::string> args = {"-o", List(), "-s", "clips"};
        args.insert(args.end(), extra.begin(), extra.end());
        SCOPED_TRACE(testing::PrintToString(args));
        result = RunHere(args);
        EXPECT_EQ(result.Status, 1);
        EXPECT_EQ(ReadFile(List()), "object TTMPGEncBatchEncodeList");
    }
    EXPECT_NE(result.Err.find("No Files select to add to batch"), std::string::npos) << result.Err;

    // The encoder would get the list's path with '?' for the letters 1252 lacks.
    const std::string japanese = (root.Path() / "out" / "\xE6\x97\xA5.tbe").string();
    WriteFile(japanese, "object TTMPGEncBatchEncodeList");
    result = RunHere({"-o", japanese, "-s", "clips", "--launch", encoder, "clip1.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("cannot hold the batch file path D:\\out\\\xE6\x97\xA5.tbe"), std::string::npos)
        << result.Err;
    EXPECT_EQ(ReadFile(japanese), "object TTMPGEncBatchEncodeList");

    setenv("WINE", (root.Path() / "no-wine-here").c_str(), 1);
    result = RunHere({"-o", List(), "-s", "clips", "--launch", encoder, "clip1.avi"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("no-wine-here"), std::string::npos) << result.Err;
    EXPECT_EQ(ReadFile(List()), "object TTMPGEncBatchEncodeList");
    EXPECT_FALSE(fs::exists(fakeWine.string() + ".args"));
}

// The real program ended by a signal while it writes a list of some tens of megabytes, with its
// temporary file unnamed or, where the system cannot do that (preloaded), named.
TEST(InterruptedRun, LeavesTheOldListAndNoTemporaryFile) {
    TempDirectory root;
    fs::create_directory(root.Path() / "clips");
    for (int i = 0; i < 3000; ++i) WriteFile(root.Path() / "clips" / (std::to_string(i) + ".avi"), "");
    const std::string list = root / "list.tbe", folder = root.Path().string() + "/";
    WriteFile(list, "object TTMPGEncBatchEncodeList\r\n");
    for (const bool named : {false, true}) {
        for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                for (const int usual : {SIGINT, SIGTERM, SIGHUP}) ::signal(usual, SIG_DFL);
                if (named) ::setenv("LD_PRELOAD", QUORVEL_NO_UNNAMED_FILES, 1);
                ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
                if (::chdir(folder.c_str()) == 0)
                    ::execl(QUORVEL_BATCH_PROGRAM, "quorvel-batch", "-o", list.c_str(), "-s", "clips", nullptr);
                ::_exit(127);
            }
            // Its temporary file open: "#inode (deleted)" when unnamed.
            std::string temporary;
            for (int status = 0; temporary.empty() && ::waitpid(pid, &status, WNOHANG) == 0;) {
                std::error_code gone;
                for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", gone)) {
                    const std::string file = fs::read_symlink(fd.path(), gone).string();
                    if (file.starts_with(folder + ".qv") || file.starts_with(folder + "#")) temporary = file;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            const std::string what = std::string(named ? "named, " : "unnamed, ") + strsignal(signalNumber);
            EXPECT_EQ(temporary.starts_with(folder + ".qv"), named) << what << ": " << temporary;
            ::kill(pid, signalNumber);
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << what << ": " << status;
            EXPECT_EQ(ReadFile(list), "object TTMPGEncBatchEncodeList\r\n") << what;
            EXPECT_EQ(DirectoryNames(root.Path()), (std::vector<std::string>{"clips", "list.tbe"})) << what;
        }
    }
}

}  // namespace
}  // namespace quorvel::cli::test
