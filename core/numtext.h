// Numbers as the user types and sees them, independent of any locale.
// Fields accept digits with at most one decimal separator (point or comma);
// an empty field reads 0. Values are shown with a decimal comma.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace forstrix {

// The field read of every dialog: nullopt when the text is not acceptable
// (a character other than digits and one point or comma, a separator with
// no digit at all, or a value too large for a finite double).
std::optional<double> f_check(std::string_view text);

// printf("%.<decimals>f") with a point, whatever the locale.
std::string format_fixed(double v, int decimals);
// What a dialog shows where there is no figure to show.
inline constexpr const char* kNoFigure = "---";
// The same with the first point replaced by a comma ("450,00"). A value
// that is not finite is no figure a forester can use: it shows "---", never
// "inf" or "nan".
std::string format_comma(double v, int decimals);
// "%d" of the value truncated toward zero ("11000"); "---" when not finite.
std::string format_whole(double v);
// Shortest text that reads back to exactly the same double ("20.834...").
std::string format_shortest(double v);
// The same with a decimal comma, as a message shows a value the user gave.
std::string format_shortest_comma(double v);

// Room that write_fixed_shortest may need: the smallest subnormal in fixed
// notation, with sign and decimal mark.
inline constexpr std::size_t kMaxFixedChars = 340;

// Writes `v` in fixed notation (never an exponent, which spreadsheets would
// have to guess at) with the fewest digits that read back to exactly `v`:
// the text of std::to_chars(first, last, v, std::chars_format::fixed), with
// `decimal` as the decimal mark. Returns the end of the text. Stand values
// and costs, from 0.001 to 2^52 in size, take a short exact path built for
// the batch tables' tens of numbers per row; any other value goes through
// the library.
char* write_fixed_shortest(char* first, double v, char decimal);

}  // namespace forstrix
