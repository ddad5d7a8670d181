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
     .Container = nullptr,
     .Caption = L"Go",
     .Left = 150,
     .Top = 150,
     .Width = 1200,
     .Height = 375,
     .TabIndex = 0},
};
constexpr layout::Window kTable{.Name = L"frmProbe",
                                .Caption = L"Probe",
                                .ClientWidth = 3000,
                                .ClientHeight = 1500,
                                .DefaultFont = {},
                                .Background = {},
                                .Controls = kControls,
                                .Framing = {L"QuorvelTableWindowProbe", WS_POPUP | WS_CAPTION, WS_EX_CONTROLPARENT}};

class Probe : public win::TableWindow<Probe, kTable> {
public:
    explicit Probe(std::vector<std::wstring>& events) : events_(events) {}
    ~Probe() override { events_.push_back(L"object gone"); }
    void cmdGo_Click() { events_.push_back(L"go"); }

private:
    // Never shown: a window manager would make every test wait for it.
    void OnLoad() override { events_.push_back(L"load"); }
    void OnShowAgain() override { events_.push_back(L"again"); }
    void OnDestroy() override { events_.push_back(L"destroy"); }
    void OnWindowGone() override { events_.push_back(L"gone"); }
    std::span<const Command> Commands() const override {
        static constexpr Command kCommands[] = {{L"cmdGo", BN_CLICKED, &Probe::cmdGo_Click}};
        return kCommands;
    }

    std::vector<std::wstring>& events_;
};

// A Tab for the window reaches the dialog manager only while the window is registered.
bool Navigable(HWND window) {
    MSG tab{window, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    return win::RouteNavigationMessage(tab);
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
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load", L"go", L"again"}));
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

TEST(TableWindow, AClosedWindowLoadsAgainThroughTheSameObject) {
    std::vector<std::wstring> events;
    Probe probe(events);
    ASSERT_TRUE(probe.ShowOrActivate());
    ::DestroyWindow(probe.Window());
    ASSERT_TRUE(probe.ShowOrActivate());
    EXPECT_TRUE(::IsWindow(probe.Window()));
    EXPECT_EQ(events, (std::vector<std::wstring>{L"load", L"destroy", L"gone", L"load"}));
}

}  // namespace
}  // namespace quorvel::testing
