#include "filedialog/CommonDialogApi.h"

#include <commdlg.h>

#include <string>
#include <string_view>
#include <utility>

#include "filedialog/DialogAnswer.h"

namespace quorvel {
namespace {

constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

// One dialog's centring, from its call's frame.
struct Centring {
    win::UniqueHook Hook;
    HWND Owner;
    CommonDialogApi::CentringObserver Watcher;
};
// A hook procedure gets no context: the call whose hook waits on this thread.
thread_local Centring* tWaiting = nullptr;

RECT PrimaryScreen() { return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

// The first activation after the hook went in is the dialog's own.
LRESULT CentreOnActivation(HWND dialog, bool overOwner) {
    Centring* const centring = std::exchange(tWaiting, nullptr);
    if (!centring) return 0;
    RECT atActivation{};
    if (::GetWindowRect(dialog, &atActivation)) {
        RECT area = PrimaryScreen();
        // Without a window to centre on, the screen is the only sensible reference.
        if (overOwner && !::GetWindowRect(centring->Owner, &area)) area = PrimaryScreen();
        const POINT movedTo = filedialog::CentredPosition(area, atActivation);
        ::SetWindowPos(dialog, nullptr, movedTo.x, movedTo.y, 0, 0, kMoveOnly);
        if (centring->Watcher) centring->Watcher(dialog, atActivation, movedTo);
    }
    centring->Hook.Reset();
    return 0;
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

LRESULT CALLBACK CentreOnOwnerHook(int code, WPARAM wParam, LPARAM) {
    if (code != HCBT_ACTIVATE) return 0;
    return CentreOnActivation(reinterpret_cast<HWND>(wParam), true);
}

LRESULT CALLBACK CentreOnScreenHook(int code, WPARAM wParam, LPARAM) {
    if (code != HCBT_ACTIVATE) return 0;
    return CentreOnActivation(reinterpret_cast<HWND>(wParam), false);
}

}  // namespace

bool CommonDialogApi::CentringHookWaiting() { return tWaiting != nullptr; }

FileDialogResult CommonDialogApi::ShowFileDialog(HWND owner, bool centreOnOwner, OpenFileRequest request) {
    // Everything the dialog reads or writes lives in this call's frame. The dialog reads the
    // filter list up to a double NUL. The file buffer has room for a long multiple choice; NULs,
    // not blanks, after the name: the dialog would show blanks after it, and confirming that
    // name as shown overflows the stack of Wine's dialog.
    std::wstring filter = std::move(request.Filter);
    if (!filter.empty()) filter.append(2, L'\0');
    std::wstring file = request.DefaultName.substr(0, request.DefaultName.find(L'\0'));
    file.append(kFileBufferSpare, L'\0');
    std::wstring fileTitle(kFileBufferSpare, L' ');

    // The wide form, so a name outside the ANSI code page comes back whole.
    OPENFILENAMEW dialog{};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = OpenFileRecord.nFilterIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    dialog.lpstrInitialDir = OrNull(request.InitialDir);
    dialog.lpstrTitle = OrNull(request.Title);
    dialog.Flags = kDialogFlags;

    // A hook still waiting from before goes now.
    if (Centring* before = std::exchange(tWaiting, nullptr)) before->Hook.Reset();
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    Centring centring{
        win::UniqueHook(::SetWindowsHookExW(
            WH_CBT, centreOnOwner ? &CentreOnOwnerHook : &CentreOnScreenHook, instance, ::GetCurrentThreadId())),
        owner,
        CentringWatcher};
    if (centring.Hook) tWaiting = &centring;

    const BOOL chosen = ::GetOpenFileNameW(&dialog);

    // A dialog that failed before it was ever activated never triggered the hook; it must not
    // move the next window that appears. Its hook goes with this frame.
    if (tWaiting == &centring) tWaiting = nullptr;

    OpenFileRecord.nFilterIndex = dialog.nFilterIndex;
    if (!chosen) return FileDialogResult{};
    return filedialog::SplitAnswer(file, fileTitle, dialog.nFileOffset);
}

}  // namespace quorvel
