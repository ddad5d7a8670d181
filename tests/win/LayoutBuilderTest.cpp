// The layout builder: controls where the table puts them at the window's DPI, by their row, and
// the table's lines in their pens, at the DPI the window has and after it changes.

#include <gtest/gtest.h>

#include "win/LayoutBuilder.h"

namespace quorvel::testing {
namespace {

constexpr layout::Control kControls[] = {
    {.Name = L"lblName",
     .Type = layout::Kind::Label,
     .Caption = L"Name",
     .Left = 150,
     .Top = 300,
     .Width = 1200,
     .Height = 285},
    {.Name = L"txtName",
     .Type = layout::Kind::TextBox,
     .Caption = L"",
     .Left = 1500,
     .Top = 300,
     .Width = 1500,
     .Height = 285,
     .TabIndex = 0},
};
constexpr layout::Line kLines[] = {{.X1 = 0, .Y1 = 1500, .X2 = 3000, .Y2 = 1500, .Pen = layout::Rgb(255, 0, 0)}};
constexpr layout::Window kTable{.Name = L"frmTest",
                                .Caption = L"Test",
                                .ClientWidth = 3000,
                                .ClientHeight = 3000,
                                .Background = layout::Rgb(0, 0, 255),
                                .Controls = kControls,
                                .Lines = kLines};

TEST(LayoutBuilder, PlacesEachRowAndPaintsTheLinesAtEveryDpi) {
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    win::BuiltLayout built;
    ASSERT_TRUE(built.Build(parent, kTable));
    for (const int dpi : {built.Dpi(), 144}) {
        SCOPED_TRACE(dpi);
        built.Rescale(dpi);
        HWND box = built.Control(1);
        EXPECT_EQ(::GetDlgCtrlID(box), win::BuiltLayout::IdOfRow(1));
        EXPECT_EQ(built.RowOf(box), &kControls[1]);
        RECT rect{};
        ::GetWindowRect(box, &rect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, win::TwipsToPixels(1500, dpi));
        EXPECT_EQ(rect.top, win::TwipsToPixels(300, dpi));

        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 400, 400);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        const RECT all{0, 0, 400, 400};
        built.PaintBackground(dc, all);
        built.PaintLines(dc);
        const int lineY = win::TwipsToPixels(1500, dpi);
        EXPECT_EQ(::GetPixel(dc, 50, lineY), RGB(255, 0, 0));
        EXPECT_EQ(::GetPixel(dc, 50, lineY + 5), RGB(0, 0, 255));
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
        ::ReleaseDC(nullptr, screen);
    }
    ::DestroyWindow(parent);
}

}  // namespace
}  // namespace quorvel::testing
