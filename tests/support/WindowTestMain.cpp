// The one main of the window tests: windows left to Wine, COM and the common controls as in
// WinMain, a throwaway HKEY_CURRENT_USER for the run and every message recorded.
// With --screenshots DIR the program instead saves the two dialogs as BMP pictures in DIR.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "DialogTest.h"
#include "DialogSupport.h"
#include "app/FrmQuorvel.h"
#include "TestProgram.h"
#include "dialogs/FrmAdvanced.h"
#include "dialogs/FrmSelectOutputDir.h"

namespace quorvel::testing {
namespace {

// The client area: without a window manager nobody draws the frame.
bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT rect{};
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    ::GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

int SaveScreenshots(const std::wstring& directory) {
    FrmQuorvel& main = MainWindowForTests();
    (void)AdvancedDialog().ShowOrActivate(main.Window());
    PumpUntil([] { return false; }, 1500);
    const bool advanced = SaveWindowPicture(AdvancedDialog().Window(), directory + L"\\advanced-options.bmp");
    (void)OutputDirectoryDialog().ShowOrActivate();
    PumpUntil([] { return false; }, 1500);
    const bool outputDir = SaveWindowPicture(OutputDirectoryDialog().Window(), directory + L"\\output-directory.bmp");
    return advanced && outputDir ? 0 : 1;
}

}  // namespace
}  // namespace quorvel::testing

int main(int argc, char** argv) {
    using namespace quorvel::testing;
    int restartedCode = 0;
    if (RestartWithUnmanagedWindows(restartedCode)) return restartedCode;
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The pictures are decoded with WIC, which needs COM on the window thread, as in WinMain.
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!Registry().Active()) {
        std::fprintf(stderr, "cannot redirect HKEY_CURRENT_USER\n");
        return 2;
    }
    InstallMessageRecorder();
    (void)TheProgram();  // the run's own, for the tests that hold none
    if (argc == 3 && std::string(argv[1]) == "--screenshots") {
        const std::string dir = argv[2];
        return SaveScreenshots(std::wstring(dir.begin(), dir.end()));
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ::DeleteFileW(EncoderRecordPath().c_str());
    ::OleUninitialize();
    return result;
}
