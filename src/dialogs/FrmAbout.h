#pragma once

// The About window: title, version, description and disclaimer; OK, System Info and Donate.
// Modeless and owned by the main window (no task bar button of its own); OK brings the main
// window forward and unloads it.

#include <windows.h>

#include <string>

#include "resources/AboutLayout.h"
#include "win/Launch.h"
#include "win/TableWindow.h"

namespace quorvel {

class FrmAbout : public win::TableWindow<FrmAbout, layout::about::kWindow> {
public:
    FrmAbout(const win::WindowServices& services, const win::Launcher& launcher)
        : TableWindow(services), launcher_(launcher) {}

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdDonation_Click();

    // Finds the system information tool through the registry and starts it; says so when it
    // cannot.
    void StartSysInfo();

private:
    // Loaded while its owner is still hidden, it is shown by the next ShowOrActivate, once the
    // owner is on screen.
    void OnLoad() override;
    // Shown for the first time it takes the keyboard on OK; otherwise it is brought forward.
    void OnShowAgain() override;
    std::span<const Row> Rows() const override;
    void OnOtherCommand(int id, int code) override;
    LRESULT DefaultButton() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    const win::Launcher& launcher_;
};

}  // namespace quorvel
