#pragma once

// Pictures: a decoded JPEG stretched to the control's client area.
//
// The plain picture (class kPictureClass) tells its parent about a left click with
// WM_COMMAND/BN_CLICKED and never takes the focus. A picture button is a system push button
// (BS_OWNERDRAW) that paints the picture instead: it takes the focus, shows it with a focus
// rectangle, Space presses it and a screen reader announces it as a push button. The window
// text of both names them for screen readers and is never drawn.

#include <windows.h>

#include "win/UniqueHandle.h"

namespace quorvel::win {

// Pictures are windows of this class; CreateWindowEx's lpParam carries the decoded picture
// (a UniqueBitmap* it takes over), and a click reaches the parent as WM_COMMAND/BN_CLICKED with
// the control's id.
inline constexpr wchar_t kPictureClass[] = L"QuorvelPicture";

// Plate colour shown where a picture could not be decoded.
inline constexpr COLORREF kPicturePlate = RGB(0xDC, 0xDC, 0xDC);

// Registers the window class once per process; later calls only check. False if it failed.
bool RegisterPictureClass();

// Makes an owner-drawn BUTTON a picture button showing the decoded picture. False if it failed.
bool AttachPictureButton(HWND button, UniqueBitmap bitmap);

// The decoded picture's size in pixels (0 x 0 when it did not decode), for either kind.
SIZE PictureImageSize(HWND picture);

}  // namespace quorvel::win
