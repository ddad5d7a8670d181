// The wrapper against the real open-file dialog: a thread timer types into it and presses its
// buttons from inside its own modal loop.

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "DialogDriver.h"
#include "filedialog/CommonDialogApi.h"

namespace quorvel {
namespace {

using namespace std::string_literals;
using testing::DialogDriver;

struct Centring {
    int calls = 0;
    HWND dialog = nullptr;
    RECT atActivation{};
    POINT movedTo{};
    RECT afterMove{};
};
Centring centring;

void WatchCentring(HWND dialog, const RECT& atActivation, POINT movedTo) {
    ++centring.calls;
    centring.dialog = dialog;
    centring.atActivation = atActivation;
    centring.movedTo = movedTo;
    ::GetWindowRect(dialog, &centring.afterMove);
}

HWND MakeWindow(const wchar_t* caption, int x, int y, int width, int height) {
    static const ATOM windowClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorvelFileDialogTestOwner";
        return ::RegisterClassW(&wc);
    }();
    HWND window = ::CreateWindowExW(0,
                                    MAKEINTATOM(windowClass),
                                    caption,
                                    WS_OVERLAPPEDWINDOW,
                                    x,
                                    y,
                                    width,
                                    height,
                                    nullptr,
                                    nullptr,
                                    ::GetModuleHandleW(nullptr),
                                    nullptr);
    ::ShowWindow(window, SW_SHOW);
    return window;
}

void Touch(const std::wstring& path) {
    ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Where the centre of a rectangle of the given size lands when its corner is at `corner`, minus
// the centre of `area`; within half a pixel means centred.
double CentreOffset(LONG corner, LONG size, LONG areaStart, LONG areaSize) {
    return (corner + size / 2.0) - (areaStart + areaSize / 2.0);
}

class FileDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        owner = MakeWindow(L"Owner", 203, 150, 801, 601);
        wchar_t temp[MAX_PATH]{};
        ::GetTempPathW(MAX_PATH, temp);
        directory = temp + L"quorvel-filedialog-"s + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(directory.c_str(), nullptr);
        for (const wchar_t* name : {L"a.avi", L"b.avi", L"c.tbe", L"TMPEG_Batch.tbe"}) Touch(directory + L"\\" + name);
    }
    static void TearDownTestSuite() {
        for (const wchar_t* name : {L"a.avi", L"b.avi", L"c.tbe", L"TMPEG_Batch.tbe"})
            ::DeleteFileW((directory + L"\\" + name).c_str());
        ::RemoveDirectoryW(directory.c_str());
        ::DestroyWindow(owner);
    }

    void SetUp() override {
        dialogs = CommonDialogApi{};  // as at the start of a run
        dialogs.CentringWatcher = &WatchCentring;
        centring = Centring{};
        Request(L"TMPEG Batch Files (*.tbe)\0*.tbe\0All Files (*.*)\0*.*"s, directory, L"");
    }
    void TearDown() override {
        EXPECT_FALSE(CommonDialogApi::CentringHookWaiting()) << "a centring hook outlived its dialog";
    }

    static void Request(const std::wstring& filter, const std::wstring& initialDir, const std::wstring& name) {
        request = {filter, L"Select a file", initialDir, name};
    }
    static FileDialogResult Show(HWND from, bool overOwner = true) {
        return dialogs.ShowFileDialog(from, overOwner, request);
    }

    // Types `typed` into the name box and confirms it.
    static FileDialogResult Choose(const std::wstring& typed, HWND from = owner) {
        DialogDriver driver({[&](HWND dialog) {
            testing::TypeFileName(dialog, typed);
            testing::Press(dialog, IDOK);
        }});
        FileDialogResult result = Show(from);
        EXPECT_FALSE(driver.TimedOut()) << "the dialog had to be cancelled at the deadline";
        return result;
    }

    static inline HWND owner = nullptr;
    static inline std::wstring directory;
    static inline OpenFileRequest request;
    static inline CommonDialogApi dialogs;
};

