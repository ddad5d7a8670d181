#include "win/DirectoryLists.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwctype>
#include <utility>

#include "batch/TextWindows.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {
namespace {

DirectoryState RealProbe(const std::wstring& path, std::wstring* reason) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return DirectoryState::Exists;
        if (reason) *reason = L"it is not a directory";
        return DirectoryState::Missing;
    }
    const DWORD error = ::GetLastError();
    if (reason) *reason = SystemErrorText(error);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return DirectoryState::Missing;
    return DirectoryState::Unreadable;
}

}  // namespace

std::wstring WithTrailingBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

namespace {

bool IsOrdinaryFile(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool IsDriveRoot(const std::wstring& path) { return path.size() == 3 && path[1] == L':' && path[2] == L'\\'; }

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name) {
    if (!directory.empty() && directory.back() == L'\\') return directory + name;
    return directory + L'\\' + name;
}

// The part of a path that cannot be opened upwards: "C:\" or "\\server\share".
size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return 3;
    if (path.starts_with(L"\\\\")) {
        size_t at = path.find(L'\\', 2);
        if (at == std::wstring::npos) return path.size();
        at = path.find(L'\\', at + 1);
        return at == std::wstring::npos ? path.size() : at;
    }
    return 0;
}

// Explorer's order: the shell's own comparison, ties by plain character order.
void SortByName(std::vector<std::wstring>& names) {
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const int compared = ::StrCmpLogicalW(a.c_str(), b.c_str());
        return compared != 0 ? compared < 0 : a < b;
    });
}

}  // namespace

DirectoryState DirectoryProbe::Look(const std::wstring& path, std::wstring* reason) const {
    if (path.empty()) {
        if (reason) *reason = L"no directory was given";
        return DirectoryState::Unreadable;
    }
    if (simulation_) return simulation_(path, reason);
    return RealProbe(path, reason);
}

DirectoryProbe::Simulation DirectoryProbe::Simulate(Simulation simulation) {
    return std::exchange(simulation_, std::move(simulation));
}

Status ReadDirectoryNames(const std::wstring& directory, EntryKind kind, std::vector<std::wstring>& names) {
    names.clear();
    WIN32_FIND_DATAW data;
    const std::wstring pattern = JoinPath(directory, L"*");
    UniqueFind find(::FindFirstFileExW(
        pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return Status::Ok();  // an empty root has not even "."
        return Status::Fail(Narrow(SystemErrorText(error)));
    }
    do {
        const bool isDirectory = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (kind == EntryKind::Directories) {
            if (!isDirectory) continue;
            if (data.cFileName[0] == L'.' &&
                (data.cFileName[1] == 0 || (data.cFileName[1] == L'.' && data.cFileName[2] == 0)))
                continue;
        } else if (!IsOrdinaryFile(data.dwFileAttributes)) {
            continue;
        }
        names.emplace_back(data.cFileName);
    } while (::FindNextFileW(find.Get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
        names.clear();
        return Status::Fail(Narrow(SystemErrorText(error)));
    }
    return Status::Ok();
}

bool OrdinaryFileExists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD oldMode = 0;
    const bool modeSet = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode) != 0;
    bool found = false;
    WIN32_FIND_DATAW data{};
    UniqueFind search(::FindFirstFileW(path.c_str(), &data));
    if (search) {
        do {
            found = IsOrdinaryFile(data.dwFileAttributes);
        } while (!found && ::FindNextFileW(search.Get(), &data));
    }
    if (modeSet) ::SetThreadErrorMode(oldMode, nullptr);
    return found;
}

std::wstring NormaliseDirectoryPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            full = path;
            break;
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length + 1);
    }
    while (full.size() > 1 && full.back() == L'\\' && !IsDriveRoot(full) && full.size() > RootLength(full))
        full.pop_back();
    if (full.size() == 2 && full[1] == L':') full += L'\\';
    if (full.size() >= 2 && full[1] == L':') full[0] = static_cast<wchar_t>(std::towupper(full[0]));
    return full;
}

// ---- DriveListControl ----

void DriveListControl::Attach(HWND comboBox) {
    combo_ = comboBox;
    current_ = 0;
}

void DriveListControl::Fill() {
    if (!combo_) return;
    std::wstring drives(256, L'\0');
    DWORD length = ::GetLogicalDriveStringsW(static_cast<DWORD>(drives.size()), drives.data());
    if (length > drives.size()) {
        drives.resize(length);
        length = ::GetLogicalDriveStringsW(static_cast<DWORD>(drives.size()), drives.data());
    }
    drives.resize(std::min<size_t>(length, drives.size()));

    RedrawPause pause(combo_);
    ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    for (size_t at = 0; at < drives.size();) {
        const size_t end = drives.find(L'\0', at);
        const std::wstring root = drives.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? drives.size() : end + 1;
        if (root.size() < 2 || root[1] != L':') continue;
        const wchar_t letter = static_cast<wchar_t>(std::towupper(root[0]));
        std::wstring text{static_cast<wchar_t>(std::towlower(letter)), L':'};
        wchar_t label[MAX_PATH + 1] = {};
        // A drive that is not ready simply shows no label.
        if (::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            label[0]) {
            text += L" [";
            text += label;
            text += L"]";
        }
        const LRESULT index = ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index >= 0) ::SendMessageW(combo_, CB_SETITEMDATA, index, letter);
    }
    if (!current_ || !SelectDrive(current_)) {
        ::SendMessageW(combo_, CB_SETCURSEL, 0, 0);
        current_ = static_cast<wchar_t>(::SendMessageW(combo_, CB_GETITEMDATA, 0, 0));
        if (current_ == static_cast<wchar_t>(CB_ERR)) current_ = 0;
    }
}

