#pragma once

// Starting other programs and handing addresses to the shell. Tests put a recorder in place
// so nothing is really started.

#include <windows.h>

#include <functional>
#include <string>

namespace quorvel {

struct LaunchRequest {
    enum class Kind { Program, ShellOpen };
    Kind What = Kind::Program;
    std::wstring Application;  // Program: the file to run, or empty to take it from the command line
    std::wstring CommandLine;  // Program: the whole command line; ShellOpen: the address
    std::wstring Directory;    // ShellOpen: the working directory
    WORD Show = SW_SHOWNORMAL;
    HWND Owner = nullptr;
};

// Starts a new process and does not wait for it. False with a reason when it could not start.
bool StartProgram(const LaunchRequest& request, std::wstring* reason);
// ShellExecute "open". False with a reason when the shell refused.
bool OpenWithShell(const LaunchRequest& request, std::wstring* reason);

// Replaces both operations; an empty function brings the real ones back. The recorder's result
// stands for the launch's success. Returns the previous recorder.
using LaunchRecorder = std::function<bool(const LaunchRequest& request)>;
LaunchRecorder SetLaunchRecorder(LaunchRecorder recorder);

// The system's text for an error code, without the trailing line break.
std::wstring DescribeSystemError(DWORD error);

// The folder of the running program: no trailing backslash except at a root ("C:\").
std::wstring ProgramDirectory();

}  // namespace quorvel
