#include "filedialog/DialogAnswer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel::filedialog {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::wstring>;

const std::wstring kBlankTitle(2048, L' ');

TEST(CentredPosition, KeepsHalvesToTheEndRoundsToEvenAndNeverClamps) {
    EXPECT_EQ(CentredPosition(RECT{0, 0, 99, 99}, RECT{0, 0, 50, 50}).x, 24);   // 24.5
    EXPECT_EQ(CentredPosition(RECT{0, 0, 101, 99}, RECT{0, 0, 50, 50}).x, 26);  // 25.5
    EXPECT_EQ(CentredPosition(RECT{0, 0, 99, 99}, RECT{0, 0, 50, 50}).y, 24);
    EXPECT_EQ(CentredPosition(RECT{0, 0, 99, 101}, RECT{0, 0, 50, 51}).y, 25);    // 50.5 - 25.5
    EXPECT_EQ(CentredPosition(RECT{0, 0, 40, 40}, RECT{0, 0, 100, 100}).x, -30);  // off the screen, as asked
    EXPECT_EQ(CentredPosition(RECT{-1, 0, 0, 0}, RECT{0, 0, 48, 0}).x, -24);      // -24.5 rounds to even
    const POINT overOwner = CentredPosition(RECT{203, 150, 1004, 751}, RECT{7, 9, 568, 390});
    EXPECT_EQ(overOwner.x, 323);  // 203 + 400.5 - 280.5
    EXPECT_EQ(overOwner.y, 260);  // 150 + 300.5 - 190.5
}

TEST(SplitAnswer, OneFileSplitsAtTheOffset) {
    const auto inDirectory = SplitAnswer(L"C:\\Video\\a.tbe\0\0\0"s, L"a.tbe\0    "s, 9);
    EXPECT_FALSE(inDirectory.Cancelled);
    EXPECT_EQ(inDirectory.FileCount, 1);
    EXPECT_EQ(inDirectory.Directory, L"C:\\Video\\");
    EXPECT_EQ(inDirectory.FileNames, Names{L"a.tbe"});

    const auto inRoot = SplitAnswer(L"C:\\a.tbe\0"s, L"a.tbe\0"s, 3);
    EXPECT_EQ(inRoot.Directory, L"C:\\");
    EXPECT_EQ(inRoot.FileNames, Names{L"a.tbe"});

    // A choice in the multiple form that holds only one path is still one file.
    const auto alone = SplitAnswer(L"C:\\Video\\a.avi\0\0"s, kBlankTitle, 9);
    EXPECT_EQ(alone.Directory, L"C:\\Video\\");
    EXPECT_EQ(alone.FileNames, Names{L"a.avi"});
}

TEST(SplitAnswer, SeveralFilesKeepTheirOrderAndHaveNoLimit) {
    const auto two = SplitAnswer(L"C:\\Video\0a.avi\0b.avi\0\0    "s, kBlankTitle, 9);
    EXPECT_FALSE(two.Cancelled);
    EXPECT_EQ(two.FileCount, 2);
    EXPECT_EQ(two.Directory, L"C:\\Video");
    EXPECT_EQ(two.FileNames, (Names{L"a.avi", L"b.avi"}));

    // An empty title (a NUL at its start) is no title.
    EXPECT_EQ(SplitAnswer(L"C:\\\0a\0b\0\0"s, L"\0     "s, 3).FileNames, (Names{L"a", L"b"}));

    std::wstring buffer = L"D:\\many"s + L'\0';
    Names expected;
    for (int i = 1; i <= 250; ++i) {
        expected.push_back(L"clip" + std::to_wstring(i) + L".avi");
        buffer += expected.back() + L'\0';
    }
    buffer += L'\0';
    const auto many = SplitAnswer(buffer, kBlankTitle, 8);
    EXPECT_EQ(many.FileCount, 250);
    EXPECT_EQ(many.FileNames, expected);
}

TEST(SplitAnswer, MalformedBuffersNeverReadPastTheEndNorInventNames) {
    // No double NUL: the unterminated tail is dropped.
    const auto open = SplitAnswer(L"C:\\Video\0a.avi\0b.av"s, kBlankTitle, 9);
    EXPECT_EQ(open.Directory, L"C:\\Video");
    EXPECT_EQ(open.FileNames, Names{L"a.avi"});

    for (const std::wstring& nothing : {L""s, L"C:\\Video"s, L"\0\0"s, std::wstring(40, L' ')}) {
        const auto result = SplitAnswer(nothing, kBlankTitle, 3);
        EXPECT_TRUE(result.Cancelled);
        EXPECT_EQ(result.FileCount, 0);
        EXPECT_TRUE(result.FileNames.empty());
        EXPECT_TRUE(result.Directory.empty());
    }

    // One file with an offset at or past the end of the path: no name, so nothing chosen.
    EXPECT_TRUE(SplitAnswer(L"C:\\Video\\\0junk"s, L"x\0"s, 9).Cancelled);
    EXPECT_TRUE(SplitAnswer(L"C:\\a"s, L"a\0"s, 60000).Cancelled);
    // Without a NUL the path runs to the end of the buffer and no further.
    EXPECT_EQ(SplitAnswer(L"C:\\abc"s, L"abc"s, 3).FileNames, Names{L"abc"});
}

}  // namespace
}  // namespace quorvel::filedialog
