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
        if (message.hwnd == window || ::IsChild(window, message.hwnd)) return ::IsDialogMessageW(window, &message) != 0;
    }
    return false;
}

}  // namespace quorvel::win
