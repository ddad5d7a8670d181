#pragma once

// The output directory dialog as it looks when it is loaded.

#include "win/Layout.h"

#include <windows.h>

#include "resources/ResourceIds.h"

namespace quorvel::layout::outputdir {

inline constexpr Font kDialogFont{L"MS Sans Serif", 8.25, false};
inline constexpr Font kFrameCaptionFont{L"MS Sans Serif", 13.5, false};

inline constexpr Control kControls[] = {
    {L"cmdCancel", Kind::PushButton, nullptr, L"&Cancel", 4860, 3420, 1215, 495, 4},
    {L"cmdSelect", Kind::PushButton, nullptr, L"&Open", 3480, 3420, 1215, 495, 3},
    {L"frmFromList",
     Kind::Frame,
     nullptr,
     L"Select Directory to store converted MPG files",
     0,
     0,
     6135,
     3255,
     0,
     kNone,
     kFrameCaptionFont,
     SystemColour(COLOR_HIGHLIGHT)},
    {L"DrvList", Kind::DriveList, L"frmFromList", nullptr, 180, 480, 5775, 315, 2},
    {L"dirList", Kind::DirectoryList, L"frmFromList", nullptr, 180, 840, 5715, 2115, 1},
};

inline constexpr Window kWindow{
    L"frmSelectOutputDir",
    L"Select Output Directory",
    6240,
    4035,
    kDialogFont,
    {},
    kControls,
    {.ClassName = L"QuorvelSelectOutputDir",
     .Style = WS_OVERLAPPEDWINDOW,
     .ExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
     .Where = Placement::Screen,
     .Icon = IDI_QUORVEL},
};

}  // namespace quorvel::layout::outputdir
