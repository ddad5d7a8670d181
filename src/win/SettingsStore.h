#pragma once

// The user's choices between runs: REG_SZ values under HKEY_CURRENT_USER\Software\Quorvel\Settings.

#include <string>
#include <string_view>

#include "batch/BatchRequest.h"

namespace quorvel::win {

// The values the code names by hand, by their names in the store. A control that persists
// names its key once, in its window's table (TableWindow's Row::Setting), and is not listed here.
inline constexpr const wchar_t* kSettingKeys[] = {
    L"FileOutput",
    L"DirOutput",
    L"DirInput",
    L"TemplateInput",  // the main window
};

// A key of the list above, checked when the program is compiled, or the key a window's table
// row gives.
class SettingKey {
public:
    consteval SettingKey(const wchar_t* name) : name_(Find(name)) {}
    static constexpr SettingKey OfTableRow(const wchar_t* name) { return SettingKey(name, 0); }
    const wchar_t* Name() const { return name_; }

private:
    constexpr SettingKey(const wchar_t* name, int) : name_(name) {}
    static consteval const wchar_t* Find(std::wstring_view name) {
        for (const wchar_t* key : kSettingKeys)
            if (name == key) return key;
        throw "not a key of the settings store";
    }
    const wchar_t* name_;
};

class SettingsStore {
public:
    // The stored text, or the default when the value is missing or cannot be read.
    std::wstring Read(SettingKey key, std::wstring_view defaultValue = L"") const;
    // False when the value could not be stored.
    bool Write(SettingKey key, std::wstring_view value);
};

// A stored check state: the leading decimal number (blanks skipped, none gives 0), rounded to
// the nearest 16-bit integer, halves to even; anything but 0 or 1 reads as cleared.
CheckState CheckStateFromText(std::wstring_view text);
std::wstring CheckStateText(CheckState state);

}  // namespace quorvel::win
