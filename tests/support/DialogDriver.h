#pragma once

// Drives a modal dialog of this thread from a thread timer, which the dialog's own message loop
// dispatches. Each step acts once on the next dialog window that is visible, enabled, not yet
// acted on and whose rectangle has stopped changing. At the deadline every dialog of the thread
// is cancelled, so no test can hang.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "WindowTestSupport.h"

namespace quorvel::testing {

class DialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;

    // Windows in ignore are never acted on (a dialog still open around a nested one).
    explicit DialogDriver(std::vector<Step> steps, std::vector<HWND> ignore = {}, ULONGLONG deadlineMs = 20000);
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    ~DialogDriver();

    bool TimedOut() const { return timedOut_; }
    size_t StepsDone() const { return next_; }
    // The window each step acted on and its rectangle at that moment.
    const std::vector<HWND>& ActedOn() const { return acted_; }
    const std::vector<RECT>& ActedRects() const { return actedRects_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<Step> steps_;
    std::vector<HWND> ignore_;
    size_t next_ = 0;
    ULONGLONG deadline_;
    bool timedOut_ = false;
    UINT_PTR timer_ = 0;
    HWND watched_ = nullptr;
    RECT watchedRect_{};
    int stableTicks_ = 0;
    std::vector<HWND> acted_;
    std::vector<RECT> actedRects_;
};

// All visible dialog windows (#32770) of the calling thread.
std::vector<HWND> ThreadDialogs();

HWND FileNameBox(HWND fileDialog);
void TypeFileName(HWND fileDialog, const std::wstring& text);
void SelectFilter(HWND fileDialog, int zeroBasedIndex);
int SelectedFilter(HWND fileDialog);
void Press(HWND dialog, int commandId);

}  // namespace quorvel::testing
