#include "win/LayoutBuilder.h"

#include <uxtheme.h>

#include <algorithm>
#include <array>

#include "batch/TextWindows.h"
#include "win/Dpi.h"
#include "win/Jpeg.h"
#include "win/PictureBox.h"
#include "win/PushButtonAccessible.h"

namespace quorvel::win {
namespace {

using layout::Kind;

// A drop-down's table height is its closed height; the open list needs room of its own.
constexpr int kDropDownListTwips = 2400;

struct ClassAndStyle {
    const wchar_t* ClassName;
    DWORD Style;
    DWORD ExStyle;
};

ClassAndStyle ClassFor(const layout::Control& c) {
    const bool right = c.Flags & layout::kAlignRight;
    const bool centre = c.Flags & layout::kAlignCentre;
    switch (c.Type) {
        case Kind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
        case Kind::PushButton:
            // BS_NOTIFY: the window hears the focus leave, to give the default frame back.
            return {L"BUTTON",
                    WS_TABSTOP | BS_NOTIFY |
                        static_cast<DWORD>((c.Flags & layout::kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                    0};
        case Kind::TextBox: return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case Kind::Label:
            return {L"STATIC",
                    static_cast<DWORD>(right    ? SS_RIGHT
                                       : centre ? SS_CENTER
                                                : SS_LEFT) |
                        SS_NOPREFIX | ((c.Flags & layout::kBorder) ? WS_BORDER : 0u),
                    0};
        case Kind::CheckBox: return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case Kind::ComboDropDown: return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
        case Kind::DriveList: return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case Kind::DirectoryList:
            return {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
        case Kind::FileList:
            // LBS_WANTKEYBOARDINPUT: the window sees the keys first (WM_VKEYTOITEM), for Ctrl+A.
            return {
                L"LISTBOX",
                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL | LBS_WANTKEYBOARDINPUT,
                WS_EX_CLIENTEDGE};
        case Kind::Picture: return {kPictureClass, 0, 0};
        case Kind::PictureButton: return {L"BUTTON", WS_TABSTOP | BS_OWNERDRAW, 0};
    }
    return {nullptr, 0, 0};
}

bool IsDropDown(Kind kind) { return kind == Kind::ComboDropDown || kind == Kind::DriveList; }

bool TakesFocus(const layout::Control& c) {
    if (c.Flags & layout::kHidden) return false;
    switch (c.Type) {
        case Kind::PushButton:
        case Kind::PictureButton:
        case Kind::TextBox:
        case Kind::CheckBox:
        case Kind::ComboDropDown:
        case Kind::DriveList:
        case Kind::DirectoryList:
        case Kind::FileList: return true;
        default: return false;
    }
}

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool IsInstalled(HDC dc, const std::wstring& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    ::EnumFontFamiliesExW(dc, &wanted, &NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The tables name the classic Windows faces. Where one is missing (Wine without the Microsoft
// fonts) the font mapper would put a wide sans serif in its place and long captions would be
// cut off, so a face of about the same width is chosen instead.
std::wstring InstalledFace(const std::wstring& face) {
    static std::map<std::wstring, std::wstring> chosen;
    if (auto known = chosen.find(face); known != chosen.end()) return known->second;
    struct Fallback {
        const wchar_t* Face;
        std::array<const wchar_t*, 3> Instead;
    };
    static constexpr Fallback kFallbacks[] = {
        {L"MS Sans Serif", {L"Microsoft Sans Serif", L"Liberation Sans Narrow", L"Nimbus Sans Narrow"}},
        {L"MS Shell Dlg", {L"Microsoft Sans Serif", L"Liberation Sans Narrow", L"Nimbus Sans Narrow"}},
        {L"Arial Narrow", {L"Liberation Sans Narrow", L"Nimbus Sans Narrow", L"Arial"}},
        {L"Arial", {L"Liberation Sans", L"Nimbus Sans", nullptr}},
        {L"Arial Rounded MT Bold", {L"Arial", L"Liberation Sans", L"Nimbus Sans"}},
        {L"Times New Roman", {L"Liberation Serif", L"Nimbus Roman", nullptr}},
    };
    std::wstring result = face;
    // A memory DC sees the screen's fonts; a window DC of the screen would cost Wine a round of
    // server requests each time it is taken.
    const UniqueDc fonts(::CreateCompatibleDC(nullptr));
    if (!IsInstalled(fonts.Get(), face)) {
        for (const Fallback& fallback : kFallbacks) {
            if (face != fallback.Face) continue;
            for (const wchar_t* instead : fallback.Instead) {
                if (instead && IsInstalled(fonts.Get(), instead)) {
                    result = instead;
                    break;
                }
            }
        }
    }
    chosen.emplace(face, result);
    return result;
}

int WindowDpi(HWND window) {
    const UINT dpi = ::GetDpiForWindow(window);
    return dpi ? static_cast<int>(dpi) : kDesignDpi;
}

}  // namespace

COLORREF ResolveColour(const layout::Colour& colour, COLORREF standard) {
    switch (colour.From) {
        case layout::Colour::Source::System: return ::GetSysColor(static_cast<int>(colour.Value));
        case layout::Colour::Source::Rgb: return static_cast<COLORREF>(colour.Value);
        case layout::Colour::Source::Standard: break;
    }
    return standard;
}

Status BuiltLayout::Build(HWND parent, const layout::Window& table) {
    parent_ = parent;
    table_ = &table;
    dpi_ = WindowDpi(parent);
    lastFocus_ = nullptr;
    entries_.clear();

    // Tab order is z-order, and a new child goes to the bottom of it: the controls are made in
    // tab-index order, those without one after them, and the frames last so they never hide the
    // controls they hold. Rows keep their table order (and ids).
    int id = kFirstControlId;
    for (const layout::Control& c : table.Controls) entries_.push_back(Entry{&c, nullptr, id++});
    std::vector<Entry*> ordered;
    for (Entry& e : entries_) ordered.push_back(&e);
    const auto rank = [](const Entry* e) {
        if (e->Row->Type == Kind::Frame) return (1 << 30) + 1;
        return e->Row->TabIndex < 0 ? 1 << 30 : e->Row->TabIndex;
    };
    std::stable_sort(ordered.begin(), ordered.end(), [&](const Entry* a, const Entry* b) { return rank(a) < rank(b); });
    // A screen reader names a box by the label just before it in z-order, so each label is made
    // right before its box; labels take no focus, so the tab order stays.
    const auto named = [&](const wchar_t* name) {
        return std::find_if(ordered.begin(), ordered.end(), [&](const Entry* e) {
            return name && std::wstring_view(e->Row->Name) == name;
        });
    };
    for (Entry& label : entries_) {
        if (!label.Row->LabelFor) continue;
        ordered.erase(std::find(ordered.begin(), ordered.end(), &label));
        ordered.insert(named(label.Row->LabelFor), &label);
    }

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (Entry* entry : ordered) {
        const layout::Control& c = *entry->Row;
        const ClassAndStyle cs = ClassFor(c);
        if (c.Type == Kind::Picture) RegisterPictureClass();
        const bool pictured = c.Type == Kind::Picture || c.Type == Kind::PictureButton;
        UniqueBitmap bitmap = pictured ? DecodeJpegResource(c.Resource) : UniqueBitmap{};
        if (cs.ClassName) {
            const RECT r = PixelRect(c);
            const DWORD visible = (c.Flags & layout::kHidden) ? 0 : WS_VISIBLE;
            // A hook's refusal sets no error code: none left from before may pass for its reason.
            ::SetLastError(ERROR_SUCCESS);
            entry->Handle = ::CreateWindowExW(cs.ExStyle,
                                              cs.ClassName,
                                              c.Caption ? c.Caption : L"",
                                              WS_CHILD | WS_CLIPSIBLINGS | visible | cs.Style,
                                              r.left,
                                              r.top,
                                              r.right - r.left,
                                              r.bottom - r.top,
                                              parent,
                                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry->Id)),
                                              instance,
                                              c.Type == Kind::Picture ? &bitmap : nullptr);
            if (!entry->Handle) {
                const DWORD error = ::GetLastError();
                return Status::Fail(Narrow(L"Cannot create the control " + std::wstring(c.Name) + L": " +
                                           (error ? SystemErrorText(error) : L"the system refused it")));
            }
            // Themed group boxes and check boxes draw their text in the theme's colour. A blank
            // theme name turns theming off; an empty one is ignored by Wine.
            if ((c.Type == Kind::Frame || c.Type == Kind::CheckBox) &&
                c.TextColour.From != layout::Colour::Source::Standard) {
                ::SetWindowTheme(entry->Handle, L" ", L" ");
            }
            if (c.Type == Kind::PictureButton) AttachPictureButton(entry->Handle, std::move(bitmap));
            for (const wchar_t* item : c.Items) {
                ::SendMessageW(entry->Handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            if (c.Type == Kind::ComboDropDown && c.Caption) ::SetWindowTextW(entry->Handle, c.Caption);
        }
    }
    // Wine takes no name from a label but for a text box, so every named control says its name
    // itself.
    for (const Entry& e : entries_) {
        if (e.Row->Spoken) NameForScreenReaders(e.Handle, e.Row->Spoken);
        if (e.Row->LabelFor) {
            auto box = named(e.Row->LabelFor);
            if (box != ordered.end()) NameForScreenReaders((*box)->Handle, e.Row->Caption);
        }
    }
    // The window is not shown yet: nothing to redraw.
    ApplyFonts(false);
    return Status::Ok();
}

int BuiltLayout::Scale(int twips) const { return TwipsToPixels(twips, dpi_); }

SIZE BuiltLayout::ClientSize() const {
    if (!table_) return {0, 0};
    return {Scale(table_->ClientWidth), Scale(table_->ClientHeight)};
}

RECT BuiltLayout::PixelRect(const layout::Control& c) const {
    int left = c.Left, top = c.Top;
    if (c.Container) {
        for (const Entry& e : entries_) {
            if (std::wstring_view(e.Row->Name) == c.Container) {
                left += e.Row->Left;
                top += e.Row->Top;
                break;
            }
        }
    }
    int height = c.Height;
    if (IsDropDown(c.Type)) height += kDropDownListTwips;
    return {Scale(left), Scale(top), Scale(left + c.Width), Scale(top + height)};
}

HWND BuiltLayout::Control(int row) const {
    return row >= 0 && static_cast<size_t>(row) < entries_.size() ? entries_[static_cast<size_t>(row)].Handle : nullptr;
}

const layout::Control* BuiltLayout::RowOf(HWND control) const {
    for (const Entry& e : entries_)
        if (e.Handle == control) return e.Row;
    return nullptr;
}

HFONT BuiltLayout::FontFor(const layout::Font& font) {
    const layout::Font& f = font.Face ? font : table_->DefaultFont;
    const int height = PointsToFontHeight(f.Points, dpi_);
    auto key = std::make_tuple(std::wstring(f.Face ? f.Face : L"MS Shell Dlg"), height, f.Bold);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.Get();
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = f.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, InstalledFace(std::get<0>(key)).c_str(), LF_FACESIZE);
    HFONT made = ::CreateFontIndirectW(&lf);
    fonts_.emplace(std::move(key), UniqueFont(made));
    return made;
}

void BuiltLayout::ApplyFonts(bool redraw) {
    for (const Entry& e : entries_)
        if (e.Handle)
            ::SendMessageW(
                e.Handle, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(e.Row->TextFont)), redraw ? TRUE : FALSE);
}

void BuiltLayout::Rescale(int dpi) {
    if (dpi == dpi_ || !table_) return;
    dpi_ = dpi;
    fonts_.clear();  // safe: WM_SETFONT below replaces every use before the old ones are gone
    for (const Entry& e : entries_) {
        if (!e.Handle) continue;
        const RECT r = PixelRect(*e.Row);
        ::SetWindowPos(
            e.Handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ApplyFonts(true);
    ::InvalidateRect(parent_, nullptr, TRUE);
}

HBRUSH BuiltLayout::BrushFor(COLORREF colour) {
    auto found = brushes_.find(colour);
    if (found != brushes_.end()) return found->second.Get();
    HBRUSH made = ::CreateSolidBrush(colour);
    brushes_.emplace(colour, UniqueBrush(made));
    return made;
}

HBRUSH BuiltLayout::BackgroundBrush() {
    return BrushFor(ResolveColour(table_ ? table_->Background : layout::Colour{}, ::GetSysColor(COLOR_BTNFACE)));
}

HBRUSH BuiltLayout::OnCtlColor(HDC dc, HWND control) {
    const layout::Control* c = RowOf(control);
    if (!c || c->Type == Kind::TextBox || c->Type == Kind::ComboDropDown || c->Type == Kind::DriveList ||
        c->Type == Kind::DirectoryList || c->Type == Kind::FileList) {
        return nullptr;
    }
    if (c->TextColour.From != layout::Colour::Source::Standard)
        ::SetTextColor(dc, ResolveColour(c->TextColour, ::GetSysColor(COLOR_WINDOWTEXT)));
    const COLORREF windowBack = ResolveColour(table_->Background, ::GetSysColor(COLOR_BTNFACE));
    if (c->Flags & layout::kTransparent) {
        ::SetBkMode(dc, TRANSPARENT);
        return BrushFor(windowBack);
    }
    const COLORREF back = ResolveColour(c->Background, windowBack);
    ::SetBkColor(dc, back);
    return BrushFor(back);
}

void BuiltLayout::PaintBackground(HDC dc, const RECT& area) { ::FillRect(dc, &area, BackgroundBrush()); }

void BuiltLayout::PaintLines(HDC dc) {
    if (!table_) return;
    for (const layout::Line& line : table_->Lines) {
        UniquePen pen(::CreatePen(
            PS_SOLID, std::max(1, ::MulDiv(line.Width, dpi_, kDesignDpi)), ResolveColour(line.Pen, RGB(0, 0, 0))));
        HGDIOBJ old = ::SelectObject(dc, pen.Get());
        ::MoveToEx(dc, Scale(line.X1), Scale(line.Y1), nullptr);
        ::LineTo(dc, Scale(line.X2), Scale(line.Y2));
        ::SelectObject(dc, old);
    }
}

bool BuiltLayout::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client{};
            ::GetClientRect(window, &client);
            PaintBackground(reinterpret_cast<HDC>(wParam), client);
            result = 1;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
            return false;
        case WM_DPICHANGED: {
            Rescale(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window,
                           nullptr,
                           suggested->left,
                           suggested->top,
                           suggested->right - suggested->left,
                           suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            result = 0;
            return true;
        }
        default: return false;
    }
}

void BuiltLayout::RestoreFocusOnActivate(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(window, focus)) lastFocus_ = focus;
        return;
    }
    HWND target = lastFocus_ && ::IsWindow(lastFocus_) && ::IsChild(window, lastFocus_) ? lastFocus_ : nullptr;
    if (!target) {
        const std::vector<HWND> order = FocusOrder();
        if (!order.empty()) target = order.front();
    }
    if (target) ::SetFocus(target);
}

LRESULT BuiltLayout::FocusedPushButtonAsDefault(HWND window) const {
    HWND focus = ::GetFocus();
    if (!focus || ::GetParent(focus) != window || !::IsWindowVisible(focus)) return 0;
    const layout::Control* row = RowOf(focus);
    if (!row || (row->Type != Kind::PushButton && row->Type != Kind::PictureButton)) return 0;
    return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
}

void BuiltLayout::FollowFocus(HWND focus) {
    // The focused push button wears the default frame; with the focus anywhere else, the
    // table's default button does.
    const layout::Control* focused = RowOf(focus);
    const bool onPushButton = focused && focused->Type == Kind::PushButton && ::IsWindowVisible(focus);
    for (const Entry& e : entries_) {
        if (!e.Handle || e.Row->Type != Kind::PushButton) continue;
        const bool isDefault = onPushButton ? e.Handle == focus : (e.Row->Flags & layout::kDefaultButton) != 0;
        const LONG_PTR style = ::GetWindowLongPtrW(e.Handle, GWL_STYLE);
        const DWORD wanted = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != static_cast<LONG_PTR>(wanted)) ::SendMessageW(e.Handle, BM_SETSTYLE, wanted, TRUE);
    }
}

std::vector<HWND> BuiltLayout::FocusOrder() const {
    std::vector<const Entry*> order;
    for (const Entry& e : entries_)
        if (e.Handle && e.Row->TabIndex >= 0 && TakesFocus(*e.Row)) order.push_back(&e);
    std::stable_sort(
        order.begin(), order.end(), [](const Entry* a, const Entry* b) { return a->Row->TabIndex < b->Row->TabIndex; });
    std::vector<HWND> handles;
    for (const Entry* e : order) handles.push_back(e->Handle);
    return handles;
}

}  // namespace quorvel::win
