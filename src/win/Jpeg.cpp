#include "win/Jpeg.h"

#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <limits>
#include <utility>
#include <vector>

namespace quorvel::win {
namespace {

// Far beyond any artwork; keeps the pixel buffer size inside a UINT.
constexpr UINT kMaxSide = 16384;

template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T** Put() { return &p_; }
    void** PutVoid() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// COM stays initialised only as long as the decoder needs it, unless the thread had it already
// (then the call only counts up and down). A thread in the other apartment model is fine too.
class ComScope {
public:
    ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    bool Usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

// A top-down 32-bit DIB section; bits points at its pixels.
UniqueBitmap MakeDib(UINT width, UINT height, void*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, the order WIC copies in
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bits) return {};
    return bitmap;
}

// Colour JPEGs decode to 24-bit BGR: widened to BGRA here, without the imaging factory's
// converter (which reads the registration of every pixel format).
UniqueBitmap FromBgr(IWICBitmapSource* frame, UINT width, UINT height) {
    const UINT rowBytes = width * 3;
    std::vector<BYTE> bgr(static_cast<std::size_t>(rowBytes) * height);
    if (FAILED(frame->CopyPixels(nullptr, rowBytes, static_cast<UINT>(bgr.size()), bgr.data()))) return {};
    void* bits = nullptr;
    UniqueBitmap bitmap = MakeDib(width, height, bits);
    if (!bitmap) return {};
    auto* out = static_cast<BYTE*>(bits);
    for (std::size_t from = 0; from < bgr.size(); from += 3, out += 4) {
        out[0] = bgr[from];
        out[1] = bgr[from + 1];
        out[2] = bgr[from + 2];
        out[3] = 0xFF;
    }
    ::GdiFlush();
    return bitmap;
}

// Grey and CMYK JPEGs go through the imaging factory's converter.
UniqueBitmap Converted(IWICBitmapSource* frame, UINT width, UINT height) {
    ComRef<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(
            CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory, factory.PutVoid())))
        return {};
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Put()))) return {};
    if (FAILED(converter->Initialize(
            frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return {};
    void* bits = nullptr;
    UniqueBitmap bitmap = MakeDib(width, height, bits);
    if (!bitmap) return {};
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) return {};
    ::GdiFlush();
    return bitmap;
}

UniqueBitmap DecodeWithWic(const void* data, std::size_t size) {
    if (!data || size == 0 || size > std::numeric_limits<UINT>::max()) return {};

    // The JPEG decoder by its class: asking the imaging factory to find a decoder for the bytes
    // reads the registration of every codec, which was most of a picture's cost at start-up.
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(::CoCreateInstance(
            CLSID_WICJpegDecoder, nullptr, CLSCTX_INPROC_SERVER, IID_IWICBitmapDecoder, decoder.PutVoid())))
        return {};
    ComRef<IStream> stream;
    *stream.Put() = ::SHCreateMemStream(static_cast<const BYTE*>(data), static_cast<UINT>(size));
    if (!stream.Get() || FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand))) return {};
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Put()))) return {};

    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return {};
    WICPixelFormatGUID format{};
    if (SUCCEEDED(frame->GetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR)
        return FromBgr(frame.Get(), width, height);
    return Converted(frame.Get(), width, height);
}

}  // namespace

UniqueBitmap DecodeJpeg(const void* data, std::size_t size) {
    ComScope com;
    if (!com.Usable()) return {};
    return DecodeWithWic(data, size);
}

UniqueBitmap DecodeJpegResource(int resourceId, HMODULE module) {
    if (!module) module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const DWORD size = ::SizeofResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) return {};
    return DecodeJpeg(data, size);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof info, &info) != sizeof info) return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

}  // namespace quorvel::win
