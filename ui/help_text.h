// The help text of the main window: what the six work systems are for,
// what the four menus do, and what Forstrix adds to the cost scheme. The application range of each system is set off
// in grey, the menu names in red, so that a reader finds them at a glance.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include <QColor>

class QTextDocument;

namespace forstrix::ui {

// Application range of each work system, I to VI.
extern const std::array<std::string_view, 6> Tsys;

// The lines of the help text (mwtext), in order; long paragraphs are single
// lines that the view wraps. Line 20 carries system VI's range with one blank
// after "35 %,", Tsys[5] with two: the view shows Tsys where the ranges stand.
inline constexpr int kHelpLineCount = 47;
extern const std::array<std::string_view, kHelpLineCount> kHelpLines;
// mwtext as one text, lines separated by line feeds.
std::string mwtext();

// 1-based help lines that show a work system's range, in system order.
inline constexpr std::array<int, 6> kRangeLines = {4, 7, 10, 13, 16, 20};

// A menu name set off in red: the help line and the words within it.
struct MenuNameMark {
    int line;
    std::string_view words;
};
inline constexpr std::array<MenuNameMark, 5> kMenuNameMarks = {{
    {25, "Datei"},
    {28, "Dateneingabe"},
    {31, "Eingabe Kosten"},
    {33, "Kalkulationsgrundlagen"},
    {36, "Berechnung"},
}};

inline const QColor kMenuNameColour{255, 0, 0};
inline const QColor kRangeColour{136, 136, 136};

// Fills `doc` with the help text and its colours (replacing what it held).
void build_help_document(QTextDocument* doc);

}  // namespace forstrix::ui
