#pragma once

// The Advanced options dialog: modeless, loaded on first use, hidden by OK, unloaded by its
// close box. It is where the options live for the whole run. It has no owner, so the main
// window can come in front of it; it is centred over the window that opened it.

#include <windows.h>

#include "batch/BatchRequest.h"
#include "resources/AdvancedLayout.h"
#include "win/SettingsStore.h"
#include "win/TableWindow.h"

namespace quorvel {

class FrmAdvanced : public win::TableWindow<FrmAdvanced, layout::advanced::kWindow> {
public:
    explicit FrmAdvanced(win::SettingsStore& settings) : settings_(settings) {}

    // The main window's Advanced button: loads (and so shows) the dialog, shows it again when
    // hidden, or brings it forward and activates it.
    void Show(HWND over);
    // The options as the controls hold them now. Loads the dialog when it is not loaded, which
    // shows it.
    AdvancedOptions TakeOptions(HWND over);

    void Form_Load();
    void chkAutoRun_Click();
    void cmdFindTMPEG_Click();
    void cmdOK_Click();

private:
    std::span<const Command> Commands() const override;
    void OnOtherCommand(int id, int code) override;
    bool Load(HWND over);
    // Changes the auto-launch box as the program; a change runs chkAutoRun_Click.
    void SetAutoRun(CheckState state);
    CheckState CheckOf(Id box) const;
    void SetCheck(Id box, CheckState state);

    win::SettingsStore& settings_;
    bool loading_ = false;
};

}  // namespace quorvel
