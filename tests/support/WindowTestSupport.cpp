#include "WindowTestSupport.h"

#include "win/LayoutBuilder.h"

#include <algorithm>
#include <atomic>

#include <sddl.h>

#include "batch/TextWindows.h"
#include "win/KeyboardNavigation.h"
#include "win/MessageSink.h"

namespace quorvel::testing {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Quorvel\\Settings";
bool gQuitPosted = false;
const win::KeyboardNavigation* gKeyboard = nullptr;
win::MessageSink* gMessages = nullptr;

// The redirections in force, innermost last: a test's own store inside the run's goes back to
// the run's when the test ends, not to the real one.
std::vector<std::pair<HKEY, HKEY>>& Redirections() {
    static std::vector<std::pair<HKEY, HKEY>> redirections;
    return redirections;
}

}  // namespace

ScratchRegistry::ScratchRegistry(HKEY root) : root_(root) {
    static std::atomic<int> counter{0};
    path_ =
        L"Software\\QuorvelUiTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    // Made under the real root before that root is redirected to it. Process ids come round
    // again, and a process that ended at once left its key behind: start from nothing.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    if (::RegOverridePredefKey(root_, key_) != ERROR_SUCCESS) {
        ::RegCloseKey(key_);
        key_ = nullptr;
        return;
    }
    Redirections().emplace_back(root_, key_);
}

namespace {
bool SetSettingsKeySecurity(const wchar_t* sddl) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool done = false;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        done = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        ::LocalFree(descriptor);
    }
    ::RegCloseKey(key);
    return done;
}
}  // namespace

bool ScratchRegistry::MakeReadOnly() {
    // Everyone may read it, change its rights back and delete it, but not set a value.
    return key_ && SetSettingsKeySecurity(L"D:(A;;KRSDWD;;;WD)");
}

void ScratchRegistry::MakeWritable() {
    if (key_) SetSettingsKeySecurity(L"D:(A;;KA;;;WD)");
}

namespace {
HKEY InnermostRedirection(HKEY root) {
    HKEY innermost = nullptr;
    for (const auto& [redirected, key] : Redirections())
        if (redirected == root) innermost = key;
    return innermost;
}
}  // namespace

RealCurrentUser::RealCurrentUser() { ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr); }

RealCurrentUser::~RealCurrentUser() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, InnermostRedirection(HKEY_CURRENT_USER));
}

