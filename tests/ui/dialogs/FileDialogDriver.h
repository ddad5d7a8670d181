#pragma once

// Acts on the open-file dialog from a thread timer, which the dialog's own modal loop
// dispatches: once the dialog is visible and its rectangle has settled, the action runs once.
// At the deadline every dialog of the thread is cancelled, so no test can hang.

#include <windows.h>

#include <functional>
#include <string>

namespace quorvel::test {

class FileDialogDriver {
public:
    using Action = std::function<void(HWND dialog)>;
    explicit FileDialogDriver(Action action, ULONGLONG deadlineMs = 20000);
    ~FileDialogDriver();
    FileDialogDriver(const FileDialogDriver&) = delete;
    FileDialogDriver& operator=(const FileDialogDriver&) = delete;

    bool Acted() const { return acted_; }
    bool TimedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    Action action_;
    ULONGLONG deadline_;
    UINT_PTR timer_ = 0;
    HWND watched_ = nullptr;
    RECT watchedRect_{};
    int stableTicks_ = 0;
    bool acted_ = false;
    bool timedOut_ = false;
};

// What the open-file dialog shows, and how a test types into it.
std::wstring FileNameText(HWND dialog);
void TypeFileName(HWND dialog, const std::wstring& text);
void PressOpen(HWND dialog);
void PressCancel(HWND dialog);

}  // namespace quorvel::test
