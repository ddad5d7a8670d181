#include "cli/Shown.h"

#include <cstdio>

#include "batch/Utf8.h"

namespace quorvel::cli {

namespace {

// A name longer than this many characters is shown by its two ends: enough to tell it from its
// neighbours, short enough that a runaway line cannot flood the terminal.
constexpr std::size_t kShownEnd = 100;
constexpr std::size_t kShownLongest = 2 * kShownEnd + 20;
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// What a terminal would act on or cannot show: C0 and C1 controls, and bytes that are not UTF-8.
bool NeedsEscape(char32_t c) { return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) || IsInvalidByte(c); }

bool AnyNeedsEscape(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (NeedsEscape(NextCodePoint(text, pos))) return true;
    }
    return false;
}

void AppendEscaped(std::string& out, unsigned char c) {
    switch (c) {
        case '\a': out += "\\a"; return;
        case '\b': out += "\\b"; return;
        case '\t': out += "\\t"; return;
        case '\n': out += "\\n"; return;
        case '\v': out += "\\v"; return;
        case '\f': out += "\\f"; return;
        case '\r': out += "\\r"; return;
        default: {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned>(c));
            out += octal;
        }
    }
}

// As ls quotes: plain runs in '...', the rest as $'\ooo', side by side.
void AppendQuoted(std::string& out, std::string_view text) {
    enum class Open { None, Plain, Escaped } open = Open::None;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t from = pos;
        const char32_t c = NextCodePoint(text, pos);
        const Open wanted = NeedsEscape(c) ? Open::Escaped : Open::Plain;
        if (open != wanted) {
            if (open != Open::None) out += '\'';
            out += wanted == Open::Escaped ? "$'" : "'";
            open = wanted;
        }
        if (wanted == Open::Escaped) {
            for (std::size_t i = from; i < pos; ++i) AppendEscaped(out, static_cast<unsigned char>(text[i]));
        } else if (c == '\'') {
            out += "'\\''";
        } else {
            out.append(text.substr(from, pos - from));
        }
    }
    if (open != Open::None) out += '\'';
}

// The byte offset after count characters, an invalid byte counting as one.
std::size_t AfterCharacters(std::string_view text, std::size_t from, std::size_t count) {
    std::size_t pos = from;
    for (; count > 0 && pos < text.size(); --count) NextCodePoint(text, pos);
    return pos;
}

struct ShownForm {
    std::string Text;
    bool Quoted = false;
};

bool IsPlainAscii(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f) return false;
    }
    return true;
}

ShownForm Show(std::string_view name) {
    if (name.empty()) return {"''", true};
    if (name.size() <= kShownLongest && IsPlainAscii(name)) return {std::string(name), false};
    std::string_view head = name;
    std::string_view tail;
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < name.size() && characters <= kShownLongest; ++characters) NextCodePoint(name, pos);
    if (characters > kShownLongest) {
        head = name.substr(0, AfterCharacters(name, 0, kShownEnd));
        std::size_t total = 0;
        for (std::size_t pos = 0; pos < name.size(); ++total) NextCodePoint(name, pos);
        tail = name.substr(AfterCharacters(name, 0, total - kShownEnd));
    }
    ShownForm shown;
    shown.Quoted = AnyNeedsEscape(head) || AnyNeedsEscape(tail);
    if (!shown.Quoted) {
        shown.Text.assign(head);
        if (!tail.empty()) shown.Text.append(kEllipsis).append(tail);
        return shown;
    }
    AppendQuoted(shown.Text, head);
    if (!tail.empty()) {
        shown.Text += kEllipsis;
        AppendQuoted(shown.Text, tail);
    }
    return shown;
}

}  // namespace

std::string Shown(std::string_view name) { return Show(name).Text; }

std::string Quoted(std::string_view text) {
    ShownForm shown = Show(text);
    return shown.Quoted ? std::move(shown.Text) : "'" + shown.Text + "'";
}

std::string Counted(std::size_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace quorvel::cli