wchar_t DriveListControl::Drive() const { return current_; }

bool DriveListControl::SelectDrive(wchar_t letter) {
    if (!combo_) return false;
    letter = static_cast<wchar_t>(std::towupper(letter));
    const LRESULT count = ::SendMessageW(combo_, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<wchar_t>(::SendMessageW(combo_, CB_GETITEMDATA, i, 0)) == letter) {
            ::SendMessageW(combo_, CB_SETCURSEL, i, 0);
            current_ = letter;
            return true;
        }
    }
    return false;
}

bool DriveListControl::SelectDriveOf(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':' && SelectDrive(path[0]);
}

bool DriveListControl::OnSelectionChange() {
    const LRESULT index = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    if (index < 0) return false;
    const auto letter = static_cast<wchar_t>(::SendMessageW(combo_, CB_GETITEMDATA, index, 0));
    if (letter == current_) return false;
    current_ = letter;
    return true;
}

std::wstring CurrentDirectory() {
    // Another thread may change it between the two calls: ask again until it fits.
    for (DWORD needed = ::GetCurrentDirectoryW(0, nullptr); needed != 0;) {
        std::wstring path(needed, L'\0');
        const DWORD length = ::GetCurrentDirectoryW(needed, path.data());
        if (length < needed) {
            path.resize(length);
            return path;
        }
        needed = length;
    }
    return {};
}

// ---- DirectoryListControl ----

void DirectoryListControl::Attach(HWND listBox, const DirectoryProbe& probe) {
    list_ = listBox;
    probe_ = &probe;
    path_.clear();
    entries_.clear();
}

Status DirectoryListControl::SetPath(const std::wstring& path) {
    if (!list_) return Status::Fail("The directory list is not open");
    const std::wstring full = NormaliseDirectoryPath(path);
    std::wstring reason;
    if (probe_->Look(full, &reason) != DirectoryState::Exists)
        return Status::Fail(Narrow(L"Cannot open " + full + L": " + reason));
    std::vector<std::wstring> children;
    if (Status read = ReadDirectoryNames(full, EntryKind::Directories, children); !read)
        return Status::Fail(Narrow(L"Cannot read " + full + L": ") + read.Message());
    SortByName(children);

    // The opened folders from the root down, each indented one step more than its parent.
    std::vector<std::pair<std::wstring, std::wstring>> lines;  // shown text, full path
    const size_t rootLength = std::max<size_t>(RootLength(full), 1);
    std::wstring walked = full.substr(0, rootLength);
    lines.emplace_back(walked, walked);
    int depth = 1;
    for (size_t at = rootLength; at < full.size();) {
        if (full[at] == L'\\') {
            ++at;
            continue;
        }
        size_t end = full.find(L'\\', at);
        if (end == std::wstring::npos) end = full.size();
        const std::wstring name = full.substr(at, end - at);
        walked = JoinPath(walked, name);
        lines.emplace_back(std::wstring(depth * 2, L' ') + name, walked);
        ++depth;
        at = end;
    }
    const size_t current = lines.size() - 1;
    for (const std::wstring& child : children)
        lines.emplace_back(std::wstring(depth * 2, L' ') + child, JoinPath(full, child));

    {
        RedrawPause pause(list_);
        ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
        ::SendMessageW(list_, LB_INITSTORAGE, lines.size(), lines.size() * 32 * sizeof(wchar_t));
        for (const auto& line : lines)
            ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.first.c_str()));
        ::SendMessageW(list_, LB_SETCURSEL, current, 0);
    }
    entries_.clear();
    entries_.reserve(lines.size());
    for (auto& line : lines) entries_.push_back(std::move(line.second));
    path_ = full;
    return Status::Ok();
}

Status DirectoryListControl::SetDrive(wchar_t letter) {
    const wchar_t drive[] = {static_cast<wchar_t>(std::towupper(letter)), L':', 0};
    const std::wstring root = std::wstring(drive) + L'\\';
    const std::wstring kept = NormaliseDirectoryPath(drive);
    if (kept != root && SetPath(kept)) return Status::Ok();
    return SetPath(root);
}

Status DirectoryListControl::OpenHighlighted() {
    if (!list_) return Status::Ok();
    const LRESULT index = ::SendMessageW(list_, LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return Status::Ok();
    const std::wstring target = entries_[index];
    if (target == path_) return Status::Ok();
    Status opened = SetPath(target);
    if (!opened) {
        // Back to showing where we are, with the current folder highlighted.
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i] == path_) ::SendMessageW(list_, LB_SETCURSEL, i, 0);
    }
    return opened;
}

Status FollowDrive(DriveListControl& drives, DirectoryListControl& directories) {
    const std::wstring before = directories.Path();
    Status opened = directories.SetDrive(drives.Drive());
    if (!opened) (void)drives.SelectDriveOf(before);
    return opened;
}

}  // namespace quorvel::win
