#include "core/message_text.h"

namespace forstrix {

namespace {

void append_hex(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

}  // namespace

std::size_t utf8_length(std::string_view s) {
    const auto c = static_cast<unsigned char>(s[0]);
    const std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) return 0;
    // The second byte bounds what the first may start: no overlong form
    // (C0, C1; E0 below A0; F0 below 90), no surrogate (ED from A0 on) and
    // nothing above U+10FFFF (F4 from 90 on, F5 and higher).
    const auto c1 = static_cast<unsigned char>(s[1 % len]);
    if (len == 2 && c < 0xC2) return 0;
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) return 0;
    if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90) || c > 0xF4) return 0;
    return len;
}

std::string printable(std::string_view bytes, std::size_t max_chars) {
    std::string out;
    out.reserve(bytes.size() < max_chars ? bytes.size() + 8 : max_chars * 2);
    std::size_t chars = 0, total = 0;
    while (!bytes.empty()) {
        const std::size_t len = utf8_length(bytes);
        const std::size_t take = len == 0 ? 1 : len;
        ++total;
        if (chars < max_chars) {
            ++chars;
            const auto c = static_cast<unsigned char>(bytes[0]);
            if (len == 0 && c >= 0xA0) {
                // Not UTF-8: most likely Windows-1252 (a table or file from
                // an older program), which agrees with Latin-1 from 0xA0 on.
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else if (len == 0) {
                append_hex(out, c);
            } else if (len == 1 && (c < 0x20 || c == 0x7F)) {
                if (c == '\n') out += "\\n";
                else if (c == '\r') out += "\\r";
                else if (c == '\t') out += "\\t";
                else append_hex(out, c);
            } else if (len == 2 && c == 0xC2 && static_cast<unsigned char>(bytes[1]) < 0xA0) {
                append_hex(out, static_cast<unsigned char>(bytes[1]));  // C1 control
            } else {
                out.append(bytes.substr(0, len));
            }
        }
        bytes.remove_prefix(take);
    }
    if (total > max_chars) out += "… (" + std::to_string(total) + " Zeichen)";
    return out;
}

}  // namespace forstrix
