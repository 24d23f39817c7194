#include "text.h"

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

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
