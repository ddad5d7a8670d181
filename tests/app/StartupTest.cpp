#include "MainWindowTest.h"

#include <cwctype>

#include "batch/Version.h"
#include "win/SettingsStore.h"

namespace quorvel::testing {
namespace {

using Names = std::vector<std::wstring>;

bool StartsWithDrive(const std::wstring& path, wchar_t drive) {
    return path.size() >= 2 && std::towupper(path[0]) == drive && path[1] == L':';
}

// A drive Q: that is there but never ready, as a card reader without a card.
win::DirectoryState NotReadyOnQ(const std::wstring& path, std::wstring* reason) {
    if (StartsWithDrive(path, L'Q')) {
        if (reason) *reason = L"The device is not ready";
        return win::DirectoryState::Unreadable;
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return win::DirectoryState::Exists;
    return win::DirectoryState::Missing;
}

TEST_F(MainWindowTest, FirstRunStartsInTheWorkingDirectoryAndStoresIt) {
    temp_.MakeFile(L"b.avi");
    temp_.MakeFile(L"notes.txt");
    temp_.MakeFile(L"CLIP.AVI");
    FrmQuorvel& window = Start();
    const std::wstring terminated = temp_.Path() + L"\\";

    EXPECT_EQ(window.Text(L"txtFileOutput"), terminated);
    EXPECT_EQ(window.Text(L"txtOutputDirectory"), terminated);
    EXPECT_EQ(window.DirectoryListPath(), temp_.Path());
    EXPECT_EQ(DirectoryShown(), temp_.Path());
    EXPECT_EQ(window.Text(L"txtTemplateFile"), L"");
    EXPECT_EQ(Files(), (Names{L"b.avi", L"CLIP.AVI"}));
    EXPECT_EQ(TextOf(window.Window()), kMainCaption);
    EXPECT_TRUE(::IsWindowVisible(window.Window()));
    EXPECT_TRUE(AboutDialog().IsLoaded() && ::IsWindowVisible(AboutDialog().Window()));
    EXPECT_TRUE(messages_.Texts().empty());
    // Start-up writes three keys; the template is stored by Quit only.
    const std::vector<std::pair<std::wstring, std::wstring>> expected{
        {L"DirInput", temp_.Path()}, {L"DirOutput", terminated}, {L"FileOutput", terminated}};
    EXPECT_EQ(registry_.AllSettings(), expected);
}

TEST_F(MainWindowTest, StoredBatchFileEndingInABackslashGetsAName) {
    struct Case {
        const wchar_t* Stored;
        const wchar_t* Shown;
    };
    const Case cases[] = {
        {L"D:\\lists\\", L"D:\\lists\\Batch.mcf"},
        {L"D:\\lists\\  ", L"D:\\lists\\  Batch.mcf"},  // the test ignores the blanks, the append keeps them
        {L"D:\\lists\\week.tbe", L"D:\\lists\\week.tbe"},
        {L"   ", L"   "},
    };
    for (const Case& c : cases) {
        registry_.SetSetting(L"FileOutput", c.Stored);
        FrmQuorvel& window = Restart();
        EXPECT_EQ(window.Text(L"txtFileOutput"), c.Shown) << "stored \"" << c.Stored << "\"";
        EXPECT_EQ(registry_.Setting(L"FileOutput"), c.Shown) << "stored \"" << c.Stored << "\"";
    }
    EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(MainWindowTest, StoredOutputDirectoryIsKeptWhileItExists) {
    const std::wstring out = temp_.MakeDirectory(L"out");
    registry_.SetSetting(L"DirOutput", out + L"\\");
    FrmQuorvel& window = Start();
    EXPECT_EQ(window.Text(L"txtOutputDirectory"), out + L"\\");
    EXPECT_EQ(registry_.Setting(L"DirOutput"), out + L"\\");

    registry_.SetSetting(L"DirOutput", out);  // no backslash is added either
    Restart();
    EXPECT_EQ(window.Text(L"txtOutputDirectory"), out);

    temp_.Remove(L"out");
    Restart();
    EXPECT_EQ(window.Text(L"txtOutputDirectory"), ExecutableDirectory());
    EXPECT_EQ(registry_.Setting(L"DirOutput"), out) << "a vanished directory is not overwritten at start-up";
    EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(MainWindowTest, StoredSourceDirectoryIsOpenedOrReplacedByTheProgramFolder) {
    const std::wstring in = temp_.MakeDirectory(L"in");
    temp_.MakeFile(L"in\\movie.mpg");
    temp_.MakeFile(L"in\\readme.txt");
    registry_.SetSetting(L"DirInput", in + L"\\");
    FrmQuorvel& window = Start();
    EXPECT_EQ(window.DirectoryListPath(), in);
    EXPECT_EQ(DirectoryShown(), in);
    EXPECT_EQ(Files(), (Names{L"movie.mpg"}));
    EXPECT_EQ(registry_.Setting(L"DirInput"), in) << "stored as the directory list shows it";

    temp_.Remove(L"in");
    Restart();
    EXPECT_TRUE(messages_.Texts().empty());
    EXPECT_EQ(window.DirectoryListPath(), ExecutableDirectory());
    EXPECT_EQ(registry_.Setting(L"DirInput"), ExecutableDirectory());
}

TEST_F(MainWindowTest, SourceDirectoryOnAnotherDriveShowsThatDrive) {
    // Wine shows the Unix root as Z:, so Z:\tmp is a directory on a drive other than C:.
    ASSERT_TRUE(StartsWithDrive(temp_.Path(), L'C'));
    registry_.SetSetting(L"DirInput", L"Z:\\tmp");
    FrmQuorvel& window = Start();
    EXPECT_EQ(window.DirectoryListPath(), L"Z:\\tmp");
    EXPECT_EQ(window.DriveListDrive(), L'Z');
    HWND drives = Control(L"DrvList");
    const LRESULT current = ::SendMessageW(drives, CB_GETCURSEL, 0, 0);
    ASSERT_GE(current, 0);
    std::wstring text(64, L'\0');
    text.resize(
        static_cast<size_t>(::SendMessageW(drives, CB_GETLBTEXT, current, reinterpret_cast<LPARAM>(text.data()))));
    EXPECT_EQ(text.substr(0, 2), L"z:");
}

TEST_F(MainWindowTest, DriveThatIsNotReadyFallsBackToCOnceWithAMessage) {
    TheProgram().Directories().Simulate(&NotReadyOnQ);
    registry_.SetSetting(L"DirOutput", L"Q:\\Out");
    registry_.SetSetting(L"DirInput", L"Q:\\Video");
    FrmQuorvel& window = Start();
    EXPECT_EQ(messages_.Texts(),
              (Names{L"Output Directory Q:\\Out no longer exists (default c:\\)",
                     L"Input Directory Q:\\Video no longer exists (default c:\\)"}));
    EXPECT_EQ(window.Text(L"txtOutputDirectory"), L"C:\\");
    EXPECT_EQ(registry_.Setting(L"DirOutput"), L"C:\\");
    EXPECT_EQ(window.DirectoryListPath(), L"C:\\");
    EXPECT_EQ(registry_.Setting(L"DirInput"), L"C:\\");
    EXPECT_EQ(window.DriveListDrive(), L'C');
}

TEST_F(MainWindowTest, MalformedStoredDirectoryIsAnErrorNotAMissingDirectory) {
    registry_.SetSetting(L"DirInput", L"C:\\bad\x01name");
    FrmQuorvel& window = Start();
    ASSERT_EQ(messages_.Texts().size(), 1u);
    EXPECT_EQ(messages_.Texts()[0], L"Input Directory C:\\bad\x01name no longer exists (default c:\\)");
    EXPECT_EQ(window.DirectoryListPath(), L"C:\\");
}

TEST_F(MainWindowTest, NothingReadableStillStartsWithoutEndlessMessages) {
    TheProgram().Directories().Simulate([](const std::wstring&, std::wstring* reason) {
        if (reason) *reason = L"The device is not ready";
        return win::DirectoryState::Unreadable;
    });
    registry_.SetSetting(L"DirOutput", L"Q:\\Out");
    registry_.SetSetting(L"DirInput", L"Q:\\Video");
    FrmQuorvel& window = Start();
    EXPECT_EQ(messages_.Texts().size(), 2u);
    EXPECT_TRUE(::IsWindowVisible(window.Window()));
    EXPECT_EQ(window.Text(L"txtOutputDirectory"), ExecutableDirectory());
    EXPECT_EQ(registry_.Setting(L"DirOutput"), L"Q:\\Out");
}

TEST_F(MainWindowTest, StoredTemplateIsShownUnchecked) {
    registry_.SetSetting(L"TemplateInput", L"X:\\nowhere\\svcd.mcf");
    FrmQuorvel& window = Start();
    EXPECT_EQ(window.Text(L"txtTemplateFile"), L"X:\\nowhere\\svcd.mcf");
    EXPECT_TRUE(messages_.Texts().empty());
}

}  // namespace
}  // namespace quorvel::testing
