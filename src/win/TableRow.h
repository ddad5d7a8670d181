#pragma once

// One row of a window's table, for one control: its notification runs the handler; it fills a
// text or check field of the window's request; it persists under a settings key. The rows are the
// only list of the store's keys: code takes a key from its window's rows (SettingKey::In).

#include <cstdint>
#include <string>

#include "batch/BatchRequest.h"
#include "win/Layout.h"

namespace quorvel::win {

template <typename T, const layout::Window& Table, typename Request>
struct TableRow {
    layout::ControlId<Table> Control;
    std::uint16_t Notification = 0;  // the control's notification code, as WM_COMMAND carries it
    void (T::*Run)() = nullptr;
    std::string Request::*Text = nullptr;
    CheckState Request::*Check = nullptr;
    const wchar_t* Setting = nullptr;
};

}  // namespace quorvel::win
