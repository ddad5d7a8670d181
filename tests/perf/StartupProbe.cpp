// The program's own start-up, as WinMain runs it, ending at the first idle moment after the
// main window is on screen: timed against quorvel_empty_window by tests/perf/time-startup.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "WindowTestSupport.h"
#include "app/FrmQuorvel.h"
#include "TestProgram.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    quorvel::testing::ScratchRegistry registry;
    if (!quorvel::testing::MainWindow().ShowOrActivate()) return 1;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::ExitProcess(::IsWindowVisible(quorvel::testing::MainWindow().Window()) ? 0 : 2);
}
