// Stands in for the encoder: records how it was started, then exits. The record goes to the file
// named by QUORVEL_FAKE_ENCODER_RECORD, written beside it and renamed, so a reader never sees
// half of it: line 1 the full command line, line 2 the start-up show state. Before that, like the
// encoder, it opens the list named in its ANSI command line and copies it to the record's name
// with ".list", so a test sees whether that path reaches the list.

#include <windows.h>

#include <string>

namespace {

void CopyListAsTheEncoderReadsIt(const std::wstring& copy) {
    const std::string line = ::GetCommandLineA();
    const std::string option = " /batch \"";
    const size_t start = line.find(option);
    if (start == std::string::npos) return;
    const size_t from = start + option.size();
    const std::string list = line.substr(from, line.find('"', from) - from);
    HANDLE in = ::CreateFileA(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return;
    std::string bytes(size_t{1} << 20, '\0');
    DWORD got = 0;
    ::ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    ::CloseHandle(in);
    HANDLE out = ::CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(out, bytes.data(), got, &written, nullptr);
    ::CloseHandle(out);
}

}  // namespace

int wmain() {
    wchar_t target[MAX_PATH * 2] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"QUORVEL_FAKE_ENCODER_RECORD", target, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) return 2;

    CopyListAsTheEncoderReadsIt(std::wstring(target) + L".list");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    const std::wstring record = std::wstring(::GetCommandLineW()) + L"\r\n" + std::to_wstring(showState) + L"\r\n";
    const int bytes = ::WideCharToMultiByte(
        CP_UTF8, 0, record.c_str(), static_cast<int>(record.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(
        CP_UTF8, 0, record.c_str(), static_cast<int>(record.size()), utf8.data(), bytes, nullptr, nullptr);

    const std::wstring partial = std::wstring(target) + L".partial";
    HANDLE file =
        ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != utf8.size()) return 4;
    return ::MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
