#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "batch/SourceListing.h"

namespace quorvel::test {
namespace {

constexpr const char* kVideoPattern = "*.avi;*.mpg;*.mpeg;*.mov;*.vob   ";

TEST(FilePattern, IsTheItemTextBeforeItsParenthesis) {
    EXPECT_EQ(FilePatternOfItem("*.avi;*.mpg;*.mpeg;*.mov;*.vob   (All video files)"), kVideoPattern);
    EXPECT_EQ(FilePatternOfItem("*.*        (All files)"), "*.*        ");
    EXPECT_EQ(FilePatternOfItem("*.avi"), "*.avi");
    EXPECT_EQ(FilePatternOfItem("(x)"), "");
}

TEST(FilePattern, MatchesPartsWithoutRegardToCase) {
    EXPECT_TRUE(MatchesFilePattern("CLIP.AVI", kVideoPattern));
    EXPECT_TRUE(MatchesFilePattern("a.Vob", kVideoPattern));
    EXPECT_FALSE(MatchesFilePattern("a.avi.txt", kVideoPattern));
    EXPECT_TRUE(MatchesFilePattern("a.mpeg", "*.mpeg "));
    EXPECT_FALSE(MatchesFilePattern("a.mpg", "*.mpeg "));
    EXPECT_FALSE(MatchesFilePattern("a.mpeg", "*.mpg   "));
    EXPECT_TRUE(MatchesFilePattern("\xC3\x89T\xC3\x89.AVI", "\xC3\xa9t\xC3\xa9.*"));
    EXPECT_TRUE(MatchesFilePattern("ab.avi", "a?.avi"));
    EXPECT_FALSE(MatchesFilePattern("a.avi", "a?.avi"));
    // One '?' is one character, not one byte.
    EXPECT_TRUE(MatchesFilePattern("\xC3\xA9.avi", "?.avi"));
    EXPECT_TRUE(MatchesFilePattern("aXbXc", "*x*X*"));
    EXPECT_FALSE(MatchesFilePattern("aXb", "*x*X*"));
    // Names on Linux may hold wildcard characters of their own.
    EXPECT_TRUE(MatchesFilePattern("*ab", "*b"));
    EXPECT_TRUE(MatchesFilePattern("?x", "*x"));
}

TEST(FilePattern, StarDotStarTakesEveryNameAndBlankPartsNone) {
    for (const char* name : {"clip", ".hidden", "a.b.c", "x."}) {
        EXPECT_TRUE(MatchesFilePattern(name, "*.*        ")) << name;
    }
    EXPECT_FALSE(MatchesFilePattern("clip", "*.avi;   ;"));
    EXPECT_FALSE(MatchesFilePattern("clip", ""));
    EXPECT_TRUE(MatchesFilePattern("clip", ";;*"));
}

TEST(ExplorerOrder, NumbersByValueCaseIgnoredTiesByCharacters) {
    const std::vector<std::string> expected = {
        "clip1.avi",
        "Clip02.avi",
        "clip2.avi",
        "clip2.avi ",
        "clip10.avi",
        "clip010b.avi",
        "clip0000000000000000000000011.avi",
        "CLIPa.avi",
        "clipB.avi",
        "\xC3\xA9t\xC3\xA9.avi",
    };
    std::vector<std::string> shuffled = expected;
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        std::sort(shuffled.begin(), shuffled.end(), ExplorerNameLess);
        EXPECT_EQ(shuffled, expected);
    }
    EXPECT_TRUE(ExplorerNameLess("Clip.avi", "clip.avi"));
    EXPECT_FALSE(ExplorerNameLess("clip.avi", "clip.avi"));
}

// The order StrCmpLogicalW gives under Wine; the C library's collation on Linux agrees (with a
// locale that has collation tables, LC_COLLATE in the test's environment).
TEST(ExplorerOrder, AccentedAndNonLatinLettersSortWithTheirScripts) {
    const std::vector<std::string> expected = {
        "\xE2\x82\xACuro.avi",           // €uro
        "\xC3\x86\xC3\x98\xC3\x85.mov",  // ÆØÅ
        "Clip1.avi",
        "clip2.avi",
        "clip10.avi",
        "Emil.avi",
        "\xC3\xA9moji\xF0\x9F\x98\x80.avi",  // émoji😀
        "Tape.avi",
        "ultra.avi",
        "\xC3\xBCmlaut.vob",  // ümlaut
        "zulu.mov",
        "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.mpg",  // Ελλάδα
        "\xCE\xA9mega.avi",                                      // Ωmega
        "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.avi",  // Москва
        "\xE6\x97\xA5\xE6\x9C\xAC.avi",                          // 日本
    };
    std::vector<std::string> reversed(expected.rbegin(), expected.rend());
    EXPECT_EQ(SelectSourceNames(reversed, "*.*"), expected);
}

TEST(ExplorerOrder, IsAStrictWeakOrdering) {
    const std::vector<std::string> names = {"a",   "A",        "a0",       "a00", "a1",  "a01",  "a001b",
                                            "a1b", "a-1",      "a.1",      "ab",  "a 1", "10",   "9",
                                            "009", "\xC3\x89", "\xC3\xA9", "z",   "_",   "a\xFF"};
    for (const std::string& x : names) {
        EXPECT_FALSE(ExplorerNameLess(x, x)) << x;
        for (const std::string& y : names) {
            if (x != y) {
                EXPECT_NE(ExplorerNameLess(x, y), ExplorerNameLess(y, x)) << x << " / " << y;
            }
            for (const std::string& z : names) {
                if (ExplorerNameLess(x, y) && ExplorerNameLess(y, z)) {
                    EXPECT_TRUE(ExplorerNameLess(x, z)) << x << " / " << y << " / " << z;
                }
            }
        }
    }
}

TEST(SourceNames, AreFilteredThenOrdered) {
    EXPECT_EQ(SelectSourceNames({"clip10.AVI", "notes.txt", "clip2.avi", "CLIP1.mov"}, kVideoPattern),
              (std::vector<std::string>{"CLIP1.mov", "clip2.avi", "clip10.AVI"}));
    // However a long list is sorted inside, it comes out in the order of ExplorerNameLess, numbers
    // too large for an int and letters a locale orders apart from their code included.
    std::vector<std::string> names = {"a-1", "a1", "a 1", "a.1", "Ã", "e", "f", "_", "a2147483648", "a9"};
    for (int i = 0; i < 300; ++i)
        names.push_back("Clip " + std::to_string(i * 7919 % 1000) + " take" + std::to_string(i));
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end(), ExplorerNameLess);
    EXPECT_EQ(SelectSourceNames(names, "*.*"), expected);
}

