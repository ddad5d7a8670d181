#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A drive without a medium must give an error value, not a system box asking for a disk.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The pictures are decoded with WIC, which needs COM on this, the one window thread. Not OLE:
    // files are dropped through WS_EX_ACCEPTFILES, and the file dialog sets OLE up for itself.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    MSG message{};
    {
        // Windows still loaded when the loop ends (a hidden dialog) are destroyed with the program,
        // without their handlers, before COM goes.
        quorvel::Program program;
        if (const quorvel::Status shown = program.MainWindow().ShowOrActivate(); !shown) {
            program.Messages().Show(nullptr, shown, L"The main window could not be created. ");
            return 1;
        }
        program.MainWindow().OpenCommandLine(::GetCommandLineW());
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (program.Keyboard().Route(message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return static_cast<int>(message.wParam);
}
