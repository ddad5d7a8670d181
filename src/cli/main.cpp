#include <cstdio>
#include <string>
#include <vector>

#include "cli/QuorvelBatch.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "batch/TextWindows.h"

int main() {
    // The list is bytes with its own CR LF; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
    // --files-from - reads paths as bytes: a NUL or CR is part of the list's form.
    _setmode(_fileno(stdin), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) args.push_back(quorvel::Narrow(wide[i]));
    if (wide != nullptr) LocalFree(wide);
    return quorvel::cli::FinishStandardOutput(
        stdout, stderr, quorvel::cli::RunQuorvelBatch(args, stdout, stderr), true);
}
#else
int main(int argc, char** argv) {
    const int status = quorvel::cli::RunQuorvelBatch(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
    return quorvel::cli::FinishStandardOutput(stdout, stderr, status, true);
}
#endif
