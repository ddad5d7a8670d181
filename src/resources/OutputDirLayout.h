#pragma once

// The output directory dialog as it looks when it is loaded.

#include "win/Layout.h"

#include <windows.h>

#include "resources/ResourceIds.h"

namespace quorvel::layout::outputdir {

inline constexpr Font kDialogFont{.Face = L"MS Sans Serif", .Points = 8.25};
inline constexpr Font kFrameCaptionFont{.Face = L"MS Sans Serif", .Points = 13.5};

inline constexpr Control kControls[] = {
    {.Name = L"cmdCancel",
     .Type = Kind::PushButton,
     .Caption = L"&Cancel",
     .Left = 4860,
     .Top = 3420,
     .Width = 1215,
     .Height = 495,
     .TabIndex = 4},
    {.Name = L"cmdSelect",
     .Type = Kind::PushButton,
     .Caption = L"&Open",
     .Left = 3480,
     .Top = 3420,
     .Width = 1215,
     .Height = 495,
     .TabIndex = 3},
    {.Name = L"frmFromList",
     .Type = Kind::Frame,
     .Caption = L"Select Directory to store converted MPG files",
     .Left = 0,
     .Top = 0,
     .Width = 6135,
     .Height = 3255,
     .TabIndex = 0,
     .TextFont = kFrameCaptionFont,
     .TextColour = SystemColour(COLOR_HIGHLIGHT)},
    {.Name = L"DrvList",
     .Type = Kind::DriveList,
     .Container = L"frmFromList",
     .Left = 180,
     .Top = 480,
     .Width = 5775,
     .Height = 315,
     .TabIndex = 2,
     .Spoken = L"Drive"},
    {.Name = L"dirList",
     .Type = Kind::DirectoryList,
     .Container = L"frmFromList",
     .Left = 180,
     .Top = 840,
     .Width = 5715,
     .Height = 2115,
     .TabIndex = 1,
     .Spoken = L"Folder"},
};

inline constexpr Window kWindow{
    .Name = L"frmSelectOutputDir",
    .Caption = L"Select Output Directory",
    .ClientWidth = 6240,
    .ClientHeight = 4035,
    .DefaultFont = kDialogFont,
    .Controls = kControls,
    .Framing = {.ClassName = L"QuorvelSelectOutputDir",
                .Style = WS_OVERLAPPEDWINDOW,
                .ExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
                .Where = Placement::Screen,
                .Icon = IDI_QUORVEL},
};

}  // namespace quorvel::layout::outputdir
