#include "dialogs/FrmAdvanced.h"

#include <string>

#include "app/FrmQuorvel.h"
#include "app/Program.h"
#include "app/SettingsStore.h"
#include "filedialog/CommonDialogApi.h"
#include "resources/AdvancedLayout.h"
#include "win/DialogNavigation.h"
#include "win/Dpi.h"
#include "win/MessageBox.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace quorvel {
namespace {

constexpr wchar_t kClassName[] = L"QuorvelAdvancedOptions";
constexpr wchar_t kEncoderName[] = L"TMPGEnc.exe";
using namespace std::string_literals;
const std::wstring kEncoderFilter = L"TMPEG Batch Encoder (TMPGEnc.exe)\0TMPGEnc.exe"s;
constexpr wchar_t kInvalidPathMessage[] = L"You must set a valid Path for TMPGEnc.EXE";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

std::wstring TextOf(HWND control) {
    if (!control) return {};
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

CheckState CheckOf(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }

void SetCheck(HWND box, CheckState state) {
    ::SendMessageW(box, BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The folder this program was started from, with its trailing backslash.
std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// True when a directory search for the path finds an ordinary file: not a directory, not
// hidden, not system. A search that cannot be made (bad name, drive not ready) finds nothing.
bool OrdinaryFileExists(const std::wstring& path) {
    if (path.empty()) return false;
    // A drive without a medium must not raise the system's "insert a disk" box.
    DWORD oldMode = 0;
    const bool modeSet = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode) != 0;
    bool found = false;
    WIN32_FIND_DATAW data{};
    win::UniqueFind search(::FindFirstFileW(path.c_str(), &data));
    if (search) {
        constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        do {
            if ((data.dwFileAttributes & kNotOrdinary) == 0) found = true;
        } while (!found && ::FindNextFileW(search.Get(), &data));
    }
    if (modeSet) ::SetThreadErrorMode(oldMode, nullptr);
    return found;
}

bool EncoderPathAccepted(const std::wstring& path) {
    if (path.empty()) return false;
    if (!OrdinaryFileExists(path)) return false;
    // The bare default name must also be the copy beside this program.
    if (path == kEncoderName && !OrdinaryFileExists(ProgramFolder() + kEncoderName)) return false;
    return true;
}

// Centred over the owner (on the screen without one), kept inside the owner's work area.
void CentreOver(HWND window, HWND owner) {
    RECT self{};
    ::GetWindowRect(window, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    HMONITOR monitor = ::MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(monitor, &info);
    RECT around = info.rcWork;
    if (owner && ::IsWindow(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    if (x + width > info.rcWork.right) x = info.rcWork.right - width;
    if (y + height > info.rcWork.bottom) y = info.rcWork.bottom - height;
    if (x < info.rcWork.left) x = info.rcWork.left;
    if (y < info.rcWork.top) y = info.rcWork.top;
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

HWND DefaultOwner() {
    HWND main = MainWindow().Window();
    return main && ::IsWindow(main) ? main : nullptr;
}

}  // namespace

void FrmAdvanced::Show(HWND owner) {
    if (!IsLoaded()) {
        Load(owner);
        return;
    }
    HWND self = Window();
    if (!::IsWindowVisible(self)) {
        ::ShowWindow(self, SW_SHOW);
        return;
    }
    if (::IsIconic(self)) ::ShowWindow(self, SW_RESTORE);
    ::SetForegroundWindow(self);
    ::BringWindowToTop(self);
}

AdvancedOptions FrmAdvanced::TakeOptions() {
    if (!IsLoaded()) Load(DefaultOwner());
    AdvancedOptions options;
    if (!IsLoaded()) return options;
    options.AspectRatio = win::Narrow(TextOf(Control(L"cmbAspectRatio")));
    options.VideoSourceType = win::Narrow(TextOf(Control(L"cmbVideoSourceType")));
    options.TopClipping = win::Narrow(TextOf(Control(L"txtTopClipping")));
    options.BottomClipping = win::Narrow(TextOf(Control(L"txtBottomClipping")));
    options.Deinterlace = CheckOf(Control(L"chkDeinterlace"));
    options.NoiseReduction = CheckOf(Control(L"chktNoiseReduction"));
    options.AutoLaunch = CheckOf(Control(L"chkAutoRun"));
    options.TMPGEncPath = win::Narrow(TextOf(Control(L"txtCommandLineTMPGEnc")));
    return options;
}

bool FrmAdvanced::Load(HWND owner) {
    const win::WindowClass windowClass{kClassName};
    const layout::Window& table = layout::kAdvancedLayout;
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
    win::AddNavigableWindow(Window());
    CentreOver(Window(), owner);
    Form_Load();
    return true;
}

void FrmAdvanced::Form_Load() {
    SettingsStore& store = Settings();
    SetCheck(Control(L"chkDeinterlace"), CheckStateFromText(store.Read(L"Deinterlace", L"")));
    SetCheck(Control(L"chktNoiseReduction"), CheckStateFromText(store.Read(L"Noise", L"")));
    // Visible before the path is tested: the check's message and focus move need the window.
    ::ShowWindow(Window(), SW_SHOW);
    ::UpdateWindow(Window());
    ::SetWindowTextW(Control(L"txtCommandLineTMPGEnc"), store.Read(L"TMPGEncPath", L"").c_str());
    SetAutoRun(CheckStateFromText(store.Read(L"AutoLaunch", L"")));
}

void FrmAdvanced::SetAutoRun(CheckState state) {
    HWND box = Control(L"chkAutoRun");
    const CheckState before = CheckOf(box);
    SetCheck(box, state);
    if (CheckOf(box) != before) chkAutoRun_Click();
}

void FrmAdvanced::chkAutoRun_Click() {
    if (CheckOf(Control(L"chkAutoRun")) != 1) return;
    if (EncoderPathAccepted(TextOf(Control(L"txtCommandLineTMPGEnc")))) return;
    win::ShowMessage(Window(), kInvalidPathMessage);
    SetAutoRun(0);
    ::SetFocus(Control(L"txtCommandLineTMPGEnc"));
}

void FrmAdvanced::cmdFindTMPEG_Click() {
    OpenFileRequest& request = CommonDialogApi::OpenFileRecord;
    request.lpstrFilter = kEncoderFilter;
    request.lpstrTitle = L"Select TMPEG Batch Encoder EXE";
    request.lpstrInitialDir = ProgramFolder();
    request.lpstrFile = kEncoderName;
    FileDialogResult result;
    try {
        result = ShowFileDialog(Window(), true);
    } catch (...) {
        // The dialog did not answer: the path box keeps what it held.
        return;
    }
    std::wstring path;
    if (!result.Cancelled && !result.FileNames.empty()) {
        path = result.Directory;
        if (!path.empty() && path.back() != L'\\') path += L'\\';
        path += result.FileNames.front();
    }
    ::SetWindowTextW(Control(L"txtCommandLineTMPGEnc"), path.c_str());
}

void FrmAdvanced::cmdOK_Click() {
    ::ShowWindow(Window(), SW_HIDE);
    SettingsStore& store = Settings();
    store.Write(L"Deinterlace", CheckStateText(CheckOf(Control(L"chkDeinterlace"))));
    store.Write(L"Noise", CheckStateText(CheckOf(Control(L"chktNoiseReduction"))));
    store.Write(L"AutoLaunch", CheckStateText(CheckOf(Control(L"chkAutoRun"))));
    store.Write(L"TMPGEncPath", TextOf(Control(L"txtCommandLineTMPGEnc")));
}

void FrmAdvanced::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    const std::wstring_view name = layout_.NameOf(id);
    if (name == L"cmdOK") {
        cmdOK_Click();
    } else if (name == L"chkAutoRun") {
        chkAutoRun_Click();
    } else if (name == L"cmdFindTMPEG") {
        cmdFindTMPEG_Click();
    }
    // Anything else, Esc's IDCANCEL and Enter's IDOK among them, is not a command here.
}

LRESULT FrmAdvanced::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case DM_GETDEFID:
            // No default button: Enter presses the push button that has the focus, and only that one.
            return layout_.FocusedPushButtonAsDefault(Window());
        case WM_ACTIVATE: layout_.RestoreFocusOnActivate(Window(), wParam); return 0;
        case WM_CLOSE: ::DestroyWindow(Window()); return 0;
        case WM_DESTROY: win::RemoveNavigableWindow(Window()); return 0;
        default: break;
    }
    LRESULT result = 0;
    if (layout_.HandleWindowMessage(Window(), message, wParam, lParam, result)) return result;
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace quorvel
