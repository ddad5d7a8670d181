#include <string>

#include "app/FrmQuorvel.h"
#include "app/Program.h"
#include "dialogs/FrmSelectOutputDir.h"
#include "filedialog/CommonDialogApi.h"

namespace quorvel {
namespace {

// Description and pattern pairs, NUL-separated; the end of the string closes the list.
using namespace std::string_literals;
const std::wstring kBatchFilter = L"TMPEG Batch Files (*.tbe)\0*.tbe\0All Files (*.*)\0*.*"s;
const std::wstring kTemplateFilter = L"TMPEG Template (*.mcf)\0*.mcf\0All Files (*.*)\0*.*"s;

// A text box holds one path: of several chosen files the first is taken, joined to the
// directory with exactly one backslash (the dialog leaves it off for several files).
std::wstring ChosenPath(const FileDialogResult& result) {
    if (result.Cancelled || result.FileNames.empty()) return {};
    std::wstring path = result.Directory;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + result.FileNames.front();
}

void PickFile(FrmQuorvel& window, std::wstring_view target, const std::wstring& filter, const wchar_t* title,
              const wchar_t* defaultName) {
    OpenFileRequest& request = CommonDialogApi::OpenFileRecord;
    request.lpstrFilter = filter;
    request.lpstrTitle = title;
    request.lpstrInitialDir = window.Text(target);
    request.lpstrFile = defaultName;
    FileDialogResult result;
    try {
        result = ShowFileDialog(window.Window(), true);
    } catch (...) {
        // The dialog did not answer: the box keeps what it held.
        return;
    }
    window.SetText(target, ChosenPath(result));
}

}  // namespace

void FrmQuorvel::cmdFindBatchFile_Click() {
    PickFile(*this, L"txtFileOutput", kBatchFilter, L"Select DIZIV Izeru Ruzi Filename", L"TMPEG_Batch.tbe");
}

void FrmQuorvel::cmdFindTemplateFile_Click() {
    PickFile(*this, L"txtTemplateFile", kTemplateFilter, L"Select TMPEG Template File", L"");
}

void FrmQuorvel::cmdFindOutputDirectory_Click() { OutputDirectoryDialog().Show(Window()); }

}  // namespace quorvel
