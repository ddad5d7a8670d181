#pragma once

// The output directory dialog: drive and directory lists; Open hands the directory to the main
// window's output directory box.

#include <windows.h>

#include <string_view>

#include "win/BaseWindow.h"
#include "win/LayoutBuilder.h"

namespace quorvel {

class FrmSelectOutputDir : public win::BaseWindow<FrmSelectOutputDir> {
public:
    // Loads the dialog at the process's current drive and directory, or brings an open one forward.
    void Show(HWND owner);
    HWND Control(std::wstring_view name) const { return layout_.Control(name); }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    win::BuiltLayout layout_;
};

}  // namespace quorvel
