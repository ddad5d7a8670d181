#pragma once

#include <string>

namespace quorvel {

inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

// "3.0.0"
inline std::wstring VersionText() {
    return std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor) + L"." +
           std::to_wstring(kVersionRevision);
}

}  // namespace quorvel
