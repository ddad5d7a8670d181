#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "app/FrmQuorvel.h"
#include "win/LayoutBuilder.h"

namespace quorvel::testing {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Quorvel\\Settings";

// quorvel.exe runs with the prefix's own settings: they are put aside and brought back after.
class SavedSettings {
public:
    SavedSettings() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256;
            wchar_t value[2048] = {};
            DWORD bytes = sizeof value - sizeof(wchar_t);
            DWORD type = 0;
            if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
                ERROR_SUCCESS)
                break;
            if (type == REG_SZ) values_.emplace_back(name, value);
        }
        ::RegCloseKey(key);
    }
    ~SavedSettings() {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        if (values_.empty()) return;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const auto& [name, value] : values_)
            ::RegSetValueExW(key,
                             name.c_str(),
                             0,
                             REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    SavedSettings(const SavedSettings&) = delete;
    SavedSettings& operator=(const SavedSettings&) = delete;

private:
    std::vector<std::pair<std::wstring, std::wstring>> values_;
};

std::optional<std::wstring> Stored(const wchar_t* name) {
    wchar_t value[2048] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

struct FindWindowOf {
    DWORD Process;
    HWND Found = nullptr;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM data) {
    auto* find = reinterpret_cast<FindWindowOf*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (process == find->Process && std::wstring(className) == L"QuorvelMainWindow" && ::IsWindowVisible(window)) {
        find->Found = window;
        return FALSE;
    }
    return TRUE;
}

class RealProgram {
public:
    explicit RealProgram(const std::wstring& workingDirectory) {
        std::wstring commandLine = L"\"" + ExecutableDirectory() + L"\\quorvel.exe\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessW(nullptr,
                                    commandLine.data(),
                                    nullptr,
                                    nullptr,
                                    FALSE,
                                    0,
                                    nullptr,
                                    workingDirectory.c_str(),
                                    &startup,
                                    &process_) != FALSE;
    }
    ~RealProgram() {
        if (!started_) return;
        if (::WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) ::TerminateProcess(process_.hProcess, 99);
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    RealProgram(const RealProgram&) = delete;
    RealProgram& operator=(const RealProgram&) = delete;

    bool Started() const { return started_; }
    HWND WaitForMainWindow() {
        FindWindowOf find{process_.dwProcessId};
        PumpUntil(
            [&] {
                ::EnumWindows(&NoteWindow, reinterpret_cast<LPARAM>(&find));
                return find.Found != nullptr;
            },
            30000);
        return find.Found;
    }
    // The exit code, or nothing when the process was still running at the deadline.
    std::optional<DWORD> WaitForEnd() {
        if (::WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        ::GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

TEST(RealProgram, ClosedByItsFrameItEndsAndSavesNothingMore) {
    RealCurrentUser real;
    SavedSettings saved;
    TempDirectory temp;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RealProgram program(temp.Path());
    ASSERT_TRUE(program.Started()) << "quorvel.exe was not built beside the tests";
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    // The window is on screen before the settings are restored; start-up ends with the pattern.
    EXPECT_TRUE(PumpUntil([&] { return Stored(L"DirInput") == temp.Path(); }, 30000))
        << "start-up stores the directory it shows";
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForEnd(), std::optional<DWORD>(0));
    EXPECT_FALSE(Stored(L"TemplateInput").has_value()) << "closing by the frame ran Quit";
}

TEST(RealProgram, QuitPictureSavesTheFourKeysAndEnds) {
    RealCurrentUser real;
    SavedSettings saved;
    TempDirectory temp;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RealProgram program(temp.Path());
    ASSERT_TRUE(program.Started());
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    const int quit = win::BuiltLayout::IdOfRow(FrmQuorvel::Id(L"Image3").Index);
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(quit, BN_CLICKED), 0);
    EXPECT_EQ(program.WaitForEnd(), std::optional<DWORD>(0));
    EXPECT_EQ(Stored(L"TemplateInput"), std::optional<std::wstring>(L""));
    EXPECT_EQ(Stored(L"FileOutput"), temp.Path() + L"\\");
    EXPECT_EQ(Stored(L"DirInput"), temp.Path());
}

}  // namespace
}  // namespace quorvel::testing
