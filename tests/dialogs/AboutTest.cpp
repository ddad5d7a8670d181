#include "MainWindowTest.h"
#include "batch/Version.h"
#include "resources/Addresses.h"
#include "win/RegistryValue.h"
#include "batch/TextWindows.h"

namespace quorvel::testing {
namespace {

class AboutTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Start();
        ASSERT_TRUE(AboutDialog().IsLoaded());
    }
    HWND About(FrmAbout::Id id) { return AboutDialog().Control(id); }
};

// HKEY_LOCAL_MACHINE redirected to an empty key, so the tool lookup sees only what a test puts there.
class SystemInfoTest : public AboutTest {
protected:
    void SetUp() override {
        AboutTest::SetUp();
        machine_ = std::make_unique<ScratchRegistry>(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine_->Active());
    }
    void TearDown() override {
        machine_.reset();
        AboutTest::TearDown();
    }
    static void SetMachineValue(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
        HKEY handle = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(handle,
                         name,
                         0,
                         REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
    }
    std::unique_ptr<ScratchRegistry> machine_;
};

constexpr wchar_t kToolKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

TEST_F(AboutTest, LoadFillsCaptionVersionAndTitle) {
    EXPECT_EQ(TextOf(AboutDialog().Window()), L"About Quorvel");
    EXPECT_EQ(TextOf(About(L"lblVersion")), std::wstring(L"Version ") + kVersionTextW);
    EXPECT_EQ(TextOf(About(L"lblTitle")), L"Quorvel");
    const std::wstring disclaimer = TextOf(About(L"lblDisclaimer(1)"));
    EXPECT_NE(disclaimer.find(L"\"AS IS\""), std::wstring::npos);
    // The main window is shown after it and is active; the About window's focus waits on OK.
    ::SetActiveWindow(AboutDialog().Window());
    Pump();
    EXPECT_EQ(::GetFocus(), About(L"cmdOK"));
}

TEST_F(AboutTest, IsAFixedOwnedWindowWithoutATaskBarButton) {
    HWND about = AboutDialog().Window();
    const LONG style = ::GetWindowLongW(about, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(::GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(::GetWindow(about, GW_OWNER), MainWindow().Window());
    RECT client;
    ::GetClientRect(about, &client);
    EXPECT_EQ(client.right, 384);
    EXPECT_EQ(client.bottom, 426);
}

TEST_F(AboutTest, EscapePressesOkWhateverHasTheFocus) {
    ::SetFocus(About(L"cmdSysInfo"));
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(AboutDialog().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(MainWindow().Window()));
    EXPECT_TRUE(messages_.Texts().empty()) << "System Info ran instead of OK";
}

TEST_F(AboutTest, EnterPressesTheFocusedButtonOrOk) {
    ::SetFocus(About(L"cmdDonation"));
    PressKey(VK_RETURN);
    // Donate opens its page, or says the build has none.
    ASSERT_EQ(launches_.size() + messages_.Texts().size(), 1u) << "Enter on Donate";
    EXPECT_TRUE(AboutDialog().IsLoaded());
    ::SetFocus(About(L"cmdOK"));
    PressKey(VK_RETURN);
    EXPECT_FALSE(AboutDialog().IsLoaded());
}

// Shown before the main window, it would lie under it.
TEST_F(AboutTest, StartUpEndsWithAboutInFrontAndActiveAndOkBringsTheMainWindowForward) {
    HWND about = AboutDialog().Window();
    EXPECT_EQ(::GetActiveWindow(), about);
    EXPECT_EQ(::GetFocus(), About(L"cmdOK"));
    bool aboveMain = false;
    for (HWND w = ::GetWindow(MainWindow().Window(), GW_HWNDPREV); w; w = ::GetWindow(w, GW_HWNDPREV))
        aboveMain = aboveMain || w == about;
    EXPECT_TRUE(aboveMain);
    ClickButton(About(L"cmdOK"));
    Pump();
    EXPECT_EQ(::GetActiveWindow(), MainWindow().Window());
}

TEST_F(AboutTest, AboutPictureReopensOrBringsForward) {
    HWND first = AboutDialog().Window();
    ::SetActiveWindow(MainWindow().Window());
    Pump();
    ClickButton(MainWindow().Control(L"Image4"));
    EXPECT_EQ(AboutDialog().Window(), first) << "a second About window";
    EXPECT_EQ(::GetActiveWindow(), first) << "raised but not activated";
    ClickButton(About(L"cmdOK"));
    EXPECT_FALSE(AboutDialog().IsLoaded());
    ClickButton(MainWindow().Control(L"Image4"));
    ASSERT_TRUE(AboutDialog().IsLoaded());
    EXPECT_EQ(TextOf(About(L"lblVersion")), std::wstring(L"Version ") + kVersionTextW) << "loaded afresh";
}

TEST_F(AboutTest, DonateOpensTheConfiguredPageOrSaysThereIsNone) {
    ClickButton(About(L"cmdDonation"));
    if (kDonationAddress[0] == L'\0') {
        EXPECT_TRUE(launches_.empty());
        EXPECT_EQ(messages_.Texts(), std::vector<std::wstring>{L"This build of Quorvel has no donation page."});
        return;
    }
    ASSERT_EQ(launches_.size(), 1u);
    EXPECT_EQ(launches_[0].What, win::LaunchRequest::Kind::ShellOpen);
    EXPECT_EQ(launches_[0].CommandLine, kDonationAddress);
    EXPECT_EQ(launches_[0].Directory, ExecutableDirectory());
    EXPECT_EQ(launches_[0].Show, SW_SHOWNORMAL);
    EXPECT_EQ(launches_[0].Owner, AboutDialog().Window());
    EXPECT_TRUE(messages_.Texts().empty());
}

// Without a web page the picture opens the manual the environment names (as the Linux
// launcher does), quoted for its blanks; a missing manual is said, not launched.
TEST_F(AboutTest, WebPictureStartsExplorerMinimisedAndFallsBackToTheShell) {
    const std::wstring manual = temp_.MakeFile(L"the manual.html");
    ::SetEnvironmentVariableW(kManualVariable, manual.c_str());
    const std::wstring address = kWebPageAddress[0] ? kWebPageAddress : manual.c_str();
    const std::wstring command = kWebPageAddress[0] ? L"explorer " + address : L"explorer \"" + address + L"\"";
    ClickButton(MainWindow().Control(L"Image1"));
    ASSERT_EQ(launches_.size(), 1u);
    EXPECT_EQ(launches_[0].What, win::LaunchRequest::Kind::Program);
    EXPECT_EQ(launches_[0].CommandLine, command);
    EXPECT_EQ(launches_[0].Show, SW_SHOWMINIMIZED);

    launches_.clear();
    launchSucceeds_ = false;
    ClickButton(MainWindow().Control(L"Image1"));
    ASSERT_EQ(launches_.size(), 2u);
    EXPECT_EQ(launches_[1].What, win::LaunchRequest::Kind::ShellOpen);
    EXPECT_EQ(launches_[1].CommandLine, address);
    ASSERT_EQ(messages_.Texts().size(), 1u);
    EXPECT_NE(messages_.Texts()[0].find(address), std::wstring::npos);
    EXPECT_TRUE(MainWindow().IsCreated());

    if (kWebPageAddress[0] == L'\0') {
        launches_.clear();
        messages_.Clear();
        temp_.Remove(L"the manual.html");
        ClickButton(MainWindow().Control(L"Image1"));
        EXPECT_TRUE(launches_.empty());
        ASSERT_EQ(messages_.Texts().size(), 1u);
        EXPECT_NE(messages_.Texts()[0].find(manual + L" is missing"), std::wstring::npos);
    }
    ::SetEnvironmentVariableW(kManualVariable, nullptr);
}

TEST_F(SystemInfoTest, NoRegistryValueMeansNoTool) {
    ClickButton(About(L"cmdSysInfo"));
    EXPECT_EQ(messages_.Texts(), std::vector<std::wstring>{kUnavailable});
    EXPECT_TRUE(launches_.empty());
}

TEST_F(SystemInfoTest, TheLocationNeedsTheProgramFileInIt) {
    SetMachineValue(kLocationKey, L"MSINFO", temp_.Path());
    ClickButton(About(L"cmdSysInfo"));
    EXPECT_EQ(messages_.Texts(), std::vector<std::wstring>{kUnavailable});
    EXPECT_TRUE(launches_.empty());

    messages_.Clear();
    temp_.MakeFile(L"MSINFO32.EXE");
    ClickButton(About(L"cmdSysInfo"));
    EXPECT_TRUE(messages_.Texts().empty());
    ASSERT_EQ(launches_.size(), 1u);
    EXPECT_EQ(launches_[0].Application, temp_ / L"MSINFO32.EXE");
    EXPECT_EQ(launches_[0].Show, SW_SHOWNORMAL);
}

TEST_F(SystemInfoTest, TheToolPathIsStartedAsOneProgramEvenWithBlanks) {
    SetMachineValue(kToolKey, L"PATH", L"C:\\Program Files\\Shared Tools\\msinfo32.exe");
    ClickButton(About(L"cmdSysInfo"));
    ASSERT_EQ(launches_.size(), 1u);
    EXPECT_EQ(launches_[0].Application, L"C:\\Program Files\\Shared Tools\\msinfo32.exe");
    EXPECT_EQ(launches_[0].CommandLine, L"\"C:\\Program Files\\Shared Tools\\msinfo32.exe\"");
    EXPECT_TRUE(messages_.Texts().empty());

    launchSucceeds_ = false;
    ClickButton(About(L"cmdSysInfo"));
    EXPECT_EQ(messages_.Texts(), std::vector<std::wstring>{kUnavailable});
}

TEST_F(SystemInfoTest, GetKeyValueReadsStringsAndNumbers) {
    HKEY handle = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(
            HKEY_LOCAL_MACHINE, L"SOFTWARE\\QuorvelTest", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
        ERROR_SUCCESS);
    const DWORD number = 0x01020304;
    ::RegSetValueExW(handle, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    const DWORD high = 0xFFFFFFFF;
    ::RegSetValueExW(handle, L"High", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&high), sizeof high);
    const std::wstring text = L"C:\\Tools";
    ::RegSetValueExW(handle,
                     L"Text",
                     0,
                     REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    const std::wstring huge(2000, L'x');
    ::RegSetValueExW(handle,
                     L"Huge",
                     0,
                     REG_SZ,
                     reinterpret_cast<const BYTE*>(huge.c_str()),
                     static_cast<DWORD>((huge.size() + 1) * sizeof(wchar_t)));
    const BYTE binary[] = {1, 2, 3};
    ::RegSetValueExW(handle, L"Binary", 0, REG_BINARY, binary, sizeof binary);
    ::RegCloseKey(handle);

    const auto read = [](const char* key, const char* value) {
        return win::GetKeyValue(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\") + key, value);
    };
    EXPECT_EQ(read("QuorvelTest", "Number"), "16909060");
    EXPECT_EQ(read("QuorvelTest", "High"), "4294967295");
    EXPECT_EQ(read("QuorvelTest", "Text"), "C:\\Tools");
    EXPECT_EQ(read("QuorvelTest", "Binary"), "");
    EXPECT_EQ(read("QuorvelTest", "Huge"), std::nullopt) << "longer than the 1024-byte buffer";
    EXPECT_EQ(read("QuorvelTest", "Missing"), std::nullopt);
    EXPECT_EQ(read("NoSuchKey", "Text"), std::nullopt);
}

}  // namespace
}  // namespace quorvel::testing
