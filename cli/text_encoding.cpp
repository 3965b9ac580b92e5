#include "cli/text_encoding.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "files/cp1252.h"
#include "files/std_streams.h"

namespace forstrix::cli {

std::optional<TextEncoding> encoding_named(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "utf-8" || lower == "utf8") return TextEncoding::Utf8;
    if (lower == "cp1252" || lower == "windows-1252") return TextEncoding::Cp1252;
    return std::nullopt;
}

TextEncoding default_encoding(bool to_terminal) {
    return to_terminal ? TextEncoding::Utf8 : TextEncoding::Cp1252;
}

std::string in_encoding(std::string_view file_bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp1252) return std::string(file_bytes);
    std::string text = files::cp1252_to_utf8(file_bytes);
    // Every line of the file ends with CR LF; a terminal wants LF alone.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

bool stdout_is_terminal() { return files::is_terminal(stdout); }

}  // namespace forstrix::cli
