#include "cli/Shown.h"

#include <algorithm>
#include <cstdio>

namespace quorvel::cli {

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

std::string Escaped(char c) {
    switch (c) {
        case '\a': return "\\a";
        case '\b': return "\\b";
        case '\t': return "\\t";
        case '\n': return "\\n";
        case '\v': return "\\v";
        case '\f': return "\\f";
        case '\r': return "\\r";
        default: {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned>(static_cast<unsigned char>(c)));
            return octal;
        }
    }
}

}  // namespace

std::string Shown(std::string_view name) {
    if (std::none_of(name.begin(), name.end(), IsControl)) return std::string(name);
    std::string out;
    bool quoted = false;
    for (char c : name) {
        if (IsControl(c)) {
            if (quoted) out += '\'';
            quoted = false;
            out += "$'" + Escaped(c) + "'";
            continue;
        }
        if (!quoted) out += '\'';
        quoted = true;
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    if (quoted) out += '\'';
    return out;
}

std::string Quoted(std::string_view text) {
    std::string shown = Shown(text);
    return shown != text ? shown : "'" + shown + "'";
}

std::string Counted(std::size_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace quorvel::cli
