#include "filedialog/PickFile.h"

#include <utility>

#include "win/DirectoryLists.h"

namespace quorvel {

std::optional<std::wstring> PickFile(CommonDialogApi& dialogs, HWND owner, OpenFileRequest request) {
    // A dialog that fails answers as cancelled; anything else is the window's to report.
    const FileDialogResult result = dialogs.ShowFileDialog(owner, true, std::move(request));
    // A user who cancels expects nothing to change.
    if (result.Cancelled || result.FileNames.empty()) return std::nullopt;
    return win::WithTrailingBackslash(result.Directory) + result.FileNames.front();
}

}  // namespace quorvel
