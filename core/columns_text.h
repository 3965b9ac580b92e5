// How the column and cell rules compare texts: a planner's table writes
// "BAUMART", "Buche" or "MITTELGROßE KRONEN" as it pleases, so names, words
// and codes are compared without regard to case. Folded are the ASCII
// capitals and the UTF-8 umlauts Ä, Ö and Ü; every other byte stays (ß has
// no capital in the tables met in practice). Folding never changes the
// length of a text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace forstrix::columns::detail {

// Byte `i` of `s` folded.
inline char fold_at(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + ('a' - 'A'));
    // Ä Ö Ü are C3 84, C3 96, C3 9C; ä ö ü are C3 A4, C3 B6, C3 BC.
    if (i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xC3 && (c == 0x84 || c == 0x96 || c == 0x9C))
        return static_cast<char>(c + 0x20);
    return static_cast<char>(c);
}

inline std::string folded(std::string_view s) {
    std::string out(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i) out[i] = fold_at(s, i);
    return out;
}

// Whether `text` folded equals `folded_word` (already folded).
inline bool equal_folded(std::string_view text, std::string_view folded_word) {
    if (text.size() != folded_word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (fold_at(text, i) != folded_word[i]) return false;
    return true;
}

// Whether `a` and `b` are the same text but for case.
inline bool same_text(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold_at(a, i) != fold_at(b, i)) return false;
    return true;
}

// Without the blanks and tabs around it.
inline std::string_view trimmed(std::string_view s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t')) ++begin;
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
    return {s.data() + begin, end - begin};
}

}  // namespace forstrix::columns::detail
