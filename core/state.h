// The calculation state: every named value the program works on, with its
// default. One State lives for the whole run of the desktop program; the CLI
// builds a fresh one per scenario. Names follow the forestry cost scheme:
//   gi_   whole-number stand input or list index
//   gf_   decimal input, cost basic or machine-hour cost (the number is the
//         row of that item in the machine-cost scheme)
//   gc_   value derived from the stand
//   g_sys suitability flag of a work system (1 suitable, 0 not)
//   gff_  result of the time-and-cost model (gff_eN a time per Fm,
//         gff_gN the cost per Fm of the same line)
#pragma once

#include <array>
#include <cstdint>

namespace forstrix {

// ---------------------------------------------------------------- species
// Internal species order (gi_ba): Birke, Erle, Pappel, Weide, Eberesche,
// Buche, Eiche, Esche, Ahorn, Kirsche. The stand dialog lists them
// alphabetically; tbk maps a list position to gi_ba, tto the reverse.
inline constexpr int kSpeciesCount = 10;
inline constexpr std::array<const char*, kSpeciesCount> kSpeciesNames = {
    "Birke", "Erle", "Pappel", "Weide", "Eberesche",
    "Buche", "Eiche", "Esche", "Ahorn", "Kirsche"};
inline constexpr std::array<std::uint32_t, kSpeciesCount> tbk = {8, 0, 5, 4, 6, 1, 7, 9, 2, 3};
inline constexpr std::array<std::uint32_t, kSpeciesCount> tto = {1, 5, 8, 9, 3, 2, 4, 6, 0, 7};

// The words of the stand's other lists, by the value's index: stem form
// class gi_sf (from full-bodied long boles to strongly tapering short
// ones), spacing of the skid trails gi_ar in metres and their
// trafficability gi_br, walkability and obstacles gi_i_bb of system I,
// whether each cable line reaches its minimum volume gi_hvs and the crown
// size gi_v_kf of system V. The dialogs, the report and the reasons read
// them here.
inline constexpr std::array<const char*, 4> kFormClassNames = {
    "vollholzig/langschäftig", "normal/mittelschäftig", "abholzig/kurzschäftig",
    "stark abholzig/sehr kurzschäftig"};
inline constexpr std::array<const char*, 2> kSpacingNames = {"bis 20", "> 20"};
// The same as the report writes it, and as a table may give it.
inline constexpr std::array<const char*, 2> kSpacingReportNames = {"bis 20", "über 20"};
inline constexpr std::array<const char*, 2> kTrafficabilityNames = {"vorhanden", "nicht vorhanden"};
inline constexpr std::array<const char*, 6> kObstacleNames = {
    "keine Behinderung",       "mittlere Behinderung",      "starke Behinderung",
    "sehr starke Behinderung", "extrem starke Behinderung", "Sonderstandort"};
inline constexpr std::array<const char*, 2> kRopeVolumeNames = {"nein", "ja"};
inline constexpr std::array<const char*, 3> kCrownNames = {"kleine Kronen", "mittelgroße Kronen",
                                                           "große Kronen"};

// ------------------------------------------------------ coefficient tables
// Height curve by stem form class: general table, and the one of oak and ash.
inline constexpr std::array<double, 4> k_hoehe1 = {-31.41, -26.19, -24.21, -18.16};
inline constexpr std::array<double, 4> k_hoehe2 = {-0.03314, -0.03302, -0.03311, -0.03312};
inline constexpr std::array<double, 4> k_hoehe3 = {38.83, 32.44, 29.94, 22.46};
inline constexpr std::array<double, 4> ke_hoehe1 = {-26.05, -21.79, -20.03, -15.01};
inline constexpr std::array<double, 4> ke_hoehe2 = {-0.04427, -0.04425, -0.04421, -0.04395};
inline constexpr std::array<double, 4> ke_hoehe3 = {30.33, 25.33, 23.38, 17.56};
// Whole-tree mass of Birke, Erle, Pappel, Weide and Eberesche (gi_ba 0..4).
inline constexpr std::array<double, 5> k_stmvoll1 = {-3.521, -4.058, -2.532, -3.508, -1.06};
inline constexpr std::array<double, 5> k_stmvoll2 = {1.993, 2.07, 1.867, 2.172, 1.45};
inline constexpr std::array<double, 5> k_stmvoll3 = {0.9, 0.913, 0.613, 0.643, 0.768};
// Merchantable-wood mass per piece volume [t atro / EFm] for every species.
inline constexpr std::array<double, kSpeciesCount> k_stmderb = {
    0.61, 0.51, 0.41, 0.33, 0.73, 0.63, 0.65, 0.65, 0.63, 0.63};

struct State {
    // ------------------------------------------------------ stand inputs
    std::uint32_t gi_ba = 0;    // Hauptbaumart Laubholz (internal species index)
    std::uint32_t gi_bhd = 20;  // BHD [cm], 6..90
    std::uint32_t gi_sf = 1;    // Formigkeit, 0..3
    std::uint32_t gi_hn = 14;   // Hangneigung [%], 0..65
    std::uint32_t gi_ar = 0;    // Abstand Rückegassen: 0 "bis 20", 1 "> 20"
    std::uint32_t gi_br = 0;    // Befahrbarkeit Rückegassen: 0 vorhanden, 1 nicht vorhanden
    double gf_vab = 30.0;       // Volumen ausscheidender Bestand [EFm/ha]
    double gf_gf = 50.0;        // Gesamtfläche der Maßnahme [ha]
    std::uint32_t gi_hvs = 0;   // Mindestvolumen > 70 EFm je Seillinie: 0 nein, 1 ja
    double gf_bh = 0.0;         // own tree height [m]; 0 = not given
    double gf_stm = 0.0;        // own piece volume [EFm]; 0 = not given

