#pragma once

// Every message to the user goes through here: an OK-only box without an icon, captioned with
// the application title. Tests put a recorder in its place to read the text instead of clicking.

#include <windows.h>

#include <functional>
#include <string_view>

#include "batch/Status.h"

namespace quorvel::win {

inline constexpr wchar_t kAppTitle[] = L"Quorvel";

void ShowMessage(HWND owner, std::wstring_view text);
// A failure's message, with what was being done before it when given.
void ShowMessage(HWND owner, const Status& failure, std::wstring_view doing = {});

using MessageHandler = std::function<void(HWND owner, std::wstring_view text)>;
// Replaces the box; an empty handler brings the real box back. Returns the previous handler.
MessageHandler SetMessageHandler(MessageHandler handler);

}  // namespace quorvel::win
