#pragma once

// The wait cursor while a long step runs on the window's thread, which answers no mouse
// meanwhile; the cursor shown before comes back when the object goes.

#include <windows.h>

namespace quorvel::win {

class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace quorvel::win
