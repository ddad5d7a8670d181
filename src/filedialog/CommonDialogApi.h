#pragma once

// The one way the program asks the user for a file: the system's open-file dialog, centred on
// its owner by a one-shot thread hook, with the answer split into a directory and names.
//
// Each call owns its request's strings for as long as its dialog is open: a second dialog
// opened from another window meanwhile cannot change the first one's caption, folder, filter or
// buffer. Only the filter the user last confirmed (nFilterIndex) carries over to the next dialog
// of any caller, through OpenFileRecord.

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "win/UniqueHandle.h"

namespace quorvel {

// What one dialog asks for.
struct OpenFileRequest {
    std::wstring Filter;  // description and pattern pairs, NUL-separated; no NUL after the last
    std::wstring Title;
    std::wstring InitialDir;
    std::wstring DefaultName;  // may be empty
};

// What the dialogs of a run share.
struct SharedFileDialogState {
    DWORD nFilterIndex = 0;  // from 1; 0 selects the first pair
};
struct FileDialogResult {
    int FileCount = 0;
    std::vector<std::wstring> FileNames;  // without directory, in the dialog's order
    // One file: the directory with its trailing backslash, so Directory + FileNames[0] is the
    // path. Several files: the directory as the dialog reports it, without a trailing backslash
    // except at a drive root.
    std::wstring Directory;
    bool Cancelled = true;
};

// The open-file dialogs of one run, owned by the program and given to the windows that browse.
class CommonDialogApi {
public:
    static constexpr DWORD kDialogFlags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_CREATEPROMPT | OFN_EXPLORER |
                                          OFN_NODEREFERENCELINKS | OFN_LONGNAMES;
    static constexpr size_t kFileBufferSpare = 2048;

    // Runs the dialog modally on the calling thread. A dialog that fails counts as cancelled.
    FileDialogResult ShowFileDialog(HWND owner, bool centreOnOwner, OpenFileRequest request);

    // True while a centring hook of this thread still waits for its dialog.
    static bool CentringHookWaiting();

    SharedFileDialogState OpenFileRecord;

    // Told, from inside the hook, the dialog's rectangle at activation and where the hook moved
    // it. Tests watch the centring through it; the program leaves it empty.
    using CentringObserver = void (*)(HWND dialog, const RECT& atActivation, POINT movedTo);
    CentringObserver CentringWatcher = nullptr;
};

}  // namespace quorvel
