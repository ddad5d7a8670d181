#include <windows.h>
#include <oleacc.h>

#include <algorithm>

#include "MainWindowTest.h"
#include "dialogs/FrmAdvanced.h"
#include "resources/MainWindowLayout.h"
#include "batch/TextWindows.h"

namespace quorvel::testing {
namespace {

using Names = std::vector<std::wstring>;

RECT RectInParent(HWND control) {
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The control that has the focus, counting a combo box's edit field as the combo box.
HWND FocusedControl() {
    HWND focus = ::GetFocus();
    wchar_t className[32] = {};
    if (focus) ::GetClassNameW(::GetParent(focus), className, 32);
    if (lstrcmpiW(className, L"ComboBox") == 0) return ::GetParent(focus);
    return focus;
}

class LayoutTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        temp_.MakeFile(L"one.avi");
        temp_.MakeFile(L"two.avi");
        Start();
        // The About window opens in front at start-up; these tests are about the main window.
        ::DestroyWindow(AboutDialog().Window());
        ::SetForegroundWindow(MainWindow().Window());
        ::SetActiveWindow(MainWindow().Window());
        Pump();
    }
    void TearDown() override {
        if (AdvancedDialog().IsLoaded()) ::DestroyWindow(AdvancedDialog().Window());
        MainWindowTest::TearDown();
    }
};

TEST_F(LayoutTest, WindowHasTheTablesControlsAtTheirPixelPositions) {
    HWND main = MainWindow().Window();
    int children = 0;
    for (HWND child = ::GetWindow(main, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, 27);
    RECT client;
    ::GetClientRect(main, &client);
    EXPECT_EQ(client.right, 425);
    EXPECT_EQ(client.bottom, 537);

    struct Place {
        const wchar_t* Name;
        RECT Pixels;
    };
    // Frame offset plus the control's own twips, at 15 twips a pixel.
    const Place places[] = {
        {L"txtFileOutput", {82, 318, 82 + 281, 318 + 21}},
        {L"DrvList", {20, 36, 20 + 385, 36 + 21}},
        {L"filList", {161, 64, 161 + 241, 64 + 188}},
        {L"cmdAdvanced", {338, 440, 338 + 65, 440 + 21}},
        {L"Image2", {240, 476, 240 + 97, 476 + 60}},
        {L"frmOutput", {6, 288, 6 + 409, 288 + 185}},
    };
    for (const Place& place : places) {
        const RECT r = RectInParent(Named(place.Name));
        EXPECT_EQ(r.left, place.Pixels.left) << Narrow(place.Name);
        EXPECT_EQ(r.top, place.Pixels.top) << Narrow(place.Name);
        EXPECT_EQ(r.right - r.left, place.Pixels.right - place.Pixels.left) << Narrow(place.Name);
        if (std::wstring_view(place.Name) != L"DrvList") {  // a closed drop-down is as tall as its font says
            EXPECT_EQ(r.bottom - r.top, place.Pixels.bottom - place.Pixels.top) << Narrow(place.Name);
        }
    }
}

TEST_F(LayoutTest, CaptionsItemsAndHiddenButtonsAreAsDesigned) {
    EXPECT_EQ(TextOf(Control(L"frmOutput")), L"Select Output Settings ");
    EXPECT_EQ(TextOf(Control(L"frmFromList")), L"Select Files to convert (hold ctrl to multi select)");
    EXPECT_EQ(TextOf(Control(L"cmdFindBatchFile")), L"....");
    EXPECT_EQ(TextOf(Control(L"lblBatchFille")), L"Batch File:");
    EXPECT_FALSE(::IsWindowVisible(Control(L"cmdQuit")));
    EXPECT_FALSE(::IsWindowVisible(Control(L"cmdCreate")));
    EXPECT_TRUE(::IsWindowVisible(Control(L"Image2")));

    HWND combo = Control(L"cmbFilePattern");
    const Names items = ComboItems(combo);
    EXPECT_EQ(items,
              (Names{L"*.avi;*.mpg;*.mpeg;*.mov;*.vob   (All video files)",
                     L"*.avi    (Windows AVI)",
                     L"*.mpg   (MPEG Video)",
                     L"*.mpeg (MPEG Video)",
                     L"*.mov   (Quicktime)",
                     L"*.vob   (DVD MPEG2)",
                     L"*.*        (All files)"}));
    EXPECT_EQ(TextOf(combo), items[0]);
    EXPECT_FALSE(::GetWindowLongW(combo, GWL_STYLE) & CBS_SORT);
    EXPECT_TRUE(::GetWindowLongW(Control(L"filList"), GWL_STYLE) & LBS_EXTENDEDSEL);
}

TEST_F(LayoutTest, FontsFitTheirBoxes) {
    const auto metricsOf = [](HWND control) {
        HDC dc = ::GetDC(control);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        return metrics;
    };
    // Label3 is 13 pixels tall: one whole line of the default font must fit.
    EXPECT_LE(metricsOf(Control(L"Label3")).tmHeight, 13);
    // 13.5 points at 96 DPI is 18 pixels of character height.
    LOGFONTW caption{};
    ::GetObjectW(
        reinterpret_cast<HFONT>(::SendMessageW(Control(L"frmFromList"), WM_GETFONT, 0, 0)), sizeof caption, &caption);
    EXPECT_EQ(caption.lfHeight, -18);
    LOGFONTW dots{};
    ::GetObjectW(
        reinterpret_cast<HFONT>(::SendMessageW(Control(L"cmdFindTemplateFile"), WM_GETFONT, 0, 0)), sizeof dots, &dots);
    EXPECT_EQ(dots.lfHeight, -18);
    // Every label's caption fits its width on the lines it has.
    for (const wchar_t* name : {L"lblOptionalTemplate", L"Label1", L"Label3"}) {
        HWND label = Named(name);
        HDC dc = ::GetDC(label);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        const std::wstring text = TextOf(label);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(label, dc);
        RECT box;
        ::GetClientRect(label, &box);
        EXPECT_LE(extent.cx, box.right) << Narrow(name) << " is cut off";
    }
}

// Pixels of exactly the colour in a control's top strip, as painted on the screen.
int PixelsOfColour(HWND control, COLORREF colour, int height) {
    ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT box;
    ::GetClientRect(control, &box);
    HDC dc = ::GetDC(control);
    int hits = 0;
    for (int y = 0; y < std::min<int>(height, box.bottom); ++y)
        for (int x = 0; x < box.right; ++x)
            if (::GetPixel(dc, x, y) == colour) ++hits;
    ::ReleaseDC(control, dc);
    return hits;
}

TEST_F(LayoutTest, CaptionsAndNotesAreDrawnInTheHighlightColour) {
    ::RedrawWindow(
        MainWindow().Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    for (const wchar_t* name : {L"frmFromList", L"frmOutput", L"Label3", L"Label1", L"lblOptionalTemplate"})
        EXPECT_GT(PixelsOfColour(Named(name), highlight, 20), 20) << Narrow(name) << " is not in COLOR_HIGHLIGHT";
    EXPECT_EQ(PixelsOfColour(Control(L"lblBatchFille"), highlight, 20), 0);
}

TEST_F(LayoutTest, TabVisitsTheFocusOrderBothWays) {
    const Names order{L"DrvList",
                      L"dirList",
                      L"filList",
                      L"cmdFindBatchFile",
                      L"txtFileOutput",
                      L"txtTemplateFile",
                      L"cmdFindTemplateFile",
                      L"txtOutputDirectory",
                      L"cmdFindOutputDirectory",
                      L"cmdAdvanced",
                      L"cmbFilePattern",
                      L"cmdSelectAll",
                      L"cmdSelectNone",
                      L"Image4",
                      L"Image1",
                      L"Image2",
                      L"Image3"};
    ::SetFocus(Control(L"DrvList"));
    for (size_t i = 1; i <= order.size(); ++i) {
        PressKey(VK_TAB);
        const std::wstring& expected = order[i % order.size()];
        EXPECT_EQ(FocusedControl(), Named(expected)) << "Tab number " << i << " should reach " << Narrow(expected);
    }
    for (size_t i = order.size(); i >= 1; --i) {
        PressKey(VK_TAB, true);
        const std::wstring& expected = order[i - 1];
        EXPECT_EQ(FocusedControl(), Named(expected)) << "Shift+Tab should reach " << Narrow(expected);
    }
}

TEST_F(LayoutTest, DriveListHasTheFocusAtStart) {
    Restart();
    if (AboutDialog().IsLoaded()) ::DestroyWindow(AboutDialog().Window());
    Pump();
    EXPECT_EQ(FocusedControl(), Control(L"DrvList"));
}

TEST_F(LayoutTest, MnemonicsPressTheirButtons) {
    HWND files = Control(L"filList");
    ::SetFocus(Control(L"txtFileOutput"));
    PressAltKey(L's');
    EXPECT_EQ(SelectedIndexes(files).size(), 2u) << "Alt+S: Select All";
    PressAltKey(L'n');
    EXPECT_TRUE(SelectedIndexes(files).empty()) << "Alt+N: Select None";
    PressAltKey(L'a');
    EXPECT_TRUE(AdvancedDialog().IsLoaded()) << "Alt+A: Advanced";
}

TEST_F(LayoutTest, EnterNeverPressesTheHiddenCreateButton) {
    HWND files = Control(L"filList");
    ClickButton(Control(L"cmdSelectAll"));
    const std::wstring list = temp_ / L"enter.tbe";
    MainWindow().SetText(L"txtFileOutput", list);
    for (const wchar_t* name : {L"txtFileOutput", L"filList", L"DrvList", L"txtOutputDirectory"}) {
        ::SetFocus(Named(name));
        PressKey(VK_RETURN);
    }
    EXPECT_TRUE(messages_.Texts().empty());
    EXPECT_EQ(::GetFileAttributesW(list.c_str()), INVALID_FILE_ATTRIBUTES) << "a batch list was created";
    EXPECT_FALSE(AdvancedDialog().IsLoaded());

    // On a push button Enter presses that button.
    ClickButton(Control(L"cmdSelectNone"));
    ::SetFocus(Control(L"cmdSelectAll"));
    PressKey(VK_RETURN);
    EXPECT_EQ(SelectedIndexes(files).size(), 2u);
}

// What a screen reader asks the picture about itself.
struct Announced {
    LONG Role = 0;
    std::wstring Name;
    std::wstring Action;
};
Announced Announce(HWND control) {
    Announced seen;
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(
            control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
        return seen;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) seen.Role = role.lVal;
    for (auto [text, get] : {std::pair{&seen.Name, &IAccessible::get_accName},
                             std::pair{&seen.Action, &IAccessible::get_accDefaultAction}}) {
        BSTR value = nullptr;
        if (SUCCEEDED((object->*get)(self, &value)) && value) *text = value;
        ::SysFreeString(value);
    }
    object->Release();
    return seen;
}

TEST_F(LayoutTest, PicturesArePushButtonsAnnouncedByTheirWords) {
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"Image4", L"ABOUT"}, {L"Image1", L"WEB"}, {L"Image2", L"CREATE BATCH"}, {L"Image3", L"QUIT"}};
    for (const auto& [control, words] : names) {
        const Announced seen = Announce(Named(control));
        EXPECT_EQ(seen.Role, ROLE_SYSTEM_PUSHBUTTON) << Narrow(control);
        EXPECT_EQ(seen.Name, words) << Narrow(control);
        EXPECT_EQ(seen.Action, L"Press") << Narrow(control);
    }

    // Their words are no mnemonics: Alt with a first letter reaches no picture.
    ClickButton(Control(L"cmdSelectAll"));
    const std::wstring list = temp_ / L"alt.tbe";
    MainWindow().SetText(L"txtFileOutput", list);
    ::SetFocus(Control(L"txtTemplateFile"));
    for (wchar_t letter : {L'w', L'c', L'b'}) PressAltKey(letter);
    EXPECT_TRUE(launches_.empty()) << "Alt+W opened the web page";
    EXPECT_TRUE(messages_.Texts().empty());
    EXPECT_EQ(::GetFileAttributesW(list.c_str()), INVALID_FILE_ATTRIBUTES) << "Alt+C created a batch list";
    EXPECT_FALSE(AboutDialog().IsLoaded());

    // Focused, Enter and Space press them; so does a click.
    HWND web = Control(L"Image1");
    ::SetFocus(web);
    PressKey(VK_RETURN);
    PressKey(VK_SPACE);
    ::SendMessageW(web, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(web, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(launches_.size(), 3u);
}

// As a dialog manager does it: the focused push button wears the default frame, and once the
// focus has left the push buttons the hidden Create button wears it again.
TEST_F(LayoutTest, DefaultFrameFollowsTheFocusBackToTheCreateButton) {
    const auto isDefault = [&](const wchar_t* name) {
        return (::GetWindowLongW(Named(name), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    };
    ::SetFocus(Control(L"filList"));
    PressKey(VK_TAB);
    ASSERT_EQ(FocusedControl(), Control(L"cmdFindBatchFile"));
    EXPECT_TRUE(isDefault(L"cmdFindBatchFile"));
    EXPECT_FALSE(isDefault(L"cmdCreate"));
    for (int tab = 0; tab < 3; ++tab) {
        PressKey(VK_TAB);
        EXPECT_FALSE(isDefault(L"cmdFindBatchFile")) << "Tab " << tab;
        EXPECT_EQ(isDefault(L"cmdCreate"), FocusedControl() != Control(L"cmdFindTemplateFile")) << "Tab " << tab;
    }
    ::SetFocus(Control(L"Image2"));
    Pump();
    EXPECT_TRUE(isDefault(L"cmdCreate"));
    EXPECT_FALSE(isDefault(L"cmdFindTemplateFile"));
}

TEST_F(LayoutTest, NewDpiRescalesTheControls) {
    HWND main = MainWindow().Window();
    RECT suggested;
    ::GetWindowRect(main, &suggested);
    suggested.right = suggested.left + 700;
    suggested.bottom = suggested.top + 900;
    ::SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const RECT r = RectInParent(Control(L"txtFileOutput"));
    EXPECT_EQ(r.left, 123);  // 1230 twips at 144 DPI
    EXPECT_EQ(r.right - r.left, 422);
    LOGFONTW caption{};
    ::GetObjectW(
        reinterpret_cast<HFONT>(::SendMessageW(Control(L"frmFromList"), WM_GETFONT, 0, 0)), sizeof caption, &caption);
    EXPECT_EQ(caption.lfHeight, -27);
}

}  // namespace
}  // namespace quorvel::testing
