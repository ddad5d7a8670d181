#pragma once

// Layouts are kept in twips; the screen wants pixels at the window's DPI.

namespace quorvel::win {

constexpr int kTwipsPerInch = 1440;
// The DPI the windows are designed at, and what a window without one of its own gets.
constexpr int kDesignDpi = 96;

// Rounds halves away from zero, as MulDiv does, so 15 twips are one pixel at 96 DPI.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kTwipsPerInch / 2) / kTwipsPerInch
                                        : -((-scaled + kTwipsPerInch / 2) / kTwipsPerInch));
}

// A font size in points as a (negative, character-height) LOGFONT height at a DPI.
constexpr int PointsToFontHeight(double points, int dpi) {
    const double pixels = points * dpi / 72.0;
    return -static_cast<int>(pixels + 0.5);
}

}  // namespace quorvel::win
