#pragma once

// The drive list and the directory list, shared by the main window's source browser and the
// output directory dialog. Each wraps a control created from a layout table.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "batch/Status.h"

namespace quorvel::win {

// Holds a list's drawing while its entries change: redrawing a large list once per changed
// entry takes seconds. It is drawn once, whole, when the pause ends.
class RedrawPause {
public:
    explicit RedrawPause(HWND window) : window_(window) { ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawPause() {
        ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

private:
    HWND window_;
};

// What a look at a directory found. Unreadable covers a drive that is not ready, a malformed
// path and any other failure that is not a plain "not there".
enum class DirectoryState { Exists, Missing, Unreadable };

// Looks at directories for the lists and the start-up. The program owns one; tests put a
// simulation in place of the real look (a drive that is not ready).
class DirectoryProbe {
public:
    using Simulation = std::function<DirectoryState(const std::wstring& path, std::wstring* reason)>;
    DirectoryState Look(const std::wstring& path, std::wstring* reason = nullptr) const;
    // An empty simulation brings the real look back. Returns the previous one.
    Simulation Simulate(Simulation simulation);

private:
    Simulation simulation_;
};

// The names in a directory: its subdirectories, or its ordinary files (hidden and system
// files left out, as Explorer shows them). Fails with the system's reason when it cannot be read.
enum class EntryKind { Directories, OrdinaryFiles };
Status ReadDirectoryNames(const std::wstring& directory, EntryKind kind, std::vector<std::wstring>& names);

// True when a directory search for the path finds an ordinary file, as the file list would show
// it (wildcards match as in the search). A search that cannot be made (bad name, drive not
// ready) finds nothing, and raises no "insert a disk" box.
bool OrdinaryFileExists(const std::wstring& path);

// The folder with one trailing backslash, for joining a name to; empty stays empty.
std::wstring WithTrailingBackslash(std::wstring folder);

// "C:\" stays; "C:\Video\" becomes "C:\Video"; relative paths are made full.
std::wstring NormaliseDirectoryPath(const std::wstring& path);

// The process's current directory; empty when it cannot be read.
std::wstring CurrentDirectory();

// Every drive of the machine with its letter and volume label; one of them current.
class DriveListControl {
public:
    void Attach(HWND comboBox);
    void Fill();                       // reads the drives anew, keeping the current one
    wchar_t Drive() const;             // upper-case letter of the current drive
    bool SelectDrive(wchar_t letter);  // false (nothing changed) when it is not in the list
    // The drive of a path that starts with one ("C:..."); false when it names none in the list.
    bool SelectDriveOf(const std::wstring& path);
    // CBN_SELCHANGE: true when the current drive changed.
    bool OnSelectionChange();

private:
    HWND combo_ = nullptr;
    wchar_t current_ = 0;
};

// The path from the root down to the current directory as opened folders, then its
// subdirectories. Double click or Enter opens the highlighted entry; a single click only
// highlights.
class DirectoryListControl {
public:
    void Attach(HWND listBox, const DirectoryProbe& probe);
    // Shows the directory; on failure (not ready, unreadable, not a directory) the list stays
    // where it was.
    Status SetPath(const std::wstring& path);
    // The drive's current directory as the process keeps it (its root when there is none).
    Status SetDrive(wchar_t letter);
    // No trailing backslash, except at a root ("C:\").
    const std::wstring& Path() const { return path_; }
    // Opens the highlighted entry (LBN_DBLCLK, Enter); highlighting the open one changes nothing.
    Status OpenHighlighted();

private:
    HWND list_ = nullptr;
    const DirectoryProbe* probe_ = nullptr;
    std::wstring path_;
    std::vector<std::wstring> entries_;  // the full path of each line of the list
};

// The directory list follows the drive list's current drive. When it cannot, the drive list goes
// back to the drive the directory list still shows, and the reason is returned.
Status FollowDrive(DriveListControl& drives, DirectoryListControl& directories);

}  // namespace quorvel::win
