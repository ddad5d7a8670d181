#include "app/FrmQuorvel.h"

#include <array>

#include "app/Addresses.h"
#include "app/Launch.h"
#include "app/Program.h"
#include "app/SettingsStore.h"
#include "batch/Version.h"
#include "dialogs/FrmAbout.h"
#include "resources/MainWindowLayout.h"
#include "resources/ResourceIds.h"
#include "win/DialogNavigation.h"
#include "win/MessageBox.h"

namespace quorvel {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelMainWindow";
// No WS_CLIPCHILDREN: the frames do not paint their insides, the window's background does.
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

// A directory with exactly one trailing backslash.
std::wstring Terminated(std::wstring directory) {
    if (!directory.empty() && directory.back() == L'\\') directory.pop_back();
    return directory + L'\\';
}

bool EndsInBackslashIgnoringBlanks(const std::wstring& text) {
    const auto last = text.find_last_not_of(L' ');
    return last != std::wstring::npos && text[last] == L'\\';
}

void CentreOnWorkArea(HWND window) {
    RECT frame;
    ::GetWindowRect(window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(window,
                   nullptr,
                   area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2,
                   0,
                   0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool FrmQuorvel::Create() {
    if (IsCreated()) return true;
    const win::WindowClass windowClass{
        kClassName, ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUORVEL)), nullptr};
    const layout::Window& table = layout::MainWindowLayout();
    if (!CreateWindowOf(
            windowClass, table.Caption, kStyle, 0, nullptr, table.ClientWidth / 15, table.ClientHeight / 15))
        return false;
    layout_.Build(Window(), table);
    // The window was made at 96 DPI; its monitor may want more.
    const SIZE client = layout_.ClientSize();
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, static_cast<UINT>(layout_.Dpi()));
    ::SetWindowPos(Window(),
                   nullptr,
                   0,
                   0,
                   frame.right - frame.left,
                   frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOnWorkArea(Window());
    InitialiseBrowser();
    win::AddNavigableWindow(Window());
    Form_Load();
    return true;
}

std::wstring FrmQuorvel::Text(std::wstring_view controlName) const {
    HWND control = Control(controlName);
    if (!control) return {};
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void FrmQuorvel::SetText(std::wstring_view controlName, std::wstring_view text) {
    if (HWND control = Control(controlName)) ::SetWindowTextW(control, std::wstring(text).c_str());
}

void FrmQuorvel::Form_Load() {
    AboutDialog().Show(Window());
    ::SetWindowTextW(Window(), (std::wstring(L"QUORVEL v") + kVersionTextW).c_str());
    ::ShowWindow(Window(), SW_SHOW);
    ::UpdateWindow(Window());
    ::SetFocus(Control(L"DrvList"));

    SetText(L"txtFileOutput", Settings().Read(L"FileOutput", L""));
    const std::wstring batchFile = Text(L"txtFileOutput");
    if (batchFile.empty()) {
        SetText(L"txtFileOutput", Terminated(fileListDirectory_));
    } else if (EndsInBackslashIgnoringBlanks(batchFile)) {
        SetText(L"txtFileOutput", batchFile + L"Batch.mcf");
    }
    Settings().Write(L"FileOutput", Text(L"txtFileOutput"));

    RestoreOutputDirectory();
    RestoreSourceDirectory();
    stageMarker_.clear();

    SetText(L"txtTemplateFile", Settings().Read(L"TemplateInput", L""));
    cmbFilePattern_Click();
    // A start-up message may have taken the focus away.
    if (::GetActiveWindow() == Window()) ::SetFocus(Control(L"DrvList"));
}

void FrmQuorvel::RestoreOutputDirectory() {
    stageMarker_ = L"sOutputDirectory";
    std::wstring saved = Settings().Read(L"DirOutput", L"");
    // Two tries at most: the stored value, then the fallback after a message.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DirectoryState state = saved.empty() ? DirectoryState::Exists : ProbeDirectory(saved);
        if (state == DirectoryState::Unreadable && attempt == 0) {
            win::ShowMessage(Window(), L"Output Directory " + saved + L" no longer exists (default c:\\)");
            saved = L"C:\\";
            continue;
        }
        if (state == DirectoryState::Exists) {
            SetText(L"txtOutputDirectory", saved);
            if (Text(L"txtOutputDirectory").empty()) SetText(L"txtOutputDirectory", Terminated(fileListDirectory_));
            Settings().Write(L"DirOutput", Text(L"txtOutputDirectory"));
        } else {
            SetText(L"txtOutputDirectory", ProgramDirectory());
        }
        return;
    }
}

void FrmQuorvel::RestoreSourceDirectory() {
    stageMarker_ = L"sInputDirectory";
    std::wstring saved = Settings().Read(L"DirInput", L"");
    bool opened = false;
    for (int attempt = 0; attempt < 2 && !opened; ++attempt) {
        std::wstring target;
        std::wstring reason;
        if (saved.empty()) {
            target = fileListDirectory_;
        } else {
            switch (ProbeDirectory(saved, &reason)) {
                case DirectoryState::Exists: target = saved; break;
                case DirectoryState::Missing: target = ProgramDirectory(); break;
                case DirectoryState::Unreadable: break;
            }
        }
        opened = !target.empty() && OpenSourceDirectory(target, &reason);
        if (!opened && attempt == 0) {
            win::ShowMessage(Window(), L"Input Directory " + saved + L" no longer exists (default c:\\)");
            saved = L"C:\\";
        }
    }
    // Even "C:\" failed: the lists keep the working directory they started in.
    Settings().Write(L"DirInput", dirList_.Path().empty() ? fileListDirectory_ : dirList_.Path());
    const std::wstring& shown = dirList_.Path();
    if (shown.size() >= 2 && shown[1] == L':') drvList_.SelectDrive(shown[0]);
}

bool FrmQuorvel::SaveMainSettings() {
    struct Saved {
        const wchar_t* Key;
        std::wstring Value;
    };
    const std::array<Saved, 4> values{{
        {L"FileOutput", Text(L"txtFileOutput")},
        {L"DirOutput", Text(L"txtOutputDirectory")},
        {L"DirInput", dirList_.Path()},
        {L"TemplateInput", Text(L"txtTemplateFile")},
    }};
    std::wstring failed;
    for (const Saved& value : values) {
        if (!Settings().Write(value.Key, value.Value))
            failed += (failed.empty() ? L"" : L", ") + std::wstring(value.Key);
    }
    if (failed.empty()) return true;
    win::ShowMessage(Window(),
                     L"Could not save the settings (" + failed +
                         L") under HKEY_CURRENT_USER\\Software\\Quorvel\\Settings. They keep their "
                         L"earlier values.");
    return false;
}

void FrmQuorvel::EndProgram() {
    // At once: no window or dialog handler runs after the settings are saved.
    ::ExitProcess(0);
}

void FrmQuorvel::cmdQuit_Click() {
    SaveMainSettings();
    EndProgram();
}

void FrmQuorvel::Image3_Click() { cmdQuit_Click(); }

void FrmQuorvel::Image1_Click() {
    LaunchRequest request;
    request.CommandLine = std::wstring(L"explorer ") + kWebPageAddress;
    request.Show = SW_SHOWMINIMIZED;
    std::wstring reason;
    if (StartProgram(request, &reason)) return;
    // No explorer here: hand the address to the shell instead.
    LaunchRequest shell;
    shell.What = LaunchRequest::Kind::ShellOpen;
    shell.Owner = Window();
    shell.CommandLine = kWebPageAddress;
    shell.Show = SW_SHOWNORMAL;
    if (OpenWithShell(shell, &reason)) return;
    win::ShowMessage(Window(), std::wstring(L"Could not open the web page ") + kWebPageAddress + L": " + reason);
}

void FrmQuorvel::Image4_Click() { AboutDialog().Show(Window()); }

void FrmQuorvel::OnCommand(int id, int code) {
    using Handler = void (FrmQuorvel::*)();
    struct Route {
        const wchar_t* Control;
        int Code;
        Handler Run;
    };
    static constexpr Route kRoutes[] = {
        {L"cmdAdvanced", BN_CLICKED, &FrmQuorvel::cmdAdvanced_Click},
        {L"cmdFindOutputDirectory", BN_CLICKED, &FrmQuorvel::cmdFindOutputDirectory_Click},
        {L"cmdFindTemplateFile", BN_CLICKED, &FrmQuorvel::cmdFindTemplateFile_Click},
        {L"cmdFindBatchFile", BN_CLICKED, &FrmQuorvel::cmdFindBatchFile_Click},
        {L"cmdQuit", BN_CLICKED, &FrmQuorvel::cmdQuit_Click},
        {L"cmdCreate", BN_CLICKED, &FrmQuorvel::cmdCreate_Click},
        {L"cmdSelectNone", BN_CLICKED, &FrmQuorvel::cmdSelectNone_Click},
        {L"cmdSelectAll", BN_CLICKED, &FrmQuorvel::cmdSelectAll_Click},
        {L"Image4", BN_CLICKED, &FrmQuorvel::Image4_Click},
        {L"Image3", BN_CLICKED, &FrmQuorvel::Image3_Click},
        {L"Image2", BN_CLICKED, &FrmQuorvel::Image2_Click},
        {L"Image1", BN_CLICKED, &FrmQuorvel::Image1_Click},
    };
    const std::wstring_view name = layout_.NameOf(id);
    if (name.empty()) {
        // Enter on a control that is not a push button: the directory list opens its entry;
        // elsewhere nothing happens (in particular the hidden default button is not pressed).
        if (id == IDOK && ::GetFocus() == Control(L"dirList")) {
            std::wstring reason;
            if (dirList_.OpenHighlighted(&reason)) {
                dirList_Change();
            } else if (!reason.empty()) {
                win::ShowMessage(Window(), reason);
            }
        }
        return;
    }
    if (name == L"DrvList") {
        // While the list is open the arrow keys only move through it; the choice counts when it
        // closes, so a drive that is not ready is tried once, not on the way past it.
        const bool open = ::SendMessageW(Control(L"DrvList"), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        if (((code == CBN_SELCHANGE && !open) || code == CBN_CLOSEUP) && drvList_.OnSelectionChange()) DrvList_Change();
        return;
    }
    if (name == L"dirList") {
        if (code == LBN_DBLCLK) {
            std::wstring reason;
            if (dirList_.OpenHighlighted(&reason)) {
                dirList_Change();
            } else if (!reason.empty()) {
                win::ShowMessage(Window(), reason);
            }
        }
        return;
    }
    if (name == L"cmbFilePattern") {
        if (code == CBN_SELCHANGE) {
            // The edit field is updated only after this notification; the chosen item is what counts.
            HWND combo = Control(L"cmbFilePattern");
            const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
            if (index >= 0) {
                std::wstring item(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
                item.resize(static_cast<size_t>(
                    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()))));
                ::SetWindowTextW(combo, item.c_str());
            }
            cmbFilePattern_Click();
        }
        return;
    }
    for (const Route& route : kRoutes) {
        if (name == route.Control && code == route.Code) {
            (this->*route.Run)();
            return;
        }
    }
}

void FrmQuorvel::OnWindowGone() {
    drvList_.Attach(nullptr);
    dirList_.Attach(nullptr);
}

LRESULT FrmQuorvel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case DM_GETDEFID:
            // Enter presses the push button that has the focus and no other: cmdCreate stays untouched.
            return layout_.FocusedPushButtonAsDefault(Window());
        case WM_ACTIVATE: layout_.RestoreFocusOnActivate(Window(), wParam); return 0;
        case WM_DESTROY:
            // Closed by its frame: nothing is saved, and the program ends with its main window.
            win::RemoveNavigableWindow(Window());
            ::PostQuitMessage(0);
            return 0;
        default: break;
    }
    LRESULT result = 0;
    if (layout_.HandleWindowMessage(Window(), message, wParam, lParam, result)) return result;
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace quorvel
