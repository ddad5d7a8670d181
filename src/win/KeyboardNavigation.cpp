#include "win/KeyboardNavigation.h"

#include <algorithm>

namespace quorvel::win {

void KeyboardNavigation::Add(HWND window) {
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) windows_.push_back(window);
}

void KeyboardNavigation::Remove(HWND window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

bool KeyboardNavigation::Route(MSG& message) const {
    for (HWND window : windows_) {
        if (message.hwnd != window && !::IsChild(window, message.hwnd)) continue;
        const bool handled = ::IsDialogMessageW(window, &message) != 0;
        const bool key =
            message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN || message.message == WM_SYSCHAR;
        // The key may have closed the window.
        if (handled && key && ::IsWindow(window)) ::SendMessageW(window, kNavigated, 0, 0);
        return handled;
    }
    return false;
}

}  // namespace quorvel::win
