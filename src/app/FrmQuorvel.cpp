#include "app/FrmQuorvel.h"

#include <array>

#include "batch/Version.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmSelectOutputDir.h"
#include "filedialog/PickFile.h"
#include "resources/Addresses.h"
#include "win/DirectoryLists.h"
#include "win/ItemText.h"
#include "win/MessageSink.h"

namespace quorvel {
namespace {

using Id = FrmQuorvel::Id;

constexpr Id kBatchFileBox = L"txtFileOutput";
constexpr Id kOutputDirectoryBox = L"txtOutputDirectory";
constexpr Id kTemplateBox = L"txtTemplateFile";
constexpr Id kDriveList = L"DrvList";
constexpr Id kDirectoryList = L"dirList";
constexpr Id kPatternBox = L"cmbFilePattern";

std::wstring ManualPath() {
    wchar_t named[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(kManualVariable, named, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return named;
    return win::ProgramFolder() + kManualFileName;
}

// Description and pattern pairs, NUL-separated; the end of the string closes the list.
using namespace std::string_literals;
const std::wstring kBatchFilter = L"TMPEG Batch Files (*.tbe)\0*.tbe\0All Files (*.*)\0*.*"s;
const std::wstring kTemplateFilter = L"TMPEG Template (*.mcf)\0*.mcf\0All Files (*.*)\0*.*"s;

// The window stores its four keys itself, at start-up and on Quit, never through StoreSettings:
// the directory list's key holds the list's path.
constexpr FrmQuorvel::Row kRows[] = {
    {.Control = kBatchFileBox, .Text = &BatchJob::BatchFile, .Setting = L"FileOutput"},
    {.Control = kTemplateBox, .Text = &BatchJob::TemplateFile, .Setting = L"TemplateInput"},
    {.Control = kOutputDirectoryBox, .Text = &BatchJob::OutputDirectory, .Setting = L"DirOutput"},
    {.Control = kDirectoryList, .Setting = L"DirInput"},
    {.Control = L"cmdAdvanced", .Notification = BN_CLICKED, .Run = &FrmQuorvel::cmdAdvanced_Click},
    {.Control = L"cmdFindOutputDirectory",
     .Notification = BN_CLICKED,
     .Run = &FrmQuorvel::cmdFindOutputDirectory_Click},
    {.Control = L"cmdFindTemplateFile", .Notification = BN_CLICKED, .Run = &FrmQuorvel::cmdFindTemplateFile_Click},
    {.Control = L"cmdFindBatchFile", .Notification = BN_CLICKED, .Run = &FrmQuorvel::cmdFindBatchFile_Click},
    {.Control = L"cmdQuit", .Notification = BN_CLICKED, .Run = &FrmQuorvel::cmdQuit_Click},
    {.Control = L"cmdCreate", .Notification = BN_CLICKED, .Run = &FrmQuorvel::cmdCreate_Click},
    {.Control = L"cmdSelectNone", .Notification = BN_CLICKED, .Run = &FrmQuorvel::cmdSelectNone_Click},
    {.Control = L"cmdSelectAll", .Notification = BN_CLICKED, .Run = &FrmQuorvel::cmdSelectAll_Click},
    {.Control = L"Image4", .Notification = BN_CLICKED, .Run = &FrmQuorvel::Image4_Click},
    {.Control = L"Image3", .Notification = BN_CLICKED, .Run = &FrmQuorvel::Image3_Click},
    {.Control = L"Image2", .Notification = BN_CLICKED, .Run = &FrmQuorvel::Image2_Click},
    {.Control = L"Image1", .Notification = BN_CLICKED, .Run = &FrmQuorvel::Image1_Click},
    {.Control = kDriveList, .Notification = CBN_SELCHANGE, .Run = &FrmQuorvel::DrvList_SelChange},
    {.Control = kDriveList, .Notification = CBN_CLOSEUP, .Run = &FrmQuorvel::DrvList_CloseUp},
    {.Control = kDirectoryList, .Notification = LBN_DBLCLK, .Run = &FrmQuorvel::dirList_DblClick},
    {.Control = kPatternBox, .Notification = CBN_SELCHANGE, .Run = &FrmQuorvel::cmbFilePattern_SelChange},
};

constexpr auto kFileOutput = win::SettingKey::In(kRows, L"FileOutput");
constexpr auto kDirOutput = win::SettingKey::In(kRows, L"DirOutput");
constexpr auto kDirInput = win::SettingKey::In(kRows, L"DirInput");
constexpr auto kTemplateInput = win::SettingKey::In(kRows, L"TemplateInput");

bool EndsInBackslashIgnoringBlanks(const std::wstring& text) {
    const auto last = text.find_last_not_of(L' ');
    return last != std::wstring::npos && text[last] == L'\\';
}

}  // namespace

std::span<const FrmQuorvel::Row> FrmQuorvel::Rows() const { return kRows; }

void FrmQuorvel::OnLoad() {
    browser_.Attach(Window(), Control(kDriveList), Control(kDirectoryList), Control(L"filList"));
    startupMessageShown_ = false;
    AcceptDrops();
    // Everything is in place before the first paint, so each list is filled once.
    browser_.StartInWorkingDirectory(Text(kPatternBox));
    // Made now, it waits for its owner to be shown.
    ShowAbout();
    {
        const win::SettingsStore::Session session(services_.Settings);
        RestoreBatchFile();
        RestoreOutputDirectory();
        RestoreSourceDirectory();
        SetText(kTemplateBox, services_.Settings.Read(kTemplateInput));
    }
    if (!browser_.ShowsCurrentListing()) {
        // Nothing could be opened: the pattern is tried on the working directory, in sight.
        ShowMainWindow();
        cmbFilePattern_Click();
    }
    ShowMainWindow();
    // A start-up message may have taken the focus away.
    if (startupMessageShown_ && ::GetActiveWindow() == Window()) ::SetFocus(Control(kDriveList));
    // Loaded first, the About window is shown last, in front of the main window and with the
    // keyboard, so it is seen and Esc reaches it. Its OK brings the main window forward again.
    if (services_.About.IsLoaded()) ShowAbout();
}

void FrmQuorvel::ShowMainWindow() {
    if (::IsWindowVisible(Window())) return;
    // The lists show the working directory at least.
    browser_.ShowWorkingDirectory();
    // Activated as it is shown, it gives the keyboard to the first control in tab order, the drive list.
    ::ShowWindow(Window(), SW_SHOW);
    ::UpdateWindow(Window());
}

void FrmQuorvel::StartupMessage(std::wstring_view text) {
    // A message at start-up is shown over the window it is about.
    ShowMainWindow();
    startupMessageShown_ = true;
    ShowMessage(text);
}

void FrmQuorvel::ShowAbout() {
    if (const Status shown = services_.About.ShowOrActivate(Window()); !shown)
        ShowMessage(shown, L"The About window could not be opened. ");
}

void FrmQuorvel::RestoreBatchFile() {
    SetText(kBatchFileBox, services_.Settings.Read(kFileOutput));
    const std::wstring batchFile = Text(kBatchFileBox);
    if (batchFile.empty()) {
        SetText(kBatchFileBox, win::WithTrailingBackslash(FileListDirectory()));
    } else if (EndsInBackslashIgnoringBlanks(batchFile)) {
        SetText(kBatchFileBox, batchFile + L"Batch.mcf");
    }
    services_.Settings.Write(kFileOutput, Text(kBatchFileBox));
}

void FrmQuorvel::RestoreOutputDirectory() {
    std::wstring saved = services_.Settings.Read(kDirOutput);
    // Two tries at most: the stored value, then the fallback after a message.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const win::DirectoryState state =
            saved.empty() ? win::DirectoryState::Exists : services_.Directories.Look(saved);
        if (state == win::DirectoryState::Unreadable && attempt == 0) {
            StartupMessage(L"Output Directory " + saved + L" no longer exists (default c:\\)");
            saved = L"C:\\";
            continue;
        }
        if (state == win::DirectoryState::Exists) {
            SetText(kOutputDirectoryBox, saved);
            if (Text(kOutputDirectoryBox).empty())
                SetText(kOutputDirectoryBox, win::WithTrailingBackslash(FileListDirectory()));
            services_.Settings.Write(kDirOutput, Text(kOutputDirectoryBox));
        } else {
            SetText(kOutputDirectoryBox, win::ProgramDirectory());
        }
        return;
    }
}

void FrmQuorvel::RestoreSourceDirectory() {
    std::wstring saved = services_.Settings.Read(kDirInput);
    bool opened = false;
    for (int attempt = 0; attempt < 2 && !opened; ++attempt) {
        std::wstring target;
        if (saved.empty()) {
            target = FileListDirectory();
        } else {
            switch (services_.Directories.Look(saved)) {
                case win::DirectoryState::Exists: target = saved; break;
                case win::DirectoryState::Missing: target = win::ProgramDirectory(); break;
                case win::DirectoryState::Unreadable: break;
            }
        }
        opened = !target.empty() && browser_.Open(target);
        if (!opened && attempt == 0) {
            StartupMessage(L"Input Directory " + saved + L" no longer exists (default c:\\)");
            saved = L"C:\\";
        }
    }
    // Even "C:\" failed: the lists keep the working directory they started in.
    if (!opened) browser_.ShowWorkingDirectory();
    services_.Settings.Write(kDirInput, DirectoryListPath().empty() ? FileListDirectory() : DirectoryListPath());
    browser_.SelectDriveOfDirectory();
}

bool FrmQuorvel::SaveMainSettings() {
    struct Saved {
        win::SettingKey Key;
        std::wstring Value;
    };
    const std::array<Saved, 4> values{{
        {kFileOutput, Text(kBatchFileBox)},
        {kDirOutput, Text(kOutputDirectoryBox)},
        {kDirInput, DirectoryListPath()},
        {kTemplateInput, Text(kTemplateBox)},
    }};
    std::wstring failed;
    for (const Saved& value : values) {
        if (!services_.Settings.Write(value.Key, value.Value))
            failed += (failed.empty() ? L"" : L", ") + std::wstring(value.Key.Name());
    }
    if (failed.empty()) return true;
    ShowMessage(L"Could not save the settings (" + failed +
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
    std::wstring address = kWebPageAddress;
    std::wstring command = L"explorer " + address;
    if (address.empty()) {
        // No web page in this build: the manual is the document that describes the program.
        address = ManualPath();
        if (!win::OrdinaryFileExists(address)) {
            ShowMessage(L"This build of Quorvel has no web page, and its manual " + address +
                        L" is missing. Unpack or install Quorvel again to get it back.");
            return;
        }
        command = L"explorer \"" + address + L"\"";
    }
    win::LaunchRequest request;
    request.CommandLine = command;
    request.Show = SW_SHOWMINIMIZED;
    if (services_.Launch.StartProgram(request)) return;
    // No explorer here: hand the address to the shell instead.
    win::LaunchRequest shell;
    shell.What = win::LaunchRequest::Kind::ShellOpen;
    shell.Owner = Window();
    shell.CommandLine = address;
    shell.Show = SW_SHOWNORMAL;
    const Status opened = services_.Launch.OpenWithShell(shell);
    if (opened) return;
    ShowMessage(opened, L"Could not open " + address + L": ");
}

void FrmQuorvel::Image4_Click() { ShowAbout(); }

void FrmQuorvel::DrvList_SelChange() {
    // While the list is open the arrow keys only move through it; the choice counts when it
    // closes, so a drive that is not ready is tried once, not on the way past it.
    if (::SendMessageW(Control(kDriveList), CB_GETDROPPEDSTATE, 0, 0) != FALSE) return;
    DrvList_CloseUp();
}

void FrmQuorvel::DrvList_CloseUp() {
    if (browser_.DriveSelectionChanged()) DrvList_Change();
}

void FrmQuorvel::DrvList_Change() { browser_.DriveChosen(); }

void FrmQuorvel::dirList_DblClick() { browser_.OpenHighlightedDirectory(); }

void FrmQuorvel::dirList_Change() { browser_.DirectoryOpened(); }

void FrmQuorvel::cmbFilePattern_SelChange() {
    // The edit field is updated only after this notification; the chosen item is what counts.
    HWND combo = Control(kPatternBox);
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index >= 0) SetText(kPatternBox, win::ItemText(combo, index, win::ItemList::ComboBox));
    cmbFilePattern_Click();
}

void FrmQuorvel::cmbFilePattern_Click() { browser_.PatternChosen(Text(kPatternBox)); }

void FrmQuorvel::cmdSelectAll_Click() { SetFileSelection(true); }

void FrmQuorvel::cmdSelectNone_Click() { SetFileSelection(false); }

BatchJob FrmQuorvel::TakeBatchJob() const {
    BatchJob job = TakeFields();
    job.SourceDirectory = Narrow(FileListDirectory());
    job.SourceNames = browser_.SelectedNames();
    return job;
}

void FrmQuorvel::PickFile(Id box, const std::wstring& filter, const wchar_t* title, const wchar_t* defaultName) {
    if (const auto path = quorvel::PickFile(services_.FileDialogs, Window(), {filter, title, Text(box), defaultName}))
        SetText(box, *path);
}

void FrmQuorvel::cmdFindBatchFile_Click() {
    PickFile(kBatchFileBox, kBatchFilter, L"Select DIZIV Izeru Ruzi Filename", L"TMPEG_Batch.tbe");
}

void FrmQuorvel::cmdFindTemplateFile_Click() {
    PickFile(kTemplateBox, kTemplateFilter, L"Select TMPEG Template File", L"");
}

void FrmQuorvel::cmdFindOutputDirectory_Click() {
    if (const Status shown = services_.OutputDirectory.ShowOrActivate(); !shown) ShowMessage(shown);
}

void FrmQuorvel::OnOtherCommand(int id, int) {
    // Enter on a control that is not a push button: the directory list opens its entry, the
    // pattern box (whose edit field has the focus) applies the typed pattern; elsewhere nothing
    // happens (in particular the hidden default button is not pressed).
    if (id != IDOK) return;
    HWND focus = ::GetFocus();
    if (focus == Control(kDirectoryList)) {
        dirList_DblClick();
    } else if (focus && (focus == Control(kPatternBox) || ::GetParent(focus) == Control(kPatternBox))) {
        cmbFilePattern_Click();
    }
}

bool FrmQuorvel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_VKEYTOITEM) {
        // Ctrl+A in the file list is Select All; every other key does what the list does.
        const bool selectAll = LOWORD(wParam) == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
                               reinterpret_cast<HWND>(lParam) == Control(L"filList");
        if (selectAll) cmdSelectAll_Click();
        result = selectAll ? -2 : -1;
        return true;
    }
    if (message == WM_DROPFILES) {
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    }
    return false;
}

void FrmQuorvel::OnWindowGone() { browser_.Attach(nullptr, nullptr, nullptr, nullptr); }

}  // namespace quorvel
