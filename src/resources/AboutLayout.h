#pragma once

// frmAbout as it is created: navy background, transparent labels, three lines, the picture.

#include "win/Layout.h"

#include <windows.h>

#include "batch/Version.h"
#include "resources/ResourceIds.h"

namespace quorvel::layout::about {

inline constexpr Colour kPaleYellow = Rgb(255, 255, 192);
inline constexpr Colour kPaleCyan = Rgb(192, 255, 255);
inline constexpr Colour kGrey = Rgb(128, 128, 128);

// The labels are transparent: the navy background and the lines show through them.
inline constexpr Control kControls[] = {
    {.Name = L"cmdDonation",
     .Type = Kind::PushButton,
     .Caption = L"&Donate",
     .Left = 4455,
     .Top = 4005,
     .Width = 1200,
     .Height = 330,
     .TabIndex = 7},
    {.Name = L"cmdOK",
     .Type = Kind::PushButton,
     .Caption = L"&OK",
     .Left = 4455,
     .Top = 5490,
     .Width = 1200,
     .Height = 345,
     .TabIndex = 0,
     .Flags = kDefaultButton | kCancelButton},
    {.Name = L"cmdSysInfo",
     .Type = Kind::PushButton,
     .Caption = L"&System Info...",
     .Left = 4455,
     .Top = 5910,
     .Width = 1200,
     .Height = 345,
     .TabIndex = 1},
    {.Name = L"Label1",
     .Type = Kind::Label,
     .Caption = L"Please Consider making a donation of $15 if you find this tool useful.  Thanks.",
     .Left = 135,
     .Top = 3960,
     .Width = 4290,
     .Height = 540,
     .TabIndex = 8,
     .Flags = kAlignCentre | kTransparent,
     .TextFont = {.Face = L"Arial Narrow", .Points = 9.75, .Bold = true},
     .TextColour = Rgb(255, 255, 255)},
    {.Name = L"lblDisclaimer(1)",
     .Type = Kind::Label,
     .Caption = L"This program is provided \"AS IS\", without warranty of any kind. You use it at your own risk: "
                L"check every batch list before you encode, and keep copies of your source files.",
     .Left = 180,
     .Top = 4995,
     .Width = 4005,
     .Height = 1230,
     .TabIndex = 6,
     .Flags = kAlignCentre | kTransparent,
     .TextFont = {.Face = L"Arial", .Points = 8.25},
     .TextColour = kPaleYellow},
    {.Name = L"lblDescription",
     .Type = Kind::Label,
     .Caption = L"This program allows you to select multiple video files to create a Batch file to load into TMPEG "
                L"MPEG video encoder. You can convert to any format that you have saved a template from TMPEG for. "
                L"Also included is advanced options to apply de-interlacing, noise reduction, Frame Clipping (Top "
                L"and Bottom) and Video Source Settings (Video Source Type and Aspect Ratio).",
     .Left = 2385,
     .Top = 1035,
     .Width = 3255,
     .Height = 2520,
     .TabIndex = 2,
     .Flags = kBorder | kTransparent,
     .TextFont = {.Face = L"Arial Narrow", .Points = 9.75, .Bold = true},
     .TextColour = kPaleCyan},
    {.Name = L"lblTitle",
     .Type = Kind::Label,
     .Caption = L"Quorvel",
     .Left = 0,
     .Top = 0,
     .Width = 5775,
     .Height = 480,
     .TabIndex = 4,
     .Flags = kAlignCentre | kTransparent,
     .TextFont = {.Face = L"Times New Roman", .Points = 21.75, .Bold = true},
     .TextColour = kPaleYellow},
    {.Name = L"lblVersion",
     .Type = Kind::Label,
     .Caption = L"Version " QUORVEL_VERSION_TEXT,
     .Left = 0,
     .Top = 585,
     .Width = 5685,
     .Height = 315,
     .TabIndex = 5,
     .Flags = kAlignCentre | kTransparent,
     .TextFont = {.Face = L"Arial Rounded MT Bold", .Points = 12, .Bold = true},
     .TextColour = kPaleCyan},
    {.Name = L"lblDisclaimer(0)",
     .Type = Kind::Label,
     .Caption = L"Warning: ...  ",
     .Left = 180,
     .Top = 4770,
     .Width = 4005,
     .Height = 195,
     .TabIndex = 3,
     .Flags = kAlignCentre | kTransparent,
     .TextFont = {.Face = L"Arial Rounded MT Bold", .Points = 8.25, .Bold = true},
     .TextColour = kPaleYellow},
    {.Name = L"Image1",
     .Type = Kind::Picture,
     .Left = 90,
     .Top = 1260,
     .Width = 2175,
     .Height = 1980,
     .Resource = IDJ_PORTRAIT},
};

// Line1(2), Line1(1) and Line1(0), painted in that order.
inline constexpr Line kLines[] = {
    {.X1 = 0, .Y1 = 0, .X2 = 5564, .Y2 = 0, .Pen = kGrey, .Width = 1},
    {.X1 = 90, .Y1 = 4725, .X2 = 5654, .Y2 = 4725, .Pen = kGrey, .Width = 2},
    {.X1 = 135, .Y1 = 3735, .X2 = 5684, .Y2 = 3735, .Pen = Rgb(255, 255, 255), .Width = 2},
};

inline constexpr Window kWindow{
    .Name = L"frmAbout",
    .Caption = L"About Quorvel",
    .ClientWidth = 5760,
    .ClientHeight = 6390,
    .DefaultFont = {.Face = L"MS Shell Dlg", .Points = 8},
    .Background = Rgb(0, 0, 128),
    .Controls = kControls,
    .Framing = {.ClassName = L"QuorvelAbout",
                .Style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                .ExStyle = WS_EX_DLGMODALFRAME,
                .Owned = true},
    .Lines = kLines,
};

}  // namespace quorvel::layout::about
