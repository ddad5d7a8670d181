#pragma once

// The main window. Its controls are reached by name; the handlers are the window's commands.

#include <windows.h>

#include <string>
#include <string_view>

#include "batch/BatchRequest.h"
#include "win/BaseWindow.h"
#include "win/LayoutBuilder.h"

namespace quorvel {

class FrmQuorvel : public win::BaseWindow<FrmQuorvel> {
public:
    // Creates the window and runs Form_Load.
    bool Create();

    HWND Control(std::wstring_view name) const { return layout_.Control(name); }
    std::wstring Text(std::wstring_view controlName) const;
    void SetText(std::wstring_view controlName, std::wstring_view text);

    // The request as the main window holds it now: the three text boxes, the file list's
    // directory and its selected names in list order.
    BatchJob TakeBatchJob() const;
    int SelectedCount() const;

    // Start-up and quit.
    void Form_Load();
    void cmdQuit_Click();
    void Image1_Click();
    void Image3_Click();
    void Image4_Click();

    // Source browser.
    void DrvList_Change();
    void dirList_Change();
    void cmbFilePattern_Click();
    void cmdSelectAll_Click();
    void cmdSelectNone_Click();
    void SetFileSelection(bool value);

    // Output pickers, Advanced options and the create commands (src/selection/OutputPickers.cpp,
    // src/app/CreateCommands.cpp).
    void cmdFindBatchFile_Click();
    void cmdFindTemplateFile_Click();
    void cmdFindOutputDirectory_Click();
    void cmdAdvanced_Click();
    void cmdCreate_Click();
    void Image2_Click();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    win::BuiltLayout layout_;
};

}  // namespace quorvel
