#include "filedialog/DialogAnswer.h"

#include <cmath>
#include <vector>

namespace quorvel::filedialog {
namespace {

constexpr size_t kNone = std::wstring_view::npos;

// The title buffer starts as blanks; the dialog writes the chosen name and a NUL into it.
bool HoldsTitle(std::wstring_view fileTitle) {
    const std::wstring_view title = fileTitle.substr(0, fileTitle.find(L'\0'));
    return title.find_first_not_of(L' ') != kNone;
}

FileDialogResult SplitSingle(std::wstring_view path, size_t fileOffset) {
    FileDialogResult result;
    if (fileOffset >= path.size()) return result;  // no name after the directory: nothing chosen
    result.Directory.assign(path.substr(0, fileOffset));
    result.FileNames.emplace_back(path.substr(fileOffset));
    result.FileCount = 1;
    result.Cancelled = false;
    return result;
}

}  // namespace

POINT CentredPosition(const RECT& area, const RECT& dialog) {
    const double x = static_cast<double>(area.left) + (static_cast<double>(area.right) - area.left) / 2.0 -
                     (static_cast<double>(dialog.right) - dialog.left) / 2.0;
    const double y = static_cast<double>(area.top) + (static_cast<double>(area.bottom) - area.top) / 2.0 -
                     (static_cast<double>(dialog.bottom) - dialog.top) / 2.0;
    return POINT{static_cast<LONG>(std::nearbyint(x)), static_cast<LONG>(std::nearbyint(y))};
}

FileDialogResult SplitAnswer(std::wstring_view file, std::wstring_view fileTitle, size_t fileOffset) {
    if (HoldsTitle(fileTitle)) return SplitSingle(file.substr(0, file.find(L'\0')), fileOffset);

    // Pieces count only when a NUL closes them; an unterminated tail is what was left of the
    // buffer, not something the dialog wrote.
    std::vector<std::wstring_view> pieces;
    for (size_t start = 0; start < file.size();) {
        const size_t end = file.find(L'\0', start);
        if (end == kNone || end == start) break;
        pieces.push_back(file.substr(start, end - start));
        start = end + 1;
    }
    if (pieces.empty()) return {};
    if (pieces.size() == 1) return SplitSingle(pieces.front(), fileOffset);

    FileDialogResult result;
    result.Directory.assign(pieces.front());
    for (size_t i = 1; i < pieces.size(); ++i) result.FileNames.emplace_back(pieces[i]);
    result.FileCount = static_cast<int>(result.FileNames.size());
    result.Cancelled = false;
    return result;
}

}  // namespace quorvel::filedialog
