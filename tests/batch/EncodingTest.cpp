#include <gtest/gtest.h>

#include <string>

#include "batch/BatchList.h"

namespace quorvel {
namespace {

TEST(Windows1252, MapsWhatItHoldsAndMarksTheRest) {
    EXPECT_EQ(EncodeWindows1252("plain 'text'\\"), "plain 'text'\\");
    EXPECT_EQ(EncodeWindows1252("Caf\xC3\xA9 \xC3\xBF\xC2\xA0"), "Caf\xE9 \xFF\xA0");
    EXPECT_EQ(EncodeWindows1252("\xE2\x82\xAC \xE2\x80\x9C\xE2\x80\x9D \xC5\xB8 \xE2\x84\xA2"),
              "\x80 \x93\x94 \x9F \x99");
    EXPECT_EQ(EncodeWindows1252("\xE6\x97\xA5\xE6\x9C\xAC.avi"), "??.avi");
    EXPECT_EQ(EncodeWindows1252("\xF0\x9F\x8E\xA5"), "?");
    EXPECT_EQ(EncodeWindows1252(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Windows1252, InvalidUtf8GivesOneMarkPerByte) {
    EXPECT_EQ(EncodeWindows1252("a\xE9z"), "a?z");
    EXPECT_EQ(EncodeWindows1252("\xC3"), "?");                 // cut short
    EXPECT_EQ(EncodeWindows1252("\xC0\xAF"), "??");            // overlong '/'
    EXPECT_EQ(EncodeWindows1252("\xED\xA0\x80"), "???");       // encoded surrogate
    EXPECT_EQ(EncodeWindows1252("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(EncodeWindows1252("\xE2\x82"), "??");
}

TEST(PlatformEncoder, NeverTurnsALookAlikeIntoAQuoteOrBackslash) {
    const AnsiEncoder encoder = PlatformAnsiEncoder();
    ASSERT_NE(encoder, nullptr);
    EXPECT_EQ(encoder("C:\\Video\\a.avi"), "C:\\Video\\a.avi");
    // Fullwidth apostrophe, prime, fullwidth reverse solidus.
    for (const char* lookAlike : {"\xEF\xBC\x87", "\xE2\x80\xB2", "\xEF\xBC\xBC"}) {
        const std::string encoded = encoder(lookAlike);
        EXPECT_EQ(encoded.find_first_of("'\\"), std::string::npos) << encoded;
    }
    EXPECT_EQ(encoder("x\xFFy"), "x?y");
}

}  // namespace
}  // namespace quorvel
