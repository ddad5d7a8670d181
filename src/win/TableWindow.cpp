#include "win/TableWindow.h"

#include <algorithm>

namespace quorvel::win {

POINT CentredOrigin(SIZE frame, Placement placement, HWND over, HWND window) {
    const bool overWindow = placement == Placement::OverOwner && over && ::IsWindow(over) && !::IsIconic(over);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    // A window not made yet goes where CW_USEDEFAULT would put it: on the primary monitor, whose
    // work area is one question instead of two (each costs Wine a round of server requests).
    const bool primaryWorkArea = !overWindow && !window && placement == Placement::WorkArea;
    if (!primaryWorkArea || !::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0))
        ::GetMonitorInfoW(::MonitorFromWindow(overWindow ? over : window, MONITOR_DEFAULTTOPRIMARY), &info);
    RECT around = placement == Placement::Screen ? info.rcMonitor : info.rcWork;
    if (overWindow) ::GetWindowRect(over, &around);
    const int width = static_cast<int>(frame.cx);
    const int height = static_cast<int>(frame.cy);
    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    if (overWindow) {
        // Over a window near the edge the whole frame still stays on its work area.
        x = std::max(static_cast<int>(info.rcWork.left), std::min(x, static_cast<int>(info.rcWork.right) - width));
        y = std::max(static_cast<int>(info.rcWork.top), std::min(y, static_cast<int>(info.rcWork.bottom) - height));
    }
    return {x, y};
}

void Centre(HWND window, Placement placement, HWND over) {
    RECT self{};
    ::GetWindowRect(window, &self);
    const POINT at = CentredOrigin({self.right - self.left, self.bottom - self.top}, placement, over, window);
    ::SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Activate(HWND window, bool evenWhenActive) {
    if (!window) return;
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    // A window manager raises a window that asks for it but leaves the keyboard where it was,
    // and Esc and Enter must reach this window: a window shown anew is given the keyboard.
    // Hidden without passing the activation on.
    constexpr UINT kHideOnly = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    bool shownAnew = !::IsWindowVisible(window);
    if (!shownAnew && (evenWhenActive || ::GetActiveWindow() != window)) {
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, kHideOnly);
        shownAnew = true;
    }
    ::ShowWindow(window, SW_SHOW);
    // Showing a hidden window activates it and brings it to the foreground already; asking again
    // costs a round trip to the server.
    if (!shownAnew) ::SetForegroundWindow(window);
}

}  // namespace quorvel::win
