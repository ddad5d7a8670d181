#include "dialogs/FrmAbout.h"

#include <utility>

#include "resources/Addresses.h"
#include "win/DirectoryLists.h"
#include "win/MessageSink.h"
#include "win/RegistryValue.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

constexpr FrmAbout::Row kRows[] = {
    {.Control = L"cmdOK", .Notification = BN_CLICKED, .Run = &FrmAbout::cmdOK_Click},
    {.Control = L"cmdSysInfo", .Notification = BN_CLICKED, .Run = &FrmAbout::cmdSysInfo_Click},
    {.Control = L"cmdDonation", .Notification = BN_CLICKED, .Run = &FrmAbout::cmdDonation_Click},
};

}  // namespace

std::span<const FrmAbout::Row> FrmAbout::Rows() const { return kRows; }

void FrmAbout::OnLoad() {
    // Shown before its owner, it would lie under it on a desktop: it waits for the owner.
    const HWND owner = ::GetWindow(Window(), GW_OWNER);
    if (!owner || ::IsWindowVisible(owner)) OnShowAgain();
}

// Activated, it gives the keyboard to OK, first in its tab order.
void FrmAbout::OnShowAgain() { win::Activate(Window()); }

void FrmAbout::cmdOK_Click() {
    if (HWND main = ::GetWindow(Window(), GW_OWNER)) win::Activate(main);
    ::DestroyWindow(Window());
}

void FrmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void FrmAbout::cmdDonation_Click() {
    if (kDonationAddress[0] == L'\0') {
        ShowMessage(L"This build of Quorvel has no donation page.");
        return;
    }
    win::LaunchRequest request;
    request.What = win::LaunchRequest::Kind::ShellOpen;
    request.Owner = Window();
    request.CommandLine = kDonationAddress;
    request.Directory = win::ProgramDirectory();
    request.Show = SW_SHOWNORMAL;
    if (const Status opened = launcher_.OpenWithShell(request); !opened)
        ShowMessage(opened, std::wstring(L"Could not open the donation page ") + kDonationAddress + L": ");
}

void FrmAbout::StartSysInfo() {
    std::string path;
    if (auto named = win::GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH")) {
        path = std::move(*named);
    } else {
        const auto directory =
            win::GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
        if (!directory || !win::OrdinaryFileExists(FromAnsi(*directory) + L"\\MSINFO32.EXE")) {
            ShowMessage(kUnavailable);
            return;
        }
        path = *directory + "\\MSINFO32.EXE";
    }
    if (path.empty()) {
        ShowMessage(kUnavailable);
        return;
    }
    // The path is named as the program to run, so a blank in it cannot start another program.
    win::LaunchRequest request;
    request.Application = FromAnsi(path);
    request.CommandLine = L"\"" + request.Application + L"\"";
    request.Show = SW_SHOWNORMAL;
    if (!launcher_.StartProgram(request)) ShowMessage(kUnavailable);
}

void FrmAbout::OnOtherCommand(int id, int) {
    // Esc (IDCANCEL) and Enter away from the buttons (IDOK) both mean OK.
    if (id == IDOK || id == IDCANCEL) cmdOK_Click();
}

LRESULT FrmAbout::DefaultButton() {
    const LRESULT focused = Layout().FocusedPushButtonAsDefault(Window());
    return focused ? focused : MAKELRESULT(CommandId(L"cmdOK"), DC_HASDEFID);
}

bool FrmAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(Window(), &paint);
        Layout().PaintLines(dc);
        ::EndPaint(Window(), &paint);
        result = 0;
        return true;
    }
    if (message == WM_CTLCOLORSTATIC) {
        HWND control = reinterpret_cast<HWND>(lParam);
        const layout::Control* row = Layout().RowOf(control);
        // A hollow brush lets the lines and the navy background show through the labels.
        if (row && row->Type == layout::Kind::Label && (row->Flags & layout::kTransparent)) {
            Layout().OnCtlColor(reinterpret_cast<HDC>(wParam), control);
            result = reinterpret_cast<LRESULT>(::GetStockObject(HOLLOW_BRUSH));
            return true;
        }
    }
    return false;
}

}  // namespace quorvel
