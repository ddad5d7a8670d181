#pragma once

// A browse button's whole errand: fill the shared request, run the dialog over the owner and
// turn the answer into the one path a text box holds.

#include <windows.h>

#include <optional>
#include <string>

namespace quorvel {

struct PickRequest {
    const std::wstring& Filter;  // description and pattern pairs, NUL-separated
    const wchar_t* Title;
    std::wstring InitialDirectory;
    const wchar_t* DefaultName;
};

// The chosen path, empty when cancelled; of several files the first, joined to the directory
// with exactly one backslash. Nothing when the dialog did not answer: the box keeps its text.
std::optional<std::wstring> PickFile(HWND owner, const PickRequest& request);

}  // namespace quorvel
