#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "DialogTest.h"
#include "DialogSupport.h"
#include "TestProgram.h"
#include "dialogs/FrmAdvanced.h"
#include "resources/AdvancedLayout.h"
#include "win/Dpi.h"

namespace quorvel::testing {
namespace {

constexpr wchar_t kInvalidPath[] = L"You must set a valid Path for TMPGEnc.EXE";

using Settings = std::vector<std::pair<std::wstring, std::wstring>>;

class AdvancedOptionsTest : public DialogTest {
protected:
    FrmAdvanced& Dialog() { return AdvancedDialog(); }
    HWND Control(FrmAdvanced::Id id) { return Dialog().Control(id); }
    HWND Named(std::wstring_view name) {
        return testing::ControlNamed(Dialog().Window(), layout::advanced::kWindow, name);
    }
    AdvancedOptions Taken() {
        AdvancedOptions options;
        EXPECT_TRUE(Dialog().TakeOptions(MainWindowForTests().Window(), options));
        return options;
    }
    void Open() {
        EXPECT_TRUE(Dialog().ShowOrActivate(MainWindowForTests().Window()));
        Pump();
    }
    // Sets the path box and clicks the auto-launch box; true when the box stayed set.
    bool TryAutoLaunch(const std::wstring& path) {
        SetTextOf(Control(L"txtCommandLineTMPGEnc"), path);
        if (IsChecked(Control(L"chkAutoRun"))) Click(Control(L"chkAutoRun"));
        Messages().clear();
        Click(Control(L"chkAutoRun"));
        return IsChecked(Control(L"chkAutoRun"));
    }
};

TEST_F(AdvancedOptionsTest, FirstRunShowsTheDesignValuesAndAnEmptyPath) {
    Open();
    ASSERT_TRUE(Dialog().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(Dialog().Window()));
    EXPECT_EQ(TextOf(Dialog().Window()), L"Advanced options");
    EXPECT_FALSE(IsChecked(Control(L"chkDeinterlace")));
    EXPECT_FALSE(IsChecked(Control(L"chktNoiseReduction")));
    EXPECT_FALSE(IsChecked(Control(L"chkAutoRun")));
    EXPECT_EQ(TextOf(Control(L"txtCommandLineTMPGEnc")), L"");
    EXPECT_EQ(::GetFocus(), Control(L"cmdOK"));
    EXPECT_TRUE(Messages().empty());

    // The lists and design texts are checked against the table below; the taken options carry
    // the same values.
    const AdvancedOptions options = Taken();
    EXPECT_EQ(options.AspectRatio, kDefaultAspectRatio);
    EXPECT_EQ(options.VideoSourceType, kDefaultVideoSourceType);
    EXPECT_EQ(options.TopClipping, kDefaultClipping);
    EXPECT_EQ(options.BottomClipping, kDefaultClipping);
    EXPECT_EQ(options.Deinterlace, 0);
    EXPECT_EQ(options.NoiseReduction, 0);
    EXPECT_EQ(options.AutoLaunch, 0);
    EXPECT_EQ(options.TMPGEncPath, "");
}

TEST_F(AdvancedOptionsTest, ControlsSitWhereTheTableSaysInTabOrder) {
    Open();
    const layout::Window& table = layout::advanced::kWindow;
    RECT client{};
    ::GetClientRect(Dialog().Window(), &client);
    EXPECT_EQ(client.right, win::TwipsToPixels(table.ClientWidth, 96));
    EXPECT_EQ(client.bottom, win::TwipsToPixels(table.ClientHeight, 96));

    std::vector<const layout::Control*> tabOrder;
    for (const layout::Control& c : table.Controls) {
        SCOPED_TRACE(c.Name);
        HWND control = Named(c.Name);
        ASSERT_NE(control, nullptr);
        int left = c.Left, top = c.Top;
        for (const layout::Control& frame : table.Controls)
            if (c.Container && std::wstring_view(frame.Name) == c.Container) left += frame.Left, top += frame.Top;
        const RECT r = ClientRectOf(control);
        EXPECT_EQ(r.left, win::TwipsToPixels(left, 96));
        EXPECT_EQ(r.top, win::TwipsToPixels(top, 96));
        EXPECT_EQ(r.right - r.left, win::TwipsToPixels(left + c.Width, 96) - win::TwipsToPixels(left, 96));
        // The path box's design text is replaced when the dialog loads.
        if (c.Caption && std::wstring_view(c.Name) != L"txtCommandLineTMPGEnc") {
            EXPECT_EQ(TextOf(control), c.Caption);
        }
        if (c.Type == layout::Kind::ComboDropDown) {
            EXPECT_EQ(ComboItems(control), std::vector<std::wstring>(c.Items.begin(), c.Items.end()));
        }
        if (c.TabIndex >= 0 && c.Type != layout::Kind::Frame && c.Type != layout::Kind::Label) tabOrder.push_back(&c);
    }

    // Tab walks the controls in the table's order and comes back to the first.
    std::ranges::sort(tabOrder, {}, &layout::Control::TabIndex);
    tabOrder.push_back(tabOrder.front());
    ::SetFocus(Named(tabOrder[0]->Name));
    for (size_t i = 1; i < tabOrder.size(); ++i) {
        PressKey(VK_TAB);
        HWND focus = ::GetFocus();
        // The focus of a combo box with an edit field lands in its edit child.
        if (::GetParent(focus) != Dialog().Window()) focus = ::GetParent(focus);
        EXPECT_EQ(focus, Named(tabOrder[i]->Name)) << "after " << tabOrder[i - 1]->Name;
    }
}

TEST_F(AdvancedOptionsTest, EnterOnAnotherControlLeavesTheDialogOpenAndEscUnloadsItUnsaved) {
    Open();
    ::SetFocus(Control(L"txtTopClipping"));
    PressKey(VK_RETURN);
    EXPECT_TRUE(::IsWindowVisible(Dialog().Window()));
    // Enter on the focused OK button presses it.
    ::SetFocus(Control(L"cmdOK"));
    PressKey(VK_RETURN);
    EXPECT_FALSE(::IsWindowVisible(Dialog().Window()));
    EXPECT_TRUE(Dialog().IsLoaded());
    // Esc is the close box: unloaded, nothing more saved.
    Open();
    const auto saved = Registry().AllSettings();
    ::SendMessageW(Control(L"chkDeinterlace"), BM_SETCHECK, BST_CHECKED, 0);
    ::SetFocus(Control(L"txtTopClipping"));
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(Dialog().IsLoaded());
    EXPECT_EQ(Registry().AllSettings(), saved);
}

TEST_F(AdvancedOptionsTest, AutoLaunchWithAnEmptyPathIsRefused) {
    Open();
    EXPECT_FALSE(TryAutoLaunch(L""));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text, kInvalidPath);
    EXPECT_EQ(Messages()[0].Owner, Dialog().Window());
    EXPECT_EQ(::GetFocus(), Control(L"txtCommandLineTMPGEnc"));
}

TEST_F(AdvancedOptionsTest, TheBareEncoderNameMustBeInTheCurrentDirectoryAndBesideTheProgram) {
    TempDirectory work;
    CurrentDirectoryScope here(work.Path());
    const std::wstring besideProgram = win::ProgramFolder() + L"TMPGEnc.exe";
    ::DeleteFileW(besideProgram.c_str());
    Open();

    work.MakeFile(L"TMPGEnc.exe");
    EXPECT_FALSE(TryAutoLaunch(L"TMPGEnc.exe")) << "only in the current directory";
    EXPECT_EQ(Messages().size(), 1u);
    // Typed in another case it is not the bare default name: only the existence rule applies.
    EXPECT_TRUE(TryAutoLaunch(L"tmpgenc.exe"));
    EXPECT_TRUE(Messages().empty());

    WriteBytes(besideProgram, "x");
    EXPECT_TRUE(TryAutoLaunch(L"TMPGEnc.exe")) << "in both places";
    ::DeleteFileW((work / L"TMPGEnc.exe").c_str());
    EXPECT_FALSE(TryAutoLaunch(L"TMPGEnc.exe")) << "only beside the program";
    ::DeleteFileW(besideProgram.c_str());
}

TEST_F(AdvancedOptionsTest, OnlyOrdinaryFilesCountAsTheEncoder) {
    TempDirectory work;
    const std::wstring encoder = work.MakeFile(L"enc.exe");
    work.MakeFile(L"hidden.exe", FILE_ATTRIBUTE_HIDDEN);
    work.MakeFile(L"system.exe", FILE_ATTRIBUTE_SYSTEM);
    work.MakeDirectory(L"folder.exe");
    Open();

    EXPECT_TRUE(TryAutoLaunch(encoder));
    EXPECT_TRUE(TryAutoLaunch(work / L"e*.exe")) << "wildcards match as in a directory search";
    EXPECT_FALSE(TryAutoLaunch(work / L"hidden.exe"));
    EXPECT_FALSE(TryAutoLaunch(work / L"system.exe"));
    EXPECT_FALSE(TryAutoLaunch(work / L"folder.exe"));
    EXPECT_FALSE(TryAutoLaunch(work / L"missing.exe"));
    // Searches that cannot be made are refusals, not an end.
    EXPECT_FALSE(TryAutoLaunch(L"Q:\\no drive\\TMPGEnc.exe"));
    EXPECT_FALSE(TryAutoLaunch(L"\\\\?\\bad<>name"));
    EXPECT_FALSE(TryAutoLaunch(work.Path()));
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(AdvancedOptionsTest, LoadingRestoresTheStoreAndTestsARestoredAutoLaunch) {
    TempDirectory work;
    const std::wstring encoder = work.MakeFile(L"TMPGEnc.exe");
    Registry().SetSetting(L"Deinterlace", L" 1");
    Registry().SetSetting(L"Noise", L"yes");
    Registry().SetSetting(L"AutoLaunch", L"1");
    Registry().SetSetting(L"TMPGEncPath", encoder);
    Open();
    EXPECT_TRUE(IsChecked(Control(L"chkDeinterlace")));
    EXPECT_FALSE(IsChecked(Control(L"chktNoiseReduction")));
    EXPECT_TRUE(IsChecked(Control(L"chkAutoRun")));
    EXPECT_EQ(TextOf(Control(L"txtCommandLineTMPGEnc")), encoder);
    EXPECT_TRUE(Messages().empty());
    ::DestroyWindow(Dialog().Window());

    // The saved path is gone: the load refuses it over the visible dialog.
    const std::wstring missing = work / L"gone\\TMPGEnc.exe";
    Registry().SetSetting(L"TMPGEncPath", missing);
    Open();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].Text, kInvalidPath);
    EXPECT_TRUE(Messages()[0].OwnerVisible);
    EXPECT_FALSE(IsChecked(Control(L"chkAutoRun")));
    EXPECT_EQ(TextOf(Control(L"txtCommandLineTMPGEnc")), missing);
    EXPECT_EQ(::GetActiveWindow(), Dialog().Window());
    EXPECT_EQ(::GetFocus(), Control(L"txtCommandLineTMPGEnc"));
    // Nothing is written until OK.
    const Settings stored = Registry().AllSettings();
    EXPECT_NE(std::find(stored.begin(), stored.end(), std::make_pair(std::wstring(L"AutoLaunch"), std::wstring(L"1"))),
              stored.end());
}