    // ------------------------- additional stand data of single work systems
    std::uint32_t gi_i_bb = 1;    // I: Begehbarkeit / Behinderungen, 0..5
    double gf_i_rd = 150.0;       // I: Rückedistanz [m]
    double gf_i_bse = 10.0;       // I: Beiseilentfernung [m]
    std::uint32_t gi_ii_vzs = 0;  // II: Volumenanteil zusätzl. Sortimente [%], 0 or 5..85
    double gf_ii_rd = 150.0;      // II: Rückedistanz [m], always follows gf_i_rd
    std::uint32_t gi_v_sll = 2;   // V: Seillinienlänge, 0..4 = 100..500 m
    std::uint32_t gi_v_kf = 1;    // V: Kronenform, 0..2

    // --------------------------------------------- derived from the stand
    double gc_hoehe = 0.0;    // Baumhöhe [m]
    double gc_stm = 0.0;      // Stückvolumen je Baum [EFm]
    double gc_stmvoll = 0.0;  // Stückmasse Vollbaum [t atro]
    double gc_stmderb = 0.0;  // Stückmasse Derbholz [t atro]
    double gc_vhieb = 0.0;    // Gesamt-Hiebsanfall [EFm]

    // ----------------------------------------------------- suitability
    std::int32_t g_sys1 = 1, g_sys2 = 1, g_sys3 = 1, g_sys4 = 0, g_sys5 = 0, g_sys6 = 0;

    // -------------------------------------------- wages and time factors
    double gf_fw = 12.0;          // Forstwirt (ohne PNK) [Euro/Std.]
    double gf_mf = 13.0;          // Maschinenführer (ohne PNK) [Euro/Std.]
    double gf_nfw = 60.0;         // Höhe PNK Forstwirt [%]
    double gf_nmf = 60.0;         // Höhe PNK Maschinenführer [%]
    std::int32_t gi_zest = 160;   // Zeitgrad für EST [%]
    std::int32_t gi_zmgv = 130;   // Zeitgrad für MGV [%]
    double gf_ss = 0.0;           // Seilschlepper [Euro/MAS], set to gf_asb75 at start-up

    // ------------------------------------------------ emission factors
    // kg CO2e per litre burnt: fossil fuel without bio share, tank-to-wheel
    // (the factors per kg of DIN EN 16258 with the usual densities). Inputs
    // like the wages; "daten.klg" does not hold them.
    double gf_co2_diesel = 2.67;  // Diesel der Maschinen [kg CO2e/l]
    double gf_co2_benzin = 2.42;  // Benzin (Zweitaktgemisch) der Motorsäge [kg CO2e/l]

