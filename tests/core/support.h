// Helpers of the core and the files tests: values set and checked by their
// registry names ("gi_bhd=11 gf_bh=30"), figures to their stated decimals,
// and the German locale.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/registry.h"

namespace forstrix::test {

struct Item {
    std::string name, text;  // "gc_hoehe", "18.9091"
    double value;
};

// The blank-separated "name=value" items of `text` (a value may be inf or nan).
inline std::vector<Item> items(std::string_view text) {
    std::vector<Item> out;
    for (std::size_t pos = 0; (pos = text.find_first_not_of(' ', pos)) != std::string_view::npos;) {
        const std::string_view item = text.substr(pos, text.find(' ', pos) - pos);
        const std::size_t eq = item.find('=');
        Item i{std::string(item.substr(0, eq)), std::string(item.substr(eq + 1)), 0.0};
        std::from_chars(i.text.data(), i.text.data() + i.text.size(), i.value);
        out.push_back(i);
        pos += item.size();
    }
    return out;
}

inline const ValueInfo& value(const std::string& name) {
    const ValueInfo* v = find_value(name);
    if (v == nullptr) throw std::invalid_argument("no value named " + name);
    return *v;
}

// Sets the values of `text` as they are, without any check.
inline void apply(State& s, std::string_view text) {
    for (const Item& i : items(text)) set_value(s, value(i.name), i.value);
}

// Every "name=figure" of `text` holds in `s` to the figure's decimals
// ("18.9091": four; "1500": none).
inline void expect_figures(const State& s, std::string_view text) {
    for (const Item& i : items(text)) {
        const std::size_t point = i.text.find('.');
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(i.text.size() - point - 1);
        const double got = get_value(s, value(i.name));
        EXPECT_TRUE(std::fabs(got - i.value) <= 0.5 * std::pow(10.0, -decimals) * (1.0 + 1e-9))
            << i.name << " is " << ::testing::PrintToString(got) << ", stated " << i.text;
    }
}

// Switches to de_DE.UTF-8 (decimal comma) as a Qt program does, by
// setlocale(LC_ALL, "") from LC_ALL, with the locale compiled into the build
// folder (FORSTRIX_LOCPATH) where the machine has none; false without it.
// Windows names its locales by language and country and has no named C++
// locales in MinGW's library: there the C library's locale alone turns German.
inline bool german_locale() {
#ifdef _WIN32
    return std::setlocale(LC_ALL, "German_Germany.1252") != nullptr;
#else
#ifdef FORSTRIX_LOCPATH
    ::setenv("LOCPATH", FORSTRIX_LOCPATH, 0);
#endif
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    if (std::setlocale(LC_ALL, "") == nullptr) return false;
    std::locale::global(std::locale(""));
    return true;
#endif
}

}  // namespace forstrix::test
