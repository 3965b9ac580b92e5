// Locale-independent number text: std::to_chars / std::from_chars never
// consult the C or C++ locale, so a German locale (decimal comma) cannot
// change what the program reads or writes.
#include "core/numtext.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace forstrix {

std::optional<double> f_check(std::string_view text) {
    // The scan of the dialogs: digits pass, one separator ("," or ".") passes,
    // a second separator or any other character (sign, blank, letter,
    // exponent) refuses the text. An empty text is accepted and reads 0.
    std::array<char, 64> small{};
    std::string large;
    char* buf = small.data();
    if (text.size() >= small.size()) {
        large.assign(text.size(), '\0');
        buf = large.data();
    }
    bool separator = false;
    bool nonzero_int_digit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (!separator && c != '0') nonzero_int_digit = true;
            buf[i] = c;
        } else if (c == ',' || c == '.') {
            if (separator) return std::nullopt;
            separator = true;
            buf[i] = '.';
        } else {
            return std::nullopt;
        }
    }
    // "", "." and "," read 0, as the standard conversion of the original does.
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(buf, buf + text.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Only with hundreds of digits: too large reads as infinity, too
        // small (0,000…01) as 0, like strtod.
        value = nonzero_int_digit ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc{}) {
        value = 0.0;
    }
    return value;
}

namespace {
// Enough for the longest fixed-point double (309 digits before the point)
// with any reasonable number of decimals.
constexpr std::size_t kFixedBuffer = 400;
}  // namespace

std::string format_fixed(double v, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 60) decimals = 60;
    std::array<char, kFixedBuffer> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
    return std::string(buf.data(), r.ptr);
}

std::string format_comma(double v, int decimals) {
    std::string s = format_fixed(v, decimals);
    if (const auto pos = s.find('.'); pos != std::string::npos) s[pos] = ',';
    return s;
}

std::string format_whole(double v) {
    if (!std::isfinite(v)) return format_fixed(v, 0);
    double t = std::trunc(v);
    if (t == 0.0) t = 0.0;  // no "-0"
    return format_fixed(t, 0);
}

std::string format_shortest(double v) {
    std::array<char, 64> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return std::string(buf.data(), r.ptr);
}

}  // namespace forstrix
