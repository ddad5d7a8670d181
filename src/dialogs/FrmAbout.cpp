#include "dialogs/FrmAbout.h"

#include <array>
#include <cstdint>

#include "app/Addresses.h"
#include "app/FrmQuorvel.h"
#include "app/Launch.h"
#include "app/Program.h"
#include "batch/Version.h"
#include "resources/AboutLayout.h"
#include "win/DialogNavigation.h"
#include "win/MessageBox.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace quorvel {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelAbout";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

void CentreOnScreen(HWND window) {
    RECT frame;
    ::GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    ::SetWindowPos(window,
                   nullptr,
                   area.left + (area.right - area.left - (frame.right - frame.left)) / 2,
                   area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2,
                   0,
                   0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsOrdinaryFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void FrmAbout::Show(HWND owner) {
    if (IsCreated()) {
        if (::IsIconic(Window())) ::ShowWindow(Window(), SW_RESTORE);
        ::ShowWindow(Window(), SW_SHOW);
        ::SetForegroundWindow(Window());
        ::BringWindowToTop(Window());
        return;
    }
    const layout::Window& table = layout::AboutLayout();
    // Owned by the main window, so it has no task bar button of its own.
    const win::WindowClass windowClass{kClassName, nullptr, nullptr};
    if (!CreateWindowOf(
            windowClass, table.Caption, kStyle, kExStyle, owner, table.ClientWidth / 15, table.ClientHeight / 15)) {
        win::ShowMessage(owner, L"The About window could not be opened.");
        return;
    }
    layout_.Build(Window(), table);
    const SIZE client = layout_.ClientSize();
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(layout_.Dpi()));
    ::SetWindowPos(Window(),
                   nullptr,
                   0,
                   0,
                   frame.right - frame.left,
                   frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOnScreen(Window());
    Form_Load();
    win::AddNavigableWindow(Window());
    ::ShowWindow(Window(), SW_SHOW);
    ::SetFocus(Control(L"cmdOK"));
}

std::wstring FrmAbout::Text(std::wstring_view controlName) const {
    HWND control = Control(controlName);
    if (!control) return {};
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void FrmAbout::Form_Load() {
    ::SetWindowTextW(Window(), (std::wstring(L"About ") + win::kAppTitle).c_str());
    ::SetWindowTextW(Control(L"lblVersion"), (std::wstring(L"Version ") + kVersionTextW).c_str());
    ::SetWindowTextW(Control(L"lblTitle"), win::kAppTitle);
}

void FrmAbout::cmdOK_Click() {
    if (HWND main = MainWindow().Window()) {
        ::ShowWindow(main, SW_SHOW);
        ::SetForegroundWindow(main);
    }
    ::DestroyWindow(Window());
}

void FrmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void FrmAbout::cmdDonation_Click() {
    LaunchRequest request;
    request.What = LaunchRequest::Kind::ShellOpen;
    request.Owner = Window();
    request.CommandLine = kDonationAddress;
    request.Directory = ProgramDirectory();
    request.Show = SW_SHOWNORMAL;
    std::wstring reason;
    if (!OpenWithShell(request, &reason))
        win::ShowMessage(Window(),
                         std::wstring(L"Could not open the donation page ") + kDonationAddress + L": " + reason);
}

void FrmAbout::StartSysInfo() {
    std::string path;
    if (!GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path)) {
        std::string directory;
        if (!GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", directory) ||
            !IsOrdinaryFile(directory + "\\MSINFO32.EXE")) {
            win::ShowMessage(Window(), kUnavailable);
            return;
        }
        path = directory + "\\MSINFO32.EXE";
    }
    if (path.empty()) {
        win::ShowMessage(Window(), kUnavailable);
        return;
    }
    // The path is named as the program to run, so a blank in it cannot start another program.
    LaunchRequest request;
    request.Application = win::FromAnsi(path);
    request.CommandLine = L"\"" + request.Application + L"\"";
    request.Show = SW_SHOWNORMAL;
    if (!StartProgram(request, nullptr)) win::ShowMessage(Window(), kUnavailable);
}

bool FrmAbout::GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal) {
    // Read access only: asking for more fails for an ordinary user under HKEY_LOCAL_MACHINE.
    win::UniqueHkey key;
    if (::RegOpenKeyExA(KeyRoot, KeyName.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::array<char, 1024> buffer{};
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = 0;
    if (::RegQueryValueExA(
            key.Get(), SubKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            std::string text(buffer.data(), size);
            if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
            if (type == REG_EXPAND_SZ) {
                std::string expanded(32768, '\0');
                const DWORD length =
                    ::ExpandEnvironmentStringsA(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
                if (length > 0 && length <= expanded.size()) {
                    expanded.resize(length - 1);
                    text = expanded;
                }
            }
            KeyVal = text;
            break;
        }
        case REG_DWORD:
            if (size == 4) {
                const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
                const std::uint32_t value =
                    bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
                KeyVal = std::to_string(value);
            }
            break;
        default: break;
    }
    return true;
}

void FrmAbout::OnCommand(int id, int code) {
    // Esc (IDCANCEL) and Enter away from the buttons (IDOK) both mean OK.
    if (id == IDOK || id == IDCANCEL) {
        cmdOK_Click();
        return;
    }
    if (code != BN_CLICKED) return;
    const std::wstring_view name = layout_.NameOf(id);
    if (name == L"cmdOK") {
        cmdOK_Click();
    } else if (name == L"cmdSysInfo") {
        cmdSysInfo_Click();
    } else if (name == L"cmdDonation") {
        cmdDonation_Click();
    }
}

LRESULT FrmAbout::OnDefaultButtonQuery() {
    const LRESULT focused = layout_.FocusedPushButtonAsDefault(Window());
    return focused ? focused : MAKELRESULT(layout_.IdOf(L"cmdOK"), DC_HASDEFID);
}

LRESULT FrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case DM_GETDEFID: return OnDefaultButtonQuery();
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(Window(), &paint);
            layout_.PaintLines(dc);
            ::EndPaint(Window(), &paint);
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            HWND control = reinterpret_cast<HWND>(lParam);
            const layout::Control* row = layout_.RowOf(control);
            // A hollow brush lets the lines and the navy background show through the labels.
            if (row && row->Type == layout::Kind::Label && (row->Flags & layout::kTransparent)) {
                layout_.OnCtlColor(reinterpret_cast<HDC>(wParam), control);
                return reinterpret_cast<LRESULT>(::GetStockObject(HOLLOW_BRUSH));
            }
            break;
        }
        case WM_ACTIVATE: layout_.RestoreFocusOnActivate(Window(), wParam); return 0;
        case WM_DESTROY: win::RemoveNavigableWindow(Window()); return 0;
        default: break;
    }
    LRESULT result = 0;
    if (layout_.HandleWindowMessage(Window(), message, wParam, lParam, result)) return result;
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace quorvel
