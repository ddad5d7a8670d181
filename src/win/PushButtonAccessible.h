#pragma once

// What a screen reader is told about a control that paints itself but is a push button: its
// role, its words, its state and its action. Wine's accessibility layer announces every button
// as a plain client area, so the control answers WM_GETOBJECT itself.

#include <windows.h>

namespace quorvel::win {

// The answer to WM_GETOBJECT for the button's client object; 0 for any other object, which the
// caller passes to its default handling.
LRESULT AnswerAsPushButton(HWND button, WPARAM wParam, LPARAM lParam);

}  // namespace quorvel::win
