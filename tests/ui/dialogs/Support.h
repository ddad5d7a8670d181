#pragma once

// What the dialog tests share: a throwaway settings store, recorded messages, message pumping,
// scratch directories and small control helpers.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvel::test {

// One message the program showed, and what the world looked like at that moment.
struct ShownMessage {
    HWND Owner = nullptr;
    std::wstring Text;
    bool OwnerVisible = false;
    bool EncoderHadStarted = false;  // the fake encoder's record existed
};

// Installed by main for the whole run.
std::vector<ShownMessage>& Messages();
void InstallMessageRecorder();
// The record file the fake encoder writes (named in the environment for child processes).
const std::wstring& EncoderRecordPath();
// Runs inside the message handler, for a test that must act while a message is up.
void SetOnMessage(std::function<void(const ShownMessage&)> action);

// HKEY_CURRENT_USER redirected to a throwaway key for the whole run.
bool RedirectCurrentUser();
void ForgetSettings();  // removes every stored setting
std::vector<std::pair<std::wstring, std::wstring>> StoredSettings();  // name, text; sorted
void StoreSetting(const std::wstring& key, const std::wstring& value);

// Dispatches what is queued, offering each message to the dialog navigation first.
void Pump();
// Pumps until the condition holds or the deadline passes; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::wstring& Path() const { return path_; }  // no trailing backslash
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::wstring MakeDirectory(const std::wstring& name) const;
    std::wstring MakeFile(const std::wstring& name, const std::string& content = "x", DWORD attributes = 0) const;

private:
    std::wstring path_;
};

// Sets the process's current directory for a scope.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::wstring& directory);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    std::wstring previous_;
};

std::wstring ProgramFolder();  // with its trailing backslash
std::wstring CurrentDirectory();
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
void RemoveTree(const std::wstring& path);

std::wstring TextOf(HWND window);
void SetTextOf(HWND window, const std::wstring& text);
void Click(HWND button);  // a real button click, as the mouse gives it
bool IsChecked(HWND box);
// Sends a key to the focused control through the dialog navigation, as the message loop does.
void PressKey(UINT virtualKey);
// The control's rectangle in its parent's client coordinates.
RECT ClientRectOf(HWND control);

}  // namespace quorvel::test
