#pragma once

// The lists the Advanced options offer, in the dialog's order, what the batch list makes of each
// entry, and the values the options start from. The dialog, quorvel-batch and the job writer all
// read them here, so the three cannot drift apart.

#include <string_view>

namespace quorvel {

struct AspectRatioChoice {
    std::string_view Text;
    int Code;  // what Video.AspectRatio holds for it
    // Reads as its text, so both lists are lists of texts to the code that only shows them.
    constexpr operator std::string_view() const { return Text; }
};

inline constexpr AspectRatioChoice kAspectRatios[] = {
    {"1:1 (VGA)", 1},
    {"4:3 525 line (NTSC)", 12},
    {"4:3 625 line (NTSC, 704x480)", 44},
    {"4:3 625 (PAL)", 8},
    {"16:9 525 line (NTSC)", 6},
    {"16:9 625 line (PAL)", 3},
    {"4:3 Display", 13},
    {"16:9 Display", 14},
    {"2.11:1 Display", 15},
};

inline constexpr std::string_view kVideoSourceTypes[] = {"Non-interlace (progressive)", "Interlace"};

inline constexpr std::string_view kDefaultAspectRatio = kAspectRatios[6].Text;
inline constexpr std::string_view kDefaultVideoSourceType = kVideoSourceTypes[0];
inline constexpr std::string_view kDefaultClipping = "0";

// Exact texts only, letter case included: a typed text that is in no list gives 1.
constexpr int AspectRatioCode(std::string_view aspectRatio) {
    for (const AspectRatioChoice& choice : kAspectRatios) {
        if (choice.Text == aspectRatio) return choice.Code;
    }
    return 1;
}

// Only the first letter counts, so a typed "interlaced" is interlaced too.
constexpr bool IsInterlaced(std::string_view videoSourceType) {
    return !videoSourceType.empty() && (videoSourceType.front() == 'I' || videoSourceType.front() == 'i');
}
static_assert(!IsInterlaced(kVideoSourceTypes[0]) && IsInterlaced(kVideoSourceTypes[1]));

}  // namespace quorvel
