// The registry of named values. The list below is the State in its own
// order, one line per value; a test checks that it covers every member.
#include "core/registry.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "core/emissions.h"

namespace forstrix {

namespace {

#define D(name, kind) ValueInfo{#name, ValueKind::kind, ValueType::Double, &State::name, nullptr, nullptr}
#define U(name, kind) ValueInfo{#name, ValueKind::kind, ValueType::UInt, nullptr, &State::name, nullptr}
#define I(name, kind) ValueInfo{#name, ValueKind::kind, ValueType::Int, nullptr, nullptr, &State::name}

// clang-format off
const ValueInfo kValues[] = {
    U(gi_ba, StandInput),
    U(gi_bhd, StandInput),
    U(gi_sf, StandInput),
    U(gi_hn, StandInput),
    U(gi_ar, StandInput),
    U(gi_br, StandInput),
    D(gf_vab, StandInput),
    D(gf_gf, StandInput),
    U(gi_hvs, StandInput),
    D(gf_bh, StandInput),
    D(gf_stm, StandInput),
    U(gi_i_bb, StandExtra),
    D(gf_i_rd, StandExtra),
    D(gf_i_bse, StandExtra),
    U(gi_ii_vzs, StandExtra),
    D(gf_ii_rd, StandExtra),
    U(gi_v_sll, StandExtra),
    U(gi_v_kf, StandExtra),
    D(gc_hoehe, Derived),
    D(gc_stm, Derived),
    D(gc_stmvoll, Derived),
    D(gc_stmderb, Derived),
    D(gc_vhieb, Derived),
    I(g_sys1, Flag),
    I(g_sys2, Flag),
    I(g_sys3, Flag),
    I(g_sys4, Flag),
    I(g_sys5, Flag),
    I(g_sys6, Flag),
    D(gf_fw, Wage),
    D(gf_mf, Wage),
    D(gf_nfw, Wage),
    D(gf_nmf, Wage),
    I(gi_zest, Wage),
    I(gi_zmgv, Wage),
    D(gf_ss, MachineCost),
    D(gf_co2_diesel, EmissionFactor),
    D(gf_co2_benzin, EmissionFactor),
    D(gf_msc5, ChainsawBasic),
    D(gf_msc6, ChainsawBasic),
    D(gf_msc7, ChainsawBasic),
    D(gf_msc8, ChainsawBasic),
    D(gf_msc9, ChainsawBasic),
    D(gf_msc10, ChainsawBasic),
    D(gf_msc11, ChainsawBasic),
    D(gf_msc12, ChainsawBasic),
    D(gf_msc13, ChainsawBasic),
    D(gf_msc14, ChainsawBasic),
    D(gf_msc15, ChainsawBasic),
    D(gf_msc16, ChainsawBasic),
    D(gf_msc17, ChainsawBasic),
    D(gf_msc18, ChainsawBasic),
    D(gf_msc19, ChainsawBasic),
    D(gf_msc20, ChainsawBasic),
    D(gf_msc21, ChainsawBasic),
    D(gf_msc22, ChainsawBasic),
    D(gf_msc23, ChainsawBasic),
    D(gf_msc24, ChainsawBasic),
    D(gf_msc25, ChainsawBasic),
    D(gf_msc26, ChainsawBasic),
    D(gf_msc27, ChainsawBasic),
    D(gf_msc31, MachineResult),
    D(gf_msc32, MachineResult),
    D(gf_msc33, MachineResult),
    D(gf_msc34, MachineResult),
    D(gf_msc35, MachineResult),
    D(gf_msc37, MachineCost),
    D(gf_msc38, MachineResult),
    D(gf_asb44, MachineBasic),
    D(gf_asb45, MachineBasic),
    D(gf_asb46, MachineBasic),
    D(gf_asb47, MachineBasic),
    D(gf_asb48, MachineBasic),
    D(gf_asb49, MachineBasic),
    D(gf_asb50, MachineBasic),
    D(gf_asb51, MachineBasic),
    D(gf_asb52, MachineBasic),
    D(gf_asb53, MachineBasic),
    D(gf_asb54, MachineBasic),
    D(gf_asb55, MachineBasic),
    D(gf_asb56, MachineBasic),
    D(gf_asb64, MachineResult),
    D(gf_asb65, MachineResult),
    D(gf_asb66, MachineResult),
    D(gf_asb67, MachineResult),
    D(gf_asb68, MachineResult),
    D(gf_asb69, MachineResult),
    D(gf_asb70, MachineResult),
    D(gf_asb75, MachineResult),
    D(gf_hab44, MachineBasic),
    D(gf_hab45, MachineBasic),
    D(gf_hab46, MachineBasic),
    D(gf_hab47, MachineBasic),
    D(gf_hab48, MachineBasic),
    D(gf_hab49, MachineBasic),
    D(gf_hab50, MachineBasic),
    D(gf_hab51, MachineBasic),
    D(gf_hab52, MachineBasic),
    D(gf_hab53, MachineBasic),
    D(gf_hab54, MachineBasic),
    D(gf_hab55, MachineBasic),
    D(gf_hab56, MachineBasic),
    D(gf_hab101, MachineResult),
    D(gf_hab102, MachineResult),
    D(gf_hab103, MachineResult),
    D(gf_hab104, MachineResult),
    D(gf_hab105, MachineResult),
    D(gf_hab106, MachineResult),
    D(gf_hab107, MachineResult),
    D(gf_hab112, MachineCost),
    D(gf_fob44, MachineBasic),
    D(gf_fob45, MachineBasic),
    D(gf_fob46, MachineBasic),
    D(gf_fob47, MachineBasic),
    D(gf_fob48, MachineBasic),
    D(gf_fob49, MachineBasic),
    D(gf_fob50, MachineBasic),
    D(gf_fob51, MachineBasic),
    D(gf_fob52, MachineBasic),
    D(gf_fob53, MachineBasic),
    D(gf_fob54, MachineBasic),
    D(gf_fob55, MachineBasic),
    D(gf_fob56, MachineBasic),
    D(gf_fob138, MachineResult),
    D(gf_fob139, MachineResult),
    D(gf_fob140, MachineResult),
    D(gf_fob141, MachineResult),
    D(gf_fob142, MachineResult),
    D(gf_fob143, MachineResult),
    D(gf_fob144, MachineResult),
    D(gf_fob149, MachineCost),
    D(gf_hfsab44, MachineBasic),
    D(gf_hfsab45, MachineBasic),
    D(gf_hfsab46, MachineBasic),
    D(gf_hfsab47, MachineBasic),
    D(gf_hfsab48, MachineBasic),
    D(gf_hfsab49, MachineBasic),
    D(gf_hfsab50, MachineBasic),
    D(gf_hfsab51, MachineBasic),
    D(gf_hfsab52, MachineBasic),
    D(gf_hfsab53, MachineBasic),
    D(gf_hfsab54, MachineBasic),
    D(gf_hfsab55, MachineBasic),
    D(gf_hfsab56, MachineBasic),
    D(gf_hfsab175, MachineResult),
    D(gf_hfsab176, MachineResult),
    D(gf_hfsab177, MachineResult),
    D(gf_hfsab178, MachineResult),
    D(gf_hfsab179, MachineResult),
    D(gf_hfsab180, MachineResult),
    D(gf_hfsab181, MachineResult),
    D(gf_hfsab186, MachineCost),
    D(gf_hhb44, MachineBasic),
    D(gf_hhb45, MachineBasic),
    D(gf_hhb46, MachineBasic),
    D(gf_hhb47, MachineBasic),
    D(gf_hhb48, MachineBasic),
    D(gf_hhb49, MachineBasic),
    D(gf_hhb50, MachineBasic),
    D(gf_hhb51, MachineBasic),
    D(gf_hhb52, MachineBasic),
    D(gf_hhb53, MachineBasic),
    D(gf_hhb54, MachineBasic),
    D(gf_hhb55, MachineBasic),
    D(gf_hhb56, MachineBasic),
    D(gf_hhb212, MachineResult),
    D(gf_hhb213, MachineResult),
    D(gf_hhb214, MachineResult),
    D(gf_hhb215, MachineResult),
    D(gf_hhb216, MachineResult),
    D(gf_hhb217, MachineResult),
    D(gf_hhb218, MachineResult),
    D(gf_hhb223, MachineCost),
    D(gf_hfb44, MachineBasic),
    D(gf_hfb45, MachineBasic),
    D(gf_hfb46, MachineBasic),
    D(gf_hfb47, MachineBasic),
    D(gf_hfb48, MachineBasic),
    D(gf_hfb49, MachineBasic),
    D(gf_hfb50, MachineBasic),
    D(gf_hfb51, MachineBasic),
    D(gf_hfb52, MachineBasic),
    D(gf_hfb53, MachineBasic),
    D(gf_hfb54, MachineBasic),
    D(gf_hfb55, MachineBasic),
    D(gf_hfb56, MachineBasic),
    D(gf_hfb249, MachineResult),
    D(gf_hfb250, MachineResult),
    D(gf_hfb251, MachineResult),
    D(gf_hfb252, MachineResult),
    D(gf_hfb253, MachineResult),
    D(gf_hfb254, MachineResult),
    D(gf_hfb255, MachineResult),
    D(gf_hfb260, MachineCost),
    D(gf_mskb44, MachineBasic),
    D(gf_mskb45, MachineBasic),
    D(gf_mskb46, MachineBasic),
    D(gf_mskb47, MachineBasic),
    D(gf_mskb48, MachineBasic),
    D(gf_mskb49, MachineBasic),
    D(gf_mskb50, MachineBasic),
    D(gf_mskb51, MachineBasic),
    D(gf_mskb52, MachineBasic),
    D(gf_mskb53, MachineBasic),
    D(gf_mskb54, MachineBasic),
    D(gf_mskb55, MachineBasic),
    D(gf_mskb56, MachineBasic),
    D(gf_mskb286, MachineResult),
    D(gf_mskb287, MachineResult),
    D(gf_mskb288, MachineResult),
    D(gf_mskb289, MachineResult),
    D(gf_mskb290, MachineResult),
    D(gf_mskb291, MachineResult),
    D(gf_mskb292, MachineResult),
    D(gf_mskb297, MachineCost),
    D(gff_e3, Result),
    D(gff_g3, Result),
    D(gff_e4, Result),
    D(gff_g4, Result),
    D(gff_e5, Result),
    D(gff_g5, Result),
    D(gff_e6, Result),
    D(gff_g6, Result),
    D(gff_g7, Result),
    D(gff_g8, Result),
    D(gff_e12, Result),
    D(gff_g12, Result),
    D(gff_e13, Result),
    D(gff_g13, Result),
    D(gff_e14, Result),
    D(gff_g14, Result),
    D(gff_g15, Result),
    D(gff_g16, Result),
    D(gff_e20, Result),
    D(gff_g20, Result),
    D(gff_e21, Result),
    D(gff_g21, Result),
    D(gff_e22, Result),
    D(gff_g22, Result),
    D(gff_e23, Result),
    D(gff_g23, Result),
    D(gff_g24, Result),
    D(gff_e27, Result),
    D(gff_g27, Result),
    D(gff_e28, Result),
    D(gff_g28, Result),
    D(gff_e29, Result),
    D(gff_g29, Result),
    D(gff_e30, Result),
    D(gff_g30, Result),
    D(gff_g31, Result),
    D(gff_e34, Result),
    D(gff_g34, Result),
    D(gff_e35, Result),
    D(gff_g35, Result),
    D(gff_e36, Result),
    D(gff_g36, Result),
    D(gff_e37, Result),
    D(gff_g37, Result),
    D(gff_g39, Result),
    D(gff_e41, Result),
    D(gff_g41, Result),
    D(gff_e42, Result),
    D(gff_g42, Result),
    D(gff_e43, Result),
    D(gff_g43, Result),
    D(gff_e44, Result),
    D(gff_g44, Result),
    D(gff_g45, Result),
    D(diesel_sys1, Result),
    D(diesel_sys2, Result),
    D(diesel_sys3, Result),
    D(diesel_sys4, Result),
    D(diesel_sys5, Result),
    D(diesel_sys6, Result),
    D(benzin_sys1, Result),
    D(benzin_sys2, Result),
    D(benzin_sys3, Result),
    D(benzin_sys4, Result),
    D(benzin_sys5, Result),
    D(benzin_sys6, Result),
    D(co2_sys1, Result),
    D(co2_sys2, Result),
    D(co2_sys3, Result),
    D(co2_sys4, Result),
    D(co2_sys5, Result),
    D(co2_sys6, Result),
};
// clang-format on

#undef D
#undef U
#undef I

// Upper bounds. Where a value has a natural limit the bound is that limit
// (a share of at most 100 %, at most 8,760 working hours in a year); else it
// lies far above anything real, so that no forester meets it, while sums and
// products of all inputs together stay many powers of ten below the largest
// double. Wages and prices go up to 10^6 Euro (a machine's price, in Tsd.
// Euro, up to 10^5, i.e. 100 Mio. Euro), percentages up to 1,000 %.
constexpr double kPrice = 1e6;       // Euro, Euro/Std., Euro/MAS, Euro/BS, Euro/l
constexpr double kPercent = 1000.0;  // PNK, interest, mobility, other costs, profit
constexpr double kYearHours = 8760.0;
constexpr double kLifeHours = 1e6;   // useful life [MAS or BS]: over a century of use
constexpr double kFactor = 100.0;    // repair, maintenance and lubricant factors
constexpr double kLitres = 1000.0;   // use [l/MAS, l/BS], mixing ratio
// Lower bounds other than 0 stand where the value divides (a life, an
// annual use, a mixing ratio, a piece volume): the smallest value its field
// shows, so that no quotient can outgrow a double.
constexpr double kDivisor = 0.01;

constexpr ValueRange kRanges[] = {
    // The stand dialog's lists (positions, or whole cm and %).
    {"gi_ba", 0, 9, "Baumart (interner Index)"},
    {"gi_bhd", 6, 90, "BHD [cm]"},
    {"gi_sf", 0, 3, "Formigkeit"},
    {"gi_hn", 0, 65, "Hangneigung [%]"},
    {"gi_ar", 0, 1, "Abstand Rückegassen: 0 \u201Ebis 20\u201C, 1 \u201E> 20\u201C"},
    {"gi_br", 0, 1, "Befahrbarkeit Rückegassen: 0 \u201Evorhanden\u201C, 1 \u201Enicht vorhanden\u201C"},
    {"gi_hvs", 0, 1, "Mindestvolumen je Seillinie erreicht: 0 \u201Enein\u201C, 1 \u201Eja\u201C"},
    {"gi_i_bb", 0, 5, "Begehbarkeit / Behinderungen"},
    {"gi_ii_vzs", 5, 85, "Volumenanteil zusätzl. Sortimente [%]"},
    {"gi_v_sll", 0, 4, "Seillinienlänge: 0 bis 4 für 100 bis 500 m"},
    {"gi_v_kf", 0, 2, "Kronenform: 0 klein, 1 mittelgroß, 2 groß"},
    // The stand's decimals. The richest stands hold some 2,000 EFm/ha in
    // all; a measure of 100,000 ha is larger than any forest district; the
    // tallest trees reach 116 m, the largest single stems 100 EFm.
    {"gf_vab", 0, 5000, "Volumen ausscheidender Bestand [EFm/ha]"},
    {"gf_gf", 0, 100000, "Gesamtfläche der Maßnahme [ha]"},
    {"gf_bh", 0.01, 150, "Baumhöhe [m]"},
    {"gf_stm", 0.0001, 100, "Stückvolumen je Baum [EFm]"},
    // Skidding and winching distances: 10 km and 1 km, far beyond any
    // skidder's or winch's reach.
    {"gf_i_rd", 0, 10000, "Rückedistanz [m]"},
    {"gf_i_bse", 0, 1000, "Beiseilentfernung [m]"},
    {"gf_ii_rd", 0, 10000, "Rückedistanz [m]"},
    // The cost dialog: wages, PNK, Zeitgrad (a performance level the time
    // model divides by) and the eight machine costs.
    {"gf_fw", 0, kPrice, ""},
    {"gf_mf", 0, kPrice, ""},
    {"gf_nfw", 0, kPercent, ""},
    {"gf_nmf", 0, kPercent, ""},
    {"gi_zest", 10, 200, "Zeitgrad für EST [%]"},
    {"gi_zmgv", 10, 200, "Zeitgrad für MGV [%]"},
    {"gf_msc37", 0, kPrice, ""},
    {"gf_ss", 0, kPrice, ""},
    {"gf_hab112", 0, kPrice, ""},
    {"gf_fob149", 0, kPrice, ""},
    {"gf_hfsab186", 0, kPrice, ""},
    {"gf_hhb223", 0, kPrice, ""},
    {"gf_hfb260", 0, kPrice, ""},
    {"gf_mskb297", 0, kPrice, ""},
    // kg CO2e per litre: fuels burn to about 3; 10 leaves room for any blend.
    {"gf_co2_diesel", 0, kEmissionFactorMax, ""},
    {"gf_co2_benzin", 0, kEmissionFactorMax, ""},
    // The chainsaw. A cutting set is a share of the saw's price, so at most
    // 100 % of it.
    {"gf_msc5", 0, kPrice, ""},
    {"gf_msc6", 0, kPrice, ""},
    {"gf_msc7", 0, 100, ""},
    {"gf_msc8", kDivisor, kYearHours, ""},
    {"gf_msc9", kDivisor, 100, ""},
    {"gf_msc10", 0, kPrice, ""},
    {"gf_msc11", kDivisor, kLifeHours, ""},
    {"gf_msc12", 0, kPrice, ""},
    {"gf_msc13", kDivisor, kLifeHours, ""},
    {"gf_msc14", 0, kPrice, ""},
    {"gf_msc15", kDivisor, kLifeHours, ""},
    {"gf_msc16", 0, kFactor, ""},
    {"gf_msc17", 0, kFactor, ""},
    {"gf_msc18", 0, kFactor, ""},
    {"gf_msc19", 0, kPrice, ""},
    {"gf_msc20", 0, kPrice, ""},
    {"gf_msc21", kDivisor, kLitres, ""},
    {"gf_msc22", 0, kPrice, ""},
    {"gf_msc23", 0, kLitres, ""},
    {"gf_msc24", 0, kPrice, ""},
    {"gf_msc25", 0, kLitres, ""},
    {"gf_msc26", 0, kPercent, ""},
    {"gf_msc27", 0, kPrice, ""},
    // Rows 44 to 56 of every machine: price [Tsd. Euro], obsolescence time
    // [years], useful life [MAS], annual use [MAS], repair factor, interest,
    // fuel use, fuel price, lubricant factor, residual value [Tsd. Euro],
    // mobility, other costs and profit [%].
    {"*44", 0, kPrice / 10, ""},
    {"*45", kDivisor, 100, ""},
    {"*46", kDivisor, kLifeHours, ""},
    {"*47", kDivisor, kYearHours, ""},
    {"*48", 0, kFactor, ""},
    {"*49", 0, kPercent, ""},
    {"*50", 0, kLitres, ""},
    {"*51", 0, kPrice, ""},
    {"*52", 0, kFactor, ""},
    {"*53", 0, kPrice / 10, ""},
    {"*54", 0, kPercent, ""},
    {"*55", 0, kPercent, ""},
    {"*56", 0, kPercent, ""},
};

const ValueRange* find_range(const ValueInfo& v) {
    if (!v.settable()) return nullptr;
    for (const ValueRange& r : kRanges) {
        const bool row = r.name.starts_with('*');
        if (row ? v.kind == ValueKind::MachineBasic && v.name.ends_with(r.name.substr(1)) : r.name == v.name)
            return &r;
    }
    return nullptr;
}

// The registry sorted by name, for find_value.
const std::vector<const ValueInfo*>& by_name() {
    static const std::vector<const ValueInfo*> index = [] {
        std::vector<const ValueInfo*> v;
        v.reserve(std::size(kValues));
        for (const ValueInfo& info : kValues) v.push_back(&info);
        std::sort(v.begin(), v.end(), [](const ValueInfo* a, const ValueInfo* b) { return a->name < b->name; });
        return v;
    }();
    return index;
}

}  // namespace

std::span<const ValueInfo> value_registry() { return {kValues, std::size(kValues)}; }

const ValueRange* value_range(const ValueInfo& v) {
    // Looked up once per registry entry: a batch table checks every cell.
    static const std::vector<const ValueRange*> by_entry = [] {
        std::vector<const ValueRange*> ranges;
        for (const ValueInfo& entry : kValues) ranges.push_back(find_range(entry));
        return ranges;
    }();
    const std::less<const ValueInfo*> before;
    if (!before(&v, std::begin(kValues)) && before(&v, std::end(kValues)))
        return by_entry[static_cast<std::size_t>(&v - std::begin(kValues))];
    return find_range(v);
}

const ValueRange& value_range(std::string_view name) { return *value_range(*find_value(name)); }

const ValueInfo* find_value(std::string_view name) {
    const auto& index = by_name();
    const auto it = std::lower_bound(index.begin(), index.end(), name,
                                     [](const ValueInfo* a, std::string_view n) { return a->name < n; });
    return (it != index.end() && (*it)->name == name) ? *it : nullptr;
}

double get_value(const State& s, const ValueInfo& v) {
    switch (v.type) {
        case ValueType::Double: return s.*v.d;
        case ValueType::UInt: return static_cast<double>(s.*v.u);
        case ValueType::Int: return static_cast<double>(s.*v.i);
    }
    return 0.0;
}

void set_value(State& s, const ValueInfo& v, double value) {
    // Integers are truncated toward zero, as the dialogs store a Zeitgrad.
    switch (v.type) {
        case ValueType::Double: s.*v.d = value; break;
        case ValueType::UInt: s.*v.u = static_cast<std::uint32_t>(value); break;
        case ValueType::Int: s.*v.i = static_cast<std::int32_t>(value); break;
    }
}

double default_value(const ValueInfo& v) {
    static const State defaults{};
    return get_value(defaults, v);
}

}  // namespace forstrix
