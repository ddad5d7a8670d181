#pragma once

// Creates a window's controls from its layout table and keeps what the table implies at run
// time: the controls by their row, fonts at the window's DPI, colours, lines, focus order.

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "batch/Status.h"
#include "win/Dpi.h"
#include "win/Layout.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {

class BuiltLayout {
public:
    BuiltLayout() = default;
    BuiltLayout(const BuiltLayout&) = delete;
    BuiltLayout& operator=(const BuiltLayout&) = delete;

    // Creates every control of the table as a child of parent, at the parent's DPI. Fails, naming
    // the control and the system's reason, when one cannot be made: a window without all of its
    // controls is no window to show.
    Status Build(HWND parent, const layout::Window& table);

    // By the row's position in the table; a command's id is the row's id.
    HWND Control(int row) const;
    static constexpr int IdOfRow(int row) { return kFirstControlId + row; }
    static constexpr int RowOfId(int id) { return id - kFirstControlId; }
    const layout::Control* RowOf(HWND control) const;

    int Dpi() const { return dpi_; }
    int Scale(int twips) const;
    // The client size the table asks for, in pixels at the current DPI.
    SIZE ClientSize() const;

    // Moves and re-fonts every control for a new DPI (WM_DPICHANGED).
    void Rescale(int dpi);

    // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN / WM_CTLCOLOREDIT / WM_CTLCOLORLISTBOX: the brush to
    // return, or null to let the default handling answer.
    HBRUSH OnCtlColor(HDC dc, HWND control);
    HBRUSH BackgroundBrush();
    // Fills the background and draws the table's lines (WM_ERASEBKGND / WM_PAINT).
    void PaintBackground(HDC dc, const RECT& area);
    void PaintLines(HDC dc);

    // What every window built from a table answers alike: WM_ERASEBKGND, the WM_CTLCOLOR*
    // family and WM_DPICHANGED. True when the message was handled, with its result.
    bool HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // WM_ACTIVATE: remembers the focused control when the window goes inactive and gives the
    // focus back on return, to the first control in tab order when none was remembered.
    void RestoreFocusOnActivate(HWND window, WPARAM wParam);

    // DM_GETDEFID for windows whose only default is the focused push button (a picture button
    // counts): its id, or 0.
    LRESULT FocusedPushButtonAsDefault(HWND window) const;
    // After the focus entered or left a push button (focus: where it is now): the default frame
    // goes to the focused push button, or back to the table's default button, as a dialog
    // manager moves it.
    void FollowFocus(HWND focus);

    // The controls that take the focus, in tab order.
    std::vector<HWND> FocusOrder() const;

private:
    static constexpr int kFirstControlId = 100;

    struct Entry {
        const layout::Control* Row;
        HWND Handle;
        int Id;
    };

    RECT PixelRect(const layout::Control& control) const;
    HFONT FontFor(const layout::Font& font);
    HBRUSH BrushFor(COLORREF colour);
    void ApplyFonts(bool redraw);

    HWND parent_ = nullptr;
    const layout::Window* table_ = nullptr;
    int dpi_ = kDesignDpi;
    HWND lastFocus_ = nullptr;
    std::vector<Entry> entries_;
    std::map<std::tuple<std::wstring, int, bool>, UniqueFont> fonts_;
    std::map<COLORREF, UniqueBrush> brushes_;
};

COLORREF ResolveColour(const layout::Colour& colour, COLORREF standard);

}  // namespace quorvel::win
