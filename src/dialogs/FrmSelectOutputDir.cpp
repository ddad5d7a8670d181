#include "dialogs/FrmSelectOutputDir.h"

#include <string>

#include "win/MessageSink.h"
#include "batch/TextWindows.h"

namespace quorvel {
namespace {

constexpr FrmSelectOutputDir::Row kRows[] = {
    {.Control = L"cmdSelect", .Notification = BN_CLICKED, .Run = &FrmSelectOutputDir::cmdSelect_Click},
    {.Control = L"cmdCancel", .Notification = BN_CLICKED, .Run = &FrmSelectOutputDir::cmdCancel_Click},
    {.Control = L"DrvList", .Notification = CBN_SELCHANGE, .Run = &FrmSelectOutputDir::DrvList_Change},
    {.Control = L"dirList", .Notification = LBN_DBLCLK, .Run = &FrmSelectOutputDir::dirList_DblClick},
};

}  // namespace

std::span<const FrmSelectOutputDir::Row> FrmSelectOutputDir::Rows() const { return kRows; }

void FrmSelectOutputDir::OnLoad() {
    drives_.Attach(Control(L"DrvList"));
    dirs_.Attach(Control(L"dirList"), probe_);
    drives_.Fill();

    // Every showing starts where the process stands now.
    const std::wstring current = win::CurrentDirectory();
    (void)drives_.SelectDriveOf(current);
    if (!dirs_.SetPath(current)) (void)dirs_.SetDrive(drives_.Drive());

    ::ShowWindow(Window(), SW_SHOW);
    ::UpdateWindow(Window());
}

void FrmSelectOutputDir::cmdSelect_Click() {
    if (dirs_.Path().empty()) return;
    if (chosen_) chosen_(win::WithTrailingBackslash(dirs_.Path()));
    ::DestroyWindow(Window());
}

void FrmSelectOutputDir::cmdCancel_Click() { ::DestroyWindow(Window()); }

void FrmSelectOutputDir::DrvList_Change() {
    if (!drives_.OnSelectionChange()) return;
    const wchar_t letter = drives_.Drive();
    if (const Status opened = win::FollowDrive(drives_, dirs_); !opened)
        ShowMessage(opened, std::wstring(L"Cannot read drive ") + letter + L": ");
}

void FrmSelectOutputDir::dirList_DblClick() {
    if (const Status opened = dirs_.OpenHighlighted(); !opened) ShowMessage(opened);
}

void FrmSelectOutputDir::OnOtherCommand(int id, int) {
    // Enter in the directory list opens the highlighted entry, as a double click does; Esc is
    // Cancel.
    if (id == IDOK && ::GetFocus() == Control(L"dirList")) dirList_DblClick();
    if (id == IDCANCEL) cmdCancel_Click();
}

}  // namespace quorvel
