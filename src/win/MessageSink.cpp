#include "win/MessageSink.h"

#include <string>
#include <utility>

#include "batch/TextWindows.h"

namespace quorvel::win {

void MessageSink::Show(HWND owner, std::wstring_view text) const {
    if (handler_) {
        handler_(owner, text);
        return;
    }
    const std::wstring copy(text);
    ::MessageBoxW(owner, copy.c_str(), kAppTitle, MB_OK);
}

void MessageSink::Show(HWND owner, const Status& failure, std::wstring_view doing) const {
    Show(owner, std::wstring(doing) + Widen(failure.Message()));
}

MessageHandler MessageSink::Replace(MessageHandler handler) { return std::exchange(handler_, std::move(handler)); }

}  // namespace quorvel::win
