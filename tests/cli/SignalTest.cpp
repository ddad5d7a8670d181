#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "CliTestSupport.h"

namespace quorvel::cli::test {
namespace {

namespace fs = std::filesystem;

// The real program on a list of some tens of megabytes, ended by a signal while it writes.
class InterruptedRun : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(root.Path() / "clips");
        for (int i = 0; i < 3000; ++i) WriteFile(root.Path() / "clips" / ("clip" + std::to_string(i) + ".avi"), "");
        WriteFile(list, kOldList);
    }

    pid_t Start(bool named) const {
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) ::signal(signalNumber, SIG_DFL);
        if (named) {
            ::setenv("LD_PRELOAD", QUORVEL_NO_UNNAMED_FILES, 1);
            ::setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
        }
        if (::chdir(root.Path().c_str()) == 0) {
            ::execl(QUORVEL_BATCH_PROGRAM, "quorvel-batch", "-o", list.c_str(), "-s", "clips", nullptr);
        }
        ::_exit(127);
    }

    // The name of the temporary file the run writes, once it has one open ("#inode" when unnamed).
    std::string WaitForTheTemporaryFile(pid_t pid) const {
        const std::string folder = root.Path().string() + "/";
        for (;;) {
            for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd",
                                                         fs::directory_options::skip_permission_denied)) {
                std::error_code error;
                const std::string file = fs::read_symlink(fd.path(), error).string();
                if (file.starts_with(folder + ".qv") || file.starts_with(folder + "#"))
                    return file.substr(folder.size());
            }
            if (int status = 0; ::waitpid(pid, &status, WNOHANG) == pid) return "ended first";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    static constexpr const char* kOldList = "object TTMPGEncBatchEncodeList\r\n";
    TempDirectory root;
    std::string list = root / "list.tbe";
};

TEST_F(InterruptedRun, LeavesTheOldListAndNoTemporaryFile) {
    for (const bool named : {false, true}) {
        for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
            const std::string what = std::string(named ? "named, " : "unnamed, ") + strsignal(signalNumber);
            const pid_t pid = Start(named);
            ASSERT_GT(pid, 0);
            const std::string temporary = WaitForTheTemporaryFile(pid);
            EXPECT_EQ(temporary.starts_with(".qv"), named) << what << ": " << temporary;
            ::kill(pid, signalNumber);
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << what << ": " << status;
            EXPECT_EQ(ReadFile(list), kOldList) << what;
            EXPECT_EQ(DirectoryNames(root.Path()), (std::vector<std::string>{"clips", "list.tbe"})) << what;
        }
    }
}

}  // namespace
}  // namespace quorvel::cli::test
