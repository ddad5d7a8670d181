// Shows the main window and the About window as a first run would, from a throwaway settings
// store, writes both window rectangles to a file, and stays up until another file appears or a
// minute has passed. scripts/screenshot photographs the screen meanwhile.
// Usage: quorvel_window_host STOP-FILE RECTANGLES-FILE

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "WindowTestSupport.h"
#include "app/FrmQuorvel.h"
#include "TestProgram.h"
#include "dialogs/FrmAbout.h"

namespace {

std::string RectLine(const char* name, HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    char line[128];
    std::snprintf(line, sizeof line, "%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
    return line;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Unmanaged windows get their frames drawn by Wine, so the photograph shows the title bars.
    int restartedCode = 0;
    if (quorvel::testing::RestartWithUnmanagedWindows(restartedCode)) return restartedCode;
    if (__argc < 3) return 2;
    const std::string stopFile = __argv[1];
    const std::string rectFile = __argv[2];
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    quorvel::testing::ScratchRegistry registry;
    quorvel::testing::ProgramScope program;
    quorvel::testing::MessageRecorder messages;
    if (!quorvel::testing::MainWindow().ShowOrActivate()) return 1;
    HWND main = quorvel::testing::MainWindow().Window();
    HWND about = quorvel::testing::AboutDialog().Window();
    // Side by side, so one photograph shows both whole.
    RECT mainRect, aboutRect;
    ::GetWindowRect(main, &mainRect);
    ::GetWindowRect(about, &aboutRect);
    ::SetWindowPos(main, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(
        about, nullptr, 40 + (mainRect.right - mainRect.left), 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    quorvel::testing::PumpUntil([] { return false; }, 1500);
    const std::string rects = RectLine("main", main) + RectLine("about", about);
    const std::string partial = rectFile + ".part";
    if (FILE* out = std::fopen(partial.c_str(), "wb")) {
        std::fwrite(rects.data(), 1, rects.size(), out);
        std::fclose(out);
        ::MoveFileExA(partial.c_str(), rectFile.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    quorvel::testing::PumpUntil([&] { return ::GetFileAttributesA(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES; },
                                60000);
    ::ExitProcess(0);
}
