// The yardstick for start-up time: one empty top-level window with the program's manifest, shown,
// and the same exit as the program's timing run (the first idle moment after the window is on
// screen).

#include <windows.h>

#include <cstdio>

namespace {
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"EmptyWindow";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0,
                                    L"EmptyWindow",
                                    L"Empty",
                                    WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT,
                                    CW_USEDEFAULT,
                                    440,
                                    570,
                                    nullptr,
                                    nullptr,
                                    instance,
                                    nullptr);
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    return 0;
}
