#include "win/WindowText.h"

#include <stdexcept>

namespace quorvel::win {
namespace {

void RequireWindow(HWND window) {
    if (!window) throw std::logic_error("the window text of a control that was never made");
}

}  // namespace

std::wstring TextOf(HWND window) {
    RequireWindow(window);
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void SetText(HWND window, std::wstring_view text) {
    RequireWindow(window);
    ::SetWindowTextW(window, std::wstring(text).c_str());
}

}  // namespace quorvel::win
