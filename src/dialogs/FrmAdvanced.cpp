#include "dialogs/FrmAdvanced.h"

#include <string>

#include "filedialog/PickFile.h"
#include "win/DirectoryLists.h"
#include "win/Launch.h"
#include "win/MessageSink.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

using Id = FrmAdvanced::Id;

constexpr wchar_t kEncoderName[] = L"TMPGEnc.exe";
using namespace std::string_literals;
const std::wstring kEncoderFilter = L"TMPEG Batch Encoder (TMPGEnc.exe)\0TMPGEnc.exe"s;
constexpr wchar_t kInvalidPathMessage[] = L"You must set a valid Path for TMPGEnc.EXE";

constexpr Id kAutoRun = L"chkAutoRun";
constexpr Id kEncoderPath = L"txtCommandLineTMPGEnc";

// The controls are the options. OK stores the persisted ones in this order.
constexpr FrmAdvanced::Row kRows[] = {
    {.Control = L"cmbAspectRatio", .Text = &AdvancedOptions::AspectRatio},
    {.Control = L"cmbVideoSourceType", .Text = &AdvancedOptions::VideoSourceType},
    {.Control = L"txtTopClipping", .Text = &AdvancedOptions::TopClipping},
    {.Control = L"txtBottomClipping", .Text = &AdvancedOptions::BottomClipping},
    {.Control = L"chkDeinterlace", .Check = &AdvancedOptions::Deinterlace, .Setting = L"Deinterlace"},
    {.Control = L"chktNoiseReduction", .Check = &AdvancedOptions::NoiseReduction, .Setting = L"Noise"},
    {.Control = kAutoRun,
     .Notification = BN_CLICKED,
     .Run = &FrmAdvanced::chkAutoRun_Click,
     .Check = &AdvancedOptions::AutoLaunch,
     .Setting = L"AutoLaunch"},
    {.Control = kEncoderPath, .Text = &AdvancedOptions::TMPGEncPath, .Setting = L"TMPGEncPath"},
    {.Control = L"cmdOK", .Notification = BN_CLICKED, .Run = &FrmAdvanced::cmdOK_Click},
    {.Control = L"cmdFindTMPEG", .Notification = BN_CLICKED, .Run = &FrmAdvanced::cmdFindTMPEG_Click},
};

bool EncoderPathAccepted(const std::wstring& path) {
    if (path.empty()) return false;
    if (!win::OrdinaryFileExists(path)) return false;
    // The bare default name must also be the copy beside this program.
    if (path == kEncoderName && !win::OrdinaryFileExists(win::ProgramFolder() + kEncoderName)) return false;
    return true;
}

}  // namespace

std::span<const FrmAdvanced::Row> FrmAdvanced::Rows() const { return kRows; }

void FrmAdvanced::OnShowAgain() {
    if (!::IsWindowVisible(Window())) {
        ::ShowWindow(Window(), SW_SHOW);
        return;
    }
    win::Activate(Window());
}

Status FrmAdvanced::TakeOptions(HWND over, AdvancedOptions& options) {
    if (!IsLoaded())
        if (Status shown = ShowOrActivate(over); !shown) return shown;
    options = TakeFields();
    return Status::Ok();
}

void FrmAdvanced::OnLoad() {
    RestoreSettings(settings_);
    // Visible before the path is tested: the check's message and focus move need the window.
    ::ShowWindow(Window(), SW_SHOW);
    ::UpdateWindow(Window());
    loading_ = true;
    chkAutoRun_Click();
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
    ShowMessage(kInvalidPathMessage);
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
    StoreSettings(settings_);
}

}  // namespace quorvel
