// Helpers shared by the core tests.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <ostream>
#include <string>

#include "core/numtext.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
// glibc keeps the LOCPATH list that setlocale builds for the rest of the run;
// LeakSanitizer would report it.
#define FORSTRIX_KEEP_GLIBC_LOCALE_PATH __lsan::ScopedDisabler keep_glibc_locale_path_
#else
#define FORSTRIX_KEEP_GLIBC_LOCALE_PATH static_cast<void>(0)
#endif

namespace forstrix::test {

// `actual` rounds to `expected` at `decimals` decimals
// its figures ("rounded to four decimals").
inline ::testing::AssertionResult Rounds(double actual, double expected, int decimals) {
    const double tolerance = 0.5 * std::pow(10.0, -decimals) * (1.0 + 1e-9);
    if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.12g does not round to %.*f at %d decimals", actual, decimals, expected,
                  decimals);
    return ::testing::AssertionFailure() << buf;
}

// Switches the C locale to German (decimal comma) and returns its name: the
// system's de_DE.UTF-8, or one compiled with localedef from the locale
// sources into a folder under /tmp. Empty when neither is possible.
inline std::string german_locale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) return name;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path(ec) / "forstrix-core-test-locale";
    const fs::path target = dir / "de_DE.UTF-8";
    if (!fs::exists(target / "LC_NUMERIC", ec)) {
        // Built aside and renamed into place, so parallel test runs never
        // see half a locale.
        const fs::path scratch = dir / ("build-" + std::to_string(::getpid()));
        fs::create_directories(scratch, ec);
        const std::string cmd =
            "localedef -i de_DE -f UTF-8 '" + (scratch / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) == 0 || fs::exists(scratch / "de_DE.UTF-8" / "LC_NUMERIC", ec))
            fs::rename(scratch / "de_DE.UTF-8", target, ec);
        fs::remove_all(scratch, ec);
    }
    ::setenv("LOCPATH", dir.c_str(), 1);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return "de_DE.UTF-8";
    return {};
}

}  // namespace forstrix::test

namespace forstrix {
// A value as the dialogs show it with two decimals.
inline std::string format_comma_2(double v) { return format_comma(v, 2); }
}  // namespace forstrix
