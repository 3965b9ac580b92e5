// Runs the built forstrix-cli and captures what it prints.
#pragma once

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "files/path_text.h"
#include "tests/files/scratch.h"

namespace forstrix::cli::test {

// Test paths are UTF-8, as the program's arguments are.
inline std::filesystem::path native(const std::string& p) { return files::path_from_utf8(p); }
inline std::string slurp(const std::string& p) {
    std::ifstream in(native(p), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void spit(const std::string& p, const std::string& bytes) { std::ofstream(native(p), std::ios::binary) << bytes; }

// The cells of a line (or the lines of a text); a separator at the end of a
// line leaves an empty last cell.
inline std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string cell; std::getline(in, cell, sep);) out.push_back(cell);
    if (!text.empty() && text.back() == sep && sep != '\n') out.emplace_back();
    return out;
}

// A fresh folder for one test, removed at the end.
class TempDir {
public:
    TempDir() : path_(forstrix::test::fresh_folder("forstrix-cli-")) {}
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return files::utf8_of(path_ / native(name)); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(files::utf8_of(e.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

struct CliRun {
    int status = -1;
    std::string out, err;
};

#ifdef _WIN32
// The arguments are quoted for cmd.exe (none holds a quote) and the command
// goes in UTF-16, so that "Südhang" reaches the program as it is.
inline CliRun run_cli(const std::vector<std::string>& args) {
    TempDir capture;
    std::string command = "\"\"" FORSTRIX_CLI "\"";
    for (const std::string& a : args) command += " \"" + a + "\"";
    command += " >\"" + (capture / "out") + "\" 2>\"" + (capture / "err") + "\"\"";
    const int status = _wsystem(native(command).c_str());
    return {status, slurp(capture / "out"), slurp(capture / "err")};
}
#else
// The arguments are quoted for the shell; none of them holds a quote.
// `env`: what the shell puts before the program ("env -u DISPLAY ").
inline CliRun run_cli(const std::vector<std::string>& args, const std::string& env = {}) {
    TempDir capture;
    std::string command = env + FORSTRIX_CLI;
    for (const std::string& a : args) command += " '" + a + "'";
    const int status = std::system((command + " >" + (capture / "out") + " 2>" + (capture / "err")).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(capture / "out"), slurp(capture / "err")};
}
#endif

}  // namespace forstrix::cli::test
