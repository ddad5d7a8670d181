#pragma once

// The text of one line of a list box or of a combo box's list.

#include <windows.h>

#include <string>

namespace quorvel::win {

enum class ItemList { ListBox, ComboBox };

inline std::wstring ItemText(HWND control, LRESULT index, ItemList kind = ItemList::ListBox) {
    const bool combo = kind == ItemList::ComboBox;
    const LRESULT length = ::SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

}  // namespace quorvel::win