TEST(SourceFiles, ListsOrdinaryFilesOfTheFolderOnly) {
    TempFolder folder;
    for (const char* name : {"clip10.avi", "clip2.AVI", "readme.txt", "\xC3\xA9t\xC3\xA9.mpg"})
        WriteBytes(folder.File(name), "");
    std::filesystem::create_directory(folder.Path() / "folder.avi");
    std::vector<std::string> names = {"stale"};
    ASSERT_TRUE(ListSourceFiles(Utf8(folder.Path()), kVideoPattern, names).IsOk());
    EXPECT_EQ(names, (std::vector<std::string>{"clip2.AVI", "clip10.avi", "\xC3\xA9t\xC3\xA9.mpg"}));
    ASSERT_TRUE(ListSourceFiles(Utf8(folder.Path()), "*.*", names).IsOk());
    EXPECT_EQ(names.size(), 4u);
}

TEST(SourceFiles, AnUnreadableFolderIsAFailureNotAThrow) {
    TempFolder folder;
    const std::string missing = Utf8(folder.Path() / "missing");
    std::vector<std::string> names = {"stale"};
    const Status status = ListSourceFiles(missing, "*.*", names);
    EXPECT_EQ(status.Message(), "Cannot read the folder " + missing + ": folder not found");
    EXPECT_TRUE(names.empty());
    WriteBytes(folder.File("file"), "");
    EXPECT_FALSE(ListSourceFiles(folder.File("file"), "*.*", names).IsOk());
}

}  // namespace
}  // namespace quorvel::test
