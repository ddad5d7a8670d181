#include "win/DialogNavigation.h"

#include <algorithm>
#include <vector>

namespace quorvel::win {
namespace {
std::vector<HWND>& Windows() {
    static std::vector<HWND> windows;
    return windows;
}
}  // namespace

void AddNavigableWindow(HWND window) {
    auto& all = Windows();
    if (std::find(all.begin(), all.end(), window) == all.end()) all.push_back(window);
}

void RemoveNavigableWindow(HWND window) {
    auto& all = Windows();
    all.erase(std::remove(all.begin(), all.end(), window), all.end());
}

bool RouteNavigationMessage(MSG& message) {
    for (HWND window : Windows()) {
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
