#pragma once

// The arithmetic of the file dialog kept apart from the dialog, so it can be checked on made-up
// rectangles and buffers.

#include <windows.h>

#include <string>
#include <string_view>

#include "filedialog/CommonDialogApi.h"

namespace quorvel::filedialog {

// Top-left corner that centres a dialog of the given size over an area: halves kept until the
// end and rounded to even, never clamped to the screen.
POINT CentredPosition(const RECT& area, const RECT& dialog);

// Splits the file buffer the dialog returned. A non-blank title means one file whose name starts
// at fileOffset; otherwise the buffer holds the directory, a NUL, each name and a NUL, and one
// more NUL. Reads nothing beyond the views; a buffer without a file in it counts as cancelled.
FileDialogResult SplitAnswer(std::wstring_view file, std::wstring_view fileTitle, size_t fileOffset);

}  // namespace quorvel::filedialog
