#pragma once

// One move-only owner for every kind of handle the windows use. A traits type says what the
// empty value is and how the handle is let go.

#include <windows.h>

#include <utility>

namespace quorvel::win {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::Empty(); }

    Handle Release() noexcept { return std::exchange(handle_, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty()) noexcept {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Empty()) Traits::Close(old);
    }
    // For APIs that hand a handle back through a pointer.
    Handle* Put() noexcept {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Empty();
};

// A handle kind: its type, how it is let go, and whether INVALID_HANDLE_VALUE or null marks
// it empty (CreateFile and FindFirstFile give the first, most others the second).
enum class EmptyAs { Null, InvalidHandle };

template <typename H, auto kClose, EmptyAs kEmpty = EmptyAs::Null>
struct HandleTraits {
    using Handle = H;
    static Handle Empty() noexcept {
        if constexpr (kEmpty == EmptyAs::InvalidHandle) {
            return INVALID_HANDLE_VALUE;
        } else {
            return nullptr;
        }
    }
    static void Close(Handle h) noexcept { kClose(h); }
};

using KernelHandleTraits = HandleTraits<HANDLE, &::CloseHandle>;  // processes, threads, events
using FileHandleTraits = HandleTraits<HANDLE, &::CloseHandle, EmptyAs::InvalidHandle>;
using FindHandleTraits = HandleTraits<HANDLE, &::FindClose, EmptyAs::InvalidHandle>;
using RegKeyTraits = HandleTraits<HKEY, &::RegCloseKey>;
using HookTraits = HandleTraits<HHOOK, &::UnhookWindowsHookEx>;
template <typename T>
using GdiObjectTraits = HandleTraits<T, &::DeleteObject>;
using IconTraits = HandleTraits<HICON, &::DestroyIcon>;
using DcTraits = HandleTraits<HDC, &::DeleteDC>;  // made by CreateCompatibleDC
using WindowTraits = HandleTraits<HWND, &::DestroyWindow>;

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueHkey = UniqueHandle<RegKeyTraits>;
using UniqueHook = UniqueHandle<HookTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueDc = UniqueHandle<DcTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

// A window DC must go back to the window it came from, so it remembers that window.
class UniqueWindowDc {
public:
    UniqueWindowDc() noexcept = default;
    explicit UniqueWindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    UniqueWindowDc(const UniqueWindowDc&) = delete;
    UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;
    UniqueWindowDc(UniqueWindowDc&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
    UniqueWindowDc& operator=(UniqueWindowDc&& other) noexcept {
        if (this != &other) {
            Reset();
            window_ = std::exchange(other.window_, nullptr);
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    ~UniqueWindowDc() { Reset(); }

    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    void Reset() noexcept {
        if (dc_) ::ReleaseDC(window_, dc_);
        dc_ = nullptr;
        window_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

}  // namespace quorvel::win
