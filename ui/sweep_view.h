// What the "Kostenverlauf" window says about a sweep, as plain functions
// that tests check with numbers and texts: the inputs it offers with their
// words and units, their default ranges, the sentence naming the cheapest
// suitable system along a line, the text of one point, the colours of the
// systems and the geometry of the map.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"
#include "core/sweep.h"

namespace forstrix::ui {

// An input the window can vary.
struct SweepInput {
    std::string_view name;   // registry name, "gi_bhd"
    std::string_view label;  // as the dialogs label it, "BHD [cm]"
    std::string_view word;   // in sentences, "BHD"
    std::string_view unit;   // "cm"; empty for a class
    std::span<const char* const> classes;  // words of list values 0, 1, ... (Formigkeit)
    int decimals = 2;  // of a decimal stand input as the stand dialog shows it
};

// BHD, Hangneigung, Volumen ausscheidender Bestand, Gesamtfläche,
// Rückedistanz, Beiseilentfernung, the stand's lists (Baumart, Formigkeit,
// Abstand and Befahrbarkeit Rückegassen, Begehbarkeit, Mindestvolumen je
// Seillinie, Kronenform) by their words, own piece volume, wages and PNK,
// Zeitgrad EST and MGV, and the eight machine costs of the cost dialog.
std::span<const SweepInput> sweep_inputs();
const SweepInput* find_sweep_input(std::string_view name);

// The value of the input in the current stand and costs; the own piece
// volume counts with the model's value while none is given.
double current_value(const State& s, const SweepInput& input);

// Default range texts (decimal comma) FROM, TO, STEP: a whole-number input's
// whole list; a decimal input from half to twice its current value (its
// default when it is 0) in about `points` steps of 1, 2 or 5 times a power
// of ten. nullopt for a decimal value whose range would need more than 15
// digits or decimals (a wage of 10^25 Euro/Std.); no_default_range says so.
struct RangeTexts {
    std::string from, to, step;
};
std::optional<RangeTexts> default_range(const State& s, const SweepInput& input, int points);
std::string no_default_range(const SweepInput& input, double current);

// A value as the window shows it: shortest decimal with a comma, or the
// class name.
std::string value_text(const SweepInput& input, double v);
// "BHD 20 cm", "Formigkeit normal/mittelschäftig".
std::string value_with_word(const SweepInput& input, double v);
// A value as its dialog shows it: a list's word, a whole number, or a
// decimal with the dialog's decimals ("250,00").
std::string dialog_text(const SweepInput& input, double v);

// The inputs a view holds at the stand's values: every input the window
// offers but the swept ones, label and value the way the dialogs show them
// (the own piece volume only when one is given).
struct HeldInput {
    std::string label, value;
};
std::vector<HeldInput> held_inputs(const State& s, std::span<const SweepInput* const> swept);
// "label: value" of each, joined by "; ".
std::string held_text(std::span<const HeldInput> held);

// The window's table, for people and a German spreadsheet: a head naming
// the stand and the inputs held, then a row of titles (the swept inputs'
// labels, each system's legend with its unit, the suitable systems, the
// cheapest) and a row per point with the figures as the window shows them:
// list entries by their words, costs with two decimals. Semicolons, UTF-8.
std::string table_head(const std::string& stand_name, std::span<const HeldInput> held,
                       std::span<const SweepInput* const> swept, bool unmeasured);
std::string table_row(std::span<const std::pair<const SweepInput*, double>> at, const PointCosts& p,
                      const Competition& c);

// The cheapest competing system per point (0..5), -1 where none suits,
// -2 where the checks refused the point.
int verdict(const PointCosts& p, const Competition& c);

// "BHD 15 bis 26 cm: I) Konventionelle Holzernte; ab 27 cm: III)
// Hochmechanisierte Holzernte": the stretches of the range and the cheapest
// suitable system on each, "kein System geeignet" where none suits. The
// entries of a list are named one by one: "Baumart Birke, Erle: ...".
std::string cheapest_sentence(const SweepInput& input, const SweepRange& range,
                              std::span<const PointCosts> points, const Competition& c);

// The text of one point: its value(s) and the six competing sums in
// Euro/Fm, unsuitable ones marked, the cheapest named.
std::string point_text(std::span<const std::pair<const SweepInput*, double>> at, const PointCosts& p,
                       const Competition& c);

// The legend text of a system, saying which sum it shows.
std::string system_legend(int system, bool unmeasured);

// Colours of the six systems (0xRRGGBB) from the Okabe-Ito palette, told
// apart also with a red-green or a blue-yellow weakness: blue, orange,
// bluish green, reddish purple, vermilion, sky blue. Neither black (the
// line of the current value is black) nor the palette's yellow (too pale
// on white paper, the more so dashed). The map cells where none suits are
// grey, those not computed white.
inline constexpr std::array<std::uint32_t, 6> kSystemColours = {0x0072B2, 0xE69F00, 0x009E73,
                                                                0xCC79A7, 0xD55E00, 0x56B4E9};
inline constexpr std::uint32_t kNoneColour = 0xBDBDBD;
inline constexpr std::uint32_t kRefusedColour = 0xFFFFFF;

// ------------------------------------------------------------------ the map
struct MapRect {
    double x = 0, y = 0, w = 0, h = 0;
};
struct MapTick {
    std::size_t index;  // grid point
    double pos;         // centre of its cells along the axis, pixels
};

// Cells of nx × ny in the plot area, the first input to the right, the
// second upwards; ticks on round values at least `min_gap` pixels apart.
struct MapGeometry {
    MapRect plot;
    std::size_t nx = 0, ny = 0;
    double cell_w = 0, cell_h = 0;
    std::vector<MapTick> x_ticks, y_ticks;

    MapRect cell(std::size_t i, std::size_t j) const;
    // The cell under (px, py), if any.
    std::optional<std::pair<std::size_t, std::size_t>> cell_at(double px, double py) const;
    // Where a value lies along an axis (the centre of its cell on the grid).
    double x_of(const SweepRange& x, double v) const;
    double y_of(const SweepRange& y, double v) const;
};

// `margins`: room left of the plot (the slope labels), below it (the BHD
// labels), above it and right of it (the legend).
MapGeometry map_geometry(const SweepRange& x, const SweepRange& y, int width, int height, int left,
                         int bottom, int top, int right, double min_gap);

}  // namespace forstrix::ui
