#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>
#include <thread>
#include <vector>

#include "batch/Version.h"
#include "resources/ResourceIds.h"
#include "win/Jpeg.h"
#include "win/LayoutBuilder.h"
#include "win/PictureBox.h"

namespace {

using quorvel::win::BitmapSize;
using quorvel::win::DecodeJpeg;
using quorvel::win::DecodeJpegResource;
using quorvel::win::kPictureClass;

struct StoredPicture {
    int Id;
    LONG Width;
    LONG Height;
};

constexpr StoredPicture kPictures[] = {
    {IDJ_WEB, 221, 132},
    {IDJ_CREATE_BATCH, 221, 132},
    {IDJ_QUIT, 221, 132},
    {IDJ_ABOUT, 221, 132},
    {IDJ_PORTRAIT, 640, 480},
};

std::vector<unsigned char> ResourceBytes(int id) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!found) return {};
    const auto* data = static_cast<const unsigned char*>(::LockResource(::LoadResource(self, found)));
    return {data, data + ::SizeofResource(self, found)};
}

// The imaging factory's own way, to check the decoder against: it finds the codec and
// converts to 32-bit BGRA.
std::vector<BYTE> FactoryPixels(const std::vector<unsigned char>& jpeg) {
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    std::vector<BYTE> pixels;
    UINT width = 0, height = 0;
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(jpeg.data()), static_cast<DWORD>(jpeg.size()))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(
            frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height))) {
        pixels.resize(static_cast<std::size_t>(width) * height * 4);
        if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data())))
            pixels.clear();
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{converter, frame, decoder, stream, factory})
        if (object) object->Release();
    if (SUCCEEDED(com)) ::CoUninitialize();
    return pixels;
}

int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// A 32-bit canvas a picture can print itself into.
class Canvas {
public:
    Canvas(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
        old_ = ::SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ~Canvas() {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return colour;
}

// A top-level window standing in for a window built from a layout: it owns one push button
// that holds the focus, and records the commands it receives.
class ParentWindow {
public:
    ParentWindow() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &ParentWindow::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorvelPictureTestParent";
        ::RegisterClassExW(&wc);
        window_ = ::CreateWindowExW(0,
                                    wc.lpszClassName,
                                    L"picture test",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    50,
                                    50,
                                    600,
                                    400,
                                    nullptr,
                                    nullptr,
                                    wc.hInstance,
                                    this);
        button_ = ::CreateWindowExW(0,
                                    L"BUTTON",
                                    L"&Go",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                    5,
                                    300,
                                    80,
                                    25,
                                    window_,
                                    reinterpret_cast<HMENU>(7),
                                    wc.hInstance,
                                    nullptr);
        ::SetForegroundWindow(window_);
        ::SetFocus(button_);
    }
    ~ParentWindow() { ::DestroyWindow(window_); }

    HWND Window() const { return window_; }
    HWND Button() const { return button_; }

    HWND AddPicture(int resourceId, int id, int width, int height) {
        EXPECT_TRUE(quorvel::win::RegisterPictureClass());
        quorvel::win::UniqueBitmap bitmap = DecodeJpegResource(resourceId);
        return pictures_.emplace_back(::CreateWindowExW(0,
                                                        kPictureClass,
                                                        L"",
                                                        WS_CHILD | WS_VISIBLE,
                                                        10,
                                                        10,
                                                        width,
                                                        height,
                                                        window_,
                                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                                        ::GetModuleHandleW(nullptr),
                                                        &bitmap));
    }

    // Back to a parent with only its button, holding the focus.
    void Reset() {
        for (HWND picture : pictures_) ::DestroyWindow(picture);
        pictures_.clear();
        Commands.clear();
        DestroyOnClick = false;
        ::SetFocus(button_);
    }

    struct Command {
        WORD Id;
        WORD Code;
        HWND From;
    };
    std::vector<Command> Commands;
    bool DestroyOnClick = false;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ParentWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_COMMAND) {
            self->Commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
            if (self->DestroyOnClick) ::DestroyWindow(reinterpret_cast<HWND>(lParam));
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    HWND button_ = nullptr;
    std::vector<HWND> pictures_;
};

// One parent for every case: Wine waits for the X server on each top-level window it unmaps.
class PictureControl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { shared_ = new ParentWindow; }
    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
    }
    void SetUp() override { shared_->Reset(); }
    void TearDown() override { shared_->Reset(); }
    static ParentWindow& Parent() { return *shared_; }

private:
    static inline ParentWindow* shared_ = nullptr;
};

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

