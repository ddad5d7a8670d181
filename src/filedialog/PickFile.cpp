#include "filedialog/PickFile.h"

#include "filedialog/CommonDialogApi.h"

namespace quorvel {

std::optional<std::wstring> PickFile(HWND owner, const PickRequest& pick) {
    OpenFileRequest& request = CommonDialogApi::OpenFileRecord;
    request.lpstrFilter = pick.Filter;
    request.lpstrTitle = pick.Title;
    request.lpstrInitialDir = pick.InitialDirectory;
    request.lpstrFile = pick.DefaultName;
    FileDialogResult result;
    try {
        result = ShowFileDialog(owner, true);
    } catch (...) {
        return std::nullopt;
    }
    if (result.Cancelled || result.FileNames.empty()) return std::wstring();
    std::wstring path = result.Directory;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + result.FileNames.front();
}

}  // namespace quorvel
