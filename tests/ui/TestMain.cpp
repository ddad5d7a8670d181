#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Wine waits up to two seconds for a window manager to withdraw each window that is hidden or
// destroyed, and the virtual display has none. Unmanaged windows of this program alone skip
// that wait; Wine reads the choice when a process starts, so the first run sets it and starts
// again.
bool RestartUnmanaged(int& exitCode) {
    wchar_t self[MAX_PATH + 1];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
    std::wstring name(self, length);
    name = name.substr(name.find_last_of(L'\\') + 1);
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + name + L"\\X11 Driver";
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          &handle, nullptr) != ERROR_SUCCESS)
        return false;
    wchar_t value[8] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    const bool set = ::RegQueryValueExW(handle, L"Managed", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) ==
                         ERROR_SUCCESS &&
                     value[0] == L'N';
    if (!set) ::RegSetValueExW(handle, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
    ::RegCloseKey(handle);
    if (set || ::GetEnvironmentVariableW(L"QUORVEL_RESTARTED", nullptr, 0)) return false;

    ::SetEnvironmentVariableW(L"QUORVEL_RESTARTED", L"1");
    std::wstring commandLine = ::GetCommandLineW();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    exitCode = static_cast<int>(code);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int restartedCode = 0;
    if (RestartUnmanaged(restartedCode)) return restartedCode;
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ::OleUninitialize();
    return result;
}