TEST_F(FileDialogTest, OneFileGivesItsDirectoryWithBackslashAndItsName) {
    const FileDialogResult result = Choose(L"c.tbe");
    ASSERT_FALSE(result.Cancelled);
    EXPECT_EQ(result.FileCount, 1);
    EXPECT_EQ(result.Directory, directory + L"\\");
    EXPECT_EQ(result.FileNames, std::vector<std::wstring>{L"c.tbe"});
}

TEST_F(FileDialogTest, FileInADriveRootKeepsTheRootBackslash) {
    const std::wstring name = L"quorvel-root-" + std::to_wstring(::GetCurrentProcessId()) + L".tbe";
    Touch(L"C:\\" + name);
    Request(L"All Files (*.*)\0*.*"s, L"C:\\", L"");
    const std::wstring second = L"2" + name;
    Touch(L"C:\\" + second);
    const FileDialogResult one = Choose(name);
    const FileDialogResult two = Choose(L"\"" + name + L"\" \"" + second + L"\"");
    ::DeleteFileW((L"C:\\" + name).c_str());
    ::DeleteFileW((L"C:\\" + second).c_str());
    ASSERT_FALSE(one.Cancelled);
    EXPECT_EQ(one.Directory, L"C:\\");
    EXPECT_EQ(one.FileNames, std::vector<std::wstring>{name});
    EXPECT_EQ(two.Directory, L"C:\\");
    EXPECT_EQ(two.FileNames, (std::vector<std::wstring>{name, second}));
}

TEST_F(FileDialogTest, SeveralFilesGiveTheDirectoryWithoutBackslashAndEveryName) {
    const FileDialogResult result = Choose(L"\"a.avi\" \"b.avi\"");
    ASSERT_FALSE(result.Cancelled);
    EXPECT_EQ(result.FileCount, 2);
    EXPECT_EQ(result.Directory, directory);
    EXPECT_EQ(result.FileNames, (std::vector<std::wstring>{L"a.avi", L"b.avi"}));
}

TEST_F(FileDialogTest, CancelGivesNothing) {
    Request(L"All Files (*.*)\0*.*"s, directory, L"c.tbe");
    DialogDriver driver({[](HWND dialog) { testing::Press(dialog, IDCANCEL); }});
    const FileDialogResult result = Show(owner);
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(driver.StepsDone(), 1u);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_EQ(result.FileCount, 0);
    EXPECT_TRUE(result.Directory.empty());
    EXPECT_TRUE(result.FileNames.empty());
}

// The dialog has no read-only box, and the default name is shown bare and can be confirmed as
// shown.
TEST_F(FileDialogTest, DefaultNameIsShownAndConfirmedWithoutReadOnlyBox) {
    Request(L"TMPEG Batch Files (*.tbe)\0*.tbe"s, directory, L"TMPEG_Batch.tbe");
    std::wstring shown;
    bool readOnlyBoxShown = true;
    DialogDriver driver({[&](HWND dialog) {
        shown = testing::TextOf(testing::FileNameBox(dialog));
        HWND readOnly = ::GetDlgItem(dialog, chx1);
        readOnlyBoxShown = readOnly && ::IsWindowVisible(readOnly);
        testing::Press(dialog, IDOK);
    }});
    const FileDialogResult result = Show(owner);
    ASSERT_FALSE(driver.TimedOut());
    EXPECT_EQ(shown, L"TMPEG_Batch.tbe");
    EXPECT_FALSE(readOnlyBoxShown);
    EXPECT_EQ(result.Directory + result.FileNames.at(0), directory + L"\\TMPEG_Batch.tbe");
}

TEST_F(FileDialogTest, NewNameAsksToCreateAndIsReturnedWithoutBeingCreated) {
    bool prompted = false;
    DialogDriver driver({[](HWND dialog) {
                             testing::TypeFileName(dialog, L"new.tbe");
                             testing::Press(dialog, IDOK);
                         },
                         [&](HWND prompt) {
                             prompted = ::GetDlgItem(prompt, IDYES) != nullptr;
                             testing::Press(prompt, IDYES);
                         }});
    const FileDialogResult result = Show(owner);
    ASSERT_FALSE(driver.TimedOut());
    EXPECT_TRUE(prompted);
    EXPECT_EQ(result.Directory + result.FileNames.at(0), directory + L"\\new.tbe");
    EXPECT_FALSE(Exists(directory + L"\\new.tbe"));
}

