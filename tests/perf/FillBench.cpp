// How long the main window takes to fill its file list from one large directory, against a
// plain FindFirstFileW/FindNextFileW loop over the same directory in the same run.
// Usage: quorvel_fill_bench DIRECTORY [ROUNDS]

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "app/FrmQuorvel.h"
#include "TestProgram.h"
#include "dialogs/FrmAbout.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename F>
double Median(int rounds, F run) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        run();
        ::QueryPerformanceCounter(&end);
        times.push_back(Seconds(start, end));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

size_t PlainLoop(const std::wstring& directory) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((directory + L"\\*").c_str(), &data);
    size_t count = 0;
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvel_fill_bench DIRECTORY [ROUNDS]\n");
        return 2;
    }
    const std::wstring directory = argv[1];
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    quorvel::testing::ScratchRegistry registry;
    quorvel::testing::MessageRecorder messages;
    registry.SetSetting(L"DirInput", directory);
    quorvel::testing::CurrentDirectoryScope working(quorvel::testing::ExecutableDirectory());
    if (!quorvel::testing::MainWindow().Create()) return 1;
    quorvel::testing::Pump();
    quorvel::FrmQuorvel& window = quorvel::testing::MainWindow();
    if (window.FileListDirectory() != directory) {
        std::fprintf(stderr, "the main window did not open the directory\n");
        return 1;
    }

    size_t found = 0;
    const double plain = Median(rounds, [&] { found = PlainLoop(directory); });
    const double fill = Median(rounds, [&] {
        window.cmbFilePattern_Click();
        quorvel::testing::Pump();
    });
    const LRESULT shown = ::SendMessageW(window.Control(L"filList"), LB_GETCOUNT, 0, 0);
    std::printf("files in directory: %zu, listed: %ld\n", found, static_cast<long>(shown));
    std::printf("plain FindFirstFileW/FindNextFileW loop: %.1f ms (median of %d)\n", plain * 1000, rounds);
    std::printf("filList re-read and fill:                %.1f ms (median of %d)\n", fill * 1000, rounds);
    std::printf("ratio: %.2f\n", fill / plain);
    std::fflush(stdout);
    ::ExitProcess(0);
}