TEST_F(AdvancedOptionsTest, OkHidesAndWritesExactlyTheFourKeys) {
    Registry().SetSetting(L"FileOutput", L"C:\\keep.tbe");
    Open();
    Click(Control(L"chkDeinterlace"));
    SetTextOf(Control(L"txtCommandLineTMPGEnc"), L"D:\\Tools Dir\\TMPGEnc.exe ");
    SetTextOf(Control(L"cmbAspectRatio"), L"16:9 Display");
    SetTextOf(Control(L"txtTopClipping"), L"not a number");
    Click(Control(L"cmdOK"));

    EXPECT_TRUE(Dialog().IsLoaded());
    EXPECT_FALSE(::IsWindowVisible(Dialog().Window()));
    EXPECT_EQ(Registry().AllSettings(),
              (Settings{{L"AutoLaunch", L"0"},
                        {L"Deinterlace", L"1"},
                        {L"FileOutput", L"C:\\keep.tbe"},
                        {L"Noise", L"0"},
                        {L"TMPGEncPath", L"D:\\Tools Dir\\TMPGEnc.exe "}}));

    // Shown again it holds everything, including the values that are never stored, and does
    // not load again from the store.
    Registry().SetSetting(L"Deinterlace", L"0");
    Open();
    EXPECT_TRUE(::IsWindowVisible(Dialog().Window()));
    EXPECT_TRUE(IsChecked(Control(L"chkDeinterlace")));
    EXPECT_EQ(TextOf(Control(L"cmbAspectRatio")), L"16:9 Display");
    EXPECT_EQ(TextOf(Control(L"txtTopClipping")), L"not a number");
    const AdvancedOptions options = Taken();
    EXPECT_EQ(options.AspectRatio, "16:9 Display");
    EXPECT_EQ(options.TMPGEncPath, "D:\\Tools Dir\\TMPGEnc.exe ");
    EXPECT_EQ(options.Deinterlace, 1);
}

