// Stands in for the encoder: writes the command line it was started with to the file named by
// QUORVEL_FAKE_ENCODER_LOG, complete or not at all. Like the encoder it reads the list through
// its ANSI command line, and copies what it read there to the log's name with ".list".
#include <windows.h>

#include <string>

namespace {

void CopyListAsTheEncoderReadsIt(const std::wstring& copy) {
    const std::string line = GetCommandLineA();
    const std::string option = " /batch \"";
    const std::size_t start = line.find(option);
    if (start == std::string::npos) return;
    const std::size_t from = start + option.size();
    const std::string list = line.substr(from, line.find('"', from) - from);
    HANDLE file = CreateFileA(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    HANDLE out = CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(out, bytes.data(), got, &written, nullptr);
    CloseHandle(out);
}

}  // namespace

int main() {
    wchar_t log[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"QUORVEL_FAKE_ENCODER_LOG", log, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    CopyListAsTheEncoderReadsIt(std::wstring(log) + L".list");
    const std::wstring temporary = std::wstring(log) + L".tmp";
    HANDLE file =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const std::wstring line = GetCommandLineW();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(temporary.c_str(), log, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
