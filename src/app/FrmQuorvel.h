#pragma once

// The main window. Its controls are reached by name; the handlers are the window's commands.

#include <windows.h>

#include <string>
#include <string_view>

#include "batch/BatchRequest.h"
#include "selection/BrowserLists.h"
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

    // Start-up and quit. Quit is its save step followed by its end step.
    void Form_Load();
    void cmdQuit_Click();
    // Writes the four keys in order; a failure is reported in one message. False when one failed.
    bool SaveMainSettings();
    [[noreturn]] static void EndProgram();
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
    // The directory and pattern the file list shows now.
    const std::wstring& FileListDirectory() const { return fileListDirectory_; }
    const std::wstring& FilePattern() const { return filePattern_; }
    const std::wstring& StageMarker() const { return stageMarker_; }
    const std::wstring& DirectoryListPath() const { return dirList_.Path(); }
    wchar_t DriveListDrive() const { return drvList_.Drive(); }

    // Output pickers, Advanced options and the create commands (src/selection/OutputPickers.cpp,
    // src/app/CreateCommands.cpp).
    void cmdFindBatchFile_Click();
    void cmdFindTemplateFile_Click();
    void cmdFindOutputDirectory_Click();
    void cmdAdvanced_Click();
    void cmdCreate_Click();
    void Image2_Click();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The HWND is gone: forget the controls that went with it.
    void OnWindowGone() override;

private:
    void InitialiseBrowser();
    void RestoreOutputDirectory();
    void RestoreSourceDirectory();
    // Shows the directory in the directory list and the file list; on failure both stay as they
    // were and reason says why.
    bool OpenSourceDirectory(const std::wstring& path, std::wstring* reason);
    bool FillFileList(const std::wstring& directory, std::wstring* reason);
    void OnCommand(int id, int code);

    win::BuiltLayout layout_;
    DriveListControl drvList_;
    DirectoryListControl dirList_;
    std::wstring fileListDirectory_;
    std::wstring filePattern_ = L"*.*";
    std::wstring stageMarker_;
};

}  // namespace quorvel
