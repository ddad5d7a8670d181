// What a screen reader is told about each control of another program's window: one line per
// visible control in window order, "left top right bottom<TAB>role<TAB>name" in client pixels.
// Usage: quorvel_accessible_names "WINDOW TITLE" OUTPUT-FILE

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    HWND window = argc == 3 ? ::FindWindowW(nullptr, argv[1]) : nullptr;
    FILE* out = window ? _wfopen(argv[2], L"wb") : nullptr;
    if (!out) return 2;
    ::CoInitialize(nullptr);
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        std::wstring line = std::to_wstring(r.left) + L' ' + std::to_wstring(r.top) + L' ' + std::to_wstring(r.right) +
                            L' ' + std::to_wstring(r.bottom) + L'\t';
        IAccessible* object = nullptr;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        if (SUCCEEDED(::AccessibleObjectFromWindow(
                child, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object)))) {
            VARIANT role{};
            wchar_t roleText[64] = L"";
            if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4)
                ::GetRoleTextW(static_cast<DWORD>(role.lVal), roleText, 64);
            BSTR name = nullptr;
            line += roleText + std::wstring(L"\t") + (SUCCEEDED(object->get_accName(self, &name)) && name ? name : L"");
            ::SysFreeString(name);
            object->Release();
        }
        line += L'\n';
        char bytes[1024];
        const int size = ::WideCharToMultiByte(
            CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes, 1024, nullptr, nullptr);
        std::fwrite(bytes, 1, static_cast<size_t>(size), out);
    }
    std::fclose(out);
    return 0;
}
