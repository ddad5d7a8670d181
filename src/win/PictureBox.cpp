#include "win/PictureBox.h"

#include <new>

#include "win/Jpeg.h"
#include "win/LayoutBuilder.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {
namespace {

constexpr UINT kGetImageSize = WM_APP + 0x51;  // wParam: SIZE* to fill

class PictureBox {
public:
    explicit PictureBox(HWND window) : window_(window) {}

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Paint(HDC dc) const;
    void MouseDown();
    void MouseUp(LPARAM lParam);

    HWND window_;
    UniqueBitmap bitmap_;
    SIZE size_{0, 0};
    bool pressed_ = false;
};

void PictureBox::Paint(HDC dc) const {
    RECT client{};
    ::GetClientRect(window_, &client);
    if (bitmap_) {
        HDC source = ::CreateCompatibleDC(dc);
        if (source) {
            HGDIOBJ old = ::SelectObject(source, bitmap_.Get());
            ::SetStretchBltMode(dc, HALFTONE);
            ::SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs it reset after the mode change
            const BOOL drawn =
                ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, size_.cx, size_.cy, SRCCOPY);
            ::SelectObject(source, old);
            ::DeleteDC(source);
            if (drawn) return;
        }
    }
    UniqueBrush plate(::CreateSolidBrush(kPicturePlate));
    ::FillRect(dc, &client, plate.Get());
}

void PictureBox::MouseDown() {
    // Capture so that a press dragged off the picture and released elsewhere is no click.
    pressed_ = true;
    ::SetCapture(window_);
}

void PictureBox::MouseUp(LPARAM lParam) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (::GetCapture() == window_) ::ReleaseCapture();
    if (!wasPressed) return;
    RECT client{};
    ::GetClientRect(window_, &client);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!::PtInRect(&client, at)) return;
    const int id = ::GetDlgCtrlID(window_);
    // Last thing touched: the parent may destroy this picture while it handles the click.
    ::SendMessageW(::GetParent(window_), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window_));
}

LRESULT PictureBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            const int resourceId = static_cast<int>(reinterpret_cast<INT_PTR>(create->lpCreateParams));
            bitmap_ = DecodeJpegResource(resourceId);
            size_ = BitmapSize(bitmap_.Get());
            return 0;
        }
        case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window_, &ps);
            if (dc) Paint(dc);
            ::EndPaint(window_, &ps);
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
            if (wParam) *reinterpret_cast<SIZE*>(wParam) = size_;
            return 0;
        default: return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<PictureBox*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = new (std::nothrow) PictureBox(window);
        if (!self) return FALSE;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = self->Handle(message, wParam, lParam);
    } catch (...) {
        // A picture that fails keeps the program running; the parent carries on without it.
        result = ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete self;
    }
    return result;
}

}  // namespace

bool RegisterPictureClass() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(instance, kPictureClass, &wc)) return true;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    // A double click is one click, as on a picture; CS_DBLCLKS keeps the second press from
    // counting again.
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &PictureProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureClass;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

SIZE PictureImageSize(HWND picture) {
    SIZE size{0, 0};
    wchar_t className[64] = L"";
    if (!::GetClassNameW(picture, className, 64) || ::lstrcmpiW(className, kPictureClass) != 0) return size;
    ::SendMessageW(picture, kGetImageSize, reinterpret_cast<WPARAM>(&size), 0);
    return size;
}

}  // namespace quorvel::win
