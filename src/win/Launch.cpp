#include "win/Launch.h"

#include <shellapi.h>

#include <utility>
#include <vector>

#include "batch/TextWindows.h"
#include "win/DirectoryLists.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {
Status Launcher::StartProgram(const LaunchRequest& request) const {
    if (recorder_) {
        LaunchRequest copy = request;
        copy.What = LaunchRequest::Kind::Program;
        return recorder_(copy) ? Status::Ok() : Status::Fail("the program could not be started");
    }
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> commandLine(request.CommandLine.begin(), request.CommandLine.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = request.Show;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(request.Application.empty() ? nullptr : request.Application.c_str(),
                          commandLine.data(),
                          nullptr,
                          nullptr,
                          FALSE,
                          0,
                          nullptr,
                          nullptr,
                          &startup,
                          &process)) {
        return Status::Fail(Narrow(SystemErrorText(::GetLastError())));
    }
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle started(process.hProcess);
    return Status::Ok();
}

Status Launcher::OpenWithShell(const LaunchRequest& request) const {
    if (recorder_) {
        LaunchRequest copy = request;
        copy.What = LaunchRequest::Kind::ShellOpen;
        return recorder_(copy) ? Status::Ok() : Status::Fail("the shell could not open it");
    }
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(request.Owner,
                                                  L"open",
                                                  request.CommandLine.c_str(),
                                                  L"",
                                                  request.Directory.empty() ? nullptr : request.Directory.c_str(),
                                                  request.Show));
    if (result > 32) return Status::Ok();
    if (result == SE_ERR_NOASSOC) return Status::Fail("no program is set up to open it");
    return Status::Fail(Narrow(SystemErrorText(static_cast<DWORD>(result))));
}

std::wstring ProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return path;
    path.resize(slash);
    if (path.size() == 2 && path[1] == L':') path += L'\\';
    return path;
}

std::wstring ProgramFolder() { return WithTrailingBackslash(ProgramDirectory()); }

}  // namespace quorvel::win