TEST(JpegResources, EveryPictureDecodesToItsDrawnSize) {
    for (const StoredPicture& p : kPictures) {
        SCOPED_TRACE(p.Id);
        quorvel::win::UniqueBitmap bitmap = DecodeJpegResource(p.Id);
        ASSERT_TRUE(bitmap);
        const SIZE size = BitmapSize(bitmap.Get());
        EXPECT_EQ(size.cx, p.Width);
        EXPECT_EQ(size.cy, p.Height);
        BITMAP info{};
        ASSERT_EQ(::GetObjectW(bitmap.Get(), sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmBitsPixel, 32);
        // Decoded pixels, not an untouched buffer: the plate's corner and its centre differ.
        EXPECT_NE(PixelOf(bitmap.Get(), 1, 1), PixelOf(bitmap.Get(), p.Width / 2, p.Height / 2));
        // Channel for channel what the imaging factory's own decoding gives.
        const std::vector<BYTE> expected = FactoryPixels(ResourceBytes(p.Id));
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(p.Width) * p.Height * 4);
        const auto* bits = static_cast<const BYTE*>(info.bmBits);
        ASSERT_NE(bits, nullptr);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bits)) << "pixels differ from the factory's";
    }
}

TEST(JpegResources, WhatIsNoPictureGivesAnEmptyBitmap) {
    EXPECT_FALSE(DecodeJpegResource(999));
    EXPECT_FALSE(DecodeJpeg(nullptr, 0));
    const std::string text = "this is not a picture at all";
    EXPECT_FALSE(DecodeJpeg(text.data(), text.size()));
    const std::vector<unsigned char> jpeg = ResourceBytes(IDJ_QUIT);
    ASSERT_GT(jpeg.size(), 100u);
    EXPECT_FALSE(DecodeJpeg(jpeg.data(), 20)) << "a header alone has no pixels";
    EXPECT_EQ(BitmapSize(nullptr).cx, 0);
}

TEST(JpegResources, DecodingLeavesTheThreadsComStateAsItFoundIt) {
    SIZE fresh{}, inMta{};
    HRESULT afterwards = E_FAIL;
    std::thread([&] {
        fresh = BitmapSize(DecodeJpegResource(IDJ_PORTRAIT).Get());
        // S_OK means this thread is not left initialised by the decoder.
        afterwards = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(afterwards)) ::CoUninitialize();
    }).join();
    std::thread([&] {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        inMta = BitmapSize(DecodeJpegResource(IDJ_WEB).Get());
        ::CoUninitialize();
    }).join();
    EXPECT_EQ(fresh.cx, 640);
    EXPECT_EQ(afterwards, S_OK);
    EXPECT_EQ(inMta.cx, 221);
}

TEST(ProgramResources, IconHoldsEachSizeWindowsAsksForIn32BitColour) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HICON icon = static_cast<HICON>(::LoadImageW(self, MAKEINTRESOURCEW(IDI_QUORVEL), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    EXPECT_EQ(BitmapSize(info.hbmColor).cx, 32);
    EXPECT_EQ(BitmapSize(info.hbmColor).cy, 32);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);

#pragma pack(push, 2)
    struct GroupEntry {
        BYTE Width, Height, Colours, Reserved;
        WORD Planes, Bits;
        DWORD Bytes;
        WORD Id;
    };
#pragma pack(pop)
    HRSRC group = ::FindResourceW(self, MAKEINTRESOURCEW(IDI_QUORVEL), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* header = static_cast<const WORD*>(::LockResource(::LoadResource(self, group)));
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 3);
    std::vector<int> sizes;
    for (WORD i = 0; i < header[2]; ++i) {
        sizes.push_back(entries[i].Width == 0 ? 256 : entries[i].Width);
        EXPECT_EQ(entries[i].Width, entries[i].Height);
        EXPECT_EQ(entries[i].Bits, 32);
    }
    EXPECT_EQ(sizes, (std::vector<int>{256, 48, 32, 24, 16}));
}

TEST(ProgramResources, VersionIsTheProjects) {
    wchar_t path[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD majorMinor = MAKELONG(quorvel::kVersionMinor, quorvel::kVersionMajor);
    EXPECT_EQ(fixed->dwFileVersionMS, majorMinor);
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, quorvel::kVersionRevision));
    EXPECT_EQ(fixed->dwProductVersionMS, majorMinor);
    const std::pair<const wchar_t*, const wchar_t*> texts[] = {{L"ProductName", L"Quorvel"},
                                                               {L"ProductVersion", quorvel::kVersionTextW},
                                                               {L"CompanyName", L"The Quorvel developers"}};
    for (const auto& [name, expected] : texts) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << query;
        EXPECT_STREQ(value, expected);
    }
}

