#pragma once

// The output directory dialog: drive and directory lists; Open hands the directory to whoever
// opened it (the main window's output directory box). It has no owner, so the main window can
// come in front of it.

#include <windows.h>

#include <functional>
#include <string>

#include "resources/OutputDirLayout.h"
#include "win/DirectoryLists.h"
#include "win/TableWindow.h"

namespace quorvel {

class FrmSelectOutputDir : public win::TableWindow<FrmSelectOutputDir, layout::outputdir::kWindow> {
public:
    // Receives the chosen directory, with its trailing backslash.
    using ChosenHandler = std::function<void(const std::wstring& directory)>;
    FrmSelectOutputDir(const win::WindowServices& services, const win::DirectoryProbe& probe, ChosenHandler chosen)
        : TableWindow(services), probe_(probe), chosen_(std::move(chosen)) {}

    // The directory that is open in dirList (no trailing backslash except at a root).
    const std::wstring& OpenDirectory() const { return dirs_.Path(); }

    void cmdSelect_Click();
    void cmdCancel_Click();
    void DrvList_Change();
    void dirList_DblClick();

private:
    std::span<const Row> Rows() const override;
    void OnOtherCommand(int id, int code) override;
    void OnClose() override { cmdCancel_Click(); }
    // Every showing starts at the process's current drive and directory.
    void OnLoad() override;

    const win::DirectoryProbe& probe_;
    ChosenHandler chosen_;
    win::DriveListControl drives_;
    win::DirectoryListControl dirs_;
};

}  // namespace quorvel
