#include "filedialog/CommonDialogApi.h"

#include <commdlg.h>

#include <string>
#include <string_view>
#include <utility>

#include "filedialog/DialogAnswer.h"

namespace quorvel::CommonDialogApi {
namespace {

constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

RECT PrimaryScreen() { return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

// The first activation after the hook went in is the dialog's own.
LRESULT CentreOnActivation(HWND dialog, bool overOwner) {
    RECT atActivation{};
    if (::GetWindowRect(dialog, &atActivation)) {
        RECT area = PrimaryScreen();
        // Without a window to centre on, the screen is the only sensible reference.
        if (overOwner && !::GetWindowRect(OwnerWindow, &area)) area = PrimaryScreen();
        const POINT movedTo = filedialog::CentredPosition(area, atActivation);
        ::SetWindowPos(dialog, nullptr, movedTo.x, movedTo.y, 0, 0, kMoveOnly);
        if (CentringWatcher) CentringWatcher(dialog, atActivation, movedTo);
    }
    HookHandle.Reset();
    return 0;
}

// The caller stores a bare default name; anything after a NUL, and blanks at its end, are the
// remains of an earlier call's buffer.
std::wstring DefaultName(const std::wstring& stored) {
    std::wstring name = stored.substr(0, stored.find(L'\0'));
    name.erase(name.find_last_not_of(L' ') + 1);
    return name;
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

LRESULT CALLBACK CentreOnOwnerHook(int code, WPARAM wParam, LPARAM) {
    if (code != HCBT_ACTIVATE) return 0;
    return CentreOnActivation(reinterpret_cast<HWND>(wParam), true);
}

LRESULT CALLBACK CentreOnScreenHook(int code, WPARAM wParam, LPARAM) {
    if (code != HCBT_ACTIVATE) return 0;
    return CentreOnActivation(reinterpret_cast<HWND>(wParam), false);
}

FileDialogResult ShowFileDialog(HWND owner, bool centreOnOwner) {
    OpenFileRequest& record = OpenFileRecord;
    OwnerWindow = owner;
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = owner;
    record.lpstrFileTitle.assign(kFileBufferSpare, L' ');
    record.nMaxFileTitle = static_cast<DWORD>(kFileBufferSpare);
    // Room for a long multiple choice. NULs, not blanks: the dialog would show blanks after the
    // name, and confirming that name as shown overflows the stack of Wine's dialog.
    record.lpstrFile = DefaultName(record.lpstrFile) + std::wstring(kFileBufferSpare, L'\0');
    record.nMaxFile = static_cast<DWORD>(record.lpstrFile.size());
    record.Flags = kDialogFlags;

    // The wide form, so a name outside the ANSI code page comes back whole. The dialog gets
    // copies: it writes into its buffers, and reads the filter list up to a double NUL.
    std::wstring filter = record.lpstrFilter;
    if (!filter.empty()) filter.append(2, L'\0');
    std::wstring file = record.lpstrFile;
    std::wstring fileTitle = record.lpstrFileTitle;

    OPENFILENAMEW request{};
    request.lStructSize = record.lStructSize;
    request.hwndOwner = owner;
    request.hInstance = record.hInstance;
    request.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    request.nFilterIndex = record.nFilterIndex;
    request.lpstrFile = file.data();
    request.nMaxFile = static_cast<DWORD>(file.size());
    request.lpstrFileTitle = fileTitle.data();
    request.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    request.lpstrInitialDir = OrNull(record.lpstrInitialDir);
    request.lpstrTitle = OrNull(record.lpstrTitle);
    request.Flags = record.Flags;

    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    const HHOOK hook = ::SetWindowsHookExW(
        WH_CBT, centreOnOwner ? &CentreOnOwnerHook : &CentreOnScreenHook, instance, ::GetCurrentThreadId());
    HookHandle = win::UniqueHook(hook);  // a hook still waiting from before goes now

    const BOOL chosen = ::GetOpenFileNameW(&request);

    // A dialog that failed before it was ever activated never triggered the hook; it must not
    // move the next window that appears.
    if (hook && HookHandle.Get() == hook) HookHandle.Reset();

    record.nFilterIndex = request.nFilterIndex;
    record.lpstrFile = std::move(file);
    record.nFileOffset = request.nFileOffset;
    record.nFileExtension = request.nFileExtension;
    record.lpstrFileTitle = std::move(fileTitle);

    if (!chosen) return FileDialogResult{};
    return filedialog::SplitAnswer(record.lpstrFile, record.lpstrFileTitle, record.nFileOffset);
}

}  // namespace quorvel::CommonDialogApi
