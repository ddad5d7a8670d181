#pragma once

// The picture control (class kPictureClass): shows a JPEG resource stretched to its client area
// and tells its parent about a left click with WM_COMMAND/BN_CLICKED. It never takes the focus.
// Its window text names it for screen readers and is never drawn.

#include <windows.h>

namespace quorvel::win {

// Plate colour shown where a picture could not be decoded.
inline constexpr COLORREF kPicturePlate = RGB(0xDC, 0xDC, 0xDC);

// Registers the window class once per process; later calls only check. False if it failed.
bool RegisterPictureClass();

// The decoded picture's size in pixels (0 x 0 when it did not decode), for a picture window.
SIZE PictureImageSize(HWND picture);

}  // namespace quorvel::win
