#pragma once

// The output directory dialog: drive and directory lists; Open hands the directory to the main
// window's output directory box.

#include <windows.h>

#include <string_view>

#include "selection/BrowserLists.h"
#include "win/BaseWindow.h"
#include "win/LayoutBuilder.h"

namespace quorvel {

class FrmSelectOutputDir : public win::BaseWindow<FrmSelectOutputDir> {
public:
    // Loads the dialog at the process's current drive and directory, or brings an open one forward.
    void Show(HWND owner);
    HWND Control(std::wstring_view name) const { return layout_.Control(name); }

    // The directory that is open in dirList (no trailing backslash except at a root).
    const std::wstring& OpenDirectory() const { return dirs_.Path(); }

    void cmdSelect_Click();
    void cmdCancel_Click();
    void DrvList_Change();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class win::BaseWindow<FrmSelectOutputDir>;
    bool Load(HWND owner);
    void OnCommand(int id, int code);

    win::BuiltLayout layout_;
    DriveListControl drives_;
    DirectoryListControl dirs_;
};

}  // namespace quorvel