TEST(ProgramResources, ManifestGivesCommonControls6AndKeepsTheSystemCodePage) {
    // With the manifest's dependency the process's activation context sends comctl32.dll to
    // the side-by-side version 6 assembly; without it there is nothing to redirect.
    ACTCTX_SECTION_KEYED_DATA redirect{};
    redirect.cbSize = sizeof redirect;
    EXPECT_TRUE(
        ::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &redirect));

    // Wine treats every program as DPI aware, so ask the activation context what the manifest
    // said: a setting in a misspelt namespace would be dropped without a word.
    auto setting = [](const wchar_t* space, const wchar_t* name) {
        wchar_t value[128] = L"";
        SIZE_T written = 0;
        if (!::QueryActCtxSettingsW(0, nullptr, space, name, value, 128, &written)) return std::wstring();
        return std::wstring(value);
    };
    const std::wstring awareness = setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness");
    EXPECT_EQ(awareness.rfind(L"PerMonitorV2", 0), 0u) << "per-monitor v2 first";
    EXPECT_NE(awareness.find(L", PerMonitor"), std::wstring::npos) << "and per-monitor where v2 is unknown";
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2019/WindowsSettings", L"activeCodePage"), L"");
    // Paths longer than MAX_PATH on Windows 10 and later, as under Wine.
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"longPathAware"), L"true");

    // The code page the system is set to, which the program must not override.
    wchar_t acp[16] = L"";
    DWORD bytes = sizeof acp;
    ASSERT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE,
                             L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage",
                             L"ACP",
                             RRF_RT_REG_SZ,
                             nullptr,
                             acp,
                             &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(::GetACP(), static_cast<UINT>(std::wcstoul(acp, nullptr, 10)));
}

TEST_F(PictureControl, TheLayoutBuilderMakesPicturesThatClick) {
    ParentWindow& parent = Parent();
    ::UnregisterClassW(kPictureClass, ::GetModuleHandleW(nullptr));  // the builder must register it
    static constexpr quorvel::layout::Control kControls[] = {
        {.Name = L"Image3",
         .Type = quorvel::layout::Kind::Picture,
         .Container = nullptr,
         .Caption = nullptr,
         .Left = 150,
         .Top = 150,
         .Width = 1215,
         .Height = 720,
         .TabIndex = -1,
         .Resource = IDJ_QUIT},
    };
    static constexpr quorvel::layout::Window kTable{
        .Name = L"test", .Caption = L"test", .ClientWidth = 3000, .ClientHeight = 3000, .Controls = kControls};
    quorvel::win::BuiltLayout built;
    ASSERT_TRUE(built.Build(parent.Window(), kTable));
    HWND picture = built.Control(0);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(quorvel::win::PictureImageSize(picture).cx, 221);
    ::SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    ::SendMessageW(picture, WM_LBUTTONUP, 0, At(2, 2));
    ASSERT_EQ(parent.Commands.size(), 1u);
    EXPECT_EQ(parent.Commands[0].Id, quorvel::win::BuiltLayout::IdOfRow(0));
    EXPECT_EQ(parent.Commands[0].Code, BN_CLICKED);
    ::DestroyWindow(picture);
}

