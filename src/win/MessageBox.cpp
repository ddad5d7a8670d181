#include "win/MessageBox.h"

#include <string>
#include <utility>

#include "batch/TextWindows.h"

namespace quorvel::win {
namespace {
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}
}  // namespace

void ShowMessage(HWND owner, std::wstring_view text) {
    if (Handler()) {
        Handler()(owner, text);
        return;
    }
    const std::wstring copy(text);
    ::MessageBoxW(owner, copy.c_str(), kAppTitle, MB_OK);
}

void ShowMessage(HWND owner, const Status& failure, std::wstring_view doing) {
    ShowMessage(owner, std::wstring(doing) + Widen(failure.Message()));
}

MessageHandler SetMessageHandler(MessageHandler handler) { return std::exchange(Handler(), std::move(handler)); }

}  // namespace quorvel::win
