#include "win/PictureBox.h"

#include <string>
#include <unordered_map>
#include <utility>

#include "win/BaseWindow.h"
#include "win/Dpi.h"
#include "win/Jpeg.h"
#include "win/PushButtonAccessible.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {
namespace {

constexpr UINT kGetImageSize = WM_APP + 0x51;  // wParam: SIZE* to fill

// A decoded JPEG, drawn stretched to a box; the plate where it did not decode.
class Picture {
public:
    explicit Picture(UniqueBitmap bitmap) : bitmap_(std::move(bitmap)), size_(BitmapSize(bitmap_.Get())) {}

    SIZE Size() const { return size_; }
    void Paint(HDC dc, const RECT& box) const;

private:
    UniqueBitmap bitmap_;
    SIZE size_;
};

void Picture::Paint(HDC dc, const RECT& box) const {
    if (bitmap_) {
        HDC source = ::CreateCompatibleDC(dc);
        if (source) {
            HGDIOBJ old = ::SelectObject(source, bitmap_.Get());
            ::SetStretchBltMode(dc, HALFTONE);
            ::SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs it reset after the mode change
            const BOOL drawn = ::StretchBlt(dc,
                                            box.left,
                                            box.top,
                                            box.right - box.left,
                                            box.bottom - box.top,
                                            source,
                                            0,
                                            0,
                                            size_.cx,
                                            size_.cy,
                                            SRCCOPY);
            ::SelectObject(source, old);
            ::DeleteDC(source);
            if (drawn) return;
        }
    }
    UniqueBrush plate(::CreateSolidBrush(kPicturePlate));
    ::FillRect(dc, &box, plate.Get());
}

// The plain picture: a window of its own class, made by whoever creates one by that class (the
// layout builder, a test), so the object is made for the window and goes with it.
class PictureBox : public BaseWindow<PictureBox> {
public:
    static bool Register() {
        // A double click is one click, as on a picture; CS_DBLCLKS keeps the second press from
        // counting again.
        return RegisterClassOnce({.name = kPictureClass, .style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS});
    }

private:
    friend class BaseWindow<PictureBox>;

    explicit PictureBox(UniqueBitmap bitmap) : picture_(std::move(bitmap)) {}
    // lpCreateParams: the decoded picture (a UniqueBitmap* taken over), or null for the plate.
    static PictureBox* ObjectFor(const CREATESTRUCTW& create) {
        auto* bitmap = static_cast<UniqueBitmap*>(create.lpCreateParams);
        return new PictureBox(bitmap ? std::move(*bitmap) : UniqueBitmap{});
    }
    void OnWindowGone() override { delete this; }
    // A picture that fails keeps the program running; the parent carries on without it.
    void OnUnexpected(const std::wstring&) noexcept override {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;
    void MouseDown();
    void MouseUp(LPARAM lParam);

    Picture picture_;
    bool pressed_ = false;
};

void PictureBox::Paint(HDC dc) const {
    RECT client{};
    ::GetClientRect(Window(), &client);
    picture_.Paint(dc, client);
}

void PictureBox::MouseDown() {
    // Capture so that a press dragged off the picture and released elsewhere is no click.
    pressed_ = true;
    ::SetCapture(Window());
}

void PictureBox::MouseUp(LPARAM lParam) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    const HWND window = Window();
    if (::GetCapture() == window) ::ReleaseCapture();
    if (!wasPressed) return;
    RECT client{};
    ::GetClientRect(window, &client);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!::PtInRect(&client, at)) return;
    const int id = ::GetDlgCtrlID(window);
    // Last thing touched: the parent may destroy this picture, and with it this object, while it
    // handles the click.
    ::SendMessageW(::GetParent(window), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window));
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(Window(), &ps);
            if (dc) Paint(dc);
            ::EndPaint(Window(), &ps);
            return 0;
        }
        case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_LBUTTONDOWN: MouseDown(); return 0;
        case WM_LBUTTONUP: MouseUp(lParam); return 0;
        case WM_CAPTURECHANGED: pressed_ = false; return 0;
        case WM_SETFOCUS:
            // Reached only by dialog arrow navigation; the focus goes back where it came from.
            if (wParam && ::IsWindow(reinterpret_cast<HWND>(wParam))) ::SetFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        case kGetImageSize:
            if (wParam) *reinterpret_cast<SIZE*>(wParam) = picture_.Size();
            return 0;
        default: return DefaultHandling(message, wParam, lParam);
    }
}

