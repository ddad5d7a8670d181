#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "DialogTest.h"
#include "DialogSupport.h"
#include "TestProgram.h"
#include "dialogs/FrmSelectOutputDir.h"
#include "win/DirectoryLists.h"

namespace quorvel::testing {
namespace {

class OutputDirectoryTest : public DialogTest {
protected:
    FrmSelectOutputDir& Dialog() { return OutputDirectoryDialog(); }
    HWND Control(FrmSelectOutputDir::Id id) { return Dialog().Control(id); }
    std::wstring OutputBox() { return MainWindowForTests().Text(L"txtOutputDirectory"); }
    void Open() {
        MainWindowForTests().cmdFindOutputDirectory_Click();
        Pump();
    }
    // The line of a list box whose text contains the name, or -1.
    int LineHolding(HWND list, const std::wstring& name, UINT getText = LB_GETTEXT, UINT getCount = LB_GETCOUNT) {
        const int count = static_cast<int>(::SendMessageW(list, getCount, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[1024]{};
            ::SendMessageW(list, getText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            std::wstring line(text);
            for (wchar_t& c : line) c = static_cast<wchar_t>(std::towlower(c));
            std::wstring wanted(name);
            for (wchar_t& c : wanted) c = static_cast<wchar_t>(std::towlower(c));
            if (line.find(wanted) != std::wstring::npos) return i;
        }
        return -1;
    }
    void Notify(FrmSelectOutputDir::Id id, int line, UINT setSelection, WORD code) {
        HWND list = Control(id);
        ::SendMessageW(list, setSelection, static_cast<WPARAM>(line), 0);
        ::SendMessageW(
            Dialog().Window(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), code), reinterpret_cast<LPARAM>(list));
        Pump();
    }
};

TEST_F(OutputDirectoryTest, OpenHandsOverTheOpenDirectoryWithOneBackslash) {
    TempDirectory work;
    const std::wstring video = work.MakeDirectory(L"Video");
    CurrentDirectoryScope here(video);
    MainWindowForTests().SetText(L"txtOutputDirectory", L"C:\\before\\");
    Open();
    ASSERT_TRUE(Dialog().IsCreated());
    EXPECT_TRUE(::IsWindowVisible(Dialog().Window()));
    EXPECT_EQ(TextOf(Dialog().Window()), L"Select Output Directory");
    EXPECT_EQ(::GetFocus(), Control(L"dirList"));
    EXPECT_NE(::GetClassLongPtrW(Dialog().Window(), GCLP_HICON), 0);
    RECT self{};
    ::GetWindowRect(Dialog().Window(), &self);
    EXPECT_NEAR((self.left + self.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((self.top + self.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(Dialog().OpenDirectory(), video);
    Click(Control(L"cmdSelect"));
    EXPECT_EQ(OutputBox(), video + L"\\");
    EXPECT_FALSE(Dialog().IsCreated());
}

TEST_F(OutputDirectoryTest, ControlsSitWhereTheTableSaysInTabOrder) {
    Open();
    RECT client{};
    ::GetClientRect(Dialog().Window(), &client);
    EXPECT_EQ(client.right, 416);
    EXPECT_EQ(client.bottom, 269);
    const RECT list = ClientRectOf(Control(L"dirList"));
    EXPECT_EQ(list.left, 12);
    EXPECT_EQ(list.top, 56);
    EXPECT_EQ(list.right - list.left, 381);
    EXPECT_EQ(list.bottom - list.top, 141);
    EXPECT_EQ(ClientRectOf(Control(L"cmdSelect")).left, 232);
    EXPECT_EQ(ClientRectOf(Control(L"cmdCancel")).top, 228);
    EXPECT_EQ(TextOf(Control(L"frmFromList")), L"Select Directory to store converted MPG files");
    EXPECT_EQ(TextOf(Control(L"cmdSelect")), L"&Open");
    EXPECT_EQ(TextOf(Control(L"cmdCancel")), L"&Cancel");
    for (const wchar_t* next : {L"DrvList", L"cmdSelect", L"cmdCancel", L"dirList"}) {
        PressKey(VK_TAB);
        EXPECT_EQ(::GetFocus(), testing::ControlNamed(Dialog().Window(), layout::outputdir::kWindow, next))
            << std::string(next, next + wcslen(next));
    }
}

TEST_F(OutputDirectoryTest, ADriveRootKeepsItsSingleBackslash) {
    CurrentDirectoryScope here(L"C:\\");
    Open();
    EXPECT_EQ(Dialog().OpenDirectory(), L"C:\\");
    Click(Control(L"cmdSelect"));
    EXPECT_EQ(OutputBox(), L"C:\\");
}

TEST_F(OutputDirectoryTest, AHighlightedEntryIsNotTakenAnOpenedOneIs) {
    TempDirectory work;
    work.MakeDirectory(L"First");
    const std::wstring second = work.MakeDirectory(L"Second");
    CurrentDirectoryScope here(work.Path());
    Open();
    const int line = LineHolding(Control(L"dirList"), L"Second");
    ASSERT_GE(line, 0);
    Notify(L"dirList", line, LB_SETCURSEL, LBN_SELCHANGE);
    EXPECT_EQ(Dialog().OpenDirectory(), work.Path());
    Click(Control(L"cmdSelect"));
    EXPECT_EQ(OutputBox(), work.Path() + L"\\");

    Open();
    Notify(L"dirList", LineHolding(Control(L"dirList"), L"Second"), LB_SETCURSEL, LBN_DBLCLK);
    EXPECT_EQ(Dialog().OpenDirectory(), second);
    Click(Control(L"cmdSelect"));
    EXPECT_EQ(OutputBox(), second + L"\\");

    // Enter in the list opens the highlighted entry; Enter on a button presses that button.
    Open();
    ::SetFocus(Control(L"dirList"));
    ::SendMessageW(
        Control(L"dirList"), LB_SETCURSEL, static_cast<WPARAM>(LineHolding(Control(L"dirList"), L"First")), 0);
    PressKey(VK_RETURN);
    EXPECT_EQ(Dialog().OpenDirectory(), work / L"First");
    EXPECT_TRUE(Dialog().IsCreated());
    ::SetFocus(Control(L"cmdCancel"));
    PressKey(VK_RETURN);
    EXPECT_FALSE(Dialog().IsCreated());
    EXPECT_EQ(OutputBox(), second + L"\\");
}

TEST_F(OutputDirectoryTest, CancelAndTheCloseBoxLeaveTheBoxAndUnload) {
    MainWindowForTests().SetText(L"txtOutputDirectory", L"D:\\keep me");
    Open();
    Click(Control(L"cmdCancel"));
    EXPECT_FALSE(Dialog().IsCreated());
    EXPECT_EQ(OutputBox(), L"D:\\keep me");
    Open();
    ::SendMessageW(Dialog().Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(Dialog().IsCreated());
    EXPECT_EQ(OutputBox(), L"D:\\keep me");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(OutputDirectoryTest, EveryShowingStartsAtTheCurrentDirectoryAndASecondPressBringsItForward) {
    TempDirectory work;
    const std::wstring one = work.MakeDirectory(L"one");
    const std::wstring two = work.MakeDirectory(L"two");
    CurrentDirectoryScope here(one);
    Open();
    HWND first = Dialog().Window();
    EXPECT_EQ(Dialog().OpenDirectory(), one);

    // Pressed again while open: the same window where it was, not a fresh start.
    ::SetCurrentDirectoryW(two.c_str());
    ::SetActiveWindow(MainWindowForTests().Window());
    Pump();
    Open();
    EXPECT_EQ(Dialog().Window(), first);
    EXPECT_EQ(Dialog().OpenDirectory(), one);
    EXPECT_EQ(::GetActiveWindow(), first) << "raised but not activated";
    EXPECT_EQ(::GetWindow(first, GW_OWNER), nullptr) << "an owned dialog would stay above the main window";
    Click(Control(L"cmdCancel"));

    MainWindowForTests().SetText(L"txtOutputDirectory", one + L"\\");
    Open();
    EXPECT_EQ(Dialog().OpenDirectory(), two) << "neither the box nor the last showing is the start";
}

TEST_F(OutputDirectoryTest, AnUnreadableDriveLeavesTheListsWhereTheyWere) {
    TempDirectory work;
    CurrentDirectoryScope here(work.Path());
    Open();
    HWND drives = Control(L"DrvList");
    const int other = LineHolding(drives, L"z:", CB_GETLBTEXT, CB_GETCOUNT);
    ASSERT_GE(other, 0) << "Wine maps drive Z:";
    const int before = static_cast<int>(::SendMessageW(drives, CB_GETCURSEL, 0, 0));
    const win::DirectoryProbe::Simulation previous =
        TheProgram().Directories().Simulate([](const std::wstring& path, std::wstring* reason) {
            if (!path.empty() && std::towupper(path[0]) == L'Z') {
                if (reason) *reason = L"The device is not ready.";
                return win::DirectoryState::Unreadable;
            }
            return win::DirectoryState::Exists;
        });
    Notify(L"DrvList", other, CB_SETCURSEL, CBN_SELCHANGE);
    TheProgram().Directories().Simulate(previous);
    EXPECT_TRUE(Dialog().IsCreated());
    EXPECT_EQ(Dialog().OpenDirectory(), work.Path());
    EXPECT_EQ(::SendMessageW(drives, CB_GETCURSEL, 0, 0), before);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].Text.find(L"Z:"), std::wstring::npos);
}

}  // namespace
}  // namespace quorvel::testing
