#pragma once

// The user's choices between runs: REG_SZ values under HKEY_CURRENT_USER\Software\Quorvel\Settings.

#include <string>
#include <string_view>

#include "batch/BatchRequest.h"

namespace quorvel {

class SettingsStore {
public:
    // The stored text, or the default when the value is missing or cannot be read.
    std::wstring Read(std::wstring_view key, std::wstring_view defaultValue = L"") const;
    // False when the value could not be stored.
    bool Write(std::wstring_view key, std::wstring_view value);
};

// A stored check state: the leading decimal number (blanks skipped, none gives 0), rounded to
// the nearest 16-bit integer, halves to even; anything but 0 or 1 reads as cleared.
CheckState CheckStateFromText(std::wstring_view text);
std::wstring CheckStateText(CheckState state);

}  // namespace quorvel
