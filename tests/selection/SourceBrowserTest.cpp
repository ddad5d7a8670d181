#include <algorithm>

#include "MainWindowTest.h"
#include "resources/MainWindowLayout.h"
#include "batch/TextWindows.h"

namespace quorvel::testing {
namespace {

using Names = std::vector<std::wstring>;

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    return first == std::wstring::npos ? L"" : text.substr(first);
}

int IndexOf(HWND list, const std::wstring& trimmedText) {
    const Names items = ListItems(list);
    for (size_t i = 0; i < items.size(); ++i)
        if (Trimmed(items[i]) == trimmedText) return static_cast<int>(i);
    return -1;
}

int DriveIndex(HWND drives, wchar_t letter) {
    const LRESULT count = ::SendMessageW(drives, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (static_cast<wchar_t>(::SendMessageW(drives, CB_GETITEMDATA, i, 0)) == letter) return static_cast<int>(i);
    return -1;
}

class SourceBrowserTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const wchar_t* name : {L"CLIPS.AVI",
                                    L"a.mpeg",
                                    L"a.mpg",
                                    L"b.MOV",
                                    L"c.vob",
                                    L"d.txt",
                                    L"e.avi.bak",
                                    L"clip10.avi",
                                    L"clip2.avi"})
            temp_.MakeFile(name);
        temp_.MakeFile(L"hidden.avi", FILE_ATTRIBUTE_HIDDEN);
        temp_.MakeFile(L"system.avi", FILE_ATTRIBUTE_SYSTEM);
        temp_.MakeDirectory(L"folder.avi");  // a directory is never a source, whatever its name
        for (const wchar_t* name : {L"clip10", L"Alpha", L"clip2", L"empty", L"gone", L"sub"})
            temp_.MakeDirectory(name);
        temp_.MakeFile(L"sub\\x.avi");
        Start();
    }

    void Choose(int item) { ChooseComboItem(Control(L"cmbFilePattern"), item); }

    void OpenEntry(const std::wstring& trimmedText) {
        HWND dirs = Control(L"dirList");
        const int index = IndexOf(dirs, trimmedText);
        ASSERT_GE(index, 0) << "no entry " << Narrow(trimmedText);
        ::SendMessageW(dirs, LB_SETCURSEL, index, 0);
        Notify(dirs, LBN_DBLCLK);
    }
};

TEST_F(SourceBrowserTest, EachPatternItemListsItsFilesInNameOrder) {
    const Names video{L"a.mpeg", L"a.mpg", L"b.MOV", L"c.vob", L"clip2.avi", L"clip10.avi", L"CLIPS.AVI"};
    EXPECT_EQ(Files(), video) << "start-up applies the first item";
    Choose(1);
    EXPECT_EQ(Files(), (Names{L"clip2.avi", L"clip10.avi", L"CLIPS.AVI"}));
    EXPECT_EQ(MainWindow().FilePattern(), L"*.avi    ") << "the blanks before the \"(\" are part of the pattern";
    Choose(2);
    EXPECT_EQ(Files(), (Names{L"a.mpg"}));
    Choose(3);
    EXPECT_EQ(Files(), (Names{L"a.mpeg"}));
    Choose(4);
    EXPECT_EQ(Files(), (Names{L"b.MOV"}));
    Choose(5);
    EXPECT_EQ(Files(), (Names{L"c.vob"}));
    Choose(6);
    EXPECT_EQ(Files(),
              (Names{L"a.mpeg",
                     L"a.mpg",
                     L"b.MOV",
                     L"c.vob",
                     L"clip2.avi",
                     L"clip10.avi",
                     L"CLIPS.AVI",
                     L"d.txt",
                     L"e.avi.bak"}));
    Choose(0);
    EXPECT_EQ(Files(), video);
    EXPECT_EQ(TextOf(Control(L"cmbFilePattern")), layout::mainwindow::kPatternItems[0]);
}

