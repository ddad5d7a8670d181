#pragma once

// Every message to the user goes through the program's one sink: an OK-only box without an
// icon, captioned with the application title. Tests put a recorder in place of the box to read
// the text instead of clicking.

#include <windows.h>

#include <functional>
#include <string_view>

#include "batch/Status.h"

namespace quorvel::win {

inline constexpr wchar_t kAppTitle[] = L"Quorvel";

using MessageHandler = std::function<void(HWND owner, std::wstring_view text)>;

class MessageSink {
public:
    void Show(HWND owner, std::wstring_view text) const;
    // A failure's message, with what was being done before it when given.
    void Show(HWND owner, const Status& failure, std::wstring_view doing = {}) const;
    // Replaces the box; an empty handler brings the real box back. Returns the previous handler.
    MessageHandler Replace(MessageHandler handler);

private:
    MessageHandler handler_;
};

}  // namespace quorvel::win
