#include <string>
#include <vector>

#include "app/FrmQuorvel.h"
#include "app/Program.h"
#include "batch/EncoderPaths.h"
#include "dialogs/FrmAdvanced.h"
#include "win/MessageBox.h"
#include "win/Text.h"
#include "win/UniqueHandle.h"

namespace quorvel {
namespace {

std::wstring SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr,
                         code,
                         0,
                         reinterpret_cast<wchar_t*>(&buffer),
                         0,
                         nullptr);
    std::wstring text;
    if (length && buffer) text.assign(buffer, length);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty()) text = L"error " + std::to_wstring(code);
    return text;
}

// Runs the creation; true when the list was written and reported, with the list's path as the
// encoder is to be given it.
bool CreateBatch(FrmQuorvel& window, std::wstring* batchFile = nullptr) {
    const BatchJob job = window.TakeBatchJob();
    const AdvancedOptions options = AdvancedDialog().TakeOptions();
    std::string encoderBatchFile;
    const Status written = WriteListForEncoder(job, options, batchFile ? &encoderBatchFile : nullptr);
    if (!written) {
        win::ShowMessage(window.Window(), L"Could not create the batch list: " + win::Widen(written.Message()));
        return false;
    }
    if (batchFile) *batchFile = win::Widen(encoderBatchFile);
    win::ShowMessage(window.Window(), L"Created Batch List to file " + win::Widen(job.BatchFile));
    return true;
}

// Starts the encoder on the list, minimised, without waiting for it.
void LaunchEncoder(HWND owner, const std::wstring& encoder, const std::wstring& batchFile) {
    // Inside quotes a quote cannot be escaped for the program's own parser: refuse instead of
    // handing over a command line that means something else.
    for (const std::wstring* path : {&encoder, &batchFile}) {
        if (path->find(L'"') == std::wstring::npos) continue;
        win::ShowMessage(owner, L"Cannot start TMPGEnc: the path " + *path + L" contains a double quote");
        return;
    }
    const std::wstring line = L"\"" + encoder + L"\" /batch \"" + batchFile + L"\"";
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        const DWORD error = ::GetLastError();
        win::ShowMessage(owner, L"Cannot start TMPGEnc \"" + encoder + L"\": " + SystemErrorText(error));
        return;
    }
    win::UniqueKernelHandle processHandle(process.hProcess);
    win::UniqueKernelHandle threadHandle(process.hThread);
}

}  // namespace

void FrmQuorvel::cmdAdvanced_Click() { AdvancedDialog().Show(Window()); }

void FrmQuorvel::cmdCreate_Click() { CreateBatch(*this); }

void FrmQuorvel::Image2_Click() {
    const std::wstring batchFile = Text(L"txtFileOutput");
    if (batchFile.find(L' ') != std::wstring::npos && AdvancedDialog().TakeOptions().AutoLaunch == 1) {
        win::ShowMessage(Window(), L"The batch file (and path) cannot have any spaces in it to run automatically");
        ::SetFocus(Control(L"txtFileOutput"));
        return;
    }
    if (SelectedCount() == 0) {
        win::ShowMessage(Window(), L"No Files select to add to batch");
        ::SetFocus(Control(L"filList"));
        return;
    }
    std::wstring written;
    if (!CreateBatch(*this, &written)) return;
    // The options are read again: the dialog may have changed while the message was up.
    const AdvancedOptions options = AdvancedDialog().TakeOptions();
    if (options.AutoLaunch != 1) return;
    LaunchEncoder(Window(), win::Widen(options.TMPGEncPath), written);
}

}  // namespace quorvel