    // ------------------------------------------- chainsaw cost basics
    double gf_msc5 = 1100.0;   // Beschaffungspreis Referenzsäge 1 [Euro]
    double gf_msc6 = 1300.0;   // Beschaffungspreis Referenzsäge 2 [Euro]
    double gf_msc7 = 10.0;     // Anteil Schneidgarnitur am Neupreis [%]
    double gf_msc8 = 450.0;    // Jährliche Einsatzdauer [BS]
    double gf_msc9 = 3.0;      // Nutzungsdauer [Jahre]
    double gf_msc10 = 45.0;    // Beschaffungspreis einer Sägenschiene [Euro]
    double gf_msc11 = 300.0;   // Nutzungsdauer einer Schiene [BS]
    double gf_msc12 = 15.0;    // Beschaffungspreis eines Antriebsritzels [Euro]
    double gf_msc13 = 300.0;   // Nutzungsdauer eines Antriebsritzels [BS]
    double gf_msc14 = 20.0;    // Beschaffungspreis einer Sägenkette [Euro]
    double gf_msc15 = 80.0;    // Nutzungsdauer einer Sägenkette [BS]
    double gf_msc16 = 0.6;     // Reparaturkostenquote des Antriebkopfes
    double gf_msc17 = 0.1;     // Reparaturkostenquote der Sägenschiene
    double gf_msc18 = 1.0;     // Wartungsquote Antriebskopf
    double gf_msc19 = 1.3;     // Preis je Liter Normalbenzin [Euro/l]
    double gf_msc20 = 9.0;     // Preis je Liter Motorschmierstoff [Euro/l]
    double gf_msc21 = 50.0;    // Mischungsverhältnis (Liter Benzin je Liter Schmierstoff)
    double gf_msc22 = 0.0;     // Preis je Liter Fertig-Gemisch [Euro/l]; 0 = not used
    double gf_msc23 = 1.3;     // Treibstoffverbrauch [l/BS]
    double gf_msc24 = 3.5;     // Preis je Liter Kettenschmiermittel [Euro]
    double gf_msc25 = 0.5;     // Verbrauch von Kettenschmiermittel [l/BS]
    double gf_msc26 = 8.0;     // Zinsfuß [%]
    double gf_msc27 = 0.3;     // Transportpauschale [Euro/BS]

    // ------------------------------------------- chainsaw results [Euro/BS]
    double gf_msc31 = 0.0;  // depreciation without cutting set
    double gf_msc32 = 0.0;  // cutting set wear, repair and maintenance
    double gf_msc33 = 0.0;  // fuel and chain oil
    double gf_msc34 = 0.0;  // imputed interest
    double gf_msc35 = 0.0;  // transport
    double gf_msc37 = 0.0;  // total, Kosten [Euro/BS]
    double gf_msc38 = 0.0;  // total per minute

    // ------------------- machine cost basics, rows 44..56 of each kind
    // 44 purchase price [Tsd. Euro], 45 obsolescence time [years],
    // 46 normal useful life [MAS], 47 annual use [MAS/year], 48 repair
    // factor, 49 interest rate [%], 50 fuel use [l/MAS], 51 fuel price
    // [Euro/l], 52 lubricant factor, 53 residual value [Tsd. Euro],
    // 54 mobility [%], 55 other costs [%], 56 profit [%].
    // Results per kind (Euro/MAS): depreciation, repair, interest, fuel and
    // lubricant, mobility, other costs, profit, total.

    // aufgerüsteter Agrarschlepper (Seilschlepper)
    double gf_asb44 = 100.0, gf_asb45 = 10.0, gf_asb46 = 11000.0, gf_asb47 = 1000.0,
           gf_asb48 = 0.6, gf_asb49 = 8.0, gf_asb50 = 5.0, gf_asb51 = 1.15, gf_asb52 = 0.1,
           gf_asb53 = 0.0, gf_asb54 = 1.0, gf_asb55 = 14.0, gf_asb56 = 10.0;
    double gf_asb64 = 0.0, gf_asb65 = 0.0, gf_asb66 = 0.0, gf_asb67 = 0.0, gf_asb68 = 0.0,
           gf_asb69 = 0.0, gf_asb70 = 0.0, gf_asb75 = 0.0;

    // Harvester
    double gf_hab44 = 450.0, gf_hab45 = 8.0, gf_hab46 = 15000.0, gf_hab47 = 2000.0,
           gf_hab48 = 1.1, gf_hab49 = 8.0, gf_hab50 = 14.0, gf_hab51 = 1.15, gf_hab52 = 0.3,
           gf_hab53 = 0.0, gf_hab54 = 1.0, gf_hab55 = 14.0, gf_hab56 = 10.0;
    double gf_hab101 = 0.0, gf_hab102 = 0.0, gf_hab103 = 0.0, gf_hab104 = 0.0,
           gf_hab105 = 0.0, gf_hab106 = 0.0, gf_hab107 = 0.0, gf_hab112 = 0.0;

