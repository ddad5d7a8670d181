#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/FrmQuorvel.h"
#include "batch/SourceListing.h"
#include "win/ItemText.h"
#include "win/MessageSink.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

// The shell's drag and drop between processes also sends this one; the headers do not name it.
constexpr UINT kCopyGlobalData = 0x0049;

// A path handed over by the shell, as the drop decision takes it: a folder, a file, or missing
// (and then whether its folder is there). Looked at literally: a name may end in a dot or a
// blank, which Windows would drop, finding another file or none.
DroppedItem ItemAt(std::wstring path) {
    // "C:\" keeps its backslash; a folder given as "C:\Video\" is "C:\Video".
    if (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    const DWORD attributes = ::GetFileAttributesW(LiteralPath(path).c_str());
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    auto missing = DroppedItem::Absence::None;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD parent = ::GetFileAttributesW(LiteralPath(ParentFolder(path)).c_str());
        const bool inAFolder = parent != INVALID_FILE_ATTRIBUTES && (parent & FILE_ATTRIBUTE_DIRECTORY);
        missing = inAFolder ? DroppedItem::Absence::Item : DroppedItem::Absence::Folder;
    }
    return {std::move(path), folder, missing};
}

// Whether anything follows the program's own name, which ends at its closing quote or, not
// quoted, at the first blank. Without arguments the shell's parser is not even loaded.
bool HasArguments(const wchar_t* commandLine) {
    const wchar_t* at = commandLine;
    if (*at == L'"') {
        do ++at;
        while (*at && *at != L'"');
        if (*at) ++at;
    } else {
        while (*at && *at != L' ' && *at != L'\t') ++at;
    }
    while (*at == L' ' || *at == L'\t') ++at;
    return *at != L'\0';
}

// DragFinish whatever happens: the handle is the receiver's to free.
class DropHandle {
public:
    explicit DropHandle(HDROP drop) : drop_(drop) {}
    ~DropHandle() { ::DragFinish(drop_); }
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;

    std::vector<DroppedItem> Items() const {
        std::vector<DroppedItem> items;
        const UINT count = ::DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(::DragQueryFileW(drop_, i, nullptr, 0) + 1, L'\0');
            path.resize(::DragQueryFileW(drop_, i, path.data(), static_cast<UINT>(path.size())));
            if (!path.empty()) items.push_back(ItemAt(std::move(path)));
        }
        return items;
    }

private:
    HDROP drop_;
};

// A path of the command line in full: a file manager may hand over names relative to the
// folder it started the program in. The dots and blanks that end the last name stay, though
// the system drops them.
std::wstring FullPath(const std::wstring& path) {
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    const std::wstring name = path.substr(path.find_last_of(L"\\/:") + 1);
    const std::size_t kept = name.find_last_not_of(L". ");
    if (name == L"." || name == L".." || kept == std::wstring::npos || kept + 1 == name.size()) return full;
    if (full.ends_with(L'\\' + name.substr(0, kept + 1))) full += name.substr(kept + 1);
    return full;
}

std::wstring TrimmedRight(std::string pattern) {
    while (!pattern.empty() && pattern.back() == ' ') pattern.pop_back();
    return Widen(pattern);
}

// The pattern box's item that lists every file; -1 when it has none.
LRESULT AllFilesItem(HWND combo) {
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (TrimmedRight(FilePatternOfItem(Narrow(win::ItemText(combo, i, win::ItemList::ComboBox)))) == L"*.*")
            return i;
    }
    return -1;
}

}  // namespace

void FrmQuorvel::AcceptDrops() {
    // The window takes drops by its table's WS_EX_ACCEPTFILES. Run elevated, it gets no drop from
    // a file manager of the ordinary user unless these pass the message filter. Where there is no
    // filter the call fails and drops come anyway.
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
        ::ChangeWindowMessageFilterEx(Window(), message, MSGFLT_ALLOW, nullptr);
}

void FrmQuorvel::OnDropFiles(HDROP drop) {
    std::vector<DroppedItem> items;
    {
        const DropHandle handle(drop);
        items = handle.Items();
    }
    Form_DropFiles(items);
}

void FrmQuorvel::OpenCommandLine(const wchar_t* commandLine) {
    if (!commandLine || !HasArguments(commandLine)) return;
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(commandLine, &count);
    if (arguments == nullptr) return;
    std::vector<DroppedItem> items;
    // The first argument is the program itself.
    for (int i = 1; i < count; ++i) {
        if (*arguments[i] != L'\0') items.push_back(ItemAt(FullPath(arguments[i])));
    }
    ::LocalFree(arguments);
    if (!items.empty()) Form_DropFiles(items);
}

void FrmQuorvel::Form_DropFiles(const std::vector<DroppedItem>& items) {
    const DropPlan plan = PlanDrop(items);
    switch (plan.Action) {
        case DropPlan::Kind::Nothing: break;
        case DropPlan::Kind::Refuse: ShowMessage(plan.Message); break;
        case DropPlan::Kind::SetTemplate: SetText(L"txtTemplateFile", plan.Path); break;
        case DropPlan::Kind::SetBatchFile: SetText(L"txtFileOutput", plan.Path); break;
        case DropPlan::Kind::OpenFolder: browser_.GoTo(plan.Folder); break;
        case DropPlan::Kind::SelectFiles: SelectDroppedFiles(plan); break;
    }
}

void FrmQuorvel::SelectDroppedFiles(const DropPlan& plan) {
    HWND combo = Control(L"cmbFilePattern");
    LRESULT allFiles = -1;
    std::wstring patternItem;
    const bool listed = std::all_of(
        plan.Names.begin(), plan.Names.end(), [&](const std::wstring& name) { return browser_.PatternLists(name); });
    if (!listed) {
        allFiles = AllFilesItem(combo);
        if (allFiles >= 0) patternItem = win::ItemText(combo, allFiles, win::ItemList::ComboBox);
    }
    if (!browser_.GoTo(plan.Folder, patternItem)) return;
    if (allFiles >= 0) {
        ::SendMessageW(combo, CB_SETCURSEL, allFiles, 0);
        SetText(L"cmbFilePattern", patternItem);
    }
    const std::vector<std::wstring> missing = browser_.SelectExactly(plan.Names);
    if (missing.empty()) return;
    ShowMessage(
        L"These dropped files are not in the file list, which shows no hidden or system files, and "
        L"were not selected:" +
        MessageLines(missing));
}

}  // namespace quorvel
