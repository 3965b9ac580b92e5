// The six work systems by the names the results, the charts and the tables
// give them. Every list of the systems reads its titles and numerals here.
#pragma once

#include <array>
#include <string_view>

namespace forstrix {

// The titles as the results name them, I to VI.
inline constexpr std::array<std::string_view, 6> kSystemTitles = {
    "I) Konventionelle Holzernte",
    "II) Integrierte Holzernte",
    "III) Hochmechanisierte Holzernte",
    "IV) Hochmechanisierte Holzernte durch Hangsysteme",
    "V) Yarding",
    "VI) Spanholz",
};
// The numerals alone: the cost chart's axis, the hover text, the table's
// column of the cheapest system.
inline constexpr std::array<std::string_view, 6> kSystemNumerals = {"I", "II", "III", "IV", "V", "VI"};

}  // namespace forstrix