    // Forwarder
    double gf_fob44 = 280.0, gf_fob45 = 10.0, gf_fob46 = 17000.0, gf_fob47 = 2000.0,
           gf_fob48 = 0.9, gf_fob49 = 8.0, gf_fob50 = 9.0, gf_fob51 = 1.15, gf_fob52 = 0.2,
           gf_fob53 = 0.0, gf_fob54 = 1.0, gf_fob55 = 14.0, gf_fob56 = 10.0;
    double gf_fob138 = 0.0, gf_fob139 = 0.0, gf_fob140 = 0.0, gf_fob141 = 0.0,
           gf_fob142 = 0.0, gf_fob143 = 0.0, gf_fob144 = 0.0, gf_fob149 = 0.0;

    // Harvester mit FSA (Fäller-Sammler-Aggregat)
    double gf_hfsab44 = 350.0, gf_hfsab45 = 8.0, gf_hfsab46 = 15000.0, gf_hfsab47 = 2000.0,
           gf_hfsab48 = 1.1, gf_hfsab49 = 8.0, gf_hfsab50 = 14.0, gf_hfsab51 = 1.15,
           gf_hfsab52 = 0.3, gf_hfsab53 = 0.0, gf_hfsab54 = 1.0, gf_hfsab55 = 14.0,
           gf_hfsab56 = 10.0;
    double gf_hfsab175 = 0.0, gf_hfsab176 = 0.0, gf_hfsab177 = 0.0, gf_hfsab178 = 0.0,
           gf_hfsab179 = 0.0, gf_hfsab180 = 0.0, gf_hfsab181 = 0.0, gf_hfsab186 = 0.0;

    // Hang-Harvester
    double gf_hhb44 = 520.0, gf_hhb45 = 8.0, gf_hhb46 = 15000.0, gf_hhb47 = 2000.0,
           gf_hhb48 = 1.1, gf_hhb49 = 8.0, gf_hhb50 = 14.0, gf_hhb51 = 1.15, gf_hhb52 = 0.3,
           gf_hhb53 = 0.0, gf_hhb54 = 1.0, gf_hhb55 = 14.0, gf_hhb56 = 10.0;
    double gf_hhb212 = 0.0, gf_hhb213 = 0.0, gf_hhb214 = 0.0, gf_hhb215 = 0.0,
           gf_hhb216 = 0.0, gf_hhb217 = 0.0, gf_hhb218 = 0.0, gf_hhb223 = 0.0;

    // Hang-Forwarder
    double gf_hfb44 = 330.0, gf_hfb45 = 10.0, gf_hfb46 = 17000.0, gf_hfb47 = 2000.0,
           gf_hfb48 = 0.9, gf_hfb49 = 8.0, gf_hfb50 = 9.0, gf_hfb51 = 1.15, gf_hfb52 = 0.2,
           gf_hfb53 = 0.0, gf_hfb54 = 1.0, gf_hfb55 = 14.0, gf_hfb56 = 10.0;
    double gf_hfb249 = 0.0, gf_hfb250 = 0.0, gf_hfb251 = 0.0, gf_hfb252 = 0.0,
           gf_hfb253 = 0.0, gf_hfb254 = 0.0, gf_hfb255 = 0.0, gf_hfb260 = 0.0;

    // Mobilseilkran & Prozessor auf LKW
    double gf_mskb44 = 500.0, gf_mskb45 = 10.0, gf_mskb46 = 10000.0, gf_mskb47 = 1000.0,
           gf_mskb48 = 1.2, gf_mskb49 = 8.0, gf_mskb50 = 15.0, gf_mskb51 = 1.15,
           gf_mskb52 = 0.4, gf_mskb53 = 0.0, gf_mskb54 = 1.0, gf_mskb55 = 14.0,
           gf_mskb56 = 10.0;
    double gf_mskb286 = 0.0, gf_mskb287 = 0.0, gf_mskb288 = 0.0, gf_mskb289 = 0.0,
           gf_mskb290 = 0.0, gf_mskb291 = 0.0, gf_mskb292 = 0.0, gf_mskb297 = 0.0;

