#pragma once

// Keyboard navigation (Tab, arrows, mnemonics) for the main window and each modeless dialog:
// the message loop offers every message to the registered window it belongs to. The program
// owns the one list; each table-built window registers itself in it while it exists.

#include <windows.h>

#include <vector>

namespace quorvel::win {

// Sent to a registered window after the dialog manager handled a key of it: the focus may have
// moved, and Wine's Tab handling takes the default style off every button as it goes.
inline constexpr UINT kNavigated = WM_APP + 0x60;

class KeyboardNavigation {
public:
    void Add(HWND window);
    void Remove(HWND window);
    // True when the message was a navigation message of a registered window and has been handled.
    bool Route(MSG& message) const;

private:
    std::vector<HWND> windows_;
};

}  // namespace quorvel::win
