#pragma once

// The two web addresses the program hands to the system, set when the build is configured
// (QUORVEL_WEB_PAGE, QUORVEL_DONATION_PAGE); empty when the build has none.

#include "resources/ConfiguredAddresses.h"

namespace quorvel {

inline constexpr wchar_t kWebPageAddress[] = QUORVEL_WEB_PAGE;
inline constexpr wchar_t kDonationAddress[] = QUORVEL_DONATION_PAGE;

// Without a web page the WEB picture opens the manual: the file of this name beside the
// program, or the one the environment variable names (the Linux launcher points it at the
// installed manual, which lies elsewhere).
inline constexpr wchar_t kManualFileName[] = L"manual.html";
inline constexpr wchar_t kManualVariable[] = L"QUORVEL_MANUAL";

}  // namespace quorvel