TEST_F(FileDialogTest, ConfirmedFilterIsSelectedByTheNextDialogOfAnyCaller) {
    int firstOpenedWith = -1;
    DialogDriver first({[&](HWND dialog) {
        firstOpenedWith = testing::SelectedFilter(dialog);
        testing::SelectFilter(dialog, 1);
        testing::TypeFileName(dialog, L"a.avi");
        testing::Press(dialog, IDOK);
    }});
    ASSERT_FALSE(Show(owner).Cancelled);
    EXPECT_EQ(firstOpenedWith, 0);
    EXPECT_EQ(dialogs.OpenFileRecord.nFilterIndex, 2u);

    Request(L"TMPEG Template (*.mcf)\0*.mcf\0All Files (*.*)\0*.*"s, directory, L"");
    int secondOpenedWith = -1;
    DialogDriver second({[&](HWND dialog) {
        secondOpenedWith = testing::SelectedFilter(dialog);
        testing::Press(dialog, IDCANCEL);
    }});
    Show(owner);
    EXPECT_FALSE(second.TimedOut());
    EXPECT_EQ(secondOpenedWith, 1);
}

// The dialog grows after activation under Wine, so centring is checked on the rectangle the hook
// saw; the corner it chose must then stay where it was put.
TEST_F(FileDialogTest, HookCentresTheDialogOverItsOwnerOnce) {
    DialogDriver driver({[](HWND dialog) { testing::Press(dialog, IDCANCEL); }});
    Show(owner);
    ASSERT_EQ(driver.ActedOn().size(), 1u);
    ASSERT_EQ(centring.calls, 1);
    EXPECT_EQ(centring.dialog, driver.ActedOn()[0]);

    RECT ownerRect{};
    ::GetWindowRect(owner, &ownerRect);
    const RECT& seen = centring.atActivation;
    EXPECT_LE(std::abs(CentreOffset(
                  centring.movedTo.x, seen.right - seen.left, ownerRect.left, ownerRect.right - ownerRect.left)),
              0.5);
    EXPECT_LE(std::abs(CentreOffset(
                  centring.movedTo.y, seen.bottom - seen.top, ownerRect.top, ownerRect.bottom - ownerRect.top)),
              0.5);
    EXPECT_EQ(centring.afterMove.left, centring.movedTo.x);
    EXPECT_EQ(centring.afterMove.top, centring.movedTo.y);
    EXPECT_EQ(centring.afterMove.right - centring.afterMove.left, seen.right - seen.left) << "the hook resized";
    EXPECT_EQ(driver.ActedRects()[0].left, centring.movedTo.x);
    EXPECT_EQ(driver.ActedRects()[0].top, centring.movedTo.y);
}

// Without an owner to centre on, the owner hook falls back to the screen rather than to (0, 0).
TEST_F(FileDialogTest, ScreenHookAndOwnerlessDialogsCentreOnThePrimaryScreen) {
    for (const auto& [from, overOwner] : {std::pair{owner, false}, std::pair{HWND{}, true}}) {
        centring = Centring{};
        DialogDriver driver({[](HWND dialog) { testing::Press(dialog, IDCANCEL); }});
        Show(from, overOwner);
        ASSERT_EQ(centring.calls, 1);
        const RECT& seen = centring.atActivation;
        EXPECT_LE(
            std::abs(CentreOffset(centring.movedTo.x, seen.right - seen.left, 0, ::GetSystemMetrics(SM_CXSCREEN))), 0.5)
            << overOwner;
        EXPECT_LE(
            std::abs(CentreOffset(centring.movedTo.y, seen.bottom - seen.top, 0, ::GetSystemMetrics(SM_CYSCREEN))), 0.5)
            << overOwner;
    }
}