TEST_F(SourceBrowserTest, ATypedPatternAppliesOnEnterOnly) {
    HWND combo = Control(L"cmbFilePattern");
    const Names before = Files();
    ::SetWindowTextW(combo, L"*.txt   (Text)");
    Notify(combo, CBN_EDITCHANGE);
    Notify(combo, CBN_EDITUPDATE);
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(MainWindow().FilePattern(), L"*.avi;*.mpg;*.mpeg;*.mov;*.vob   ");

    // Enter in the box applies what it holds, and presses no hidden button.
    ::SetWindowTextW(combo, L"*.mpg");
    ::SetFocus(combo);
    PressKey(VK_RETURN);
    EXPECT_EQ(Files(), (Names{L"a.mpg"}));
    EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(SourceBrowserTest, SelectAllAndNoneCoverEveryEntry) {
    HWND files = Control(L"filList");
    ClickButton(Control(L"cmdSelectAll"));
    EXPECT_EQ(SelectedIndexes(files).size(), Files().size());
    EXPECT_EQ(MainWindow().SelectedCount(), static_cast<int>(Files().size()));
    ClickButton(Control(L"cmdSelectNone"));
    EXPECT_TRUE(SelectedIndexes(files).empty());

    Choose(2);  // one entry
    ClickButton(Control(L"cmdSelectAll"));
    EXPECT_EQ(SelectedIndexes(files), (std::vector<int>{0}));

    // An empty list: nothing to select, nothing breaks.
    OpenEntry(L"empty");
    ASSERT_EQ(MainWindow().DirectoryListPath(), temp_ / L"empty");
    ClickButton(Control(L"cmdSelectAll"));
    ClickButton(Control(L"cmdSelectNone"));
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(MainWindow().SelectedCount(), 0);
}

TEST_F(SourceBrowserTest, BatchJobTakesTheSelectedNamesInListOrder) {
    HWND files = Control(L"filList");
    ::SendMessageW(files, LB_SETSEL, TRUE, 4);
    ::SendMessageW(files, LB_SETSEL, TRUE, 0);
    ::SendMessageW(files, LB_SETSEL, TRUE, 5);
    MainWindow().SetText(L"txtFileOutput", L"C:\\lists\\week.tbe");
    MainWindow().SetText(L"txtTemplateFile", L"");
    MainWindow().SetText(L"txtOutputDirectory", L"D:\\out\\");
    const BatchJob job = MainWindow().TakeBatchJob();
    EXPECT_EQ(job.SourceNames, (std::vector<std::string>{"a.mpeg", "clip2.avi", "clip10.avi"}));
    EXPECT_EQ(job.SourceDirectory, Narrow(temp_.Path()));
    EXPECT_EQ(job.BatchFile, "C:\\lists\\week.tbe");
    EXPECT_EQ(job.TemplateFile, "");
    EXPECT_EQ(job.OutputDirectory, "D:\\out\\");
}

TEST_F(SourceBrowserTest, ARereadClearsTheSelection) {
    HWND files = Control(L"filList");
    ClickButton(Control(L"cmdSelectAll"));
    temp_.MakeFile(L"new.vob");
    Choose(0);  // the item that is already current
    EXPECT_NE(std::find(Files().begin(), Files().end(), L"new.vob"), Files().end()) << "not re-read";
    EXPECT_TRUE(SelectedIndexes(files).empty());

    ClickButton(Control(L"cmdSelectAll"));
    OpenEntry(L"sub");
    EXPECT_EQ(Files(), (Names{L"x.avi"}));
    EXPECT_TRUE(SelectedIndexes(files).empty());
}

TEST_F(SourceBrowserTest, DirectoryListShowsThePathThenTheSubdirectoriesInNameOrder) {
    OpenEntry(L"folder.avi");
    OpenEntry(temp_.Path().substr(temp_.Path().find_last_of(L'\\') + 1));  // back up one level
    HWND dirs = Control(L"dirList");
    const Names items = ListItems(dirs);
    ASSERT_GE(items.size(), 5u);
    EXPECT_EQ(items.front(), L"C:\\");
    Names last(items.end() - 7, items.end());
    for (std::wstring& item : last) item = Trimmed(item);
    EXPECT_EQ(last, (Names{L"Alpha", L"clip2", L"clip10", L"empty", L"folder.avi", L"gone", L"sub"}));
    // The subdirectories are indented one step deeper than the directory they are in.
    const int current = static_cast<int>(::SendMessageW(dirs, LB_GETCURSEL, 0, 0));
    ASSERT_GE(current, 0);
    EXPECT_EQ(Trimmed(items[current]), temp_.Path().substr(temp_.Path().find_last_of(L'\\') + 1));
    EXPECT_GT(items.back().find_first_not_of(L' '), items[current].find_first_not_of(L' '));
}

TEST_F(SourceBrowserTest, ASingleClickOnlyHighlightsADoubleClickOrEnterOpens) {
    HWND dirs = Control(L"dirList");
    ::SendMessageW(dirs, LB_SETCURSEL, IndexOf(dirs, L"sub"), 0);
    Notify(dirs, LBN_SELCHANGE);
    EXPECT_EQ(MainWindow().DirectoryListPath(), temp_.Path());

    ::SetFocus(dirs);
    PressKey(VK_RETURN);
    EXPECT_EQ(MainWindow().DirectoryListPath(), temp_ / L"sub");
    EXPECT_EQ(DirectoryShown(), temp_ / L"sub");
    EXPECT_EQ(Files(), (Names{L"x.avi"}));

    OpenEntry(L"C:\\");
    EXPECT_EQ(MainWindow().DirectoryListPath(), L"C:\\");
    EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(SourceBrowserTest, ADirectoryThatVanishedLeavesTheListsAsTheyWere) {
    Choose(0);
    const Names before = Files();
    const Names dirsBefore = ListItems(Control(L"dirList"));
    temp_.Remove(L"gone");
    OpenEntry(L"gone");
    EXPECT_EQ(messages_.Texts().size(), 1u);
    EXPECT_EQ(MainWindow().DirectoryListPath(), temp_.Path());
    EXPECT_EQ(DirectoryShown(), temp_.Path());
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(ListItems(Control(L"dirList")), dirsBefore);
}

TEST_F(SourceBrowserTest, DriveThatIsNotReadyLeavesTheListsWhereTheyWere) {
    TheProgram().Directories().Simulate([](const std::wstring& path, std::wstring* reason) {
        if (path.size() >= 2 && (path[0] == L'Z' || path[0] == L'z') && path[1] == L':') {
            if (reason) *reason = L"The device is not ready";
            return win::DirectoryState::Unreadable;
        }
        return win::DirectoryState::Exists;
    });
    HWND drives = Control(L"DrvList");
    const int z = DriveIndex(drives, L'Z');
    ASSERT_GE(z, 0) << "Wine's Z: drive is missing from the drive list";
    const Names before = Files();
    ::SendMessageW(drives, CB_SETCURSEL, z, 0);
    Notify(drives, CBN_SELCHANGE);
    EXPECT_EQ(messages_.Texts().size(), 1u);
    EXPECT_EQ(MainWindow().DriveListDrive(), L'C');
    EXPECT_EQ(::SendMessageW(drives, CB_GETITEMDATA, ::SendMessageW(drives, CB_GETCURSEL, 0, 0), 0), L'C');
    EXPECT_EQ(MainWindow().DirectoryListPath(), temp_.Path());
    EXPECT_EQ(Files(), before);
}

TEST_F(SourceBrowserTest, ChoosingADriveOpensItsDirectory) {
    HWND drives = Control(L"DrvList");
    const int z = DriveIndex(drives, L'Z');
    ASSERT_GE(z, 0);
    ::SendMessageW(drives, CB_SETCURSEL, z, 0);
    Notify(drives, CBN_SELCHANGE);
    EXPECT_TRUE(messages_.Texts().empty());
    EXPECT_EQ(MainWindow().DirectoryListPath().substr(0, 3), L"Z:\\");
    EXPECT_EQ(DirectoryShown(), MainWindow().DirectoryListPath());

    const int c = DriveIndex(drives, L'C');
    ::SendMessageW(drives, CB_SETCURSEL, c, 0);
    Notify(drives, CBN_SELCHANGE);
    EXPECT_EQ(MainWindow().DirectoryListPath().substr(0, 3), L"C:\\");
}

}  // namespace
}  // namespace quorvel::testing
