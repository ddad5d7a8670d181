#include "DialogDriver.h"

#include <dlgs.h>

#include <algorithm>

namespace quorvel::testing {
namespace {

std::vector<DialogDriver*> running;  // nested dialogs nest their drivers
constexpr UINT kTickMs = 50;
constexpr int kStableTicks = 2;

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
    wchar_t className[16]{};
    ::GetClassNameW(window, className, 16);
    if (std::wstring_view(className) == L"#32770" && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

DialogDriver::DialogDriver(std::vector<Step> steps, std::vector<HWND> ignore, ULONGLONG deadlineMs)
    : steps_(std::move(steps)), ignore_(std::move(ignore)), deadline_(::GetTickCount64() + deadlineMs) {
    running.push_back(this);
    timer_ = ::SetTimer(nullptr, 0, kTickMs, &DialogDriver::Tick);
}

DialogDriver::~DialogDriver() {
    ::KillTimer(nullptr, timer_);
    std::erase(running, this);
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    for (DialogDriver* driver : running) {
        if (driver->timer_ == timer) return driver->OnTick();
    }
}

void DialogDriver::OnTick() {
    if (::GetTickCount64() > deadline_) {
        timedOut_ = true;
        for (HWND dialog : ThreadDialogs()) {
            ::PostMessageW(dialog, WM_COMMAND, IDNO, 0);
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    if (next_ >= steps_.size()) return;

    // The topmost dialog that may take input; a modal one's owner is disabled.
    HWND candidate = nullptr;
    for (HWND dialog : ThreadDialogs()) {
        if (::IsWindowEnabled(dialog) && std::ranges::find(acted_, dialog) == acted_.end() &&
            std::ranges::find(ignore_, dialog) == ignore_.end()) {
            candidate = dialog;
            break;
        }
    }
    RECT rect{};
    if (!candidate || !::GetWindowRect(candidate, &rect)) {
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

    acted_.push_back(candidate);
    actedRects_.push_back(rect);
    stableTicks_ = 0;
    watched_ = nullptr;
    steps_[next_++](candidate);
}

HWND FileNameBox(HWND fileDialog) {
    if (HWND combo = ::GetDlgItem(fileDialog, cmb13); combo && ::IsWindowVisible(combo)) return combo;
    return ::GetDlgItem(fileDialog, edt1);
}

void TypeFileName(HWND fileDialog, const std::wstring& text) {
    ::SendMessageW(FileNameBox(fileDialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SelectFilter(HWND fileDialog, int zeroBasedIndex) {
    HWND combo = ::GetDlgItem(fileDialog, cmb1);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(zeroBasedIndex), 0);
    // What a pick from the drop-down list sends; dialogs differ in which of the two they act on.
    for (WORD notification : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(cmb1, notification), reinterpret_cast<LPARAM>(combo));
}

int SelectedFilter(HWND fileDialog) {
    return static_cast<int>(::SendMessageW(::GetDlgItem(fileDialog, cmb1), CB_GETCURSEL, 0, 0));
}

void Press(HWND dialog, int commandId) {
    ::PostMessageW(dialog,
                   WM_COMMAND,
                   MAKEWPARAM(commandId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, commandId)));
}

}  // namespace quorvel::testing
