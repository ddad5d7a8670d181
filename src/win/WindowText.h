#pragma once

// The text of a window or control, for every part of the window layer.

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel::win {

// A null handle is a control that was never made: asking it is a fault of the caller, so it
// throws std::logic_error (reported at the window boundary) instead of passing for empty.
std::wstring TextOf(HWND window);
void SetText(HWND window, std::wstring_view text);

}  // namespace quorvel::win
