#pragma once

// Shared by the window tests: a throwaway HKEY_CURRENT_USER, recorded messages, pumping with a
// deadline, scratch directories and small control helpers.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win/Layout.h"
#include "win/KeyboardNavigation.h"
#include "win/MessageSink.h"

namespace quorvel::testing {

// HKEY_CURRENT_USER points at a fresh empty key for the object's life; the key is deleted after.
class ScratchRegistry {
public:
    explicit ScratchRegistry(HKEY root = HKEY_CURRENT_USER);
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    bool Active() const { return key_ != nullptr; }
    // The program's settings key exists but refuses to be written, until made writable again.
    bool MakeReadOnly();
    void MakeWritable();
    // Values of the program's settings key, through the redirected root.
    std::optional<std::wstring> Setting(const std::wstring& name) const;
    void SetSetting(const std::wstring& name, const std::wstring& value) const;
    // name, text: every value of the settings key, sorted by name.
    std::vector<std::pair<std::wstring, std::wstring>> AllSettings() const;

private:
    HKEY root_;
    HKEY key_ = nullptr;
    std::wstring path_;
};

// HKEY_CURRENT_USER is the real one for the object's life, for what another process wrote there;
// the throwaway store in force before comes back after.
class RealCurrentUser {
public:
    RealCurrentUser();
    ~RealCurrentUser();
    RealCurrentUser(const RealCurrentUser&) = delete;
    RealCurrentUser& operator=(const RealCurrentUser&) = delete;
};

// The program's sink, which MessageRecorder records from.
void RecordMessagesOf(win::MessageSink* messages);

// Records every message the program shows instead of showing a box; optionally acts on each.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::wstring>& Texts() const { return texts_; }
    void Clear() { texts_.clear(); }
    void OnMessage(std::function<void(const std::wstring&)> action) { action_ = std::move(action); }

private:
    std::vector<std::wstring> texts_;
    std::function<void(const std::wstring&)> action_;
    win::MessageHandler previous_;
};

// Dispatches what is queued, offering each message to the dialog navigation first, as the
// program's loop does. WM_QUIT is remembered, not obeyed.
// Pump and the other loops offer messages to this navigation list first, as the program's loop
// offers them to its own.
void RouteKeysThrough(const win::KeyboardNavigation* keyboard);
void Pump();
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
bool QuitPosted();
void ForgetQuit();

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::wstring& Path() const { return path_; }  // no trailing backslash
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::wstring MakeDirectory(const std::wstring& name) const;
    std::wstring MakeFile(const std::wstring& name, DWORD attributes = 0) const;
    void Remove(const std::wstring& name) const;

private:
    std::wstring path_;
};

class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::wstring& directory);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    std::wstring previous_;
};

// Wine waits up to two seconds for a window manager to withdraw each window that is hidden or
// destroyed, and a virtual display has none. Windows of this program alone can be left
// unmanaged (Wine then draws their frames itself); Wine reads that choice when a process
// starts, so the first run records it, runs the program again with the same command line and
// gives its exit code. False when the process should just go on.
bool RestartWithUnmanagedWindows(int& exitCode);

void RemoveTree(const std::wstring& path);
std::wstring ExecutableDirectory();  // no trailing backslash, except at a root

std::wstring TextOf(HWND window);
std::vector<std::wstring> ListItems(HWND listBox);
std::vector<std::wstring> ComboItems(HWND comboBox);
std::vector<int> SelectedIndexes(HWND listBox);
// The notification a user's action gives: the parent receives WM_COMMAND from the control.
void Notify(HWND control, int code);
void ClickButton(HWND button);                // BN_CLICKED
void ChooseComboItem(HWND combo, int index);  // CB_SETCURSEL + CBN_SELCHANGE
// A key through the dialog navigation to the focused window, as the message loop gives it.
void PressKey(UINT virtualKey, bool shift = false);
void PressAltKey(wchar_t letter);

// A control of a table-built window by its name, for tests that walk lists of names; null when
// the table has no such control.
HWND ControlNamed(HWND window, const layout::Window& table, std::wstring_view name);

}  // namespace quorvel::testing
