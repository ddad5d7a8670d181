#include "app/Launch.h"

#include <shellapi.h>

#include <utility>
#include <vector>

#include "win/UniqueHandle.h"

namespace quorvel {
namespace {

LaunchRecorder& Recorder() {
    static LaunchRecorder recorder;
    return recorder;
}

}  // namespace

bool StartProgram(const LaunchRequest& request, std::wstring* reason) {
    if (Recorder()) {
        LaunchRequest copy = request;
        copy.What = LaunchRequest::Kind::Program;
        if (Recorder()(copy)) return true;
        if (reason) *reason = L"the program could not be started";
        return false;
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
        if (reason) *reason = DescribeSystemError(::GetLastError());
        return false;
    }
    win::UniqueKernelHandle thread(process.hThread);
    win::UniqueKernelHandle started(process.hProcess);
    return true;
}

bool OpenWithShell(const LaunchRequest& request, std::wstring* reason) {
    if (Recorder()) {
        LaunchRequest copy = request;
        copy.What = LaunchRequest::Kind::ShellOpen;
        if (Recorder()(copy)) return true;
        if (reason) *reason = L"the shell could not open it";
        return false;
    }
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(request.Owner,
                                                  L"open",
                                                  request.CommandLine.c_str(),
                                                  L"",
                                                  request.Directory.empty() ? nullptr : request.Directory.c_str(),
                                                  request.Show));
    if (result > 32) return true;
    if (reason) {
        *reason = result == SE_ERR_NOASSOC ? L"no program is set up to open it"
                                           : DescribeSystemError(static_cast<DWORD>(result));
    }
    return false;
}

LaunchRecorder SetLaunchRecorder(LaunchRecorder recorder) { return std::exchange(Recorder(), std::move(recorder)); }

std::wstring DescribeSystemError(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr,
                         error,
                         0,
                         reinterpret_cast<wchar_t*>(&buffer),
                         0,
                         nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(error);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text;
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

}  // namespace quorvel
