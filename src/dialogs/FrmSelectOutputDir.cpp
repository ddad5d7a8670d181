#include "dialogs/FrmSelectOutputDir.h"

#include <uxtheme.h>

#include <cwctype>
#include <string>

#include "app/FrmQuorvel.h"
#include "app/Program.h"
#include "resources/OutputDirLayout.h"
#include "resources/ResourceIds.h"
#include "win/DialogNavigation.h"
#include "win/Dpi.h"
#include "win/MessageBox.h"

namespace quorvel {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelSelectOutputDir";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

std::wstring CurrentDirectory() {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring path(needed, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, path.data());
    path.resize(length < needed ? length : 0);
    return path;
}

void CentreOnScreen(HWND window) {
    RECT self{};
    ::GetWindowRect(window, &self);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& screen = info.rcMonitor;
    const int x = screen.left + ((screen.right - screen.left) - (self.right - self.left)) / 2;
    const int y = screen.top + ((screen.bottom - screen.top) - (self.bottom - self.top)) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SizeClientArea(HWND window, SIZE client, int dpi) {
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
    ::SetWindowPos(window,
                   nullptr,
                   0,
                   0,
                   frame.right - frame.left,
                   frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void FrmSelectOutputDir::Show(HWND owner) {
    if (!IsCreated()) {
        Load(owner);
        return;
    }
    HWND self = Window();
    if (::IsIconic(self)) ::ShowWindow(self, SW_RESTORE);
    ::ShowWindow(self, SW_SHOW);
    ::SetForegroundWindow(self);
    ::BringWindowToTop(self);
}

bool FrmSelectOutputDir::Load(HWND owner) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const win::WindowClass windowClass{kClassName, ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUORVEL))};
    const layout::Window& table = layout::kOutputDirLayout;
    constexpr int kDesignDpi = 96;
    if (!CreateWindowOf(windowClass,
                        table.Caption,
                        kStyle,
                        kExStyle,
                        owner,
                        win::TwipsToPixels(table.ClientWidth, kDesignDpi),
                        win::TwipsToPixels(table.ClientHeight, kDesignDpi))) {
        return false;
    }
    layout_.Build(Window(), table);
    if (layout_.Dpi() != kDesignDpi) SizeClientArea(Window(), layout_.ClientSize(), layout_.Dpi());
    // A themed group box draws its caption in the theme's colour; this one has a colour of its own.
    ::SetWindowTheme(Control(L"frmFromList"), L" ", L" ");
    drives_.Attach(Control(L"DrvList"));
    dirs_.Attach(Control(L"dirList"));
    drives_.Fill();

    // Every showing starts where the process stands now.
    const std::wstring current = CurrentDirectory();
    if (current.size() >= 2 && current[1] == L':') drives_.SelectDrive(static_cast<wchar_t>(std::towupper(current[0])));
    std::wstring error;
    if (!dirs_.SetPath(current, &error)) dirs_.SetDrive(drives_.Drive());

    win::AddNavigableWindow(Window());
    CentreOnScreen(Window());
    ::ShowWindow(Window(), SW_SHOW);
    ::UpdateWindow(Window());
    return true;
}

void FrmSelectOutputDir::cmdSelect_Click() {
    std::wstring directory = dirs_.Path();
    if (directory.empty()) return;
    if (directory.back() != L'\\') directory += L'\\';
    MainWindow().SetText(L"txtOutputDirectory", directory);
    ::DestroyWindow(Window());
}

void FrmSelectOutputDir::cmdCancel_Click() { ::DestroyWindow(Window()); }

void FrmSelectOutputDir::DrvList_Change() {
    const std::wstring before = dirs_.Path();
    if (!drives_.OnSelectionChange()) return;
    const wchar_t letter = drives_.Drive();
    std::wstring error;
    if (dirs_.SetDrive(letter, &error)) return;
    // The directory list could not follow: put the drive list back where the directory list is.
    if (before.size() >= 2 && before[1] == L':') drives_.SelectDrive(static_cast<wchar_t>(std::towupper(before[0])));
    std::wstring message = L"Cannot read drive ";
    message += letter;
    message += L":";
    if (!error.empty()) message += L" " + error;
    win::ShowMessage(Window(), message);
}

void FrmSelectOutputDir::OnCommand(int id, int code) {
    // Enter in the directory list opens the highlighted entry, as a double click does.
    if (id == IDOK && ::GetFocus() == Control(L"dirList")) {
        std::wstring error;
        if (!dirs_.OpenHighlighted(&error) && !error.empty()) win::ShowMessage(Window(), error);
        return;
    }
    const std::wstring_view name = layout_.NameOf(id);
    if (name == L"cmdSelect" && code == BN_CLICKED) {
        cmdSelect_Click();
    } else if (name == L"cmdCancel" && code == BN_CLICKED) {
        cmdCancel_Click();
    } else if (name == L"DrvList" && code == CBN_SELCHANGE) {
        DrvList_Change();
    } else if (name == L"dirList" && code == LBN_DBLCLK) {
        std::wstring error;
        if (!dirs_.OpenHighlighted(&error) && !error.empty()) win::ShowMessage(Window(), error);
    }
}

LRESULT FrmSelectOutputDir::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case DM_GETDEFID:
            // No default button: Enter presses the push button that has the focus, and only that one.
            return layout_.FocusedPushButtonAsDefault(Window());
        case WM_ACTIVATE: layout_.RestoreFocusOnActivate(Window(), wParam); return 0;
        case WM_CLOSE: cmdCancel_Click(); return 0;
        case WM_DESTROY: win::RemoveNavigableWindow(Window()); return 0;
        default: break;
    }
    LRESULT result = 0;
    if (layout_.HandleWindowMessage(Window(), message, wParam, lParam, result)) return result;
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace quorvel
