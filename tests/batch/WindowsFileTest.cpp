// How the list is moved into place on Windows, where other programs hold files open.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "batch/BatchList.h"

namespace quorvel::test {
namespace {

class HeldFile {
public:
    HeldFile(const std::string& path, DWORD share)
        : handle_(CreateFileW(PathOf(path).wstring().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

TEST(WindowsListFile, ReplacesAListReadBySomeoneWhoSharesDeletion) {
    TempFolder folder;
    BatchJob job = SampleJob();
    job.BatchFile = folder.File("list.tbe");
    WriteBytes(job.BatchFile, "old list\r\n");
    {
        HeldFile reader(job.BatchFile, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(reader.IsOpen());
        const Status status = WriteBatchList(job, AdvancedOptions(), &EncodeWindows1252);
        ASSERT_TRUE(status.IsOk()) << status.Message();
    }
    EXPECT_EQ(ReadBytes(job.BatchFile), ExpectedList("empty.tbe"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"list.tbe"});
}

TEST(WindowsListFile, RefusesAReadOnlyListItself) {
    TempFolder folder;
    BatchJob job = SampleJob();
    job.BatchFile = folder.File("list.tbe");
    WriteBytes(job.BatchFile, "old list\r\n");
    ASSERT_TRUE(SetFileAttributesW(PathOf(job.BatchFile).wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteBatchList(job, AdvancedOptions()).Message(),
              "Cannot create the batch file " + job.BatchFile + ": the file is read-only");
    SetFileAttributesW(PathOf(job.BatchFile).wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(job.BatchFile), "old list\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"list.tbe"});
}

}  // namespace
}  // namespace quorvel::test

#endif
