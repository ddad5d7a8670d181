// How long the main window takes to fill its file list from one large directory, against a
// plain FindFirstFileW/FindNextFileW loop over the same directory in the same run; then how long
// CREATE BATCH takes for every listed file selected, with a four-line template against the
// built-in settings, alternating.
// Usage: quorvel_fill_bench DIRECTORY [ROUNDS]

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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
double Time(F run) {
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    run();
    ::QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double MedianOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool WriteText(const std::wstring& path, const char* text) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(text));
    const BOOL ok = ::WriteFile(file, text, size, &written, nullptr) && written == size;
    ::CloseHandle(file);
    return ok;
}

size_t PlainLoop(const std::wstring& directory) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileExW((directory + L"\\*").c_str(),
                                     FindExInfoBasic,
                                     &data,
                                     FindExSearchNameMatch,
                                     nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
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
    quorvel::testing::ProgramScope program;
    quorvel::testing::MessageRecorder messages;
    registry.SetSetting(L"DirInput", directory);
    quorvel::testing::CurrentDirectoryScope working(quorvel::testing::ExecutableDirectory());
    if (!quorvel::testing::MainWindow().ShowOrActivate()) return 1;
    quorvel::testing::Pump();
    quorvel::FrmQuorvel& window = quorvel::testing::MainWindow();
    if (window.FileListDirectory() != directory) {
        std::fprintf(stderr, "the main window did not open the directory\n");
        return 1;
    }

    size_t found = 0;
    // Alternating, so a change in the machine's load falls on both alike.
    std::vector<double> plainTimes, fillTimes;
    for (int i = 0; i < rounds; ++i) {
        plainTimes.push_back(Time([&] { found = PlainLoop(directory); }));
        fillTimes.push_back(Time([&] {
            window.cmbFilePattern_Click();
            quorvel::testing::Pump();
        }));
    }
    const double plain = MedianOf(plainTimes), fill = MedianOf(fillTimes);
    const LRESULT shown = ::SendMessageW(window.Control(L"filList"), LB_GETCOUNT, 0, 0);
    std::printf("files in directory: %zu, listed: %ld\n", found, static_cast<long>(shown));
    std::printf("bare FindFirstFileExW loop: %.1f ms (median of %d)\n", plain * 1000, rounds);
    std::printf("filList re-read and fill:   %.1f ms (median of %d)\n", fill * 1000, rounds);
    std::printf("ratio: %.2f\n", fill / plain);

    wchar_t temp[MAX_PATH + 1];
    std::wstring work(temp, ::GetTempPathW(MAX_PATH + 1, temp));
    const std::wstring list = work + L"quorvel-fill-bench.tbe";
    const std::wstring templateFile = work + L"quorvel-fill-bench.mcf";
    if (!WriteText(templateFile,
                   "object TMPGEncTemplate\r\n  MPEG.Video.Width = 480\r\n  MPEG.Audio.BitRate = 224000\r\nend\r\n")) {
        std::fprintf(stderr, "cannot write the template\n");
        return 1;
    }
    window.SetText(L"txtFileOutput", list);
    window.SetText(L"txtOutputDirectory", L"C:\\Encoded\\");
    window.cmdSelectAll_Click();
    const auto create = [&](const std::wstring& withTemplate) {
        window.SetText(L"txtTemplateFile", withTemplate);
        messages.Clear();
        window.Image2_Click();
        quorvel::testing::Pump();
    };
    create(L"");  // loads the options dialog, warms the file cache
    std::vector<double> builtIn, templated;
    for (int i = 0; i < rounds; ++i) {
        builtIn.push_back(Time([&] { create(L""); }));
        templated.push_back(Time([&] { create(templateFile); }));
        if (messages.Texts().size() != 1 || messages.Texts()[0].rfind(L"Created Batch List", 0) != 0) {
            std::fprintf(stderr, "CREATE BATCH failed\n");
            return 1;
        }
    }
    const double b = MedianOf(builtIn), t = MedianOf(templated);
    std::printf("CREATE BATCH, %d files selected:\n", window.SelectedCount());
    std::printf("  built-in settings:  %.1f ms (median of %d)\n", b * 1000, rounds);
    std::printf("  four-line template: %.1f ms (median of %d)\n", t * 1000, rounds);
    std::printf("  ratio template/built-in: %.2f\n", t / b);
    ::DeleteFileW(list.c_str());
    ::DeleteFileW(templateFile.c_str());
    std::fflush(stdout);
    ::ExitProcess(0);
}
