#pragma once

// Keyboard navigation (Tab, arrows, mnemonics) for the main window and each modeless dialog:
// the message loop offers every message to the registered window it belongs to.

#include <windows.h>

namespace quorvel::win {

void AddNavigableWindow(HWND window);
void RemoveNavigableWindow(HWND window);
// True when the message was a navigation message of a registered window and has been handled.
bool RouteNavigationMessage(MSG& message);

}  // namespace quorvel::win