TEST_F(PictureControl, AClickReachesTheParentAndTheFocusStays) {
    ParentWindow& parent = Parent();
    ASSERT_EQ(::GetFocus(), parent.Button());
    HWND picture = parent.AddPicture(IDJ_QUIT, 42, 221, 132);
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(::GetWindowLongW(picture, GWL_STYLE) & WS_TABSTOP);

    ::SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(picture, WM_LBUTTONUP, 0, At(6, 5));
    ASSERT_EQ(parent.Commands.size(), 1u);
    EXPECT_EQ(parent.Commands[0].Id, 42);
    EXPECT_EQ(parent.Commands[0].Code, BN_CLICKED);
    EXPECT_EQ(parent.Commands[0].From, picture);
    EXPECT_EQ(::GetFocus(), parent.Button());
    EXPECT_EQ(::GetCapture(), nullptr);

    // A parent that closes the window on the click (Quit) takes the picture with it.
    parent.DestroyOnClick = true;
    ::SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(picture, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_FALSE(::IsWindow(picture));
    EXPECT_EQ(parent.Commands.size(), 2u);
}

TEST_F(PictureControl, OnlyAPressReleasedOnThePictureIsAClick) {
    ParentWindow& parent = Parent();
    HWND picture = parent.AddPicture(IDJ_WEB, 43, 221, 132);
    // Released outside after pressing inside: the user changed their mind.
    ::SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(picture, WM_LBUTTONUP, 0, At(300, 5));
    // A release with no press on the picture (pressed elsewhere, dragged over).
    ::SendMessageW(picture, WM_LBUTTONUP, 0, At(5, 5));
    // Keys do nothing, even sent straight to it.
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        ::SendMessageW(picture, WM_KEYDOWN, key, 0);
        ::SendMessageW(picture, WM_CHAR, key, 0);
        ::SendMessageW(picture, WM_KEYUP, key, 0);
    }
    EXPECT_TRUE(parent.Commands.empty());

    // A double click is one click.
    ::SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    ::SendMessageW(picture, WM_LBUTTONUP, 0, At(5, 5));
    ::SendMessageW(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
    ::SendMessageW(picture, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(parent.Commands.size(), 1u);
}

TEST_F(PictureControl, KeyboardNavigationNeverLandsOnAPicture) {
    ParentWindow& parent = Parent();
    HWND picture = parent.AddPicture(IDJ_ABOUT, 44, 221, 132);
    ASSERT_NE(picture, nullptr);
    for (WPARAM key : {VK_TAB, VK_DOWN, VK_RIGHT, VK_UP}) {
        SCOPED_TRACE(key);
        MSG message{parent.Button(), WM_KEYDOWN, key, 0, 0, {}};
        ::IsDialogMessageW(parent.Window(), &message);
        EXPECT_NE(::GetFocus(), picture);
    }
    ::SetFocus(picture);
    EXPECT_EQ(::GetFocus(), parent.Button()) << "the focus goes back to where it came from";
}

TEST_F(PictureControl, PaintsThePictureStretchedToItsBox) {
    ParentWindow& parent = Parent();
    quorvel::win::UniqueBitmap portrait = DecodeJpegResource(IDJ_PORTRAIT);
    ASSERT_TRUE(portrait);

    HWND full = parent.AddPicture(IDJ_PORTRAIT, 45, 640, 480);
    EXPECT_EQ(quorvel::win::PictureImageSize(full).cx, 640);
    Canvas fullCanvas(640, 480);
    ::SendMessageW(full, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(fullCanvas.Dc()), PRF_CLIENT);
    for (POINT p : {POINT{20, 20}, POINT{260, 240}, POINT{320, 450}, POINT{600, 100}}) {
        EXPECT_LE(Distance(fullCanvas.At(p.x, p.y), PixelOf(portrait.Get(), p.x, p.y)), 6) << p.x << "," << p.y;
    }

    // Half the size: each point of the box shows the picture's point at twice its place.
    HWND half = parent.AddPicture(IDJ_PORTRAIT, 46, 320, 240);
    Canvas halfCanvas(320, 240);
    ::SendMessageW(half, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(halfCanvas.Dc()), PRF_CLIENT);
    for (POINT p : {POINT{10, 10}, POINT{130, 120}, POINT{160, 225}, POINT{300, 50}}) {
        EXPECT_LE(Distance(halfCanvas.At(p.x, p.y), PixelOf(portrait.Get(), 2 * p.x, 2 * p.y)), 24)
            << p.x << "," << p.y;
    }
    EXPECT_NE(halfCanvas.At(10, 10), halfCanvas.At(130, 120)) << "background and face differ";
}

TEST_F(PictureControl, APictureThatDoesNotDecodeShowsItsPlate) {
    ParentWindow& parent = Parent();
    HWND missing = parent.AddPicture(999, 47, 100, 60);
    ASSERT_NE(missing, nullptr) << "a missing picture still makes a window";
    EXPECT_EQ(quorvel::win::PictureImageSize(missing).cx, 0);
    Canvas canvas(100, 60);
    ::SendMessageW(missing, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.At(0, 0), quorvel::win::kPicturePlate);
    EXPECT_EQ(canvas.At(99, 59), quorvel::win::kPicturePlate);
    // It still answers a click.
    ::SendMessageW(missing, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    ::SendMessageW(missing, WM_LBUTTONUP, 0, At(1, 1));
    EXPECT_EQ(parent.Commands.size(), 1u);
    EXPECT_EQ(quorvel::win::PictureImageSize(parent.Button()).cx, 0) << "asks only pictures";
}

}  // namespace
