#pragma once

// The one way the program asks the user for a file: the system's open-file dialog, centred on
// its owner by a one-shot thread hook, with the answer split into a directory and names.
//
// Callers store lpstrFilter (pairs separated by NULs), lpstrTitle, lpstrInitialDir and the default
// name in lpstrFile of OpenFileRecord, then call ShowFileDialog. The record lives for the whole
// run, so the filter the user last confirmed (nFilterIndex) carries over to the next dialog of
// any caller.

#include <windows.h>

#include <string>
#include <vector>

#include "win/UniqueHandle.h"

namespace quorvel {

// The request, held as the program's own strings; each call hands the dialog copies and copies
// back what the dialog wrote. Embedded NULs are kept both ways.
struct OpenFileRequest {
    DWORD lStructSize = 0;
    HWND hwndOwner = nullptr;
    HINSTANCE hInstance = nullptr;
    std::wstring lpstrFilter;
    DWORD nFilterIndex = 0;
    std::wstring lpstrFile;
    DWORD nMaxFile = 0;
    std::wstring lpstrFileTitle;
    DWORD nMaxFileTitle = 0;
    std::wstring lpstrInitialDir;
    std::wstring lpstrTitle;
    DWORD Flags = 0;
    WORD nFileOffset = 0;     // in characters of lpstrFile
    WORD nFileExtension = 0;  // in characters of lpstrFile
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

namespace CommonDialogApi {

inline constexpr DWORD kDialogFlags = 0x382204;  // no read-only box, multiselect, create prompt,
                                                 // explorer, links as files, long names
inline constexpr size_t kFileBufferSpare = 2048;

inline OpenFileRequest OpenFileRecord;
inline win::UniqueHook HookHandle;
inline HWND OwnerWindow = nullptr;

// Runs the dialog modally on the calling thread. A dialog that fails counts as cancelled.
FileDialogResult ShowFileDialog(HWND owner, bool centreOnOwner);

LRESULT CALLBACK CentreOnOwnerHook(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CentreOnScreenHook(int code, WPARAM wParam, LPARAM lParam);

// Told, from inside the hook, the dialog's rectangle at activation and where the hook moved it.
// Tests watch the centring through it; the program leaves it empty.
using CentringObserver = void (*)(HWND dialog, const RECT& atActivation, POINT movedTo);
inline CentringObserver CentringWatcher = nullptr;

}  // namespace CommonDialogApi

using CommonDialogApi::ShowFileDialog;

}  // namespace quorvel