// The system button does the pressing (mouse, Space, BM_CLICK) and the notifying; this paints
// the picture over it and shows the focus the way the system's push buttons do.
void PaintPictureButton(HWND button, const Picture& picture, HDC dc) {
    RECT client{};
    ::GetClientRect(button, &client);
    picture.Paint(dc, client);
    // The button's own state, not GetFocus: under Wine that is a server request on every paint.
    if (!(::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_FOCUS)) return;
    if (::SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) return;
    const UINT dpi = ::GetDpiForWindow(button);
    const int inset = ::MulDiv(3, dpi ? static_cast<int>(dpi) : kDesignDpi, kDesignDpi);
    ::InflateRect(&client, -inset, -inset);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
    ::DrawFocusRect(dc, &client);
}

// The picture a button shows and the procedure it had before, by button. Not comctl32's
// subclassing, a window property or GWLP_USERDATA: under Wine each of those asks the server, the
// first on every message.
struct PictureButton {
    WNDPROC Previous;
    Picture Shown;
};
std::unordered_map<HWND, PictureButton>& PictureButtons() {
    static std::unordered_map<HWND, PictureButton> buttons;
    return buttons;
}

const PictureButton* PictureButtonOf(HWND button) {
    const auto& buttons = PictureButtons();
    const auto found = buttons.find(button);
    return found == buttons.end() ? nullptr : &found->second;
}

LRESULT CALLBACK PictureButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const PictureButton* self = PictureButtonOf(button);
    if (!self) return ::DefWindowProcW(button, message, wParam, lParam);
    const WNDPROC previous = self->Previous;
    switch (message) {
        case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(button, &ps);
            if (dc) PaintPictureButton(button, self->Shown, dc);
            ::EndPaint(button, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: PaintPictureButton(button, self->Shown, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: {
            // The system button hands the drawing of the focus to its parent; it is drawn here.
            const LRESULT result = ::CallWindowProcW(previous, button, message, wParam, lParam);
            ::InvalidateRect(button, nullptr, FALSE);
            return result;
        }
        case WM_GETOBJECT:
            if (const LRESULT answer = AnswerAsPushButton(button, wParam, lParam)) return answer;
            break;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            PictureButtons().erase(button);
            break;
        default: break;
    }
    return ::CallWindowProcW(previous, button, message, wParam, lParam);
}

}  // namespace

bool RegisterPictureClass() { return PictureBox::Register(); }

bool AttachPictureButton(HWND button, UniqueBitmap bitmap) {
    if (!button || PictureButtonOf(button)) return false;
    try {
        PictureButtons().emplace(button,
                                 PictureButton{reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(button, GWLP_WNDPROC)),
                                               Picture(std::move(bitmap))});
    } catch (...) {
        return false;
    }
    ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PictureButtonProc));
    return true;
}

SIZE PictureImageSize(HWND picture) {
    SIZE size{0, 0};
    if (const PictureButton* button = PictureButtonOf(picture)) return button->Shown.Size();
    wchar_t className[64] = L"";
    if (::GetClassNameW(picture, className, 64) && ::lstrcmpiW(className, kPictureClass) == 0)
        ::SendMessageW(picture, kGetImageSize, reinterpret_cast<WPARAM>(&size), 0);
    return size;
}

}  // namespace quorvel::win
