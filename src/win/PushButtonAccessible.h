#pragma once

// What a screen reader is told about a control that paints itself but is a push button: its
// role, its words, its state and its action; and the name of a box its label does not name.
// Wine's accessibility layer announces every button as a plain client area, so the control
// answers WM_GETOBJECT itself.

#include <windows.h>

#include <string>

namespace quorvel::win {

// The answer to WM_GETOBJECT for the button's client object; 0 for any other object, which the
// caller passes to its default handling.
LRESULT AnswerAsPushButton(HWND button, WPARAM wParam, LPARAM lParam);

// From now on a screen reader calls the control by this name, whatever its window text: Wine
// names a combo box by its text and a list by nothing, whatever label stands before it.
// False when the name could not be attached.
bool NameForScreenReaders(HWND control, const std::wstring& name);

}  // namespace quorvel::win
