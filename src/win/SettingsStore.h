#pragma once

// The user's choices between runs: REG_SZ values under HKEY_CURRENT_USER\Software\Quorvel\Settings.

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "batch/BatchRequest.h"
#include "win/SettingKey.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {

class SettingsStore {
public:
    // The stored text, or the default when the value is missing or cannot be read.
    std::wstring Read(SettingKey key, std::wstring_view defaultValue = L"") const;
    // False when the value could not be stored. Flushed when the call returns, or in a session
    // when the session ends.
    bool Write(SettingKey key, std::wstring_view value);

    // While it lives, the store's reads and writes go through one open of the key, and what was
    // written is flushed once at its end: the start-up's four reads and three writes. A value
    // written as this session read it is not written again.
    class Session {
    public:
        explicit Session(SettingsStore& store);
        ~Session();
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;

    private:
        SettingsStore& store_;
        bool opened_ = false;
    };

private:
    // Null when the value is missing or cannot be read.
    static std::optional<std::wstring> ReadFrom(HKEY settings, SettingKey key);
    static bool SetIn(HKEY settings, SettingKey key, std::wstring_view value);

    UniqueHkey open_;  // the session's key
    bool writable_ = false;
    bool unflushed_ = false;
    // What the session read or wrote, by value name.
    mutable std::map<std::wstring, std::optional<std::wstring>, std::less<>> read_;
};

// A stored check state: the leading decimal number (blanks skipped, none gives 0), rounded to
// the nearest 16-bit integer, halves to even; anything but 0 or 1 reads as cleared.
CheckState CheckStateFromText(std::wstring_view text);
std::wstring CheckStateText(CheckState state);

}  // namespace quorvel::win
