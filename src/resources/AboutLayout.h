#pragma once

// frmAbout as it is created: navy background, transparent labels, three lines, the picture.

#include "win/Layout.h"

#include <windows.h>

#include "resources/ResourceIds.h"

namespace quorvel::layout::about {

constexpr Control Label(const wchar_t* name, const wchar_t* caption, int left, int top, int width, int height, int tab,
                        unsigned flags, Font font, Colour text) {
    Control c{name, Kind::Label, nullptr, caption, left, top, width, height, tab, flags | kTransparent};
    c.TextFont = font;
    c.TextColour = text;
    return c;
}

inline constexpr Colour kPaleYellow = Rgb(255, 255, 192);
inline constexpr Colour kPaleCyan = Rgb(192, 255, 255);
inline constexpr Colour kGrey = Rgb(128, 128, 128);

inline constexpr Control kControls[] = {
    {L"cmdDonation", Kind::PushButton, nullptr, L"&Donate", 4455, 4005, 1200, 330, 7},
    {L"cmdOK", Kind::PushButton, nullptr, L"&OK", 4455, 5490, 1200, 345, 0, kDefaultButton | kCancelButton},
    {L"cmdSysInfo", Kind::PushButton, nullptr, L"&System Info...", 4455, 5910, 1200, 345, 1},
    Label(L"Label1", L"Please Consider making a donation of $15 if you find this tool useful.  Thanks.", 135, 3960,
          4290, 540, 8, kAlignCentre, Font{L"Arial Narrow", 9.75, true}, Rgb(255, 255, 255)),
    Label(L"lblDisclaimer(1)",
          L"This program is provided \"AS IS\", without warranty of any kind. You use it at your own risk: "
          L"check every batch list before you encode, and keep copies of your source files.",
          180, 4995, 4005, 1230, 6, kAlignCentre, Font{L"Arial", 8.25, false}, kPaleYellow),
    Label(L"lblDescription",
          L"This program allows you to select multiple video files to create a Batch file to load into TMPEG MPEG "
          L"video encoder. You can convert to any format that you have saved a template from TMPEG for. Also included "
          L"is advanced options to apply de-interlacing, noise reduction, Frame Clipping (Top and Bottom) and Video "
          L"Source Settings (Video Source Type and Aspect Ratio).",
          2385, 1035, 3255, 2520, 2, kBorder, Font{L"Arial Narrow", 9.75, true}, kPaleCyan),
    Label(L"lblTitle", L"Quorvel", 0, 0, 5775, 480, 4, kAlignCentre, Font{L"Times New Roman", 21.75, true},
          kPaleYellow),
    Label(L"lblVersion", L"Version", 0, 585, 5685, 315, 5, kAlignCentre, Font{L"Arial Rounded MT Bold", 12, true},
          kPaleCyan),
    Label(L"lblDisclaimer(0)", L"Warning: ...  ", 180, 4770, 4005, 195, 3, kAlignCentre,
          Font{L"Arial Rounded MT Bold", 8.25, true}, kPaleYellow),
    {.Name = L"Image1",
     .Type = Kind::Picture,
     .Container = nullptr,
     .Caption = nullptr,
     .Left = 90,
     .Top = 1260,
     .Width = 2175,
     .Height = 1980,
     .TabIndex = -1,
     .Resource = IDJ_PORTRAIT},
};

// Line1(2), Line1(1) and Line1(0), painted in that order.
inline constexpr Line kLines[] = {
    {.X1 = 0, .Y1 = 0, .X2 = 5564, .Y2 = 0, .Pen = kGrey, .Width = 1},
    {.X1 = 90, .Y1 = 4725, .X2 = 5654, .Y2 = 4725, .Pen = kGrey, .Width = 2},
    {.X1 = 135, .Y1 = 3735, .X2 = 5684, .Y2 = 3735, .Pen = Rgb(255, 255, 255), .Width = 2},
};

inline constexpr Window kWindow{
    L"frmAbout",
    L"Quorvel About",
    5760,
    6390,
    Font{L"MS Shell Dlg", 8, false},
    Rgb(0, 0, 128),
    kControls,
    {.ClassName = L"QuorvelAbout",
     .Style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
     .ExStyle = WS_EX_DLGMODALFRAME,
     .Owned = true},
    kLines,
};

}  // namespace quorvel::layout::about
