#pragma once

// The user's choices between runs: REG_SZ values under HKEY_CURRENT_USER\Software\Quorvel\Settings.

#include <string>
#include <string_view>

#include "batch/BatchRequest.h"

namespace quorvel::win {

// Every value the program keeps between runs, by its name in the store.
inline constexpr const wchar_t* kSettingKeys[] = {
    L"FileOutput",
    L"DirOutput",
    L"DirInput",
    L"TemplateInput",  // the main window
    L"Deinterlace",
    L"Noise",
    L"AutoLaunch",
    L"TMPGEncPath",  // the Advanced options
};

// A key of the table above, checked when the program is compiled.
class SettingKey {
public:
    consteval SettingKey(const wchar_t* name) : name_(Find(name)) {}
    const wchar_t* Name() const { return name_; }

private:
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
