// What a PDF holds, read back with poppler's tools as a person's viewer
// would: its page count and its text in drawing order.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace forstrix::test {

inline std::string run_capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// The number of pages pdfinfo reports; 0 when it cannot read the file.
inline int pdf_pages(const std::string& path) {
    const std::string info = run_capture("pdfinfo '" + path + "' 2>/dev/null");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
}

// The text in the order it was drawn (pdftotext -raw), every run of white
// space made one space, and no space after a slash, so that a label wrapped
// onto two lines reads as one and can be looked for with its value.
inline std::string pdf_text(const std::string& path) {
    return run_capture("pdftotext -raw -enc UTF-8 '" + path + "' - 2>/dev/null");
}

inline std::string flat(const std::string& text) {
    std::string out;
    bool space = false;
    for (const char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f') {
            space = !out.empty();
            continue;
        }
        if (space && out.back() != '/') out += ' ';
        space = false;
        out += c;
    }
    return out;
}

// Renders every page to <dir>/<name>-<page>.png for a person to look at.
inline bool pdf_to_png(const std::string& pdf, const std::string& dir, const std::string& name) {
    const std::string command = "mkdir -p '" + dir + "' && pdftoppm -r 110 -png '" + pdf + "' '" + dir + "/" + name + "'";
    return std::system(command.c_str()) == 0;
}

}  // namespace forstrix::test