    // ------------------------------------- results of the time-and-cost model
    // I) Konventionelle Holzernte [min/Fm, Euro/Fm]
    double gff_e3 = 0.0, gff_g3 = 0.0;    // Forstwirt
    double gff_e4 = 0.0, gff_g4 = 0.0;    // Motorsäge
    double gff_e5 = 0.0, gff_g5 = 0.0;    // Seilschlepper
    double gff_e6 = 0.0, gff_g6 = 0.0;    // Maschinenführer Seilschlepper
    double gff_g7 = 0.0;                  // Summe (nicht vermessen)
    double gff_g8 = 0.0;                  // inklusive Vermessung
    // II) Integrierte Holzernte [min/Fm, Euro/Fm]
    double gff_e12 = 0.0, gff_g12 = 0.0;  // Forstwirte gesamt (2 Pers.)
    double gff_e13 = 0.0, gff_g13 = 0.0;  // Motorsäge
    double gff_e14 = 0.0, gff_g14 = 0.0;  // Seilschlepper
    double gff_g15 = 0.0;                 // Summe
    double gff_g16 = 0.0;                 // inklusive Vermessung
    // III) Hochmechanisierte Holzernte [MAS/Fm or Std./Fm, Euro/Fm]
    double gff_e20 = 0.0, gff_g20 = 0.0;  // Harvester
    double gff_e21 = 0.0, gff_g21 = 0.0;  // Maschinenführer Harvester
    double gff_e22 = 0.0, gff_g22 = 0.0;  // Forwarder
    double gff_e23 = 0.0, gff_g23 = 0.0;  // Maschinenführer Forwarder
    double gff_g24 = 0.0;                 // Summe
    // IV) Hochmechanisierte Holzernte durch Hangsysteme
    double gff_e27 = 0.0, gff_g27 = 0.0;  // Hang-Harvester
    double gff_e28 = 0.0, gff_g28 = 0.0;  // Maschinenführer Hang-Harvester
    double gff_e29 = 0.0, gff_g29 = 0.0;  // Hang-Forwarder
    double gff_e30 = 0.0, gff_g30 = 0.0;  // Maschinenführer Hang-Forwarder
    double gff_g31 = 0.0;                 // Summe
    // V) Yarding
    double gff_e34 = 0.0, gff_g34 = 0.0;  // Personal gesamt (4 Pers.)
    double gff_e35 = 0.0, gff_g35 = 0.0;  // Seilkran inkl. Prozessor
    double gff_e36 = 0.0, gff_g36 = 0.0;  // Motorsäge
    double gff_e37 = 0.0, gff_g37 = 0.0;  // Forwarder / Verzerr-Schlepper
    double gff_g39 = 0.0;                 // Summe
    // VI) Spanholz
    double gff_e41 = 0.0, gff_g41 = 0.0;  // Harvester (mit FSA)
    double gff_e42 = 0.0, gff_g42 = 0.0;  // Maschinenführer Harvester
    double gff_e43 = 0.0, gff_g43 = 0.0;  // Forwarder
    double gff_e44 = 0.0, gff_g44 = 0.0;  // Maschinenführer Forwarder
    double gff_g45 = 0.0;                 // Summe

    // ------------------------- fuel and CO2 per Fm of each work system I..VI
    // Litres of diesel (the machines) and of petrol mixture (the chainsaw)
    // per Fm, and kg CO2e per Fm; written with the time-and-cost results.
    double diesel_sys1 = 0.0, diesel_sys2 = 0.0, diesel_sys3 = 0.0,
           diesel_sys4 = 0.0, diesel_sys5 = 0.0, diesel_sys6 = 0.0;  // [l/Fm]
    double benzin_sys1 = 0.0, benzin_sys2 = 0.0, benzin_sys3 = 0.0,
           benzin_sys4 = 0.0, benzin_sys5 = 0.0, benzin_sys6 = 0.0;  // [l/Fm]
    double co2_sys1 = 0.0, co2_sys2 = 0.0, co2_sys3 = 0.0,
           co2_sys4 = 0.0, co2_sys5 = 0.0, co2_sys6 = 0.0;           // [kg CO2e/Fm]

    // The six suitability flags in system order I..VI.
    std::array<std::int32_t, 6> flags() const { return {g_sys1, g_sys2, g_sys3, g_sys4, g_sys5, g_sys6}; }
    void set_flags(const std::array<std::int32_t, 6>& f) {
        g_sys1 = f[0]; g_sys2 = f[1]; g_sys3 = f[2]; g_sys4 = f[3]; g_sys5 = f[4]; g_sys6 = f[5];
    }
};

// The eight sums that the cost chart draws, in chart order:
// I (nicht vermessen), I (inkl. Vermessung), II, II inkl., III, IV, V, VI.
inline std::array<double, 8> chart_sums(const State& s) {
    return {s.gff_g7, s.gff_g8, s.gff_g15, s.gff_g16, s.gff_g24, s.gff_g31, s.gff_g39, s.gff_g45};
}

}  // namespace forstrix
