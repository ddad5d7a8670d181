#include "win/SettingsStore.h"

#include <windows.h>

#include <optional>
#include <string>

#include "win/UniqueHandle.h"

namespace quorvel::win {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Quorvel\\Settings";

}  // namespace

std::wstring SettingsStore::Read(SettingKey key, std::wstring_view defaultValue) const {
    if (open_) {
        const std::optional<std::wstring> value = ReadFrom(open_.Get(), key);
        read_.insert_or_assign(key.Name(), value);
        return value.value_or(std::wstring(defaultValue));
    }
    // Outside a session the key is opened on every call: nothing is cached, and a test's
    // substitute for HKEY_CURRENT_USER is honoured from the moment it is put in place.
    UniqueHkey settings;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, settings.Put()) != ERROR_SUCCESS)
        return std::wstring(defaultValue);
    return ReadFrom(settings.Get(), key).value_or(std::wstring(defaultValue));
}

std::optional<std::wstring> SettingsStore::ReadFrom(HKEY settings, SettingKey key) {
    const wchar_t* name = key.Name();
    // Room for a usual path at once: one request to the registry, not one for the size first.
    std::wstring value(MAX_PATH, L'\0');
    DWORD type = 0;
    // The value may grow between two calls; a few tries settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD capacity = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LSTATUS status =
            ::RegQueryValueExW(settings, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &capacity);
        if (status == ERROR_MORE_DATA && type == REG_SZ) {
            value.assign(capacity / sizeof(wchar_t) + 1, L'\0');
            continue;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) break;
        value.resize(capacity / sizeof(wchar_t));
        // Stored strings normally carry their terminator; one written without it is taken whole.
        if (const auto end = value.find(L'\0'); end != std::wstring::npos) value.resize(end);
        return value;
    }
    return std::nullopt;
}

bool SettingsStore::Write(SettingKey key, std::wstring_view value) {
    if (open_) {
        if (!writable_) return false;
        // What this session read there already: writing it again changes nothing.
        const auto known = read_.find(key.Name());
        if (known != read_.end() && known->second == value) return true;
        if (!SetIn(open_.Get(), key, value)) return false;
        read_.insert_or_assign(key.Name(), std::wstring(value));
        unflushed_ = true;
        return true;
    }
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
    // Durable when the call returns, not at some later lazy flush.
    return SetIn(settings.Get(), key, value) && ::RegFlushKey(settings.Get()) == ERROR_SUCCESS;
}

bool SettingsStore::SetIn(HKEY settings, SettingKey key, std::wstring_view value) {
    const std::wstring text(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(settings, key.Name(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
           ERROR_SUCCESS;
}

SettingsStore::Session::Session(SettingsStore& store) : store_(store) {
    if (store_.open_) return;  // the outer session holds the key
    opened_ = true;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER,
                          kSettingsKey,
                          0,
                          nullptr,
                          REG_OPTION_NON_VOLATILE,
                          KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr,
                          store_.open_.Put(),
                          nullptr) == ERROR_SUCCESS) {
        store_.writable_ = true;
        return;
    }
    // A key the user may not write is still read; the writes fail as they would one by one.
    store_.writable_ = false;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, store_.open_.Put()) != ERROR_SUCCESS)
        store_.open_.Reset();
}

SettingsStore::Session::~Session() {
    if (!opened_) return;
    if (store_.unflushed_) ::RegFlushKey(store_.open_.Get());
    store_.unflushed_ = false;
    store_.read_.clear();
    store_.open_.Reset();
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
