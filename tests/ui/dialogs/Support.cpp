#include "Support.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "win/DialogNavigation.h"
#include "win/MessageBox.h"

namespace quorvel::test {
namespace {

constexpr wchar_t kRedirectKey[] = L"Software\\QuorvelDialogTests";
constexpr wchar_t kSettingsKey[] = L"Software\\Quorvel\\Settings";

std::function<void(const ShownMessage&)>& OnMessage() {
    static std::function<void(const ShownMessage&)> action;
    return action;
}

}  // namespace

std::vector<ShownMessage>& Messages() {
    static std::vector<ShownMessage> messages;
    return messages;
}

const std::wstring& EncoderRecordPath() {
    static const std::wstring path = [] {
        wchar_t temp[MAX_PATH]{};
        ::GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"quorvel-encoder-record-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
    }();
    return path;
}

void InstallMessageRecorder() {
    ::SetEnvironmentVariableW(L"QUORVEL_FAKE_ENCODER_RECORD", EncoderRecordPath().c_str());
    win::SetMessageHandler([](HWND owner, std::wstring_view text) {
        ShownMessage shown{owner, std::wstring(text), owner && ::IsWindowVisible(owner) != 0,
                           FileExists(EncoderRecordPath())};
        Messages().push_back(shown);
        if (OnMessage()) OnMessage()(shown);
    });
}

void SetOnMessage(std::function<void(const ShownMessage&)> action) { OnMessage() = std::move(action); }

bool RedirectCurrentUser() {
    HKEY key = nullptr;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kRedirectKey);
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRedirectKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    return ::RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
}

void ForgetSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvel"); }

std::vector<std::pair<std::wstring, std::wstring>> StoredSettings() {
    std::vector<std::pair<std::wstring, std::wstring>> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256]{};
        DWORD nameLength = 256;
        wchar_t data[4096]{};
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes) !=
            ERROR_SUCCESS)
            break;
        std::wstring text(data, dataBytes / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        values.emplace_back(name, text);
    }
    ::RegCloseKey(key);
    std::sort(values.begin(), values.end());
    return values;
}

void StoreSetting(const std::wstring& keyName, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, keyName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

void Pump() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (win::RouteNavigationMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        Pump();
        if (condition()) return true;
        if (::GetTickCount64() > deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

ScratchDirectory::ScratchDirectory() {
    static int counter = 0;
    wchar_t temp[MAX_PATH]{};
    ::GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"quorvel-dialogs-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() { RemoveTree(path_); }

std::wstring ScratchDirectory::MakeDirectory(const std::wstring& name) const {
    const std::wstring path = *this / name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

std::wstring ScratchDirectory::MakeFile(const std::wstring& name, const std::string& content, DWORD attributes) const {
    const std::wstring path = *this / name;
    {
        std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
        out << content;
    }
    if (attributes) ::SetFileAttributesW(path.c_str(), attributes);
    return path;
}

CurrentDirectoryScope::CurrentDirectoryScope(const std::wstring& directory) : previous_(CurrentDirectory()) {
    ::SetCurrentDirectoryW(directory.c_str());
}

CurrentDirectoryScope::~CurrentDirectoryScope() { ::SetCurrentDirectoryW(previous_.c_str()); }

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH * 2]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring text(path);
    return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring CurrentDirectory() {
    wchar_t path[MAX_PATH * 2]{};
    ::GetCurrentDirectoryW(MAX_PATH * 2, path);
    return path;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data{};
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(search, &data));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetTextOf(HWND window, const std::wstring& text) { ::SetWindowTextW(window, text.c_str()); }

void Click(HWND button) {
    ::SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

bool IsChecked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void PressKey(UINT virtualKey) {
    for (UINT kind : {WM_KEYDOWN, WM_KEYUP}) {
        MSG message{::GetFocus(), kind, virtualKey, kind == WM_KEYUP ? 0xC0000001 : 1, ::GetTickCount(), {}};
        if (!win::RouteNavigationMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        Pump();
    }
}

RECT ClientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace quorvel::test
