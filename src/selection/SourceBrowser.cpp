#include <algorithm>
#include <string>
#include <vector>

#include "app/FrmQuorvel.h"
#include "batch/SourceListing.h"
#include "win/MessageBox.h"
#include "win/Text.h"

namespace quorvel {
namespace {

bool HasSurrogate(const std::wstring& name) {
    for (wchar_t c : name)
        if (c >= 0xD800 && c <= 0xDFFF) return true;
    return false;
}

std::wstring ListBoxText(HWND list, LRESULT index) {
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

}  // namespace

void FrmQuorvel::InitialiseBrowser() {
    drvList_.Attach(Control(L"DrvList"));
    dirList_.Attach(Control(L"dirList"));
    drvList_.Fill();
    // Until start-up sets the directory list, the browser shows the working directory with "*.*".
    std::wstring working(MAX_PATH, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(working.size()), working.data());
    if (length > working.size()) {
        working.resize(length);
        ::GetCurrentDirectoryW(length, working.data());
    } else {
        working.resize(length);
    }
    fileListDirectory_ = NormaliseDirectoryPath(working);
    filePattern_ = L"*.*";
    std::wstring reason;
    OpenSourceDirectory(fileListDirectory_, &reason);
    const std::wstring& shown = dirList_.Path();
    if (shown.size() >= 2 && shown[1] == L':') drvList_.SelectDrive(shown[0]);
}

bool FrmQuorvel::OpenSourceDirectory(const std::wstring& path, std::wstring* reason) {
    const std::wstring previous = dirList_.Path();
    if (!dirList_.SetPath(path, reason)) return false;
    if (!FillFileList(dirList_.Path(), reason)) {
        if (!previous.empty()) dirList_.SetPath(previous);
        return false;
    }
    return true;
}

bool FrmQuorvel::FillFileList(const std::wstring& directory, std::wstring* reason) {
    std::vector<std::wstring> found;
    std::wstring why;
    if (!ReadDirectoryNames(directory, EntryKind::OrdinaryFiles, found, &why)) {
        if (reason) *reason = L"Cannot read " + directory + L": " + why;
        return false;
    }
    // Matching and order are the core's, so this list and quorvel-batch agree name for name.
    std::vector<std::string> names;
    names.reserve(found.size());
    for (const std::wstring& name : found) {
        // A name with a lone surrogate has no UTF-8 form and could not be written into a list.
        if (HasSurrogate(name) && win::Widen(win::Narrow(name)) != name) continue;
        names.push_back(win::Narrow(name));
    }
    names = SelectSourceNames(std::move(names), win::Narrow(filePattern_));

    HWND list = Control(L"filList");
    size_t characters = 0;
    std::vector<std::wstring> shown;
    shown.reserve(names.size());
    for (const std::string& name : names) {
        shown.push_back(win::Widen(name));
        characters += shown.back().size() + 1;
    }
    // Without this pause a large folder takes minutes: every added line would repaint the list.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_INITSTORAGE, shown.size(), characters * sizeof(wchar_t));
    for (const std::wstring& name : shown)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    fileListDirectory_ = directory;
    return true;
}

void FrmQuorvel::DrvList_Change() {
    const wchar_t previous = dirList_.Path().size() >= 2 && dirList_.Path()[1] == L':' ? dirList_.Path()[0] : 0;
    std::wstring reason;
    const std::wstring before = dirList_.Path();
    if (dirList_.SetDrive(drvList_.Drive(), &reason)) {
        if (dirList_.Path() != before) dirList_Change();
        return;
    }
    // Not ready: the lists stay on the drive and directory they showed.
    if (previous) drvList_.SelectDrive(previous);
    win::ShowMessage(Window(), reason);
}

void FrmQuorvel::dirList_Change() {
    std::wstring reason;
    if (FillFileList(dirList_.Path(), &reason)) return;
    dirList_.SetPath(fileListDirectory_);
    win::ShowMessage(Window(), reason);
}

void FrmQuorvel::cmbFilePattern_Click() {
    const std::string pattern = FilePatternOfItem(win::Narrow(Text(L"cmbFilePattern")));
    filePattern_ = win::Widen(pattern);
    std::wstring reason;
    if (!FillFileList(fileListDirectory_, &reason)) {
        // The folder vanished or cannot be read now: the list keeps what it showed, unselected.
        SetFileSelection(false);
        win::ShowMessage(Window(), reason);
    }
}

void FrmQuorvel::cmdSelectAll_Click() { SetFileSelection(true); }

void FrmQuorvel::cmdSelectNone_Click() { SetFileSelection(false); }

void FrmQuorvel::SetFileSelection(bool value) {
    HWND list = Control(L"filList");
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    // One message for the whole range: -1 stands for every entry.
    ::SendMessageW(list, LB_SETSEL, value ? TRUE : FALSE, -1);
}

int FrmQuorvel::SelectedCount() const {
    const LRESULT count = ::SendMessageW(Control(L"filList"), LB_GETSELCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

BatchJob FrmQuorvel::TakeBatchJob() const {
    BatchJob job;
    job.BatchFile = win::Narrow(Text(L"txtFileOutput"));
    job.TemplateFile = win::Narrow(Text(L"txtTemplateFile"));
    job.OutputDirectory = win::Narrow(Text(L"txtOutputDirectory"));
    job.SourceDirectory = win::Narrow(fileListDirectory_);
    HWND list = Control(L"filList");
    const int selected = SelectedCount();
    if (selected > 0) {
        std::vector<int> indexes(static_cast<size_t>(selected));
        const LRESULT got =
            ::SendMessageW(list, LB_GETSELITEMS, indexes.size(), reinterpret_cast<LPARAM>(indexes.data()));
        indexes.resize(got < 0 ? 0 : static_cast<size_t>(got));
        // Jobs are written in list order.
        std::sort(indexes.begin(), indexes.end());
        for (int index : indexes) job.SourceNames.push_back(win::Narrow(ListBoxText(list, index)));
    }
    return job;
}

}  // namespace quorvel
