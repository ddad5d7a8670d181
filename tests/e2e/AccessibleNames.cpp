// The name a screen reader gives each control of another program's window: one line per visible
// control in window order, "left top right bottom<TAB>name" in client pixels, in UTF-8.
// Usage: quorvel_accessible_names "WINDOW TITLE" OUTPUT-FILE

#include <windows.h>

#include <oleacc.h>

#include <cstdio>

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
        IAccessible* object = nullptr;
        BSTR name = nullptr;
        VARIANT self{};
        self.vt = VT_I4;  // CHILDID_SELF
        if (SUCCEEDED(::AccessibleObjectFromWindow(child, OBJID_CLIENT, __uuidof(IAccessible), (void**)&object))) {
            object->get_accName(self, &name);
            object->Release();
        }
        char text[1024] = "";
        ::WideCharToMultiByte(CP_UTF8, 0, name ? name : L"", -1, text, sizeof text, nullptr, nullptr);
        std::fprintf(out, "%ld %ld %ld %ld\t%s\n", r.left, r.top, r.right, r.bottom, text);
        ::SysFreeString(name);
    }
    std::fclose(out);
    return 0;
}
