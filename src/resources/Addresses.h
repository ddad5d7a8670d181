#pragma once

// The two web addresses the program hands to the system.

namespace quorvel {

inline constexpr wchar_t kWebPageAddress[] = L"https://quorvel.example.org/";
inline constexpr wchar_t kDonationAddress[] =
    L"https://payments.example.com/xclick/business=donate%40quorvel.example.org&item_name=Quorvel&item_number=1";

}  // namespace quorvel