ScratchRegistry::~ScratchRegistry() {
    if (!key_) return;
    std::erase(Redirections(), std::pair{root_, key_});
    ::RegOverridePredefKey(root_, InnermostRedirection(root_));
    ::RegCloseKey(key_);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

std::optional<std::wstring> ScratchRegistry::Setting(const std::wstring& name) const {
    wchar_t buffer[4096];
    DWORD bytes = sizeof buffer;
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const LSTATUS status =
        ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    std::wstring text(buffer, bytes / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

void ScratchRegistry::SetSetting(const std::wstring& name, const std::wstring& value) const {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key,
                     name.c_str(),
                     0,
                     REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

std::vector<std::pair<std::wstring, std::wstring>> ScratchRegistry::AllSettings() const {
    std::vector<std::pair<std::wstring, std::wstring>> all;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return all;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (::RegEnumValueW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        all.emplace_back(name, Setting(name).value_or(L"<not text>"));
    }
    ::RegCloseKey(key);
    std::sort(all.begin(), all.end());
    return all;
}

void RecordMessagesOf(win::MessageSink* messages) { gMessages = messages; }

MessageRecorder::MessageRecorder() {
    if (!gMessages) return;
    previous_ = gMessages->Replace([this](HWND, std::wstring_view text) {
        texts_.emplace_back(text);
        if (action_) action_(texts_.back());
    });
}

MessageRecorder::~MessageRecorder() {
    if (gMessages) gMessages->Replace(std::move(previous_));
}

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            gQuitPosted = true;
            continue;
        }
        if (gKeyboard && gKeyboard->Route(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        Pump();
        if (condition()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ::MsgWaitForMultipleObjects(
            0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)), QS_ALLINPUT);
    }
}

bool QuitPosted() { return gQuitPosted; }

void RouteKeysThrough(const win::KeyboardNavigation* keyboard) { gKeyboard = keyboard; }
void ForgetQuit() { gQuitPosted = false; }

TempDirectory::TempDirectory() {
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
    std::wstring root(base, length);
    if (!root.empty() && root.back() == L'\\') root.pop_back();
    path_ = root + L"\\quorvel-ui-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempDirectory::~TempDirectory() { RemoveTree(path_); }

std::wstring TempDirectory::MakeDirectory(const std::wstring& name) const {
    const std::wstring path = *this / name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

std::wstring TempDirectory::MakeFile(const std::wstring& name, DWORD attributes) const {
    const std::wstring path = *this / name;
    HANDLE file = ::CreateFileW(LiteralPath(path).c_str(),
                                GENERIC_WRITE,
                                0,
                                nullptr,
                                CREATE_ALWAYS,
                                attributes ? attributes : FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, "x", 1, &written, nullptr);
        ::CloseHandle(file);
    }
    return path;
}

void TempDirectory::Remove(const std::wstring& name) const { RemoveTree(*this / name); }

CurrentDirectoryScope::CurrentDirectoryScope(const std::wstring& directory) {
    wchar_t buffer[MAX_PATH + 1];
    previous_.assign(buffer, ::GetCurrentDirectoryW(MAX_PATH + 1, buffer));
    ::SetCurrentDirectoryW(directory.c_str());
}

CurrentDirectoryScope::~CurrentDirectoryScope() { ::SetCurrentDirectoryW(previous_.c_str()); }

bool RestartWithUnmanagedWindows(int& exitCode) {
    wchar_t self[MAX_PATH + 1];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
    std::wstring name(self, length);
    name = name.substr(name.find_last_of(L'\\') + 1);
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + name + L"\\X11 Driver";
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER,
                          key.c_str(),
                          0,
                          nullptr,
                          0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr,
                          &handle,
                          nullptr) != ERROR_SUCCESS)
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
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    exitCode = static_cast<int>(code);
    return true;
}

void RemoveTree(const std::wstring& path) {
    const std::wstring literal = LiteralPath(path);
    const DWORD attributes = ::GetFileAttributesW(literal.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(literal.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(literal.c_str());
        return;
    }
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::wstring ExecutableDirectory() {
    wchar_t buffer[MAX_PATH + 1];
    std::wstring path(buffer, ::GetModuleFileNameW(nullptr, buffer, MAX_PATH + 1));
    path.resize(path.find_last_of(L'\\'));
    if (path.size() == 2) path += L'\\';
    return path;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<std::wstring> ListItems(HWND listBox) {
    std::vector<std::wstring> items;
    const LRESULT count = ::SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(listBox, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(::SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

std::vector<std::wstring> ComboItems(HWND comboBox) {
    std::vector<std::wstring> items;
    const LRESULT count = ::SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(comboBox, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(
            static_cast<size_t>(::SendMessageW(comboBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

std::vector<int> SelectedIndexes(HWND listBox) {
    std::vector<int> selected;
    const LRESULT count = ::SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (::SendMessageW(listBox, LB_GETSEL, i, 0) > 0) selected.push_back(static_cast<int>(i));
    return selected;
}

void Notify(HWND control, int code) {
    ::SendMessageW(
        ::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

void ClickButton(HWND button) { Notify(button, BN_CLICKED); }

void ChooseComboItem(HWND combo, int index) {
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    Notify(combo, CBN_SELCHANGE);
}

namespace {
void Route(MSG message) {
    if (gKeyboard && gKeyboard->Route(message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}
}  // namespace

void PressKey(UINT virtualKey, bool shift) {
    HWND focus = ::GetFocus();
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    const BYTE oldShift = keys[VK_SHIFT];
    if (shift) {
        keys[VK_SHIFT] = 0x80;
        ::SetKeyboardState(keys);
    }
    Route(MSG{focus, WM_KEYDOWN, virtualKey, 1, 0, {}});
    Pump();
    Route(MSG{::GetFocus(), WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u), 0, {}});
    Pump();
    if (shift) {
        keys[VK_SHIFT] = oldShift;
        ::SetKeyboardState(keys);
    }
}

void PressAltKey(wchar_t letter) {
    HWND focus = ::GetFocus();
    // Bit 29: Alt is held.
    Route(MSG{focus, WM_SYSCHAR, static_cast<WPARAM>(letter), static_cast<LPARAM>(0x20000001), 0, {}});
    Pump();
}

HWND ControlNamed(HWND window, const layout::Window& table, std::wstring_view name) {
    for (size_t row = 0; row < table.Controls.size(); ++row)
        if (name == table.Controls[row].Name)
            return ::GetDlgItem(window, win::BuiltLayout::IdOfRow(static_cast<int>(row)));
    return nullptr;
}

}  // namespace quorvel::testing
