#pragma once

// The main window. It holds the request's texts and the source browser, opens the three
// dialogs it is given and runs the create commands.

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "batch/BatchRequest.h"
#include "filedialog/CommonDialogApi.h"
#include "resources/MainWindowLayout.h"
#include "selection/DropPlan.h"
#include "selection/SourceBrowser.h"
#include "win/Launch.h"
#include "win/SettingsStore.h"
#include "win/TableWindow.h"

namespace quorvel {

class FrmAbout;
class FrmAdvanced;
class FrmSelectOutputDir;

class FrmQuorvel : public win::TableWindow<FrmQuorvel, layout::mainwindow::kWindow, BatchJob> {
public:
    // What the main window works with; all of it outlives the window.
    struct Services {
        const win::WindowServices& Windows;
        win::SettingsStore& Settings;
        const win::DirectoryProbe& Directories;
        const win::Launcher& Launch;
        FrmAbout& About;
        FrmAdvanced& Advanced;
        FrmSelectOutputDir& OutputDirectory;
        CommonDialogApi& FileDialogs;
    };
    explicit FrmQuorvel(const Services& services)
        : TableWindow(services.Windows),
          services_(services),
          browser_(services.Directories, services.Windows.Messages) {}

    // The request as the main window holds it now: the three text boxes, the file list's
    // directory and its selected names in list order.
    BatchJob TakeBatchJob() const;
    int SelectedCount() const { return browser_.SelectedCount(); }

    // Quit is its save step followed by its end step.
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
    void SetFileSelection(bool value) { browser_.SetSelection(value); }
    // The directory and pattern the file list shows now.
    const std::wstring& FileListDirectory() const { return browser_.FileListDirectory(); }
    const std::wstring& FilePattern() const { return browser_.Pattern(); }
    const std::wstring& DirectoryListPath() const { return browser_.DirectoryListPath(); }
    wchar_t DriveListDrive() const { return browser_.Drive(); }

    // Output pickers, Advanced options and the create commands.
    void cmdFindBatchFile_Click();
    void cmdFindTemplateFile_Click();
    void cmdFindOutputDirectory_Click();
    void cmdAdvanced_Click();
    void cmdCreate_Click();
    void Image2_Click();

    // Files and folders dropped onto the window (WM_DROPFILES): a folder is opened, files of one
    // folder are selected there, a single template or list fills its box. Writes nothing.
    void Form_DropFiles(const std::vector<DroppedItem>& items);
    // The paths of the program's command line (a file manager's "Open with" or "Send to"), taken
    // as if they were dropped once the window is up. Without paths nothing happens.
    void OpenCommandLine(const wchar_t* commandLine);

    // The notifications behind the handlers above.
    void DrvList_SelChange();
    void DrvList_CloseUp();
    void dirList_DblClick();
    void cmbFilePattern_SelChange();

private:
    // Start-up: the lists, the stored texts, then About in front.
    void OnLoad() override;
    void OnShowAgain() override {}
    // Closed by its frame: nothing is saved, and the program ends with its main window.
    void OnDestroy() override { ::PostQuitMessage(0); }
    // The HWND is gone: forget the controls that went with it.
    void OnWindowGone() override;
    void ShowAbout();
    // Start-up: the main window shown and painted, once.
    void ShowMainWindow();
    void StartupMessage(std::wstring_view text);
    std::span<const Row> Rows() const override;
    void OnOtherCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void RestoreBatchFile();
    void RestoreOutputDirectory();
    void RestoreSourceDirectory();
    void PickFile(Id box, const std::wstring& filter, const wchar_t* title, const wchar_t* defaultName);
    // Runs the creation; true when the list was written and reported, with the list's path.
    bool CreateBatch(std::wstring* batchFile = nullptr);
    // The Advanced options, or none once the reason they cannot be had was shown.
    std::optional<AdvancedOptions> TakeAdvancedOptions();
    void LaunchEncoder(const std::wstring& encoder, const std::wstring& batchFile);
    void AcceptDrops();
    void OnDropFiles(HDROP drop);
    void SelectDroppedFiles(const DropPlan& plan);

    Services services_;
    SourceBrowser browser_;
    bool startupMessageShown_ = false;
};

}  // namespace quorvel
