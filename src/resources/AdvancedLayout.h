#pragma once

// The Advanced options dialog as it looks when it is loaded.

#include "win/Layout.h"

#include <windows.h>

namespace quorvel::layout::advanced {

inline constexpr Font kDialogFont{L"MS Sans Serif", 8.25, false};
inline constexpr Font kBrowseButtonFont{L"MS Sans Serif", 13.5, false};

// The aspect ratio texts, in list order; the job writer compares against these texts.
inline constexpr const wchar_t* kAspectRatioItems[9] = {
    L"1:1 (VGA)",
    L"4:3 525 line (NTSC)",
    L"4:3 625 line (NTSC, 704x480)",
    L"4:3 625 (PAL)",
    L"16:9 525 line (NTSC)",
    L"16:9 625 line (PAL)",
    L"4:3 Display",
    L"16:9 Display",
    L"2.11:1 Display",
};

inline constexpr const wchar_t* kVideoSourceTypeItems[2] = {
    L"Non-interlace (progressive)",
    L"Interlace",
};

// Creation order; a frame comes before the controls it holds.
inline constexpr Control kControls[] = {
    {L"frmCommandLine", Kind::Frame, nullptr, L"Automatically lauch", 3285, 1620, 4740, 1185, 14},
    {L"chkAutoRun", Kind::CheckBox, L"frmCommandLine", L"Auto Launch TMPGEnc to encode batch ", 90, 360, 4065, 285, 17},
    {L"txtCommandLineTMPGEnc", Kind::TextBox, L"frmCommandLine", L"TMPGEnc.exe", 90, 720, 4020, 285, 16},
    {L"cmdFindTMPEG", Kind::PushButton, L"frmCommandLine", L"....", 4230, 675, 420, 315, 15, kNone, kBrowseButtonFont},
    {L"frmSourceType", Kind::Frame, nullptr, L"Video Source Settings", 3300, 180, 4755, 1335, 9},
    {L"cmbAspectRatio",
     Kind::ComboDropDown,
     L"frmSourceType",
     L"4:3 Display",
     1680,
     840,
     2955,
     315,
     12,
     kNone,
     {},
     {},
     {},
     kAspectRatioItems},
    {L"cmbVideoSourceType",
     Kind::ComboDropDown,
     L"frmSourceType",
     L"Non-interlace (progressive)",
     1680,
     360,
     2955,
     315,
     11,
     kNone,
     {},
     {},
     {},
     kVideoSourceTypeItems},
    {L"lblAspectRatio", Kind::Label, L"frmSourceType", L"Aspect Ratio:", 120, 840, 1515, 255, 13, kAlignRight},
    {L"lblVideoSourceType", Kind::Label, L"frmSourceType", L"Video Source Type:", 120, 420, 1515, 255, 10, kAlignRight},
    {L"frmClipping", Kind::Frame, nullptr, L"Frame Clipping", 60, 1620, 3135, 1215, 4},
    {L"txtBottomClipping", Kind::TextBox, L"frmClipping", L"0", 1020, 720, 1395, 255, 6},
    {L"txtTopClipping", Kind::TextBox, L"frmClipping", L"0", 1020, 360, 1395, 255, 5},
    {L"lblBottomClipping", Kind::Label, L"frmClipping", L"Bottom", 240, 720, 615, 315, 8, kAlignRight},
    {L"lblTop", Kind::Label, L"frmClipping", L"Top", 240, 360, 615, 255, 7, kAlignRight},
    {L"cmdOK", Kind::PushButton, nullptr, L"&OK", 6795, 2925, 1215, 495, 1},
    {L"fmAdvancedOptions", Kind::Frame, nullptr, L"Special Rendering Options", 60, 180, 3135, 1335, 0},
    {L"chkDeinterlace", Kind::CheckBox, L"fmAdvancedOptions", L"De-interlace (Even)", 180, 240, 1815, 495, 3},
    {L"chktNoiseReduction", Kind::CheckBox, L"fmAdvancedOptions", L"Noise Reduction (Slower)", 180, 720, 2235, 495, 2},
};

// No owner, so the main window can come in front of it; centred over the window that opened it.
inline constexpr Window kWindow{
    L"frmAdvanced",
    L"Advanced options",
    8085,
    3480,
    kDialogFont,
    {},
    kControls,
    {.ClassName = L"QuorvelAdvancedOptions",
     .Style = WS_OVERLAPPEDWINDOW,
     .ExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
     .Where = Placement::OverOwner},
};

}  // namespace quorvel::layout::advanced
