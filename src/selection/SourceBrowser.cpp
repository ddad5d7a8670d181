#include "selection/SourceBrowser.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "batch/SourceListing.h"
#include "win/ItemText.h"
#include "win/MessageSink.h"
#include "win/WaitCursor.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

bool HasSurrogate(const std::wstring& name) {
    for (wchar_t c : name)
        if (c >= 0xD800 && c <= 0xDFFF) return true;
    return false;
}

std::wstring UpperCase(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

void SourceBrowser::Attach(HWND window, HWND drives, HWND directories, HWND files) {
    window_ = window;
    files_ = files;
    drives_.Attach(drives);
    directories_.Attach(directories, probe_);
    listed_ = false;
}

void SourceBrowser::StartInWorkingDirectory(const std::wstring& patternItem) {
    drives_.Fill();
    fileListDirectory_ = win::NormaliseDirectoryPath(win::CurrentDirectory());
    pattern_ = Widen(FilePatternOfItem(Narrow(patternItem)));
}

void SourceBrowser::ShowWorkingDirectory() {
    if (listed_) return;
    (void)Open(fileListDirectory_);
    SelectDriveOfDirectory();
}

void SourceBrowser::SelectDriveOfDirectory() { (void)drives_.SelectDriveOf(directories_.Path()); }

Status SourceBrowser::Open(const std::wstring& path) {
    const std::wstring previous = directories_.Path();
    if (Status shown = directories_.SetPath(path); !shown) return shown;
    if (Status filled = FillFileList(directories_.Path()); !filled) {
        if (!previous.empty()) (void)directories_.SetPath(previous);
        return filled;
    }
    return Status::Ok();
}

Status SourceBrowser::FillFileList(const std::wstring& directory) {
    // A large folder takes seconds, during which the window answers no mouse. Before the window
    // is shown (start-up) there is no cursor over it to change.
    std::optional<win::WaitCursor> busy;
    if (::IsWindowVisible(window_)) busy.emplace();
    std::vector<std::wstring> found;
    if (Status read = win::ReadDirectoryNames(directory, win::EntryKind::OrdinaryFiles, found); !read)
        return Status::Fail(Narrow(L"Cannot read " + directory + L": ") + read.Message());
    // Matching and order are the core's, so this list and quorvel-batch agree name for name.
    std::vector<std::string> names;
    names.reserve(found.size());
    for (const std::wstring& name : found) {
        // A name with a lone surrogate has no UTF-8 form and could not be written into a list.
        if (HasSurrogate(name) && Widen(Narrow(name)) != name) continue;
        names.push_back(Narrow(name));
    }
    names = SelectSourceNames(std::move(names), Narrow(pattern_));

    size_t characters = 0;
    std::vector<std::wstring> shown;
    shown.reserve(names.size());
    for (const std::string& name : names) {
        shown.push_back(Widen(name));
        characters += shown.back().size() + 1;
    }
    {
        // Without this pause a large folder takes minutes: every added line would repaint the list.
        win::RedrawPause pause(files_);
        ::SendMessageW(files_, LB_RESETCONTENT, 0, 0);
        ::SendMessageW(files_, LB_INITSTORAGE, shown.size(), characters * sizeof(wchar_t));
        for (const std::wstring& name : shown)
            ::SendMessageW(files_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    fileListDirectory_ = directory;
    listed_ = true;
    listedDirectory_ = directory;
    listedPattern_ = pattern_;
    return Status::Ok();
}

void SourceBrowser::DriveChosen() {
    const std::wstring before = directories_.Path();
    // Not ready: the lists stay on the drive and directory they showed.
    if (const Status opened = win::FollowDrive(drives_, directories_); !opened) {
        messages_.Show(window_, opened);
    } else if (directories_.Path() != before) {
        DirectoryOpened();
    }
}

void SourceBrowser::DirectoryOpened() {
    const Status filled = FillFileList(directories_.Path());
    if (filled) return;
    (void)directories_.SetPath(fileListDirectory_);
    messages_.Show(window_, filled);
}

void SourceBrowser::OpenHighlightedDirectory() {
    const std::wstring before = directories_.Path();
    const Status opened = directories_.OpenHighlighted();
    if (!opened) {
        messages_.Show(window_, opened);
    } else if (directories_.Path() != before) {
        DirectoryOpened();
    }
}

bool SourceBrowser::GoTo(const std::wstring& folder, const std::wstring& patternItem) {
    const std::wstring previousPattern = pattern_;
    if (!patternItem.empty()) pattern_ = Widen(FilePatternOfItem(Narrow(patternItem)));
    const Status opened = Open(folder);
    if (!opened) {
        pattern_ = previousPattern;
        messages_.Show(window_, opened);
        return false;
    }
    SelectDriveOfDirectory();
    return true;
}

bool SourceBrowser::PatternLists(const std::wstring& name) const {
    return MatchesFilePattern(Narrow(name), Narrow(pattern_));
}

std::vector<std::wstring> SourceBrowser::SelectExactly(const std::vector<std::wstring>& names) {
    const LRESULT count = ::SendMessageW(files_, LB_GETCOUNT, 0, 0);
    std::vector<std::wstring> entries;
    for (LRESULT i = 0; i < count; ++i) entries.push_back(win::ItemText(files_, i));

    // The exact name first: a case-sensitive file system may list "a.avi" beside "A.AVI".
    std::vector<bool> found(names.size(), false);
    std::vector<LRESULT> chosen;
    std::unordered_map<std::wstring, size_t> exact;
    for (size_t n = 0; n < names.size(); ++n) exact.emplace(names[n], n);
    for (LRESULT i = 0; i < count; ++i) {
        const auto hit = exact.find(entries[static_cast<size_t>(i)]);
        if (hit == exact.end() || found[hit->second]) continue;
        found[hit->second] = true;
        chosen.push_back(i);
    }
    std::unordered_map<std::wstring, size_t> folded;
    for (size_t n = 0; n < names.size(); ++n)
        if (!found[n]) folded.emplace(UpperCase(names[n]), n);
    if (!folded.empty()) {
        for (LRESULT i = 0; i < count; ++i) {
            const auto hit = folded.find(UpperCase(entries[static_cast<size_t>(i)]));
            if (hit == folded.end() || found[hit->second]) continue;
            found[hit->second] = true;
            chosen.push_back(i);
        }
    }

    {
        win::RedrawPause pause(files_);
        ::SendMessageW(files_, LB_SETSEL, FALSE, -1);
        for (LRESULT i : chosen) ::SendMessageW(files_, LB_SETSEL, TRUE, i);
        if (!chosen.empty()) {
            // The first of them in view, and a Shift+click extends from it.
            const LRESULT first = *std::min_element(chosen.begin(), chosen.end());
            ::SendMessageW(files_, LB_SETANCHORINDEX, first, 0);
            ::SendMessageW(files_, LB_SETCARETINDEX, first, FALSE);
        }
    }
    std::vector<std::wstring> missing;
    for (size_t n = 0; n < names.size(); ++n)
        if (!found[n]) missing.push_back(names[n]);
    return missing;
}

void SourceBrowser::PatternChosen(const std::wstring& patternItem) {
    pattern_ = Widen(FilePatternOfItem(Narrow(patternItem)));
    if (const Status filled = FillFileList(fileListDirectory_); !filled) {
        // The folder vanished or cannot be read now: the list keeps what it showed, unselected.
        SetSelection(false);
        messages_.Show(window_, filled);
    }
}

void SourceBrowser::SetSelection(bool selected) {
    const LRESULT count = ::SendMessageW(files_, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    // One message for the whole range: -1 stands for every entry.
    ::SendMessageW(files_, LB_SETSEL, selected ? TRUE : FALSE, -1);
}

int SourceBrowser::SelectedCount() const {
    const LRESULT count = ::SendMessageW(files_, LB_GETSELCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

std::vector<std::string> SourceBrowser::SelectedNames() const {
    std::vector<std::string> names;
    const int selected = SelectedCount();
    if (selected <= 0) return names;
    std::vector<int> indexes(static_cast<size_t>(selected));
    const LRESULT got =
        ::SendMessageW(files_, LB_GETSELITEMS, indexes.size(), reinterpret_cast<LPARAM>(indexes.data()));
    indexes.resize(got < 0 ? 0 : static_cast<size_t>(got));
    // Jobs are written in list order.
    std::sort(indexes.begin(), indexes.end());
    for (int index : indexes) names.push_back(Narrow(win::ItemText(files_, index)));
    return names;
}

}  // namespace quorvel
