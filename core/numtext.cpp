// Locale-independent number text: std::to_chars / std::from_chars never
// consult the C or C++ locale, so a German locale (decimal comma) cannot
// change what the program reads or writes.
#include "core/numtext.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace forstrix {

std::optional<double> f_check(std::string_view text) {
    // The scan of the dialogs: digits pass, one separator ("," or ".") passes,
    // a second separator or any other character (sign, blank, letter,
    // exponent) refuses the text. An empty text is accepted and reads 0.
    // A separator without any digit ("." or ",") is refused: it is a slip,
    // not a deliberate 0, which an empty field already gives. So is a text
    // of more than 308 digits before the separator, whose value no double
    // holds: an infinite wage or price would reach every result.
    //
    // Texts of up to 15 significant digits, nearly all, are read at once: the
    // digits as a whole number below 2^53 and the power of ten are both exact
    // doubles, so their quotient is the correctly rounded value, the same
    // that std::from_chars gives.
    static constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t whole = 0;
    int significant = 0, decimals = 0;
    bool point = false, digit = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
            if (whole != 0 || c != '0') ++significant;
            if (significant <= 15) whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
            if (point) ++decimals;
        } else if ((c == ',' || c == '.') && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (point && !digit) return std::nullopt;
    if (significant <= 15 && decimals <= 22) return static_cast<double>(whole) / kExactPow10[decimals];

    // Longer texts: the library's conversion, from the text with a point.
    std::string buf(text);
    std::replace(buf.begin(), buf.end(), ',', '.');
    const std::string_view int_part = std::string_view(buf).substr(0, buf.find('.'));
    const bool nonzero_int_digit = int_part.find_first_not_of('0') != std::string_view::npos;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Only with hundreds of digits: too large is refused, too small
        // (0,000…01) reads as 0, like strtod.
        if (nonzero_int_digit) return std::nullopt;
        value = 0.0;
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
    if (!std::isfinite(v)) return kNoFigure;
    std::string s = format_fixed(v, decimals);
    if (const auto pos = s.find('.'); pos != std::string::npos) s[pos] = ',';
    return s;
}

std::string format_whole(double v) {
    if (!std::isfinite(v)) return kNoFigure;
    double t = std::trunc(v);
    if (t == 0.0) t = 0.0;  // no "-0"
    return format_fixed(t, 0);
}

std::string format_shortest(double v) {
    std::array<char, 64> buf;
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return std::string(buf.data(), r.ptr);
}

std::string format_shortest_comma(double v) {
    std::string s = format_shortest(v);
    if (const auto pos = s.find('.'); pos != std::string::npos) s[pos] = ',';
    return s;
}