TEST_F(AdvancedOptionsTest, TheCloseBoxUnloadsWithoutSaving) {
    Registry().SetSetting(L"Noise", L"1");
    Open();
    EXPECT_TRUE(IsChecked(Control(L"chktNoiseReduction")));
    Click(Control(L"chktNoiseReduction"));
    SetTextOf(Control(L"cmbVideoSourceType"), L"Interlace");
    SetTextOf(Control(L"txtCommandLineTMPGEnc"), L"C:\\x.exe");
    const Settings before = Registry().AllSettings();
    ::SendMessageW(Dialog().Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(Dialog().IsLoaded());
    EXPECT_EQ(Registry().AllSettings(), before);

    // The next load starts again from the store and the design values.
    Open();
    EXPECT_TRUE(IsChecked(Control(L"chktNoiseReduction")));
    EXPECT_EQ(TextOf(Control(L"cmbVideoSourceType")), layout::kWideText<kDefaultVideoSourceType>);
    EXPECT_EQ(TextOf(Control(L"txtCommandLineTMPGEnc")), L"");
}

TEST_F(AdvancedOptionsTest, TakingTheOptionsLoadsAndShowsTheDialogOnce) {
    ASSERT_FALSE(Dialog().IsLoaded());
    Registry().SetSetting(L"Deinterlace", L"1");
    AdvancedOptions options = Taken();
    EXPECT_TRUE(Dialog().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(Dialog().Window()));
    EXPECT_EQ(options.Deinterlace, 1);
    HWND first = Dialog().Window();

    // Text the core reads as UTF-8.
    SetTextOf(Control(L"cmbAspectRatio"), L"4:3 \u00c4rger");
    Click(Control(L"cmdOK"));
    options = Taken();
    EXPECT_EQ(Dialog().Window(), first);
    EXPECT_FALSE(::IsWindowVisible(Dialog().Window())) << "a hidden dialog stays hidden";
    EXPECT_EQ(options.AspectRatio, "4:3 \xc3\x84rger");
}

TEST_F(AdvancedOptionsTest, TheAdvancedButtonShowsAgainOrBringsForward) {
    FrmQuorvel& main = MainWindowForTests();
    main.cmdAdvanced_Click();
    Pump();
    HWND first = Dialog().Window();
    ASSERT_NE(first, nullptr);
    SetTextOf(Control(L"txtBottomClipping"), L"8");
    main.cmdAdvanced_Click();
    Pump();
    EXPECT_EQ(Dialog().Window(), first);
    Click(Control(L"cmdOK"));
    main.cmdAdvanced_Click();
    Pump();
    EXPECT_EQ(Dialog().Window(), first);
    EXPECT_TRUE(::IsWindowVisible(first));
    EXPECT_EQ(TextOf(Control(L"txtBottomClipping")), L"8");
    // Not owned, so the main window can be brought in front of it; a task bar button of its
    // own; centred over the main window.
    EXPECT_EQ(::GetWindow(first, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongW(first, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT owner{}, self{};
    ::GetWindowRect(main.Window(), &owner);
    ::GetWindowRect(first, &self);
    EXPECT_NEAR((self.left + self.right) / 2, (owner.left + owner.right) / 2, 1);
    EXPECT_NEAR((self.top + self.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
}

// Raising alone would leave Esc and Enter with the main window.
TEST_F(AdvancedOptionsTest, ASecondPressActivatesTheOpenDialogAndTheMainWindowCanComeInFront) {
    FrmQuorvel& main = MainWindowForTests();
    main.cmdAdvanced_Click();
    Pump();
    ::SetActiveWindow(main.Window());
    Pump();
    ASSERT_EQ(::GetActiveWindow(), main.Window());
    main.cmdAdvanced_Click();
    Pump();
    EXPECT_EQ(::GetActiveWindow(), Dialog().Window());
    EXPECT_TRUE(::IsWindowVisible(Dialog().Window()));
    EXPECT_EQ(::GetFocus(), Control(L"cmdOK")) << "the focus comes back where it was";

    // Brought to the top, the main window goes above the dialog (an owned one would stay above).
    ::BringWindowToTop(main.Window());
    Pump();
    bool mainAbove = false;
    for (HWND w = ::GetWindow(Dialog().Window(), GW_HWNDPREV); w; w = ::GetWindow(w, GW_HWNDPREV))
        mainAbove = mainAbove || w == main.Window();
    EXPECT_TRUE(mainAbove);
}

}  // namespace
}  // namespace quorvel::testing
