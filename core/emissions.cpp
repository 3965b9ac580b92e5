#include "core/emissions.h"

#include <utility>

#include "core/numtext.h"

namespace forstrix {

namespace {
constexpr double kMinutes = 60.0;  // systems I and II count minutes per Fm
constexpr double kHours = 1.0;     // systems III to VI count hours per Fm
}  // namespace

// clang-format off
const std::array<FuelLine, 13> kFuelLines = {{
    // I) Konventionelle Holzernte: chainsaw and cable skidder
    {0, &State::gff_e4,  kMinutes, &State::gf_msc23,   Fuel::Benzin},
    {0, &State::gff_e5,  kMinutes, &State::gf_asb50,   Fuel::Diesel},
    // II) Integrierte Holzernte: chainsaw and cable skidder
    {1, &State::gff_e13, kMinutes, &State::gf_msc23,   Fuel::Benzin},
    {1, &State::gff_e14, kMinutes, &State::gf_asb50,   Fuel::Diesel},
    // III) harvester and forwarder
    {2, &State::gff_e20, kHours,   &State::gf_hab50,   Fuel::Diesel},
    {2, &State::gff_e22, kHours,   &State::gf_fob50,   Fuel::Diesel},
    // IV) slope harvester and slope forwarder
    {3, &State::gff_e27, kHours,   &State::gf_hhb50,   Fuel::Diesel},
    {3, &State::gff_e29, kHours,   &State::gf_hfb50,   Fuel::Diesel},
    // V) yarder with processor, chainsaw (its line is in hours), the fourth
    //    machine, which runs at the forwarder's figures
    {4, &State::gff_e35, kHours,   &State::gf_mskb50,  Fuel::Diesel},
    {4, &State::gff_e36, kHours,   &State::gf_msc23,   Fuel::Benzin},
    {4, &State::gff_e37, kHours,   &State::gf_fob50,   Fuel::Diesel},
    // VI) harvester with felling-bunching head and forwarder
    {5, &State::gff_e41, kHours,   &State::gf_hfsab50, Fuel::Diesel},
    {5, &State::gff_e43, kHours,   &State::gf_fob50,   Fuel::Diesel},
}};

const std::array<double State::*, 6> kDieselPerFm = {
    &State::diesel_sys1, &State::diesel_sys2, &State::diesel_sys3,
    &State::diesel_sys4, &State::diesel_sys5, &State::diesel_sys6};
const std::array<double State::*, 6> kBenzinPerFm = {
    &State::benzin_sys1, &State::benzin_sys2, &State::benzin_sys3,
    &State::benzin_sys4, &State::benzin_sys5, &State::benzin_sys6};
const std::array<double State::*, 6> kCo2PerFm = {
    &State::co2_sys1, &State::co2_sys2, &State::co2_sys3,
    &State::co2_sys4, &State::co2_sys5, &State::co2_sys6};

const std::array<EmissionFactorField, 2> kEmissionFactorFields = {{
    {19001, "gf_co2_diesel", &State::gf_co2_diesel, "Diesel (Maschinen) [kg CO2e/l]"},
    {19002, "gf_co2_benzin", &State::gf_co2_benzin, "Benzin, Zweitaktgemisch (Motorsäge) [kg CO2e/l]"},
}};
// clang-format on

namespace {

// Line K of kFuelLines, known to the compiler: the time-and-cost model ends
// with these thirteen products in every scenario.
template <std::size_t K>
void add_fuel_line(const State& s, std::array<double, 6>& diesel, std::array<double, 6>& benzin) {
    const FuelLine& l = kFuelLines[K];
    // machine hours per Fm times litres per hour
    const double litres = s.*l.time / l.minutes_per_hour * s.*l.use;
    (l.fuel == Fuel::Diesel ? diesel : benzin)[static_cast<std::size_t>(l.system)] += litres;
}

template <std::size_t... K>
void add_fuel_lines(const State& s, std::array<double, 6>& diesel, std::array<double, 6>& benzin,
                    std::index_sequence<K...>) {
    (add_fuel_line<K>(s, diesel, benzin), ...);
}

}  // namespace

void calc_kraftstoff(State& s) {
    std::array<double, 6> diesel{}, benzin{};
    add_fuel_lines(s, diesel, benzin, std::make_index_sequence<kFuelLines.size()>{});
    for (std::size_t i = 0; i < 6; ++i) {
        s.*kDieselPerFm[i] = diesel[i];
        s.*kBenzinPerFm[i] = benzin[i];
        s.*kCo2PerFm[i] = diesel[i] * s.gf_co2_diesel + benzin[i] * s.gf_co2_benzin;
    }
}

std::string fuel_text(const State& s, int system) {
    const auto i = static_cast<std::size_t>(system);
    const double diesel = s.*kDieselPerFm[i];
    const double benzin = s.*kBenzinPerFm[i];
    std::string text = "Kraftstoff " + format_comma(diesel + benzin, 2) + " l/Fm (";
    if (benzin == 0.0)
        text += "Diesel";
    else if (diesel == 0.0)
        text += "Benzin";
    else
        text += "Diesel " + format_comma(diesel, 2) + ", Benzin " + format_comma(benzin, 2);
    text += "), CO2 " + format_comma(s.*kCo2PerFm[i], 2) + " kg/Fm";
    return text;
}

}  // namespace forstrix
