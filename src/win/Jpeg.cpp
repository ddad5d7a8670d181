#include "win/Jpeg.h"

#include <objbase.h>
#include <wincodec.h>

#include <limits>
#include <system_error>
#include <utility>

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

UniqueBitmap DecodeWithWic(const void* data, std::size_t size) {
    if (!data || size == 0 || size > std::numeric_limits<DWORD>::max()) return {};

    ComRef<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(
            CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory, factory.PutVoid())))
        return {};
    ComRef<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.Put()))) return {};
    // WIC only reads through this pointer.
    auto* bytes = static_cast<BYTE*>(const_cast<void*>(data));
    if (FAILED(stream->InitializeFromMemory(bytes, static_cast<DWORD>(size)))) return {};

    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Put())))
        return {};
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Put()))) return {};
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Put()))) return {};
    if (FAILED(converter->Initialize(frame.Get(),
                                     GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone,
                                     nullptr,
                                     0.0,
                                     WICBitmapPaletteTypeCustom)))
        return {};

    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide ||
        height > kMaxSide)
        return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, the order WIC copies in
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};

    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) return {};
    ::GdiFlush();
    return bitmap;
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

PicturesAhead::PicturesAhead(std::vector<int> resourceIds) {
    try {
        decoder_ = std::thread([this, ids = std::move(resourceIds)] { Decode(ids); });
    } catch (const std::system_error&) {
        // No thread: each picture is decoded when it is taken.
    }
}

PicturesAhead::~PicturesAhead() {
    if (decoder_.joinable()) decoder_.join();
}

void PicturesAhead::Decode(const std::vector<int>& resourceIds) {
    // The decoder's COM objects live and die on this thread; the bitmaps are plain GDI objects.
    ComScope com;
    for (int id : resourceIds) {
        decoded_.emplace(id, com.Usable() ? DecodeJpegResource(id) : UniqueBitmap{});
    }
}

UniqueBitmap PicturesAhead::Take(int resourceId) {
    if (decoder_.joinable()) decoder_.join();
    if (auto found = decoded_.find(resourceId); found != decoded_.end()) {
        UniqueBitmap bitmap = std::move(found->second);
        decoded_.erase(found);
        if (bitmap) return bitmap;
    }
    return DecodeJpegResource(resourceId);
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof info, &info) != sizeof info) return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

}  // namespace quorvel::win
