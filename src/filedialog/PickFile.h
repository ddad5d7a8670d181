#pragma once

// A browse button's whole errand: run the dialog over the owner and turn the answer into the
// one path a text box holds.

#include <windows.h>

#include <optional>
#include <string>

#include "filedialog/CommonDialogApi.h"

namespace quorvel {

// The chosen path; of several files the first, joined to the directory with exactly one
// backslash. Nothing when the user cancelled or the dialog did not answer: the box keeps its text.
std::optional<std::wstring> PickFile(CommonDialogApi& dialogs, HWND owner, OpenFileRequest request);

}  // namespace quorvel
