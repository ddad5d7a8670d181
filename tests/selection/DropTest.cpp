#include <shlobj.h>

#include <cstring>
#include <functional>

#include "MainWindowTest.h"
#include "resources/MainWindowLayout.h"
#include "batch/TextWindows.h"

namespace quorvel::testing {
namespace {

using Names = std::vector<std::wstring>;

constexpr wchar_t kVideoItem[] = L"*.avi;*.mpg;*.mpeg;*.mov;*.vob   (All video files)";
constexpr wchar_t kAllFilesItem[] = L"*.*        (All files)";

// Everything a drop may change, to tell that a refused drop changed nothing.
struct WindowState {
    std::wstring Directory, Shown, Pattern, PatternBox, Template, BatchFile;
    wchar_t Drive;
    Names Files;
    std::vector<int> Selected;
    friend bool operator==(const WindowState&, const WindowState&) = default;
};

// The message has the path on a line of its own.
bool NamesOnALine(const std::wstring& message, const std::wstring& path) {
    const std::wstring line = L"\r\n" + path;
    for (size_t at = message.find(line); at != std::wstring::npos; at = message.find(line, at + 1)) {
        const size_t end = at + line.size();
        if (end == message.size() || message.compare(end, 2, L"\r\n") == 0) return true;
    }
    return false;
}

class DropTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const wchar_t* name : {L"a.avi", L"b.mpg", L"c.txt", L"notes.doc", L"dvd.mcf", L"tonight.tbe"})
            temp_.MakeFile(name);
        temp_.MakeFile(L"hidden.avi", FILE_ATTRIBUTE_HIDDEN);
        temp_.MakeFile(L"system.avi", FILE_ATTRIBUTE_SYSTEM);
        temp_.MakeDirectory(L"other");
        temp_.MakeFile(L"other\\x.avi");
        temp_.MakeFile(L"other\\y.avi");
        temp_.MakeDirectory(L"clips");
        temp_.MakeFile(L"clips\\z.vob");
        Start();
        settingsBefore_ = registry_.AllSettings();
    }

    void TearDown() override {
        EXPECT_EQ(registry_.AllSettings(), settingsBefore_) << "a drop wrote the settings";
        MainWindowTest::TearDown();
    }

    // What the shell hands over: a DROPFILES block of wide, NUL-separated paths, owned by the
    // window from the moment it is sent.
    void Drop(const Names& paths) {
        size_t characters = 1;
        for (const std::wstring& path : paths) characters += path.size() + 1;
        HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
        ASSERT_NE(memory, nullptr);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        auto* at = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
        for (const std::wstring& path : paths) {
            std::memcpy(at, path.c_str(), path.size() * sizeof(wchar_t));
            at += path.size() + 1;
        }
        ::GlobalUnlock(memory);
        ::SendMessageW(MainWindow().Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        Pump();
    }

    Names SelectedFiles() {
        const Names all = Files();
        Names selected;
        for (int index : SelectedIndexes(Control(L"filList"))) selected.push_back(all[static_cast<size_t>(index)]);
        return selected;
    }

    WindowState State() {
        FrmQuorvel& window = MainWindow();
        return {window.DirectoryListPath(),
                DirectoryShown(),
                window.FilePattern(),
                TextOf(Control(L"cmbFilePattern")),
                window.Text(L"txtTemplateFile"),
                window.Text(L"txtFileOutput"),
                window.DriveListDrive(),
                Files(),
                SelectedIndexes(Control(L"filList"))};
    }

    std::vector<std::pair<std::wstring, std::wstring>> settingsBefore_;
};

