#pragma once

// The Advanced options dialog: modeless, loaded on first use, hidden by OK, unloaded by its
// close box. It is where the options live for the whole run.

#include <windows.h>

#include <string_view>

#include "batch/BatchRequest.h"
#include "win/BaseWindow.h"
#include "win/LayoutBuilder.h"

namespace quorvel {

class FrmAdvanced : public win::BaseWindow<FrmAdvanced> {
public:
    // The main window's Advanced button: loads (and so shows) the dialog, shows it again when
    // hidden, or brings it forward.
    void Show(HWND owner);
    // The options as the controls hold them now. Loads the dialog when it is not loaded, which
    // shows it.
    AdvancedOptions TakeOptions();
    bool IsLoaded() const { return IsCreated(); }
    HWND Control(std::wstring_view name) const { return layout_.Control(name); }

    void Form_Load();
    void chkAutoRun_Click();
    void cmdFindTMPEG_Click();
    void cmdOK_Click();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class win::BaseWindow<FrmAdvanced>;
    bool Load(HWND owner);
    // Changes the auto-launch box as the program; a change runs chkAutoRun_Click.
    void SetAutoRun(CheckState state);
    void OnCommand(int id, int code);

    win::BuiltLayout layout_;
};

}  // namespace quorvel
