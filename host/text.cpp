#include "text.h"

namespace {

void append_utf8(std::string *out, char32_t c) {
    if (c < 0x80) {
        *out += char(c);
    } else if (c < 0x800) {
        *out += char(0xC0 | (c >> 6));
        *out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += char(0xE0 | (c >> 12));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    } else {
        *out += char(0xF0 | (c >> 18));
        *out += char(0x80 | ((c >> 12) & 0x3F));
        *out += char(0x80 | ((c >> 6) & 0x3F));
        *out += char(0x80 | (c & 0x3F));
    }
}

// One code point from `s` at `*i`; malformed bytes read as U+FFFD, one byte each.
char32_t next_code_point(const std::string &s, size_t *i) {
    unsigned char b = (unsigned char)s[(*i)++];
    int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (b >= 0x80 && extra == 0) return 0xFFFD;
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 0; k < extra; k++) {
        if (*i >= s.size() || ((unsigned char)s[*i] & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | ((unsigned char)s[(*i)++] & 0x3F);
    }
    return c > 0x10FFFF || (c >= 0xD800 && c < 0xE000) ? 0xFFFD : c;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::u16string text_from_utf8(const std::string &utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = next_code_point(utf8, &i);
        if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::string text_to_utf8(const std::u16string &wide) {
    std::string out;
    for (size_t i = 0; i < wide.size(); i++) {
        char32_t c = wide[i];
        bool high = c >= 0xD800 && c < 0xDC00;
        if (high && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        append_utf8(&out, c);
    }
    return out;
}

std::string text_to_utf8(const WCHAR *wide) {
    return wide ? text_to_utf8(std::u16string(wide)) : std::string();
}

std::string text_quote(const std::string &utf8) {
    static const char HEX[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        default:
            if ((unsigned char)c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += HEX[(unsigned char)c >> 4];
                out += HEX[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

bool text_unquote(const std::string &line, size_t *pos, std::string *out, std::string *error) {
    size_t i = *pos;
    if (i >= line.size() || line[i] != '"') {
        *error = "a string in double quotes expected";
        return false;
    }
    out->clear();
    for (i++; i < line.size() && line[i] != '"'; i++) {
        if (line[i] != '\\') {
            *out += line[i];
            continue;
        }
        char e = ++i < line.size() ? line[i] : 0;
        switch (e) {
        case 'n': *out += '\n'; break;
        case 'r': *out += '\r'; break;
        case 't': *out += '\t'; break;
        case '"': *out += '"'; break;
        case '\\': *out += '\\'; break;
        case 'x': {
            int hi = i + 2 < line.size() ? hex_digit(line[i + 1]) : -1;
            int lo = hi >= 0 ? hex_digit(line[i + 2]) : -1;
            if (lo < 0) {
                *error = "\\x needs two hexadecimal digits";
                return false;
            }
            *out += char(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            *error = e ? std::string("unknown escape \\") + e : "a string ends in a backslash";
            return false;
        }
    }
    if (i >= line.size()) {
        *error = "the string has no closing quote";
        return false;
    }
    *pos = i + 1;
    return true;
}
