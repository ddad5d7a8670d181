#pragma once

// FrmQuorvel as it is created: 27 controls, twips, tab order, fonts and colours.

#include "win/Layout.h"

#include <windows.h>

#include "batch/Version.h"
#include "resources/ResourceIds.h"

namespace quorvel::layout::mainwindow {

inline constexpr Font kCaptionFont{L"MS Sans Serif", 13.5, false};
inline constexpr Colour kHighlight = SystemColour(COLOR_HIGHLIGHT);
inline constexpr Colour kActiveBorder = SystemColour(COLOR_ACTIVEBORDER);

// The pattern box's items, in list order; the box starts with the text of the first.
inline constexpr const wchar_t* kPatternItems[] = {
    L"*.avi;*.mpg;*.mpeg;*.mov;*.vob   (All video files)",
    L"*.avi    (Windows AVI)",
    L"*.mpg   (MPEG Video)",
    L"*.mpeg (MPEG Video)",
    L"*.mov   (Quicktime)",
    L"*.vob   (DVD MPEG2)",
    L"*.*        (All files)",
};

// The words a picture shows are its window text, for screen readers and tests; it does not draw them.
// The pictures are the window's visible buttons: they come last in the tab order, left to right.
constexpr Control Picture(const wchar_t* name, const wchar_t* words, int left, int top, int width, int height,
                          int tabIndex, int resource) {
    Control c{name, Kind::PictureButton, nullptr, words, left, top, width, height, tabIndex};
    c.Resource = resource;
    return c;
}

constexpr Control WithFont(Control c, Font font) {
    c.TextFont = font;
    return c;
}

constexpr Control WithTextColour(Control c, Colour colour) {
    c.TextColour = colour;
    return c;
}

inline constexpr Control kControls[] = {
    WithTextColour(WithFont({L"frmOutput", Kind::Frame, nullptr, L"Select Output Settings ", 90, 4320, 6135, 2775, 6},
                            kCaptionFont),
                   kHighlight),
    {L"cmdAdvanced", Kind::PushButton, L"frmOutput", L"&Advanced", 4980, 2280, 975, 315, 19},
    WithFont({L"cmdFindOutputDirectory", Kind::PushButton, L"frmOutput", L"....", 5460, 1620, 555, 375, 15},
             kCaptionFont),
    {L"txtOutputDirectory", Kind::TextBox, L"frmOutput", L"", 1140, 1620, 4215, 315, 14},
    WithFont({L"cmdFindTemplateFile", Kind::PushButton, L"frmOutput", L"....", 5460, 1042, 555, 375, 12}, kCaptionFont),
    {L"txtTemplateFile", Kind::TextBox, L"frmOutput", L"", 1140, 1020, 4215, 315, 11},
    {L"txtFileOutput", Kind::TextBox, L"frmOutput", L"TMPEG_Batch.tbe", 1140, 450, 4215, 315, 8},
    WithFont({L"cmdFindBatchFile", Kind::PushButton, L"frmOutput", L"....", 5460, 480, 555, 360, 7}, kCaptionFont),
    WithTextColour(
        {L"Label3", Kind::Label, L"frmOutput", L"(Batch file name and where it is stored)", 1140, 840, 4215, 195, 18},
        kHighlight),
    [] {
        Control c{L"lblOptionalTemplate",
                  Kind::Label,
                  L"frmOutput",
                  L"(optional - blank uses default SVCD VBR_CQ 100)",
                  1140,
                  1380,
                  3495,
                  255,
                  17};
        c.TextColour = kHighlight;
        c.Background = kActiveBorder;
        return c;
    }(),
    WithTextColour({L"Label1",
                    Kind::Label,
                    L"frmOutput",
                    L"(default output directory same as Batch File)",
                    1140,
                    1980,
                    3315,
                    255,
                    16},
                   kHighlight),
    {L"lblOutputDirectory", Kind::Label, L"frmOutput", L"Output Directory:", 240, 1560, 795, 435, 13, kAlignRight},
    {L"lblBatchFille", Kind::Label, L"frmOutput", L"Batch File:", 240, 480, 795, 255, 10, kAlignRight},
    {L"lblTemplate", Kind::Label, L"frmOutput", L"Template:", 180, 960, 855, 255, 9, kAlignRight},
    {L"cmdQuit", Kind::PushButton, nullptr, L"&Quit", 0, 7740, 615, 315, 5, kHidden},
    {L"cmdCreate", Kind::PushButton, nullptr, L"&Create Batch", 0, 7200, 615, 435, 4, kHidden | kDefaultButton},
    WithTextColour(WithFont({L"frmFromList",
                             Kind::Frame,
                             nullptr,
                             L"Select Files to convert (hold ctrl to multi select)",
                             120,
                             60,
                             6135,
                             4215,
                             0},
                            kCaptionFont),
                   kHighlight),
    {L"cmdSelectNone", Kind::PushButton, L"frmFromList", L"Select &None", 4860, 3780, 1035, 315, 22},
    {L"cmdSelectAll", Kind::PushButton, L"frmFromList", L"&Select All", 3780, 3780, 1035, 315, 21},
    [] {
        Control c{L"cmbFilePattern", Kind::ComboDropDown, L"frmFromList", kPatternItems[0], 180, 3780, 3495, 315, 20};
        c.Items = kPatternItems;
        return c;
    }(),
    {L"filList", Kind::FileList, L"frmFromList", nullptr, 2295, 900, 3615, 2820, 3},
    {L"dirList", Kind::DirectoryList, L"frmFromList", nullptr, 180, 900, 2055, 2790, 2},
    {L"DrvList", Kind::DriveList, L"frmFromList", nullptr, 180, 480, 5775, 315, 1},
    Picture(L"Image4", L"ABOUT", 1260, 7200, 1155, 795, 23, IDJ_ABOUT),
    Picture(L"Image3", L"QUIT", 5100, 7200, 1215, 720, 26, IDJ_QUIT),
    Picture(L"Image2", L"CREATE BATCH", 3600, 7140, 1455, 900, 25, IDJ_CREATE_BATCH),
    Picture(L"Image1", L"WEB", 2460, 7200, 1155, 795, 24, IDJ_WEB),
};

inline constexpr Window kWindow{
    L"FrmQuorvel",
    kMainCaption,
    6375,
    8055,
    Font{L"MS Shell Dlg", 8, false},
    kActiveBorder,
    kControls,
    // No WS_CLIPCHILDREN: the frames do not paint their insides, the window's background does.
    {.ClassName = L"QuorvelMainWindow", .Style = WS_OVERLAPPEDWINDOW, .Icon = IDI_QUORVEL},
};

}  // namespace quorvel::layout::mainwindow
