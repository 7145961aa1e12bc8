#include "find/JsonStrings.h"

#include <cstdint>

namespace qm {

namespace {

constexpr char kHex[] = "0123456789abcdef";

void appendEscapedByte(std::string& out, unsigned char b) {
    out.append("\\\\x").push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
}

// The length of the valid UTF-8 sequence at the start of `s` (non-ASCII lead byte), or 0.
size_t validSequenceAt(std::string_view s) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = at(0);
    size_t length = 0;
    uint32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (s.size() < length) return 0;
    uint32_t code = lead & (0x3F >> (length - 1));
    for (size_t i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (at(i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < lowest || code > 0x10FFFF || surrogate ? 0 : length;
}

// The value of "\uXXXX" at the start of `s`, or -1 when it is not one.
int32_t unicodeEscapeAt(std::string_view s) {
    if (s.size() < 6 || s[0] != '\\' || s[1] != 'u') return -1;
    int32_t value = 0;
    for (size_t i = 2; i < 6; ++i) {
        const char c = s[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return -1;
        value = value << 4 | digit;
    }
    return value;
}

bool isHigh(int32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLow(int32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Copies the string body starting after its opening quote; returns where it ended.
size_t copyString(std::string_view json, size_t i, std::string& out) {
    while (i < json.size()) {
        const unsigned char c = static_cast<unsigned char>(json[i]);
        if (c == '"') {
            out.push_back('"');
            return i + 1;
        }
        if (c == '\\') {
            const int32_t u = unicodeEscapeAt(json.substr(i));
            if (u >= 0 && (isHigh(u) || isLow(u))) {
                const int32_t next = isHigh(u) ? unicodeEscapeAt(json.substr(i + 6)) : -1;
                if (isHigh(u) && isLow(next)) {
                    out.append(json.substr(i, 12));
                    i += 12;
                } else {
                    out.push_back('\\'); // the escape shown as written
                    out.append(json.substr(i, 6));
                    i += 6;
                }
                continue;
            }
            // Any other escape is the reader's to judge; a backslash ending the text too.
            out.append(json.substr(i, 2));
            i += 2;
            continue;
        }
        if (c < 0x20) {
            appendEscapedByte(out, c);
            ++i;
            continue;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const size_t length = validSequenceAt(json.substr(i));
        if (length == 0) {
            appendEscapedByte(out, c);
            ++i;
        } else {
            out.append(json.substr(i, length));
            i += length;
        }
    }
    return i;
}

} // namespace

std::string withBadStringsEscaped(std::string_view json) {
    std::string out;
    out.reserve(json.size() + json.size() / 64);
    for (size_t i = 0; i < json.size();) {
        const char c = json[i];
        out.push_back(c);
        ++i;
        if (c == '"') i = copyString(json, i, out);
    }
    return out;
}

} // namespace qm
