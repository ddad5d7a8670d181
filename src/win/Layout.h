#pragma once

// How a window looks when it is created, as data: one table per window. Geometry is in twips,
// relative to the control's container (the window, or the frame it sits in).

#include <array>
#include <cstddef>
#include <iterator>
#include <span>
#include <string_view>

namespace quorvel::layout {

enum class Kind {
    Frame,  // group box with a caption
    PushButton,
    TextBox,  // one line
    Label,
    CheckBox,
    ComboDropDown,  // drop-down combo box with an editable field
    DriveList,      // drop-down list of drives
    DirectoryList,
    FileList,  // extended multiple selection
    Picture,   // a JPEG resource stretched to the box; answers a click only
    // A JPEG resource stretched to the box that is a push button: in the tab order, Space and
    // Enter press it, and its caption names it for screen readers without being drawn.
    PictureButton,
};

enum Flag : unsigned {
    kNone = 0,
    kHidden = 1u << 0,
    kAlignRight = 1u << 1,
    kAlignCentre = 1u << 2,
    kBorder = 1u << 3,
    kTransparent = 1u << 4,  // the container's background shows through
    kDefaultButton = 1u << 5,
    kCancelButton = 1u << 6,
};

struct Font {
    const wchar_t* Face = nullptr;  // null: the window's default dialog font
    double Points = 0;
    bool Bold = false;
};

struct Colour {
    enum class Source { Standard, System, Rgb };
    Source From = Source::Standard;
    unsigned Value = 0;  // a COLOR_* index, or 0x00BBGGRR
};
constexpr Colour SystemColour(int index) { return {Colour::Source::System, static_cast<unsigned>(index)}; }
constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) { return {Colour::Source::Rgb, r | (g << 8) | (b << 16)}; }

// A row of a window's table. Rows name their fields and leave out what is common; the geometry
// has no default, so a row without it draws a warning.
struct Control {
    const wchar_t* Name;
    Kind Type;
    const wchar_t* Container = nullptr;  // null: the window itself; otherwise a frame's name
    const wchar_t* Caption = nullptr;    // caption, initial text, or null
    int Left, Top, Width, Height;
    int TabIndex = -1;  // -1: none
    unsigned Flags = kNone;
    Font TextFont = {};
    Colour TextColour = {};
    Colour Background = {};
    std::span<const wchar_t* const> Items = {};  // combo box items, in list order
    int Resource = 0;                            // pictures and picture buttons: the JPEG resource id
    // A label: the box it names for screen readers, which is made right after it.
    const wchar_t* LabelFor = nullptr;
    // What a screen reader calls a control that has no label, or whose caption says nothing.
    const wchar_t* Spoken = nullptr;
};

// A straight line the window paints on its background, from one end point to the other (twips).
struct Line {
    int X1, Y1, X2, Y2;
    Colour Pen = {};
    int Width = 1;  // pixels at the design DPI
};

// Where a window goes when it is shown.
enum class Placement {
    WorkArea,  // centred in the work area of its monitor
    Screen,    // centred on the whole screen of its monitor
    OverOwner  // centred over the window that opened it, kept inside its work area
};

// The window's class and frame: what CreateWindowEx is given besides the controls.
struct Frame {
    const wchar_t* ClassName;
    unsigned long Style;  // WS_*
    unsigned long ExStyle = 0;
    Placement Where = Placement::WorkArea;
    bool Owned = false;  // owned by the window that opens it: no task bar button, above it
    int Icon = 0;        // an icon resource id, or 0 for none
};

struct Window {
    const wchar_t* Name;
    const wchar_t* Caption;
    int ClientWidth, ClientHeight;  // twips
    Font DefaultFont = {};
    Colour Background = {};
    std::span<const Control> Controls;  // creation order; frames before what they hold
    Frame Framing = {};
    std::span<const Line> Lines = {};  // painted in this order
};

// True when every label's box is a control of the table; the tables assert it, so a misspelt
// name does not compile.
consteval bool LabelsFindTheirBoxes(std::span<const Control> controls) {
    for (const Control& label : controls) {
        if (!label.LabelFor) continue;
        bool found = false;
        for (const Control& box : controls) found = found || std::wstring_view(box.Name) == label.LabelFor;
        if (!found) return false;
    }
    return true;
}

namespace detail {

constexpr wchar_t WidenAscii(char c) {
    if (static_cast<unsigned char>(c) > 0x7F) throw "only ASCII texts widen at compile time";
    return static_cast<wchar_t>(c);
}

// The texts one after the other, each closed by its zero.
template <const auto& Texts>
inline constexpr auto kJoinedWide = [] {
    constexpr std::size_t size = [] {
        std::size_t n = 0;
        for (std::string_view text : Texts) n += text.size() + 1;
        return n;
    }();
    std::array<wchar_t, size> joined{};
    std::size_t at = 0;
    for (std::string_view text : Texts) {
        for (char c : text) joined[at++] = WidenAscii(c);
        joined[at++] = L'\0';
    }
    return joined;
}();

template <const std::string_view& Text>
inline constexpr std::string_view kOneText[] = {Text};

}  // namespace detail

// Texts the core keeps, as a table's combo box items and captions: widened at compile time, so
// a window shows the very list the core writes from. ASCII only; other text does not compile.
template <const auto& Texts>
inline constexpr auto kWideItems = [] {
    std::array<const wchar_t*, std::size(Texts)> items{};
    const wchar_t* at = detail::kJoinedWide<Texts>.data();
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i] = at;
        at += std::string_view(Texts[i]).size() + 1;
    }
    return items;
}();
template <const std::string_view& Text>
inline constexpr const wchar_t* kWideText = detail::kJoinedWide<detail::kOneText<Text>>.data();

// A control of one table, made from its name at compile time: a name the table does not hold
// does not compile. Windows take these, so a control is never looked up by name at run time.
template <const Window& Table>
struct ControlId {
    consteval ControlId(const wchar_t* name) : Index(Find(name)) {}
    friend constexpr bool operator==(ControlId, ControlId) = default;
    int Index;

private:
    static consteval int Find(std::wstring_view name) {
        for (std::size_t i = 0; i < Table.Controls.size(); ++i)
            if (name == Table.Controls[i].Name) return static_cast<int>(i);
        throw "the window's table has no control of this name";
    }
};

}  // namespace quorvel::layout
