#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"
#include "cli/WinePath.h"

namespace quorvel::cli::test {
namespace {

namespace fs = std::filesystem;

const std::vector<DriveLink> kLinks = {
    {'C', "/home/ann/.wine/drive_c"},
    {'D', "/home/ann"},
    {'E', "/home/ann/videos"},
    {'Z', "/"},
};

std::string Mapped(std::string_view path, const std::vector<DriveLink>& links = kLinks) {
    return MapToWinePath(path, links).value_or("<none>");
}

TEST(WinePath, LongestLinkWinsOnWholeNames) {
    EXPECT_EQ(Mapped("/home/ann/videos/2003/clip.avi"), "E:\\2003\\clip.avi");
    EXPECT_EQ(Mapped("/home/ann/videos"), "E:\\");
    EXPECT_EQ(Mapped("/home/ann/videosX/a"), "D:\\videosX\\a");
    EXPECT_EQ(Mapped("/home/ann/.wine/drive_c/Program Files"), "C:\\Program Files");
    EXPECT_EQ(Mapped("/home/annie"), "Z:\\home\\annie");
    EXPECT_EQ(Mapped("/etc/x"), "Z:\\etc\\x");
}

TEST(WinePath, RootIsZWhenNothingElseMatches) {
    EXPECT_EQ(Mapped("/home/ann/v", {}), "Z:\\home\\ann\\v");
    EXPECT_EQ(Mapped("/", {}), "Z:\\");
    EXPECT_EQ(Mapped("/tmp/x", {{'C', "/home/ann/.wine/drive_c"}}), "Z:\\tmp\\x");
    // A drive linked to the root is a match like any other.
    EXPECT_EQ(Mapped("/tmp/x", {{'Y', "/"}}), "Y:\\tmp\\x");
    // With Z: linked elsewhere, Z:\tmp\x would name another file.
    EXPECT_EQ(Mapped("/tmp/x", {{'Z', "/home/ann"}}), "<none>");
    EXPECT_EQ(Mapped("/home/ann/x", {{'Z', "/home/ann"}}), "Z:\\x");
}

TEST(WinePath, EqualLinksGiveTheFirstLetter) {
    EXPECT_EQ(Mapped("/srv/v/a", {{'F', "/srv/v"}, {'E', "/srv/v/"}}), "E:\\a");
}

TEST(WinePath, PathsAreNormalisedAndUnnameableOnesRefused) {
    EXPECT_EQ(Mapped("/home//ann/./videos/x/"), "E:\\x");
    EXPECT_EQ(Mapped("/home/ann/videos/../x"), "D:\\x");
    EXPECT_EQ(Mapped("/.."), "Z:\\");
    EXPECT_FALSE(MapToWinePath("videos/x", kLinks));
    EXPECT_FALSE(MapToWinePath("", kLinks));
    EXPECT_FALSE(MapToWinePath("/tmp/a:b", kLinks));
    EXPECT_FALSE(MapToWinePath("/tmp/back\\slash/x", kLinks));
    EXPECT_FALSE(MapToWinePath("/tmp/what?", kLinks));
}

TEST(WinePath, WindowsPathsGoBackThroughTheSameLinks) {
    auto back = [](std::string_view path, const std::vector<DriveLink>& links = kLinks) {
        return MapFromWinePath(path, links).value_or("<none>");
    };
    EXPECT_EQ(back("e:\\2003\\clip.avi"), "/home/ann/videos/2003/clip.avi");
    EXPECT_EQ(back("D:"), "/home/ann");
    EXPECT_EQ(back("D:\\"), "/home/ann");
    EXPECT_EQ(back("D:/a//b\\"), "/home/ann/a/b");
    EXPECT_EQ(back("Z:\\tmp", {}), "/tmp");
    EXPECT_EQ(back("Q:\\x"), "<none>");
    EXPECT_EQ(back("D:x"), "<none>");
    EXPECT_EQ(back("\\\\server\\share\\x"), "<none>");
    EXPECT_EQ(back("x\\y"), "<none>");
}

TEST(WinePath, WindowsFormIsADriveOrABackslash) {
    EXPECT_TRUE(IsWindowsForm("C:\\Video"));
    EXPECT_TRUE(IsWindowsForm("c:"));
    EXPECT_TRUE(IsWindowsForm("Video\\2003"));
    EXPECT_FALSE(IsWindowsForm("/home/ann/v"));
    EXPECT_FALSE(IsWindowsForm("clips:2003"));
    EXPECT_FALSE(IsWindowsForm("1:"));
}

TEST(WinePath, WindowsFormMadeFullAgainstTheCurrentDirectory) {
    auto full = [](std::string_view path, std::string_view current = "Z:\\home\\ann") {
        return FullWindowsForm(path, current).value_or("<none>");
    };
    EXPECT_EQ(full("D:\\Video"), "D:\\Video");
    EXPECT_EQ(full("D:/Video/2003"), "D:\\Video\\2003");
    EXPECT_EQ(full("d:"), "d:\\");
    EXPECT_EQ(full("D:Video"), "<none>");
    EXPECT_EQ(full("\\Video"), "Z:\\Video");
    EXPECT_EQ(full("clips\\2003"), "Z:\\home\\ann\\clips\\2003");
    EXPECT_EQ(full("clips\\2003", "C:\\"), "C:\\clips\\2003");
    EXPECT_EQ(full("\\\\server\\share\\v"), "\\\\server\\share\\v");
    EXPECT_EQ(full("\\Video", ""), "<none>");
}

TEST(WinePath, FileNamesWindowsCannotHold) {
    EXPECT_TRUE(IsWindowsFileName("Bob's party.mov"));
    EXPECT_TRUE(IsWindowsFileName("caf\xc3\xa9.avi"));
    for (std::string_view name :
         {"", ".", "..", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\\b", "a/b", "a\tb"}) {
        EXPECT_FALSE(IsWindowsFileName(name)) << name;
    }
}

#ifndef _WIN32
TEST(WinePath, DosDevicesGiveTheDriveLinksOfAPrefix) {
    TempDirectory prefix;
    const fs::path devices = prefix.Path() / "dosdevices";
    fs::create_directories(devices);
    fs::create_directories(prefix.Path() / "drive_c");
    fs::create_directories(prefix.Path() / "media" / "disc");
    fs::create_directory_symlink("../drive_c", devices / "c:");
    fs::create_directory_symlink(prefix.Path() / "media" / "disc", devices / "f:");
    fs::create_directory_symlink("/", devices / "z:");
    fs::create_directory_symlink(prefix.Path() / "gone", devices / "e:");
    fs::create_symlink("/dev/null", devices / "com1");
    fs::create_symlink("/dev/null", devices / "d::");
    WriteFile(devices / "g:", "not a link");

    const std::vector<DriveLink> links = ReadDosDevices(prefix.Path().string());
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].Letter, 'C');
    EXPECT_EQ(links[0].Target, (prefix.Path() / "drive_c").string());
    EXPECT_EQ(links[1].Letter, 'F');
    EXPECT_EQ(links[1].Target, (prefix.Path() / "media" / "disc").string());
    EXPECT_EQ(links[2].Letter, 'Z');
    EXPECT_EQ(links[2].Target, "/");

    EXPECT_TRUE(ReadDosDevices((prefix.Path() / "no such prefix").string()).empty());
    EXPECT_TRUE(ReadDosDevices("").empty());
}
#endif

}  // namespace
}  // namespace quorvel::cli::test
