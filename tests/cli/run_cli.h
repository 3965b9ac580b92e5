// Runs the built forstrix-cli and captures what it prints.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace forstrix::cli::test {

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void spit(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

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
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "forstrix-cli-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename());
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

// The arguments are quoted for the shell; none of them holds a quote.
// `env`: what the shell puts before the program ("env -u DISPLAY ").
inline CliRun run_cli(const std::vector<std::string>& args, const std::string& env = {}) {
    TempDir capture;
    std::string command = env + FORSTRIX_CLI;
    for (const std::string& a : args) command += " '" + a + "'";
    const int status = std::system((command + " >" + (capture / "out") + " 2>" + (capture / "err")).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(capture / "out"), slurp(capture / "err")};
}

}  // namespace forstrix::cli::test