namespace {

#ifdef __SIZEOF_INT128__
__extension__ using u128 = unsigned __int128;

constexpr std::uint64_t kPow10[] = {1ULL,
                                    10ULL,
                                    100ULL,
                                    1000ULL,
                                    10000ULL,
                                    100000ULL,
                                    1000000ULL,
                                    10000000ULL,
                                    100000000ULL,
                                    1000000000ULL,
                                    10000000000ULL,
                                    100000000000ULL,
                                    1000000000000ULL,
                                    10000000000000ULL,
                                    100000000000000ULL,
                                    1000000000000000ULL,
                                    10000000000000000ULL,
                                    100000000000000000ULL,
                                    1000000000000000000ULL,
                                    10000000000000000000ULL};

// The four digits of every number below 10000, built by the compiler: one
// look-up writes four digits.
struct DigitQuads {
    char digits[10000][4];
};
constexpr DigitQuads make_digit_quads() {
    DigitQuads q{};
    for (int n = 0; n < 10000; ++n) {
        q.digits[n][0] = static_cast<char>('0' + n / 1000);
        q.digits[n][1] = static_cast<char>('0' + n / 100 % 10);
        q.digits[n][2] = static_cast<char>('0' + n / 10 % 10);
        q.digits[n][3] = static_cast<char>('0' + n % 10);
    }
    return q;
}
constexpr DigitQuads kDigitQuads = make_digit_quads();

// Four digits of x < 10000, leading zeros included.
void put4(char* p, std::uint32_t x) { std::memcpy(p, kDigitQuads.digits[x], 4); }

// The 20 digits of q, leading zeros included.
void put20(char* p, std::uint64_t q) {
    const auto low = static_cast<std::uint32_t>(q % 100000000);
    q /= 100000000;
    const auto mid = static_cast<std::uint32_t>(q % 100000000);
    put4(p, static_cast<std::uint32_t>(q / 100000000));
    put4(p + 4, mid / 10000);
    put4(p + 8, mid % 10000);
    put4(p + 12, low / 10000);
    put4(p + 16, low % 10000);
}

// The number of decimal digits of q >= 1.
int digit_count(std::uint64_t q) {
    const int t = (static_cast<int>(std::bit_width(q)) * 1233) >> 12;  // floor(log10(2^bit_width)) or one less
    return t + (q >= kPow10[t] ? 1 : 0);
}

// Writes `v` in the short exact path, or returns nullptr when `v` is
// outside it. The value v = m / 2^shift has the rounding interval
// ((4m - 2) / 2^(shift+2), (4m + 2) / 2^(shift+2)), with 4m - 1 at a power
// of two, whose lower neighbour is twice as close: every decimal in it
// reads back as v. Scaled by 10^k so that v * 10^k has at least 17 digits,
// the interval holds at least one whole number, since 17 significant digits
// always suffice. Dropping trailing digits while the interval still holds a
// multiple of the next power of ten gives the shortest texts; of those, the
// one closest to v is taken.
char* write_fixed_exact(char* p, double v, char decimal) {
    const double a = std::fabs(v);
    if (!(a >= 1e-3 && a < 0x1p52)) return nullptr;
    if (std::signbit(v)) *p++ = '-';

    const std::uint64_t bits = std::bit_cast<std::uint64_t>(a);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const int exponent = static_cast<int>(bits >> 52);
    const std::uint64_t m = fraction | (std::uint64_t{1} << 52);
    const int shift = 1075 - exponent;  // v = m / 2^shift, 1 <= shift <= 62 here

    // Whole numbers below 2^52: every neighbour is at most 1 away, so the
    // digits of the number itself are the shortest text.
    if ((m & ((std::uint64_t{1} << shift) - 1)) == 0) return std::to_chars(p, p + 20, m >> shift).ptr;

    // k decimals: 10^t <= v with t = floor(log2(v) * log10(2)), so
    // v * 10^k lies in [10^16, 2 * 10^17), or below 10^19 where k is capped.
    const int t = ((exponent - 1023) * 78913) >> 18;
    const int k = std::min(16 - t, 19);
    const u128 scale = kPow10[k];
    const int s = shift + 2;
    const u128 x = u128{4 * m} * scale;
    const u128 lo = x - (fraction == 0 ? scale : 2 * scale);  // the gap below a power of two is half
    const u128 hi = x + 2 * scale;
    // The whole numbers strictly inside the interval. Neither bound is
    // itself whole: it holds at most k + 1 factors of two, fewer than s in
    // this range, so the tie rule of reading never decides.
    std::uint64_t lq = static_cast<std::uint64_t>(lo >> s) + 1;
    std::uint64_t uq = static_cast<std::uint64_t>(hi >> s);

    // Drop digits while a multiple of the next power of ten lies in the
    // interval, eight at a time while possible, then one by one; q follows
    // as the whole part of v * 10^(k - dropped).
    std::uint64_t q = static_cast<std::uint64_t>(x >> s);
    const std::uint64_t whole = q;
    int dropped = 0;
    for (std::uint64_t u; (u = uq / 100000000) * 100000000 >= lq; dropped += 8) {
        uq = u;
        lq = lq / 100000000 + (lq % 100000000 != 0 ? 1 : 0);
        q /= 100000000;
    }
    for (std::uint64_t u; (u = uq / 10) * 10 >= lq; ++dropped) {
        uq = u;
        lq = lq / 10 + (lq % 10 != 0 ? 1 : 0);
        q /= 10;
    }
    // Of the shortest candidates in [lq, uq], the one closest to v: q
    // rounded by the removed rest (whole digits and binary fraction) against
    // half a step, a tie to the even one.
    const std::uint64_t step = kPow10[dropped];
    const std::uint64_t rem = whole - q * step;
    const std::uint64_t below = step - rem;  // compared with rem, as 2 * rem may overflow
    const std::uint64_t part = static_cast<std::uint64_t>(x) & (~std::uint64_t{0} >> (64 - s));  // s <= 64
    const std::uint64_t half = std::uint64_t{1} << (s - 1);
    bool up;
    if (rem + 1 == below) {
        up = part > half || (part == half && (q & 1) != 0);
    } else if (rem == below) {
        up = part != 0 || (q & 1) != 0;
    } else {
        up = rem > below;
    }
    q = std::clamp(q + (up ? 1 : 0), lq, uq);

    // q * 10^(dropped - k), in fixed notation. At least one decimal stays:
    // below 2^52 the interval of a value that is not whole holds no whole
    // number. The digits are copied in blocks of 20, beyond the text's end
    // (the caller's room allows it).
    const int decimals = k - dropped;
    char digits[48];
    put20(digits, q);
    const int n = digit_count(q);
    const char* first = digits + 20 - n;
    if (n <= decimals) {
        *p++ = '0';
        *p++ = decimal;
        std::memset(p, '0', 20);
        p += decimals - n;
        std::memcpy(p, first, 20);
        return p + n;
    }
    std::memcpy(p, first, 20);
    p += n - decimals;
    *p++ = decimal;
    std::memcpy(p, first + (n - decimals), 20);
    return p + decimals;
}
#else
char* write_fixed_exact(char*, double, char) { return nullptr; }
#endif

}  // namespace

char* write_fixed_shortest(char* first, double v, char decimal) {
    if (char* end = write_fixed_exact(first, v, decimal)) return end;
    const std::to_chars_result r = std::to_chars(first, first + kMaxFixedChars, v, std::chars_format::fixed);
    if (decimal != '.')
        if (char* point = std::find(first, r.ptr, '.'); point != r.ptr) *point = decimal;
    return r.ptr;
}

}  // namespace forstrix
