#pragma once

// UTF-8 reading and the letter-case folding shared by name ordering, matching and path
// comparison.

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel {

// Code points given for bytes that do not start a valid UTF-8 sequence: 0xDC80 + byte,
// so every byte string still reads as a sequence of distinct values.
inline constexpr char32_t kInvalidByteBase = 0xDC00;

// Reads the code point at text[pos] and advances pos past it. An invalid or truncated
// sequence, an overlong form or an encoded surrogate yields kInvalidByteBase + the first
// byte and advances by one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

// True when the value came from a byte that is not valid UTF-8.
inline bool IsInvalidByte(char32_t c) { return c >= kInvalidByteBase + 0x80 && c <= kInvalidByteBase + 0xFF; }

// True when every byte is below 0x80: text that reads the same in every code page we write.
inline bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// Copies text that is all ASCII, which reads the same in every code page a list is written in;
// false (out untouched) for any other text.
inline bool CopiedAsAscii(std::string_view text, std::string& out) {
    if (!IsAscii(text)) return false;
    out.assign(text);
    return true;
}

// How many UTF-16 units the text takes: what Windows' path length limit counts.
std::size_t Utf16Length(std::string_view text);

// Appends the UTF-8 form of a code point; a value that is no character gives U+FFFD.
void AppendUtf8(std::string& text, char32_t c);

// Lower case for ASCII and the Latin-1 letters; every other value is returned unchanged.
char32_t FoldCase(char32_t c);

// The text with FoldCase applied to every code point, as code points.
std::u32string FoldedCodePoints(std::string_view text);

}  // namespace quorvel
