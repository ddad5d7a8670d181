#pragma once

// Starting other programs and handing addresses to the shell.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "batch/Status.h"

namespace quorvel::win {

struct LaunchRequest {
    enum class Kind { Program, ShellOpen };
    Kind What = Kind::Program;
    std::wstring Application;  // Program: the file to run, or empty to take it from the command line
    std::wstring CommandLine;  // Program: the whole command line; ShellOpen: the address
    std::wstring Directory;    // ShellOpen: the working directory
    WORD Show = SW_SHOWNORMAL;
    HWND Owner = nullptr;
};

// Starts programs and hands addresses to the shell. Tests give it a recorder, so nothing is
// really started; the recorder's result stands for the launch's success.
class Launcher {
public:
    using Recorder = std::function<bool(const LaunchRequest& request)>;

    // Starts a new process and does not wait for it; fails with the reason it could not start.
    Status StartProgram(const LaunchRequest& request) const;
    // ShellExecute "open"; fails with the reason the shell refused.
    Status OpenWithShell(const LaunchRequest& request) const;

    // An empty recorder brings the real launches back.
    void SetRecorder(Recorder recorder) { recorder_ = std::move(recorder); }

private:
    Recorder recorder_;
};

// The folder of the running program: no trailing backslash except at a root ("C:\").
std::wstring ProgramDirectory();
// The same folder with exactly one trailing backslash, ready for a file name.
std::wstring ProgramFolder();

}  // namespace quorvel::win
