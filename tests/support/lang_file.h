// Language texts for tests: u"..." literals written as the UTF-16LE bytes of a language file.
#pragma once

#include <stdio.h>

#include <string>

#include "module/state.h"

inline std::string utf16le(const std::u16string &text) {
    std::string bytes;
    for (char16_t c : text)
        bytes.push_back((char)(c & 0xFF)), bytes.push_back((char)(c >> 8));
    return bytes;
}

// ASCII as it is, other units as \uXXXX: for failure messages.
inline std::string printable(const std::u16string &text) {
    std::string out;
    for (char16_t c : text) {
        char escaped[8];
        snprintf(escaped, sizeof escaped, "\\u%04X", (unsigned)c);
        out += c >= 0x20 && c < 0x7F ? std::string(1, (char)c) : std::string(escaped);
    }
    return out;
}

// Four digits with leading zeros.
inline std::u16string number_text(int n) {
    char digits[16];
    snprintf(digits, sizeof digits, "%04d", n);
    return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}
