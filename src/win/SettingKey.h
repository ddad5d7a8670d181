#pragma once

// The names of the settings store's values, checked against the windows' tables at compile time.
// Portable, so the check that a wrong key does not compile runs on every build host.

#include <cstddef>
#include <string_view>

#include "win/Layout.h"
#include "win/TableRow.h"

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

}  // namespace quorvel::win
