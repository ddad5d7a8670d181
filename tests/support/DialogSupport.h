#pragma once

// What the dialog tests add to the shared window test helpers: messages recorded with what the
// world looked like at that moment, the fake encoder's record, and a few control helpers.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "TestProgram.h"
#include "win/Launch.h"
#include "WindowTestSupport.h"

namespace quorvel::testing {

struct ShownMessage {
    HWND Owner = nullptr;
    std::wstring Text;
    bool OwnerVisible = false;
    bool EncoderHadStarted = false;  // the fake encoder's record existed
    bool WaitCursor = false;         // the wait cursor was still up
};

// Installed by main for the whole run.
std::vector<ShownMessage>& Messages();
void InstallMessageRecorder();
// The record file the fake encoder writes (named in the environment for child processes).
const std::wstring& EncoderRecordPath();

// The store of the run's throwaway HKEY_CURRENT_USER.
ScratchRegistry& Registry();
void ForgetSettings();

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

void SetTextOf(HWND window, const std::wstring& text);
// A real click through BM_CLICK, so a check box toggles as under the mouse.
void Click(HWND button);
bool IsChecked(HWND box);
// The control's rectangle in its parent's client coordinates.
RECT ClientRectOf(HWND control);

}  // namespace quorvel::testing
