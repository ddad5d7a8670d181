#pragma once

// The About window: title, version, description and disclaimer; OK, System Info and Donate.
// Modeless; OK brings the main window forward and unloads it.

#include <windows.h>

#include <string>
#include <string_view>

#include "win/BaseWindow.h"
#include "win/LayoutBuilder.h"

namespace quorvel {

class FrmAbout : public win::BaseWindow<FrmAbout> {
public:
    // Loads and shows the window, or brings it forward when it is already open.
    void Show(HWND owner);
    bool IsLoaded() const { return IsCreated(); }
    HWND Control(std::wstring_view name) const { return layout_.Control(name); }
    std::wstring Text(std::wstring_view controlName) const;

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdDonation_Click();

    // Finds the system information tool through the registry and starts it; says so when it
    // cannot.
    void StartSysInfo();
    // One value under KeyRoot\KeyName as text (strings as they are, 32-bit numbers in decimal).
    // On failure KeyVal is emptied and the result is false.
    static bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                            std::string& KeyVal);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnCommand(int id, int code);
    LRESULT OnDefaultButtonQuery();

    win::BuiltLayout layout_;
};

}  // namespace quorvel
