#include "DialogSupport.h"

#include <fstream>
#include <iterator>

#include "win/MessageSink.h"

namespace quorvel::testing {

std::vector<ShownMessage>& Messages() {
    static std::vector<ShownMessage> messages;
    return messages;
}

const std::wstring& EncoderRecordPath() {
    static const std::wstring path = [] {
        wchar_t temp[MAX_PATH]{};
        ::GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"quorvel-encoder-record-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
    }();
    return path;
}

void InstallMessageRecorder() {
    ::SetEnvironmentVariableW(L"QUORVEL_FAKE_ENCODER_RECORD", EncoderRecordPath().c_str());
    RecordEveryProgramsMessages([](HWND owner, std::wstring_view text) {
        Messages().push_back({owner,
                              std::wstring(text),
                              owner && ::IsWindowVisible(owner) != 0,
                              FileExists(EncoderRecordPath()),
                              ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT)});
    });
}

ScratchRegistry& Registry() {
    static ScratchRegistry registry;
    return registry;
}

void ForgetSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorvel"); }

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetTextOf(HWND window, const std::wstring& text) { ::SetWindowTextW(window, text.c_str()); }

void Click(HWND button) {
    ::SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

bool IsChecked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

RECT ClientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace quorvel::testing
