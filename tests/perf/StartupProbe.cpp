// The program's own start-up, as WinMain runs it, ending at the first idle moment after the
// main window is on screen: timed against quorvel_empty_window by tests/perf/time-startup. It
// keeps its settings in the prefix's own key, as the program does: a throwaway key would cost
// each run its making, and ExitProcess leaves it behind for a later run to delete.
// With --phases it prints what each step of the start-up costs, each first paid on its own: the
// time before WinMain, COM, the common controls, the picture decoder's first and later pictures,
// the drive list, then the window with its controls, fonts and Form_Load, and the first paint.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>

#include "TestProgram.h"
#include "app/FrmQuorvel.h"
#include "resources/AboutLayout.h"
#include "resources/MainWindowLayout.h"
#include "resources/ResourceIds.h"
#include "win/DirectoryLists.h"
#include "win/Jpeg.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class Phases {
public:
    explicit Phases(bool print) : print_(print) { ::QueryPerformanceCounter(&last_); }
    void Mark(const char* phase) {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        if (print_) std::fprintf(stderr, "%-34s %8.1f ms\n", phase, Milliseconds(last_, now));
        last_ = now;
    }

private:
    bool print_;
    LARGE_INTEGER last_;
};

double SinceProcessCreation() {
    FILETIME created, exited, kernel, user, now;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const bool phased = std::strstr(commandLine, "--phases") != nullptr;
    if (phased) std::fprintf(stderr, "%-34s %8.1f ms\n", "process creation to WinMain", SinceProcessCreation());
    Phases phases(phased);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    phases.Mark("CoInitializeEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    phases.Mark("InitCommonControlsEx");
    if (phased) {
        quorvel::win::DecodeJpegResource(IDJ_PORTRAIT);
        phases.Mark("first picture (WIC loaded)");
        for (int id : {IDJ_WEB, IDJ_CREATE_BATCH, IDJ_QUIT, IDJ_ABOUT}) quorvel::win::DecodeJpegResource(id);
        phases.Mark("four more pictures");
        HWND combo = ::CreateWindowExW(
            0, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST, 0, 0, 100, 200, nullptr, nullptr, nullptr, nullptr);
        quorvel::win::DriveListControl drives;
        drives.Attach(combo);
        drives.Fill();
        ::DestroyWindow(combo);
        phases.Mark("drive list");
        for (const auto* table : {&quorvel::layout::mainwindow::kWindow, &quorvel::layout::about::kWindow}) {
            HWND parent =
                ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 500, nullptr, nullptr, nullptr, nullptr);
            quorvel::win::BuiltLayout built;
            if (!built.Build(parent, *table)) return 1;
            ::DestroyWindow(parent);
            phases.Mark(table == &quorvel::layout::about::kWindow ? "About's controls, hidden"
                                                                  : "main window's controls, hidden");
        }
    }
    if (!quorvel::testing::MainWindow().ShowOrActivate()) return 1;
    phases.Mark(phased ? "main window, About, Form_Load" : "start-up");
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    phases.Mark("first paint (queue drained)");
    if (phased) std::fprintf(stderr, "%-34s %8.1f ms\n", "total since process creation", SinceProcessCreation());
    ::ExitProcess(::IsWindowVisible(quorvel::testing::MainWindow().Window()) ? 0 : 2);
}
