#include "win/SettingsStore.h"

#include <windows.h>

#include <string>

#include "win/UniqueHandle.h"

namespace quorvel::win {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Quorvel\\Settings";

}  // namespace

std::wstring SettingsStore::Read(SettingKey key, std::wstring_view defaultValue) const {
    // The key is opened on every call: nothing is cached, and a test's substitute for
    // HKEY_CURRENT_USER is honoured from the moment it is put in place.
    UniqueHkey settings;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, settings.Put()) != ERROR_SUCCESS)
        return std::wstring(defaultValue);
    const wchar_t* name = key.Name();
    std::wstring value;
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = ::RegQueryValueExW(settings.Get(), name, nullptr, &type, nullptr, &bytes);
    // The value may grow between the two calls; a few tries settle it.
    for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
        if (type != REG_SZ) return std::wstring(defaultValue);
        value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD capacity = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        status =
            ::RegQueryValueExW(settings.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &capacity);
        if (status == ERROR_MORE_DATA) {
            bytes = capacity;
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) break;
        value.resize(capacity / sizeof(wchar_t));
        // Stored strings normally carry their terminator; one written without it is taken whole.
        if (const auto end = value.find(L'\0'); end != std::wstring::npos) value.resize(end);
        return value;
    }
    return std::wstring(defaultValue);
}

bool SettingsStore::Write(SettingKey key, std::wstring_view value) {
    UniqueHkey settings;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER,
                          kSettingsKey,
                          0,
                          nullptr,
                          REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE,
                          nullptr,
                          settings.Put(),
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const wchar_t* name = key.Name();
    const std::wstring text(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (::RegSetValueExW(settings.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) !=
        ERROR_SUCCESS) {
        return false;
    }
    // Durable when the call returns, not at some later lazy flush.
    return ::RegFlushKey(settings.Get()) == ERROR_SUCCESS;
}

CheckState CheckStateFromText(std::wstring_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == L' ' || text[at] == L'\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
        negative = text[at] == L'-';
        ++at;
    }
    // The rounding is done on the digits themselves so no binary fraction can tip a half.
    long whole = 0;
    bool overflow = false;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        whole = whole * 10 + (text[at] - L'0');
        if (whole > 32768) {
            overflow = true;
            whole = 32768;
        }
    }
    if (at < text.size() && text[at] == L'.') {
        ++at;
        const size_t firstFraction = at;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') ++at;
        const std::wstring_view fraction = text.substr(firstFraction, at - firstFraction);
        if (!fraction.empty()) {
            const wchar_t first = fraction[0];
            const bool moreThanHalf =
                first > L'5' || (first == L'5' && fraction.find_first_not_of(L'0', 1) != std::wstring_view::npos);
            const bool exactlyHalf = first == L'5' && !moreThanHalf;
            if (moreThanHalf || (exactlyHalf && whole % 2 == 1)) ++whole;
        }
    }
    if (overflow || negative) return 0;  // out of range, or at most zero: no valid "set"
    return whole == 1 ? 1 : 0;
}

std::wstring CheckStateText(CheckState state) { return state == 1 ? L"1" : L"0"; }

}  // namespace quorvel::win