TEST_F(FileDialogTest, DialogThatFailsBeforeOpeningLeavesNoHookBehind) {
    HWND notAWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0123));
    ASSERT_FALSE(::IsWindow(notAWindow));
    DialogDriver driver({[](HWND dialog) { testing::Press(dialog, IDCANCEL); }});
    EXPECT_TRUE(Show(notAWindow).Cancelled);
    EXPECT_EQ(driver.StepsDone(), 0u) << "the dialog opened after all; this case tests nothing";
    EXPECT_FALSE(CommonDialogApi::CentringHookWaiting());

    HWND later = MakeWindow(L"Later", 40, 30, 300, 200);
    ::SetActiveWindow(later);
    RECT rect{};
    ::GetWindowRect(later, &rect);
    ::DestroyWindow(later);
    EXPECT_EQ(centring.calls, 0) << "a hook left behind moved the next window";
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
}

// A second dialog opened from another window while the first is up: each call gets its own
// answer, the newer dialog is centred over its own owner, and the first keeps its own caption
// (its create prompt is titled with it) and folder.
TEST_F(FileDialogTest, NestedDialogsBothAnswerAndKeepTheirOwnStrings) {
    HWND other = MakeWindow(L"Other", 20, 20, 500, 400);
    const std::wstring sub = directory + L"\\inner";
    ::CreateDirectoryW(sub.c_str(), nullptr);
    Touch(sub + L"\\b.avi");
    request.Title = L"Outer";
    FileDialogResult inner;
    std::wstring promptTitle;
    std::optional<DialogDriver> promptDriver;
    DialogDriver outer({[&](HWND outerDialog) {
        {
            DialogDriver innerDriver({[](HWND dialog) {
                                         testing::TypeFileName(dialog, L"b.avi");
                                         testing::Press(dialog, IDOK);
                                     }},
                                     {outerDialog});
            inner = dialogs.ShowFileDialog(other, true, {L"All Files (*.*)\0*.*"s, L"Inner title", sub, L""});
        }
        promptDriver.emplace(std::vector<DialogDriver::Step>{[&](HWND prompt) {
                                 promptTitle = testing::TextOf(prompt);
                                 testing::Press(prompt, IDYES);
                             }},
                             std::vector<HWND>{outerDialog});
        testing::TypeFileName(outerDialog, L"made-up.tbe");
        testing::Press(outerDialog, IDOK);
    }});
    const FileDialogResult result = Show(owner);
    ASSERT_FALSE(outer.TimedOut());
    EXPECT_EQ(inner.Directory + inner.FileNames.at(0), sub + L"\\b.avi");
    EXPECT_EQ(result.Directory + result.FileNames.at(0), directory + L"\\made-up.tbe");
    EXPECT_EQ(promptTitle, L"Outer");
    EXPECT_EQ(centring.calls, 2);
    RECT otherRect{};
    ::GetWindowRect(other, &otherRect);
    EXPECT_LE(std::abs(CentreOffset(centring.movedTo.x,
                                    centring.atActivation.right - centring.atActivation.left,
                                    otherRect.left,
                                    otherRect.right - otherRect.left)),
              0.5);
    ::DestroyWindow(other);
    ::DeleteFileW((sub + L"\\b.avi").c_str());
    ::RemoveDirectoryW(sub.c_str());
}

// A name the ANSI code page cannot hold, in a folder it cannot hold either, comes back whole.
TEST_F(FileDialogTest, NamesOutsideTheCodePageComeBackWhole) {
    const std::wstring sub = directory + L"\\\u0432\u0438\u0434\u0435\u043e";  // видео
    const std::wstring name = L"\u65e5\u672c\u8a9e \u0395\u03bb\u03bb\u03ac\u03b4\u03b1.tbe";
    ::CreateDirectoryW(sub.c_str(), nullptr);
    Touch(sub + L"\\" + name);
    Request(L"All Files (*.*)\0*.*"s, sub, L"");
    const FileDialogResult result = Choose(name);
    ::DeleteFileW((sub + L"\\" + name).c_str());
    ::RemoveDirectoryW(sub.c_str());
    ASSERT_FALSE(result.Cancelled);
    EXPECT_EQ(result.Directory, sub + L"\\");
    EXPECT_EQ(result.FileNames, std::vector<std::wstring>{name});
}

}  // namespace
}  // namespace quorvel
