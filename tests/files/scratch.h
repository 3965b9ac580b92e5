// A fresh, empty folder under the system's temporary folder, on every system.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace forstrix::test {

inline std::filesystem::path fresh_folder(const std::string& prefix) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path name =
            std::filesystem::temp_directory_path() / (prefix + std::to_string(random()) + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(name, ec)) return name;
    }
    throw std::runtime_error("no scratch folder could be made");
}

}  // namespace forstrix::test
