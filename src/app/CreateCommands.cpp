#include <string>
#include <vector>

#include "app/FrmQuorvel.h"
#include "batch/BatchList.h"
#include "dialogs/FrmAdvanced.h"
#include "win/MessageSink.h"
#include "batch/TextWindows.h"
#include "win/WaitCursor.h"

namespace quorvel {

// Runs the creation; true when the list was written and reported, with the list's path as the
// encoder is to be given it.
bool FrmQuorvel::CreateBatch(std::wstring* batchFile) {
    const std::optional<AdvancedOptions> options = TakeAdvancedOptions();
    if (!options) return false;
    BatchJob job;
    std::string encoderBatchFile;
    Status written = Status::Ok();
    {
        // A large selection takes a moment and the window cannot paint meanwhile: it is painted
        // up to date first, and the cursor says the program is busy.
        ::RedrawWindow(Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const win::WaitCursor busy;
        job = TakeBatchJob();
        written = WriteListForEncoder(job, *options, batchFile ? &encoderBatchFile : nullptr);
    }
    if (!written) {
        ShowMessage(written, L"Could not create the batch list: ");
        return false;
    }
    if (batchFile) *batchFile = Widen(encoderBatchFile);
    ShowMessage(L"Created Batch List to file " + Widen(job.BatchFile));
    return true;
}

std::optional<AdvancedOptions> FrmQuorvel::TakeAdvancedOptions() {
    AdvancedOptions options;
    if (const Status taken = services_.Advanced.TakeOptions(Window(), options); !taken) {
        ShowMessage(taken, L"Could not create the batch list: ");
        return std::nullopt;
    }
    return options;
}

// Starts the encoder on the list, minimised, without waiting for it.
void FrmQuorvel::LaunchEncoder(const std::wstring& encoder, const std::wstring& batchFile) {
    // Inside quotes a quote cannot be escaped for the program's own parser: refuse instead of
    // handing over a command line that means something else.
    for (const std::wstring* path : {&encoder, &batchFile}) {
        if (path->find(L'"') == std::wstring::npos) continue;
        ShowMessage(L"Cannot start TMPGEnc: the path " + *path + L" contains a double quote");
        return;
    }
    win::LaunchRequest request;
    request.CommandLine = L"\"" + encoder + L"\" /batch \"" + batchFile + L"\"";
    request.Show = SW_SHOWMINIMIZED;
    if (const Status started = services_.Launch.StartProgram(request); !started)
        ShowMessage(started, L"Cannot start TMPGEnc \"" + encoder + L"\": ");
}

void FrmQuorvel::cmdAdvanced_Click() {
    if (const Status shown = services_.Advanced.ShowOrActivate(Window()); !shown) ShowMessage(shown);
}

void FrmQuorvel::cmdCreate_Click() { CreateBatch(); }

void FrmQuorvel::Image2_Click() {
    const std::wstring batchFile = Text(L"txtFileOutput");
    if (batchFile.find(L' ') != std::wstring::npos) {
        const std::optional<AdvancedOptions> options = TakeAdvancedOptions();
        if (!options) return;
        if (options->AutoLaunch == 1) {
            ShowMessage(L"The batch file (and path) cannot have any spaces in it to run automatically");
            ::SetFocus(Control(L"txtFileOutput"));
            return;
        }
    }
    if (SelectedCount() == 0) {
        ShowMessage(L"No Files select to add to batch");
        ::SetFocus(Control(L"filList"));
        return;
    }
    std::wstring written;
    if (!CreateBatch(&written)) return;
    // The options are read again: the dialog may have changed while the message was up.
    const std::optional<AdvancedOptions> options = TakeAdvancedOptions();
    if (!options || options->AutoLaunch != 1) return;
    LaunchEncoder(Widen(options->TMPGEncPath), written);
}

}  // namespace quorvel
