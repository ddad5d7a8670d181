#include "FileDialogDriver.h"

#include <dlgs.h>

#include <string_view>
#include <vector>

#include "Support.h"

namespace quorvel::test {
namespace {

FileDialogDriver* running = nullptr;
constexpr UINT kTickMs = 50;
constexpr int kStableTicks = 2;

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
    wchar_t className[16]{};
    ::GetClassNameW(window, className, 16);
    if (std::wstring_view(className) == L"#32770" && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

HWND FileNameBox(HWND dialog) {
    if (HWND combo = ::GetDlgItem(dialog, cmb13); combo && ::IsWindowVisible(combo)) return combo;
    return ::GetDlgItem(dialog, edt1);
}

}  // namespace

FileDialogDriver::FileDialogDriver(Action action, ULONGLONG deadlineMs)
    : action_(std::move(action)), deadline_(::GetTickCount64() + deadlineMs) {
    running = this;
    timer_ = ::SetTimer(nullptr, 0, kTickMs, &FileDialogDriver::Tick);
}

FileDialogDriver::~FileDialogDriver() {
    ::KillTimer(nullptr, timer_);
    running = nullptr;
}

void CALLBACK FileDialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (running) running->OnTick();
}

void FileDialogDriver::OnTick() {
    if (::GetTickCount64() > deadline_) {
        timedOut_ = true;
        for (HWND dialog : ThreadDialogs()) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (acted_) return;
    const std::vector<HWND> dialogs = ThreadDialogs();
    HWND candidate = dialogs.empty() ? nullptr : dialogs.back();
    RECT rect{};
    if (!candidate || !::IsWindowEnabled(candidate) || !::GetWindowRect(candidate, &rect)) {
        watched_ = nullptr;
        stableTicks_ = 0;
        return;
    }
    if (candidate == watched_ && ::EqualRect(&rect, &watchedRect_)) {
        ++stableTicks_;
    } else {
        watched_ = candidate;
        watchedRect_ = rect;
        stableTicks_ = 0;
    }
    if (stableTicks_ < kStableTicks) return;
    acted_ = true;
    action_(candidate);
}

std::wstring FileNameText(HWND dialog) { return TextOf(FileNameBox(dialog)); }

void TypeFileName(HWND dialog, const std::wstring& text) {
    ::SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PressOpen(HWND dialog) {
    ::PostMessageW(
        dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
}

void PressCancel(HWND dialog) {
    ::PostMessageW(
        dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
}

}  // namespace quorvel::test
