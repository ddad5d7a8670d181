#pragma once

// The Advanced options dialog: modeless, loaded on first use, hidden by OK, unloaded by its
// close box. It is where the options live for the whole run. It has no owner, so the main
// window can come in front of it; it is centred over the window that opened it.

#include <windows.h>

#include "batch/BatchRequest.h"
#include "filedialog/CommonDialogApi.h"
#include "resources/AdvancedLayout.h"
#include "win/SettingsStore.h"
#include "win/TableWindow.h"

namespace quorvel {

class FrmAdvanced : public win::TableWindow<FrmAdvanced, layout::advanced::kWindow, AdvancedOptions> {
public:
    FrmAdvanced(const win::WindowServices& services, win::SettingsStore& settings, CommonDialogApi& fileDialogs)
        : TableWindow(services), settings_(settings), fileDialogs_(fileDialogs) {}

    // The options as the controls hold them now. Loads the dialog when it is not loaded, which
    // shows it; fails when the dialog cannot be made, rather than answering with defaults.
    Status TakeOptions(HWND over, AdvancedOptions& options);

    void chkAutoRun_Click();
    void cmdFindTMPEG_Click();
    void cmdOK_Click();

private:
    // Shows the dialog before the auto-launch box is restored: its check needs the window.
    void OnLoad() override;
    // Shown again when hidden by OK, otherwise brought forward and activated.
    void OnShowAgain() override;
    std::span<const Row> Rows() const override;
    void OnOtherCommand(int id, int code) override;
    // Changes the auto-launch box as the program; a change runs chkAutoRun_Click.
    void SetAutoRun(CheckState state);

    win::SettingsStore& settings_;
    CommonDialogApi& fileDialogs_;
    bool loading_ = false;
};

}  // namespace quorvel
