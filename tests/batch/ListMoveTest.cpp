#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "batch/BatchList.h"
#include "batch/FileAccess.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvel::test {
namespace {

constexpr const char* kOldList = "object TTMPGEncBatchEncodeList\r\n";

// Another program saves at the list's path while the list is written.
TEST(ListMove, KeepsAFileThatAppearedOrIsNoLongerAList) {
    struct Case {
        const char* Before;  // nullptr: no file
        const char* During;
        const char* Refusal;  // nullptr: the new list takes the place
    };
    for (const Case& c : {Case{nullptr, "notes", "appeared while the list was written, so it is left as it is"},
                          Case{kOldList, "notes", "exists and is not a batch list, so it is left as it is"},
                          Case{kOldList, kOldList, nullptr}}) {
        TempFolder folder;
        const std::string list = folder.File("list.tbe");
        if (c.Before != nullptr) WriteBytes(list, c.Before);
        std::unique_ptr<AtomicFile> file;
        ASSERT_TRUE(CreateAtomicFile(list, file).IsOk());
        ASSERT_TRUE(file->Write("new list").IsOk());
        WriteBytes(list, c.During);
        const Status committed = file->Commit();
        file.reset();
        if (c.Refusal != nullptr) {
            EXPECT_NE(committed.Message().find(c.Refusal), std::string::npos) << committed.Message();
        } else {
            EXPECT_TRUE(committed.IsOk()) << committed.Message();
        }
        EXPECT_EQ(ReadBytes(list), c.Refusal ? c.During : "new list");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"list.tbe"});
    }
}

#ifndef _WIN32
TEST(ListMove, TheListStaysItsUsersAndLinksStayLinks) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "lists");
    const std::string target = folder.File("lists/target.tbe");
    WriteBytes(target, kOldList);
    std::filesystem::create_symlink("lists/target.tbe", folder.Path() / "link.tbe");
    std::filesystem::create_symlink("lists/new.tbe", folder.Path() / "dangling.tbe");
    const bool superUser = ::geteuid() == 0;
    if (superUser) {
        ASSERT_EQ(::chown(target.c_str(), 4321, 4322), 0);
    }
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    BatchJob job = SampleJob();
    for (const char* link : {"link.tbe", "dangling.tbe"}) {
        job.BatchFile = folder.File(link);
        const Status written = WriteBatchList(job, AdvancedOptions(), Western());
        ASSERT_TRUE(written.IsOk()) << written.Message();
        EXPECT_TRUE(std::filesystem::is_symlink(job.BatchFile)) << link;
    }
    EXPECT_EQ(ReadBytes(target), ExpectedList("empty.tbe"));
    EXPECT_EQ(ReadBytes(folder.File("lists/new.tbe")), ExpectedList("empty.tbe"));
    struct stat state;
    ASSERT_EQ(::stat(target.c_str(), &state), 0);
    EXPECT_EQ(state.st_mode & 07777, 0640u);
    if (!superUser) GTEST_SKIP() << "only the super-user can give a list back to its owner";
    EXPECT_EQ(state.st_uid, 4321u);
    EXPECT_EQ(state.st_gid, 4322u);
}

// Of the temporary files in the folder, only those of a writer long gone are removed.
TEST(ListMove, TheLongestNameWorksAndOnlyStaleTemporaryFilesAreSwept) {
    TempFolder folder;
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const auto temporary = [](pid_t pid, int counter) {
        char name[32];
        std::snprintf(name, sizeof name, ".qv%08x-%04x.tmp", static_cast<unsigned>(pid), counter);
        return std::string(name);
    };
    const std::string list(255, 'n');
    std::vector<std::string> kept = {list, temporary(::getppid(), 1), temporary(gone, 2), ".qvnotours.tmp"};
    for (const std::string& name : {temporary(gone, 1), kept[1], kept[2], kept[3]}) {
        WriteBytes(folder.File(name), "x");
        if (name != kept[2]) {
            std::filesystem::last_write_time(folder.Path() / name,
                                             std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        }
    }
    BatchJob job = SampleJob();
    job.BatchFile = folder.File(list);
    const Status written = WriteBatchList(job, AdvancedOptions(), Western());
    ASSERT_TRUE(written.IsOk()) << written.Message();
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(folder.Names(), kept);
}
#endif

}  // namespace
}  // namespace quorvel::test
