#pragma once

// The main window's source file browser: the drive list, the directory list and the file list
// with its pattern. It keeps the directory the file list shows, which may lag the directory
// list when a folder cannot be read; what went wrong is told in a message over the window.

#include <windows.h>

#include <string>
#include <vector>

#include "batch/Status.h"
#include "win/DirectoryLists.h"
#include "win/MessageSink.h"

namespace quorvel {

class SourceBrowser {
public:
    SourceBrowser(const win::DirectoryProbe& probe, const win::MessageSink& messages)
        : probe_(probe), messages_(messages) {}

    // The window's three lists; messages go over window. Null handles detach.
    void Attach(HWND window, HWND drives, HWND directories, HWND files);

    // Start-up: the drive list, and the working directory and the pattern item's pattern as the
    // place to start from; no folder is read until Open or ShowWorkingDirectory.
    void StartInWorkingDirectory(const std::wstring& patternItem);
    // The working directory in both lists, when the file list has shown nothing yet.
    void ShowWorkingDirectory();
    // True when the file list shows the file list's directory under the current pattern.
    bool ShowsCurrentListing() const {
        return listed_ && listedDirectory_ == fileListDirectory_ && listedPattern_ == pattern_;
    }
    // Shows the directory in both lists; on failure both stay as they were.
    Status Open(const std::wstring& path);

    // The user's actions: the drive chosen, a directory opened, a pattern chosen.
    void DriveChosen();
    void DirectoryOpened();
    void PatternChosen(const std::wstring& patternItem);
    void OpenHighlightedDirectory();
    // A folder reached by other means than the lists (a drop): both lists and the drive list go
    // there as if the user had walked there, under patternItem when one is given. On failure the
    // usual message is shown and nothing changes, the pattern included.
    bool GoTo(const std::wstring& folder, const std::wstring& patternItem = {});

    // True when the file list's pattern lets the name through.
    bool PatternLists(const std::wstring& name) const;
    // Selects exactly the entries of these names (letter case ignored) and clears the others;
    // returns the names the list does not hold, in the order given.
    std::vector<std::wstring> SelectExactly(const std::vector<std::wstring>& names);

    void SetSelection(bool selected);
    int SelectedCount() const;
    // The selected names, in list order.
    std::vector<std::string> SelectedNames() const;

    const std::wstring& FileListDirectory() const { return fileListDirectory_; }
    const std::wstring& Pattern() const { return pattern_; }
    const std::wstring& DirectoryListPath() const { return directories_.Path(); }
    wchar_t Drive() const { return drives_.Drive(); }
    // The drive list follows the directory list after the program moved it.
    void SelectDriveOfDirectory();
    // CBN_SELCHANGE / CBN_CLOSEUP: true when the current drive changed.
    bool DriveSelectionChanged() { return drives_.OnSelectionChange(); }

private:
    Status FillFileList(const std::wstring& directory);

    HWND window_ = nullptr;
    HWND files_ = nullptr;
    win::DriveListControl drives_;
    const win::DirectoryProbe& probe_;
    const win::MessageSink& messages_;
    win::DirectoryListControl directories_;
    std::wstring fileListDirectory_;
    std::wstring pattern_ = L"*.*";
    // What the file list was last filled with.
    bool listed_ = false;
    std::wstring listedDirectory_;
    std::wstring listedPattern_;
};

}  // namespace quorvel
