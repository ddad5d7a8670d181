#pragma once

// The objects windows are bound to, by handle. Not GWLP_USERDATA nor a window property: under
// Wine setting either asks the server, once for each window made.

#include <windows.h>

#include <unordered_map>

namespace quorvel::win {

// Never destroyed: a window may outlive static objects (one bound to a static object is
// destroyed with it, at exit).
inline std::unordered_map<HWND, void*>& BoundWindows() {
    static auto* bound = new std::unordered_map<HWND, void*>;
    return *bound;
}

inline void* BoundObject(HWND window) {
    const auto& bound = BoundWindows();
    const auto found = bound.find(window);
    return found == bound.end() ? nullptr : found->second;
}

}  // namespace quorvel::win
