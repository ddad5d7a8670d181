#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "app/Program.h"
#include "win/DialogNavigation.h"
#include "win/MessageBox.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A drive without a medium must give an error value, not a system box asking for a disk.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The pictures are decoded with WIC, which needs COM on this, the one window thread.
    const HRESULT ole = ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    static quorvel::Program program;
    if (!program.MainWindow().Create()) {
        quorvel::win::ShowMessage(nullptr, L"The main window could not be created.");
        return 1;
    }
    program.MainWindow().OpenCommandLine(::GetCommandLineW());
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (quorvel::win::RouteNavigationMessage(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (SUCCEEDED(ole)) ::OleUninitialize();
    // The main window is gone; windows still loaded (a hidden dialog) end with the process,
    // without their handlers running from destructors on the way out.
    ::ExitProcess(static_cast<UINT>(message.wParam));
}
