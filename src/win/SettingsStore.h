#pragma once

// The user's choices between runs: REG_SZ values under HKEY_CURRENT_USER\Software\Quorvel\Settings.

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "batch/BatchRequest.h"
#include "win/Layout.h"
#include "win/TableRow.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {

// A value of the store. Each key is given by the row of a window's table whose control persists
// under it, and code names one through that table, so a name no row gives does not compile.
class SettingKey {
public:
    template <typename T, const layout::Window& Table, typename Request, std::size_t N>
    static consteval SettingKey In(const TableRow<T, Table, Request> (&rows)[N], std::wstring_view name) {
        for (const auto& row : rows)
            if (row.Setting && name == row.Setting) return SettingKey(row.Setting);
        throw "no row of the window's table persists under this key";
    }
    // The key of a row that names one.
    template <typename T, const layout::Window& Table, typename Request>
    static constexpr SettingKey Of(const TableRow<T, Table, Request>& row) {
        return SettingKey(row.Setting);
    }
    const wchar_t* Name() const { return name_; }

private:
    constexpr explicit SettingKey(const wchar_t* name) : name_(name) {}
    const wchar_t* name_;
};

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
