#pragma once

// The one window base: the object is bound to its HWND on WM_NCCREATE, and a noexcept window
// procedure hands every message to T::HandleMessage, catching everything at the boundary.
// A window is the object's: made by CreateWindowOf, destroyed with the object. A control made by
// others through its class name makes its own object in T::ObjectFor instead.

#include <windows.h>

#include <exception>
#include <string>

#include "win/BoundWindows.h"
#include "win/MessageSink.h"
#include "batch/TextWindows.h"
#include "win/UniqueHandle.h"

namespace quorvel::win {

struct WindowClass {
    const wchar_t* name;
    HICON icon = nullptr;
    HBRUSH background = nullptr;  // null: the window paints its own background
    UINT style = CS_DBLCLKS;
};

// The system's arrow, shared by every class: each load asks Wine's display cache again.
inline HCURSOR ArrowCursor() {
    static const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    return arrow;
}

template <typename T>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;
    virtual ~BaseWindow() { DestroyUnbound(); }

    HWND Window() const noexcept { return window_.Get(); }
    bool IsCreated() const noexcept { return static_cast<bool>(window_); }

protected:
    // Registers the class on first use; a class registered before is reused.
    static bool RegisterClassOnce(const WindowClass& windowClass) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        HINSTANCE instance = ::GetModuleHandleW(nullptr);
        if (::GetClassInfoExW(instance, windowClass.name, &wc)) return true;
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = windowClass.style;
        wc.lpfnWndProc = &BaseWindow::WindowProc;
        wc.hInstance = instance;
        wc.hIcon = windowClass.icon;
        wc.hIconSm = windowClass.icon;
        wc.hCursor = ArrowCursor();
        wc.hbrBackground = windowClass.background;
        wc.lpszClassName = windowClass.name;
        return ::RegisterClassExW(&wc) != 0;
    }

    // Creates the window with its frame at the given screen rectangle, so it never shows or moves
    // anywhere else first.
    bool CreateWindowOf(const WindowClass& windowClass, const wchar_t* caption, DWORD style, DWORD exStyle, HWND owner,
                        const RECT& frame) {
        if (!RegisterClassOnce(windowClass)) return false;
        ::CreateWindowExW(exStyle,
                          windowClass.name,
                          caption,
                          style,
                          frame.left,
                          frame.top,
                          frame.right - frame.left,
                          frame.bottom - frame.top,
                          owner,
                          nullptr,
                          ::GetModuleHandleW(nullptr),
                          static_cast<T*>(this));
        return IsCreated();
    }

    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(Window(), message, wParam, lParam);
    }

    // Destroys the window without its handlers: the object is being destroyed, and what derives
    // from this base is already gone. Returns the handle it had, for bookkeeping by handle only.
    HWND DestroyUnbound() noexcept {
        if (!window_) return nullptr;
        const HWND window = Window();
        BoundWindows().erase(window);
        window_.Reset();
        return window;
    }

    // The object a window is bound to on WM_NCCREATE: the one CreateWindowOf passed.
    static T* ObjectFor(const CREATESTRUCTW& create) { return static_cast<T*>(create.lpCreateParams); }

    // Called once the HWND is gone, so the object can forget what belonged to it.
    virtual void OnWindowGone() {}
    // A handler failed with an exception, which stops here.
    virtual void OnUnexpected(const std::wstring& text) noexcept {
        ::MessageBoxW(Window(), text.c_str(), kAppTitle, MB_OK);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        T* self = nullptr;
        if (message == WM_NCCREATE) {
            self = Bind(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
            if (!self) return FALSE;  // no object, no window
        } else {
            self = static_cast<T*>(BoundObject(window));
        }
        if (!self) return ::DefWindowProcW(window, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (const std::exception& e) {
            static_cast<BaseWindow*>(self)->OnUnexpected(L"Unexpected error: " + Widen(e.what()));
        } catch (...) {
            static_cast<BaseWindow*>(self)->OnUnexpected(L"Unexpected error.");
        }
        if (message == WM_NCDESTROY) {
            BoundWindows().erase(window);
            // Gone by itself: the owner must not destroy it again.
            (void)self->window_.Release();
            try {
                static_cast<BaseWindow*>(self)->OnWindowGone();
            } catch (...) {
            }
        }
        return result;
    }

    static T* Bind(HWND window, const CREATESTRUCTW& create) noexcept {
        T* self = nullptr;
        try {
            self = T::ObjectFor(create);
            if (self) BoundWindows()[window] = self;
        } catch (...) {
            self = nullptr;
        }
        if (!self) return nullptr;
        self->window_.Reset(window);
        return self;
    }

    UniqueWindow window_;
};

}  // namespace quorvel::win
