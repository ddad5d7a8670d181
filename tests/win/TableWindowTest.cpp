// The table-built window's life: class and frame from the table, one load, commands routed by
// the table, and the same bookkeeping whether the user or the object's end destroys the window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "win/TableWindow.h"

namespace quorvel::testing {
namespace {

constexpr layout::Control kControls[] = {
    {.Name = L"cmdGo",
     .Type = layout::Kind::PushButton,
     .Caption = L"Go",
     .Left = 150,
     .Top = 150,
     .Width = 1200,
     .Height = 375,
     .TabIndex = 0},
    {.Name = L"txtName",
     .Type = layout::Kind::TextBox,
     .Caption = L"",
     .Left = 150,
     .Top = 600,
     .Width = 1200,
     .Height = 285,
     .TabIndex = 1},
    {.Name = L"chkTicked",
     .Type = layout::Kind::CheckBox,
     .Caption = L"Ticked",
     .Left = 150,
     .Top = 1000,
     .Width = 1200,
     .Height = 285,
     .TabIndex = 2},
};
struct ProbeRequest {
    std::string Name;
    CheckState Ticked = 0;
};
constexpr layout::Window kTable{
    .Name = L"frmProbe",
    .Caption = L"Probe",
    .ClientWidth = 3000,
    .ClientHeight = 1500,
    .Controls = kControls,
    .Framing = {
        .ClassName = L"QuorvelTableWindowProbe", .Style = WS_POPUP | WS_CAPTION, .ExStyle = WS_EX_CONTROLPARENT}};

class Probe : public win::TableWindow<Probe, kTable, ProbeRequest> {
public:
    explicit Probe(std::vector<std::wstring>& events) : TableWindow({keyboard, messages}), events_(events) {}
    static inline win::KeyboardNavigation keyboard;
    static inline win::MessageSink messages;
    ~Probe() override { events_.push_back(L"object gone"); }
    void cmdGo_Click() { events_.push_back(L"go"); }

private:
    // Never shown: a window manager would make every test wait for it.
    void OnLoad() override { events_.push_back(L"load"); }
    void OnShowAgain() override { events_.push_back(L"again"); }
    void OnDestroy() override { events_.push_back(L"destroy"); }
    void OnWindowGone() override { events_.push_back(L"gone"); }
    std::span<const Row> Rows() const override {
        static constexpr Row kRows[] = {
            {.Control = L"cmdGo", .Notification = BN_CLICKED, .Run = &Probe::cmdGo_Click},
            {.Control = L"txtName", .Text = &ProbeRequest::Name, .Setting = L"ProbeName"},
            {.Control = L"chkTicked",
             .Notification = BN_CLICKED,
             .Run = &Probe::cmdGo_Click,
             .Check = &ProbeRequest::Ticked,
             .Setting = L"ProbeTicked"},
        };
        return kRows;
    }

    std::vector<std::wstring>& events_;
};

// A Tab for the window reaches the dialog manager only while the window is registered.
bool Navigable(HWND window) {
    MSG tab{window, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    return Probe::keyboard.Route(tab);
}

TEST(TableWindow, TheTableGivesClassFrameAndCommands) {
    std::vector<std::wstring> events;
    Probe probe(events);
    ASSERT_TRUE(probe.ShowOrActivate());
    wchar_t className[64] = {};
    ::GetClassNameW(probe.Window(), className, 64);
    EXPECT_STREQ(className, L"QuorvelTableWindowProbe");
    EXPECT_EQ(::GetWindowLongW(probe.Window(), GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP | WS_CAPTION);
    EXPECT_TRUE(::GetWindowLongW(probe.Window(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_EQ(win::TextOf(probe.Window()), L"Probe");
    ::SendMessageW(probe.Control(L"cmdGo"), BM_CLICK, 0, 0);
    EXPECT_TRUE(probe.ShowOrActivate());
    // Closed, it loads again through the same object.
    ::DestroyWindow(probe.Window());
    EXPECT_TRUE(probe.ShowOrActivate());
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load", L"go", L"again", L"destroy", L"gone", L"load"}));
}

TEST(TableWindow, EveryEndRunsTheBookkeepingAndOnlyTheUsersRunsHandlers) {
    struct Case {
        const char* Name;
        bool ByUser;
        std::vector<std::wstring> Events;
    };
    const Case cases[] = {
        {"closed by the user", true, {L"load", L"destroy", L"gone", L"object gone"}},
        {"open at the object's end", false, {L"load", L"object gone"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::wstring> events;
        HWND window = nullptr;
        {
            Probe probe(events);
            ASSERT_TRUE(probe.ShowOrActivate());
            window = probe.Window();
            EXPECT_TRUE(Navigable(window));
            if (c.ByUser) {
                ::SendMessageW(window, WM_CLOSE, 0, 0);
                EXPECT_FALSE(probe.IsLoaded());
            }
        }
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_FALSE(Navigable(window));
        EXPECT_EQ(events, c.Events);
    }
}

// A text box persists its text and a check box its state, restored without running its handler.
TEST(TableWindow, ItsRowsFillTheRequestAndPersist) {
    ScratchRegistry registry;
    ASSERT_TRUE(registry.Active());
    registry.SetSetting(L"ProbeName", L"Zo\u00eb");
    registry.SetSetting(L"ProbeTicked", L"1");
    std::vector<std::wstring> events;
    Probe probe(events);
    ASSERT_TRUE(probe.ShowOrActivate());
    win::SettingsStore settings;
    probe.RestoreSettings(settings);
    ProbeRequest request = probe.TakeFields();
    EXPECT_EQ(request.Name, "Zo\xc3\xab");
    EXPECT_EQ(request.Ticked, 1);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load"}));

    probe.SetCheck(L"chkTicked", 0);
    probe.SetText(L"txtName", L"C:\\");
    probe.StoreSettings(settings);
    EXPECT_EQ(registry.AllSettings(),
              (std::vector<std::pair<std::wstring, std::wstring>>{{L"ProbeName", L"C:\\"}, {L"ProbeTicked", L"0"}}));
}

// The system refuses the text box, as a hook of other software may: the window is not made.
LRESULT CALLBACK RefuseTextBoxes(int code, WPARAM wParam, LPARAM lParam) {
    wchar_t className[16] = {};
    if (code == HCBT_CREATEWND && ::GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16) &&
        ::lstrcmpiW(className, L"EDIT") == 0)
        return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(TableWindow, AControlThatCannotBeMadeFailsTheWindowsCreation) {
    std::vector<std::wstring> events;
    Probe probe(events);
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, &RefuseTextBoxes, nullptr, ::GetCurrentThreadId());
    ASSERT_TRUE(hook);
    const Status refused = probe.ShowOrActivate();
    ::UnhookWindowsHookEx(hook);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.Message().rfind("Cannot create the control txtName: ", 0), 0u) << refused.Message();
    EXPECT_FALSE(probe.IsLoaded());
    EXPECT_TRUE(probe.ShowOrActivate());
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load"}));
}

}  // namespace
}  // namespace quorvel::testing
