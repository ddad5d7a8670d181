#include <cstdlib>

#include "MainWindowTest.h"
#include "dialogs/FrmAdvanced.h"

namespace quorvel::testing {
namespace {

constexpr char kChildVariable[] = "QUORVEL_QUIT_CHILD";

TEST_F(MainWindowTest, SaveStepWritesExactlyTheFourTexts) {
    registry_.SetSetting(L"TemplateInput", L"C:\\old.mcf");
    const std::wstring sub = temp_.MakeDirectory(L"sources");
    FrmQuorvel& window = Start();
    window.SetText(L"txtFileOutput", L"D:\\lists\\week 12.tbe");
    window.SetText(L"txtOutputDirectory", L"E:\\mpg\\");
    window.SetText(L"txtTemplateFile", L"");
    HWND dirs = window.Control(L"dirList");
    const std::vector<std::wstring> items = ListItems(dirs);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].find(L"sources") != std::wstring::npos) ::SendMessageW(dirs, LB_SETCURSEL, i, 0);
    Notify(dirs, LBN_DBLCLK);
    ASSERT_EQ(window.DirectoryListPath(), sub);

    EXPECT_TRUE(window.SaveMainSettings());
    const std::vector<std::pair<std::wstring, std::wstring>> expected{{L"DirInput", sub},
                                                                      {L"DirOutput", L"E:\\mpg\\"},
                                                                      {L"FileOutput", L"D:\\lists\\week 12.tbe"},
                                                                      {L"TemplateInput", L""}};
    EXPECT_EQ(registry_.AllSettings(), expected);
    EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(MainWindowTest, AFailedSaveIsReportedOnce) {
    FrmQuorvel& window = Start();
    ASSERT_TRUE(registry_.MakeReadOnly());
    const bool saved = window.SaveMainSettings();
    registry_.MakeWritable();
    EXPECT_FALSE(saved);
    ASSERT_EQ(messages_.Texts().size(), 1u);
    EXPECT_NE(messages_.Texts()[0].find(L"Could not save the settings"), std::wstring::npos);
}

TEST_F(MainWindowTest, ClosingByTheFrameSavesNothingAndEndsTheLoop) {
    FrmQuorvel& window = Start();
    const auto before = registry_.AllSettings();
    window.SetText(L"txtFileOutput", L"C:\\changed.tbe");
    window.SetText(L"txtTemplateFile", L"C:\\changed.mcf");
    // A loaded but hidden dialog must not keep the program alive.
    ASSERT_TRUE(AdvancedDialog().ShowOrActivate(window.Window()));
    Pump();
    ASSERT_TRUE(AdvancedDialog().IsLoaded());
    ::ShowWindow(AdvancedDialog().Window(), SW_HIDE);
    ::SendMessageW(window.Window(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(window.IsCreated());
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(registry_.AllSettings(), before);
    if (AdvancedDialog().IsLoaded()) ::DestroyWindow(AdvancedDialog().Window());
}

// Runs only as the child of QuitEndsTheProcessAtOnce.
TEST(QuitChild, Run) {
    const char* marker = std::getenv(kChildVariable);
    if (!marker) GTEST_SKIP() << "only as a child process";
    // The settings go to the child's throwaway store of the run.
    MessageRecorder messages;
    ASSERT_TRUE(MainWindow().ShowOrActivate());
    Pump();
    MainWindow().SetText(L"txtFileOutput", L"C:\\child.tbe");
    MainWindow().SetText(L"txtOutputDirectory", L"C:\\child\\");
    MainWindow().SetText(L"txtTemplateFile", L"C:\\child.mcf");
    ClickButton(MainWindow().Control(L"Image3"));
    // Only reached when Quit did not end the process.
    HANDLE file = ::CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
    FAIL() << "Quit returned";
}

TEST(Quit, EndsTheProcessAtOnceAfterWritingTheFourKeys) {
    TempDirectory temp;
    const std::wstring marker = temp / L"returned";
    const std::wstring working = temp.MakeDirectory(L"work");
    wchar_t self[MAX_PATH + 1];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_filter=QuitChild.Run";
    ::SetEnvironmentVariableW(L"QUORVEL_QUIT_CHILD", marker.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(
        nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, working.c_str(), &startup, &process);
    ::SetEnvironmentVariableW(L"QUORVEL_QUIT_CHILD", nullptr);
    ASSERT_TRUE(started);
    const DWORD waited = ::WaitForSingleObject(process.hProcess, 60000);
    if (waited != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 99);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the child did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(::GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "code after Quit ran";

    // The child's throwaway store stays behind, since nothing ran after Quit to remove it.
    RealCurrentUser real;
    const std::wstring childRoot = L"Software\\QuorvelUiTests\\" + std::to_wstring(process.dwProcessId) + L"-1";
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(
                  HKEY_CURRENT_USER, (childRoot + L"\\Software\\Quorvel\\Settings").c_str(), 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    const auto read = [&](const wchar_t* name) {
        wchar_t buffer[512] = {};
        DWORD bytes = sizeof buffer - sizeof(wchar_t);
        ::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes);
        return std::wstring(buffer);
    };
    EXPECT_EQ(read(L"FileOutput"), L"C:\\child.tbe");
    EXPECT_EQ(read(L"DirOutput"), L"C:\\child\\");
    EXPECT_EQ(read(L"DirInput"), working);
    EXPECT_EQ(read(L"TemplateInput"), L"C:\\child.mcf");
    ::RegCloseKey(key);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, childRoot.c_str());
}

}  // namespace
}  // namespace quorvel::testing