TEST_F(DropTest, FilesOfOneFolderAreSelectedThereAsIfWalkedTo) {
    Drop({temp_ / L"other\\y.avi"});
    EXPECT_EQ(MainWindow().DirectoryListPath(), temp_ / L"other");
    EXPECT_EQ(DirectoryShown(), temp_ / L"other");
    EXPECT_EQ(MainWindow().DriveListDrive(), L'C');
    EXPECT_EQ(Files(), (Names{L"x.avi", L"y.avi"}));
    EXPECT_EQ(SelectedFiles(), Names{L"y.avi"});
    EXPECT_EQ(TextOf(Control(L"cmbFilePattern")), kVideoItem) << "every dropped file was listed already";

    // Another drop replaces the selection, in the folder already shown too.
    Drop({temp_ / L"other\\x.avi"});
    EXPECT_EQ(SelectedFiles(), Names{L"x.avi"});

    // Several at once, given in any order and letter case; the request takes them in list order.
    Drop({temp_ / L"B.MPG", temp_ / L"a.avi"});
    EXPECT_EQ(DirectoryShown(), temp_.Path());
    EXPECT_EQ(SelectedFiles(), (Names{L"a.avi", L"b.mpg"}));
    EXPECT_EQ(MainWindow().TakeBatchJob().SourceNames, (std::vector<std::string>{"a.avi", "b.mpg"}));
    EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(DropTest, AFileThePatternHidesSwitchesToAllFilesFirst) {
    ClickButton(Control(L"cmdSelectAll"));
    Drop({temp_ / L"a.avi", temp_ / L"c.txt"});
    HWND combo = Control(L"cmbFilePattern");
    EXPECT_EQ(TextOf(combo), kAllFilesItem);
    EXPECT_EQ(ComboItems(combo)[static_cast<size_t>(::SendMessageW(combo, CB_GETCURSEL, 0, 0))], kAllFilesItem);
    EXPECT_EQ(MainWindow().FilePattern(), L"*.*        ");
    EXPECT_EQ(Files(), (Names{L"a.avi", L"b.mpg", L"c.txt", L"dvd.mcf", L"notes.doc", L"tonight.tbe"}));
    EXPECT_EQ(SelectedFiles(), (Names{L"a.avi", L"c.txt"})) << "the others are deselected";
    EXPECT_TRUE(messages_.Texts().empty());

    // Files the current pattern lists leave it as it is.
    ChooseComboItem(combo, 1);
    Drop({temp_ / L"other\\x.avi", temp_ / L"other\\y.avi"});
    EXPECT_EQ(TextOf(combo), L"*.avi    (Windows AVI)");
    EXPECT_EQ(SelectedFiles(), (Names{L"x.avi", L"y.avi"}));
}

TEST_F(DropTest, AHiddenFileIsNamedAndTheRestSelected) {
    Drop({temp_ / L"hidden.avi", temp_ / L"a.avi", temp_ / L"system.avi"});
    EXPECT_EQ(SelectedFiles(), Names{L"a.avi"});
    ASSERT_EQ(messages_.Texts().size(), 1u);
    const std::wstring& message = messages_.Texts()[0];
    for (const wchar_t* name : {L"hidden.avi", L"system.avi"})
        EXPECT_TRUE(NamesOnALine(message, name)) << Narrow(message);
    EXPECT_FALSE(NamesOnALine(message, L"a.avi")) << "a listed file named";
}

// Neither the pattern nor the selection changes for a file that is not there, nor for one in a
// folder that is not there; the message names what is missing as what it is.
TEST_F(DropTest, AVanishedFileOrFolderIsNamedAsMissingAndChangesNothing) {
    ClickButton(Control(L"cmdSelectAll"));
    const WindowState before = State();
    const std::pair<std::wstring, const wchar_t*> cases[] = {{temp_ / L"gone.txt", L"files do not exist"},
                                                             {temp_ / L"vanished\\notes.txt", L"folders do not exist"}};
    for (const auto& [path, says] : cases) {
        messages_.Clear();
        Drop({temp_ / L"a.avi", path});
        ASSERT_EQ(messages_.Texts().size(), 1u);
        const std::wstring& message = messages_.Texts()[0];
        EXPECT_NE(message.find(says), std::wstring::npos) << Narrow(message);
        EXPECT_TRUE(NamesOnALine(message, path.substr(0, path.find(L"\\notes.txt")))) << Narrow(message);
        EXPECT_EQ(State(), before);
    }
}

TEST_F(DropTest, AFolderOpens) {
    ClickButton(Control(L"cmdSelectAll"));
    Drop({temp_ / L"clips"});
    EXPECT_EQ(MainWindow().DirectoryListPath(), temp_ / L"clips");
    EXPECT_EQ(DirectoryShown(), temp_ / L"clips");
    EXPECT_EQ(Files(), Names{L"z.vob"});
    EXPECT_TRUE(SelectedFiles().empty());
    EXPECT_EQ(TextOf(Control(L"cmbFilePattern")), kVideoItem);

    // A drive root on another drive: the drive list follows.
    Drop({L"Z:\\"});
    EXPECT_EQ(MainWindow().DirectoryListPath(), L"Z:\\");
    EXPECT_EQ(MainWindow().DriveListDrive(), L'Z');
    EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(DropTest, MixedDropsAreRefusedNamingTheFoldersAndChangeNothing) {
    ClickButton(Control(L"cmdSelectAll"));
    const WindowState before = State();
    const std::vector<Names> drops{
        {temp_ / L"clips", temp_ / L"a.avi"},           // a folder with files
        {temp_ / L"a.avi", temp_ / L"other\\x.avi"},    // files from two folders
        {temp_ / L"clips", temp_ / L"other"},           // two folders
        {temp_ / L"dvd.mcf", temp_ / L"other\\x.avi"},  // a template from elsewhere among files
    };
    for (const Names& drop : drops) {
        messages_.Clear();
        Drop(drop);
        ASSERT_EQ(messages_.Texts().size(), 1u) << Narrow(drop[0]);
        const std::wstring& message = messages_.Texts()[0];
        for (const std::wstring& path : drop) {
            const DWORD attributes = ::GetFileAttributesW(path.c_str());
            const std::wstring folder =
                (attributes & FILE_ATTRIBUTE_DIRECTORY) ? path : path.substr(0, path.find_last_of(L'\\'));
            EXPECT_TRUE(NamesOnALine(message, folder)) << Narrow(message);
        }
        EXPECT_EQ(State(), before) << Narrow(message);
    }
}

TEST_F(DropTest, ASingleTemplateOrListFillsItsBoxOnly) {
    const WindowState before = State();
    Drop({temp_ / L"dvd.mcf"});
    EXPECT_EQ(MainWindow().Text(L"txtTemplateFile"), temp_ / L"dvd.mcf");
    Drop({temp_ / L"tonight.tbe"});
    EXPECT_EQ(MainWindow().Text(L"txtFileOutput"), temp_ / L"tonight.tbe");

    WindowState after = State();
    after.Template = before.Template;
    after.BatchFile = before.BatchFile;
    EXPECT_EQ(after, before) << "the browser moved";
    EXPECT_TRUE(messages_.Texts().empty());
    // The list named is not touched until a batch is created.
    WIN32_FILE_ATTRIBUTE_DATA list{};
    ASSERT_TRUE(::GetFileAttributesExW((temp_ / L"tonight.tbe").c_str(), GetFileExInfoStandard, &list));
    EXPECT_EQ(list.nFileSizeLow, 1u);
}

// "Open with" and "Send to" hand the paths over on the command line; they mean what a drop means.
TEST_F(DropTest, PathsOnTheCommandLineAreTakenLikeADrop) {
    const auto quoted = [&](const wchar_t* name) { return L" \"" + (temp_ / name) + L"\""; };
    temp_.MakeFile(L"tape.avi.");  // Windows drops that dot unless the path is taken literally
    struct Case {
        std::wstring Arguments;
        std::function<bool()> Done;
        const wchar_t* Says;  // a part of the one message, or nullptr for none
    };
    const Case cases[] = {
        {quoted(L"other\\y.avi") + quoted(L"other\\x.avi"),
         [&] {
             return SelectedFiles() == Names{L"x.avi", L"y.avi"};
         },
         nullptr},
        {L" a.avi", [&] { return DirectoryShown() == temp_.Path() && SelectedFiles() == Names{L"a.avi"}; }, nullptr},
        {quoted(L"tape.avi."), [&] { return SelectedFiles() == Names{L"tape.avi."}; }, nullptr},
        {quoted(L"clips"), [&] { return DirectoryShown() == temp_ / L"clips"; }, nullptr},
        {quoted(L"dvd.mcf"), [&] { return MainWindow().Text(L"txtTemplateFile") == temp_ / L"dvd.mcf"; }, nullptr},
        {quoted(L"tonight.tbe"),
         [&] { return MainWindow().Text(L"txtFileOutput") == temp_ / L"tonight.tbe"; },
         nullptr},
        {quoted(L"a.avi") + quoted(L"other\\x.avi"), [&] { return DirectoryShown() == temp_ / L"clips"; }, L"folder"},
        {quoted(L"gone.avi"), [&] { return DirectoryShown() == temp_ / L"clips"; }, L"files do not exist"},
        {L"", [&] { return DirectoryShown() == temp_ / L"clips"; }, nullptr},
    };
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring previous(size, L'\0');
    previous.resize(::GetCurrentDirectoryW(size, previous.data()));
    ASSERT_TRUE(::SetCurrentDirectoryW(temp_.Path().c_str()));
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.Arguments));
        messages_.Clear();
        MainWindow().OpenCommandLine((L"\"C:\\Program Files\\quorvel.exe\"" + c.Arguments).c_str());
        Pump();
        EXPECT_TRUE(c.Done());
        ASSERT_EQ(messages_.Texts().size(), c.Says ? 1u : 0u);
        if (c.Says) {
            EXPECT_NE(messages_.Texts()[0].find(c.Says), std::wstring::npos) << Narrow(messages_.Texts()[0]);
        }
    }
    ::SetCurrentDirectoryW(previous.c_str());
}

}  // namespace
}  // namespace quorvel::testing
