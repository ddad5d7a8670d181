#include "dialogs/FrmAdvanced.h"

#include <string>

#include "filedialog/PickFile.h"
#include "win/Launch.h"
#include "win/MessageBox.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace quorvel {
namespace {

using Id = FrmAdvanced::Id;

constexpr wchar_t kEncoderName[] = L"TMPGEnc.exe";
using namespace std::string_literals;
const std::wstring kEncoderFilter = L"TMPEG Batch Encoder (TMPGEnc.exe)\0TMPGEnc.exe"s;
constexpr wchar_t kInvalidPathMessage[] = L"You must set a valid Path for TMPGEnc.EXE";

constexpr Id kAutoRun = L"chkAutoRun";
constexpr Id kEncoderPath = L"txtCommandLineTMPGEnc";

// Where each option lives: the controls are the options.
struct TextOption {
    Id Control;
    std::string AdvancedOptions::*Field;
};
constexpr TextOption kTextOptions[] = {
    {L"cmbAspectRatio", &AdvancedOptions::AspectRatio},
    {L"cmbVideoSourceType", &AdvancedOptions::VideoSourceType},
    {L"txtTopClipping", &AdvancedOptions::TopClipping},
    {L"txtBottomClipping", &AdvancedOptions::BottomClipping},
    {kEncoderPath, &AdvancedOptions::TMPGEncPath},
};
struct CheckOption {
    Id Control;
    CheckState AdvancedOptions::*Field;
};
constexpr CheckOption kCheckOptions[] = {
    {L"chkDeinterlace", &AdvancedOptions::Deinterlace},
    {L"chktNoiseReduction", &AdvancedOptions::NoiseReduction},
    {kAutoRun, &AdvancedOptions::AutoLaunch},
};

// What OK stores and loading restores, in the order OK writes it.
struct StoredOption {
    Id Control;
    win::SettingKey Key;
    bool IsCheckBox;
};
constexpr StoredOption kStored[] = {
    {L"chkDeinterlace", L"Deinterlace", true},
    {L"chktNoiseReduction", L"Noise", true},
    {kAutoRun, L"AutoLaunch", true},
    {kEncoderPath, L"TMPGEncPath", false},
};

constexpr FrmAdvanced::Command kCommands[] = {
    {L"cmdOK", BN_CLICKED, &FrmAdvanced::cmdOK_Click},
    {kAutoRun, BN_CLICKED, &FrmAdvanced::chkAutoRun_Click},
    {L"cmdFindTMPEG", BN_CLICKED, &FrmAdvanced::cmdFindTMPEG_Click},
};

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
    if (path == kEncoderName && !OrdinaryFileExists(win::ProgramFolder() + kEncoderName)) return false;
    return true;
}

}  // namespace

std::span<const FrmAdvanced::Command> FrmAdvanced::Commands() const { return kCommands; }

CheckState FrmAdvanced::CheckOf(Id box) const {
    return ::SendMessageW(Control(box), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void FrmAdvanced::SetCheck(Id box, CheckState state) {
    ::SendMessageW(Control(box), BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FrmAdvanced::OnShowAgain() {
    if (!::IsWindowVisible(Window())) {
        ::ShowWindow(Window(), SW_SHOW);
        return;
    }
    win::Activate(Window());
}

AdvancedOptions FrmAdvanced::TakeOptions(HWND over) {
    if (!IsLoaded()) ShowOrActivate(over);
    AdvancedOptions options;
    if (!IsLoaded()) return options;
    for (const TextOption& option : kTextOptions) options.*option.Field = win::Narrow(Text(option.Control));
    for (const CheckOption& option : kCheckOptions) options.*option.Field = CheckOf(option.Control);
    return options;
}

void FrmAdvanced::OnLoad() {
    for (const StoredOption& stored : kStored) {
        if (stored.Control == kAutoRun) continue;
        const std::wstring value = settings_.Read(stored.Key);
        if (stored.IsCheckBox) {
            SetCheck(stored.Control, win::CheckStateFromText(value));
        } else {
            SetText(stored.Control, value);
        }
    }
    // Visible before the path is tested: the check's message and focus move need the window.
    ::ShowWindow(Window(), SW_SHOW);
    ::UpdateWindow(Window());
    loading_ = true;
    for (const StoredOption& stored : kStored)
        if (stored.Control == kAutoRun) SetAutoRun(win::CheckStateFromText(settings_.Read(stored.Key)));
    loading_ = false;
}

void FrmAdvanced::SetAutoRun(CheckState state) {
    const CheckState before = CheckOf(kAutoRun);
    SetCheck(kAutoRun, state);
    if (CheckOf(kAutoRun) != before) chkAutoRun_Click();
}

void FrmAdvanced::chkAutoRun_Click() {
    if (CheckOf(kAutoRun) != 1) return;
    if (EncoderPathAccepted(Text(kEncoderPath))) return;
    win::ShowMessage(Window(), kInvalidPathMessage);
    SetAutoRun(0);
    // At load the dialog had no time to take the keyboard before the box came up, so with the box
    // gone a window manager hands it to the main window: the path box is where the user types next.
    win::Activate(Window(), loading_);
    ::SetFocus(Control(kEncoderPath));
}

void FrmAdvanced::cmdFindTMPEG_Click() {
    const auto path = PickFile(fileDialogs_,
                               Window(),
                               {kEncoderFilter, L"Select TMPEG Batch Encoder EXE", win::ProgramFolder(), kEncoderName});
    if (path) SetText(kEncoderPath, *path);
}

void FrmAdvanced::OnOtherCommand(int id, int) {
    // Esc does what the close box does.
    if (id == IDCANCEL) OnClose();
}

void FrmAdvanced::cmdOK_Click() {
    ::ShowWindow(Window(), SW_HIDE);
    for (const StoredOption& stored : kStored) {
        settings_.Write(stored.Key,
                        stored.IsCheckBox ? win::CheckStateText(CheckOf(stored.Control)) : Text(stored.Control));
    }
}

}  // namespace quorvel
