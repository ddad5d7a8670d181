// Shows the main window and the About window as a first run would, from a throwaway settings
// store, prints both window rectangles on stdout, and stays up until the named file appears
// or a minute has passed. scripts/screenshot photographs the screen meanwhile.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <string>

#include "UiTestSupport.h"
#include "app/FrmQuorvel.h"
#include "app/Program.h"
#include "dialogs/FrmAbout.h"

namespace {

void PrintRect(const char* name, HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::string stopFile = commandLine ? commandLine : "";

    quorvel::testing::ScratchRegistry registry;
    quorvel::testing::MessageRecorder messages;
    if (!quorvel::MainWindow().Create()) return 1;
    HWND main = quorvel::MainWindow().Window();
    HWND about = quorvel::AboutDialog().Window();
    // Side by side, so one photograph shows both whole.
    RECT mainRect, aboutRect;
    ::GetWindowRect(main, &mainRect);
    ::GetWindowRect(about, &aboutRect);
    ::SetWindowPos(main, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(about, nullptr, 40 + (mainRect.right - mainRect.left), 20, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    quorvel::testing::PumpUntil([] { return false; }, 1500);
    PrintRect("main", main);
    PrintRect("about", about);
    std::fflush(stdout);
    quorvel::testing::PumpUntil(
        [&] { return !stopFile.empty() && ::GetFileAttributesA(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES; },
        60000);
    ::ExitProcess(0);
}
