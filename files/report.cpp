// "erg.txt", whose line 9 agrees with line 17.
//
// The text is composed in UTF-8, as the labels stand in the source, with
// "\n" line ends; at the end every "\n" becomes CR LF and the whole text is
// converted to Windows-1252. Numbers go through format_comma (core/numtext),
// which never consults a locale. "tinklusive" (block II) and "existierts"
// (the overwrite question, the caller's) are kept as they stand: other
// programs read this file, and users know these words.
#include "files/report.h"

#include <array>
#include <cmath>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/numtext.h"
#include "files/atomic_write.h"
#include "files/cp1252.h"

namespace forstrix::files {

namespace {


// The text of an index in one of the stand's lists (core/state.h); an
// index outside the list (which the checks of the stand dialog never let
// through) is written as its number.
template <std::size_t N>
std::string pick(const std::array<const char*, N>& table, std::uint32_t i) {
    return i < N ? std::string(table[i]) : std::to_string(i);
}

struct Row {
    std::string_view label;
    double State::*time;
    std::string_view unit;
    double State::*cost;
};

struct Sum {
    std::string_view label;  // "Summe:", "inklusive Vermessung", "tinklusive Vermessung"
    double State::*cost;
    std::string_view assortment;
};

struct Block {
    std::int32_t State::*flag;
    std::string_view title;
    std::array<Row, 4> rows;
    std::array<Sum, 2> sums;  // the second one has an empty label where there is none
    bool empty_line_after;
};

constexpr std::string_view kLangUnvermessen = "Langholzsortiment, baumfallende Längen, unvermessen, gezählt";
constexpr std::string_view kLangVermessen = "Langholzsortiment, baumfallende Längen, vermessen";
constexpr std::string_view kKurzHarvester = "Kurzholz, vermessen (Harvestermaß)";

// clang-format off
const std::array<Block, 6> kBlocks = {{
    {&State::g_sys1, "I) Konventionelle Holzernte",
     {{{"Forstwirt", &State::gff_e3, "min/Fm", &State::gff_g3},
       {"Motorsäge", &State::gff_e4, "min/Fm", &State::gff_g4},
       {"Seilschlepper", &State::gff_e5, "min/Fm", &State::gff_g5},
       {"Maschinenführer Seilschlepper", &State::gff_e6, "min/Fm", &State::gff_g6}}},
     {{{"Summe:", &State::gff_g7, kLangUnvermessen},
       {"inklusive Vermessung", &State::gff_g8, kLangVermessen}}},
     true},
    {&State::g_sys2, "II) Integrierte Holzernte",
     {{{"Forstwirte gesamt (2 Pers.)", &State::gff_e12, "min/Fm", &State::gff_g12},
       {"Motorsäge", &State::gff_e13, "min/Fm", &State::gff_g13},
       {"Seilschlepper", &State::gff_e14, "min/Fm", &State::gff_g14},
       {{}, nullptr, {}, nullptr}}},
     {{{"Summe:", &State::gff_g15, kLangUnvermessen},
       {"tinklusive Vermessung", &State::gff_g16, kLangVermessen}}},
     true},
    {&State::g_sys3, "III) Hochmechanisierte Holzernte",
     {{{"Harvester", &State::gff_e20, "MAS/Fm", &State::gff_g20},
       {"Maschinenführer Harvester", &State::gff_e21, "Std./Fm", &State::gff_g21},
       {"Forwarder", &State::gff_e22, "MAS/Fm", &State::gff_g22},
       {"Maschinenführer Forwarder", &State::gff_e23, "Std./Fm", &State::gff_g23}}},
     {{{"Summe:", &State::gff_g24, kKurzHarvester}, {{}, nullptr, {}}}},
     true},
    {&State::g_sys4, "IV) Hochmechanisierte Holzernte durch Hangsysteme",
     {{{"Hang-Harvester", &State::gff_e27, "MAS/Fm", &State::gff_g27},
       {"Maschinenführer Hang-Harvester", &State::gff_e28, "Std./Fm", &State::gff_g28},
       {"Hang-Forwarder", &State::gff_e29, "MAS/Fm", &State::gff_g29},
       {"Maschinenführer Hang-Forwarder", &State::gff_e30, "Std./Fm", &State::gff_g30}}},
     {{{"Summe:", &State::gff_g31, kKurzHarvester}, {{}, nullptr, {}}}},
     true},
    {&State::g_sys5, "V) Yarding",
     {{{"Personal gesamt (4 Pers.)", &State::gff_e34, "Std./Fm", &State::gff_g34},
       {"Seilkran inkl. Prozessor", &State::gff_e35, "MAS/Fm", &State::gff_g35},
       {"Motorsäge", &State::gff_e36, "Std./Fm", &State::gff_g36},
       {"Verzerr-Schlepper", &State::gff_e37, "MAS/Fm", &State::gff_g37}}},
     {{{"Summe:", &State::gff_g39, "Kurzholz, vermessen (Prozessormaß)"}, {{}, nullptr, {}}}},
     false},
    {&State::g_sys6, "VI) Spanholz",
     {{{"Harvester", &State::gff_e41, "MAS/Fm", &State::gff_g41},
       {"Maschinenführer Harvester", &State::gff_e42, "Std./Fm", &State::gff_g42},
       {"Forwarder", &State::gff_e43, "MAS/Fm", &State::gff_g43},
       {"Maschinenführer Forwarder", &State::gff_e44, "Std./Fm", &State::gff_g44}}},
     {{{"Summe:", &State::gff_g45, "Vollbäume, unvermessen"}, {{}, nullptr, {}}}},
     false},
}};
// clang-format on

class Text {
public:
    // label, tab, value, line end
    void line(std::string_view label, std::string_view value) {
        out_.append(label).append("\t").append(value).append("\n");
    }
    void raw(std::string_view s) { out_.append(s); }
    std::string bytes() const {
        std::string crlf;
        crlf.reserve(out_.size() + 128);
        for (char c : out_) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        return utf8_to_cp1252(crlf);
    }

private:
    std::string out_;
};

std::vector<ReportLine> stand_lines_of(const State& s) {
    std::vector<ReportLine> lines;
    lines.reserve(kStandLineCount);
    auto line = [&lines](std::string_view label, std::string value) {
        lines.push_back({std::string(label), std::move(value)});
    };
    line("Hauptbaumart Laubholz", pick(kSpeciesNames, s.gi_ba));
    line("BHD [cm]", std::to_string(s.gi_bhd));
    line("Formigkeitsstufe / Kronenausprägung", pick(kFormClassNames, s.gi_sf));
    line("Hangneigung [%]", std::to_string(s.gi_hn));
    line("Abstand Rückegassen [m]", kSpacingReportNames[s.gi_ar == 0 ? 0 : 1]);
    line("Befahrbarkeit Rückegassen", s.gi_br == 0 ? "vorhanden" : "nicht vorhanden");
    line("Volumen ausscheidender Bestand alle Baumarten [EFm/ha]", format_comma(s.gf_vab, 6));
    line("Gesamtfläche der Maßnahme [ha]", format_comma(s.gf_gf, 6));
    // The answer "nein" (0) reads "bis 70", "ja" (1) "über 70",
    // in agreement with line 17.
    line("Holzvolumen je Seillinie [EFm]", s.gi_hvs == 0 ? "bis 70" : "über 70");
    line("Baumhöhe [m]", format_comma(s.gc_hoehe, 2));
    line("Stückvolumen je Baum [EFm]", format_comma(s.gc_stm, 5));
    line("Begehbarkeit / Behinderungen", pick(kObstacleNames, s.gi_i_bb));
    line("Rückedistanz [m]", format_comma(s.gf_i_rd, 2));
    line("Beiseilentfernung [m]", format_comma(s.gf_i_bse, 2));
    line("Volumenanteil zusätzl. Sortimente [%]", std::to_string(s.gi_ii_vzs));
    line("Rückedistanz [m]", format_comma(s.gf_ii_rd, 2));
    line("Mindestvolumen [ > 70 EFm] je Seillinie erreicht", s.gi_hvs == 0 ? "nein" : "ja");
    line("Seillinienlänge [m]", std::to_string((static_cast<std::uint64_t>(s.gi_v_sll) + 1) * 100));
    line("Kronenform", pick(kCrownNames, s.gi_v_kf));
    return lines;
}

void stand_block(Text& t, const State& s) {
    for (const ReportLine& l : stand_lines_of(s)) t.line(l.label, l.value);
}

void system_block(Text& t, const State& s, const Block& b) {
    t.raw(std::string(b.title) + "\tZeitbedarf:\t\tKosten:\n");
    for (const Row& r : b.rows) {
        if (r.time == nullptr) continue;
        t.raw(std::string(r.label) + "\t" + format_comma(s.*r.time, 2) + "\t" + std::string(r.unit) + "\t" +
              format_comma(s.*r.cost, 2) + "\tEuro/Fm\n");
    }
    for (const Sum& sum : b.sums) {
        if (sum.cost == nullptr) continue;
        t.raw("\t\t" + std::string(sum.label) + "\t" + format_comma(s.*sum.cost, 2) + "\tEuro/Fm\t" +
              std::string(sum.assortment) + "\n");
    }
    if (b.empty_line_after) t.raw("\n");
}

}  // namespace

std::vector<ReportLine> report_stand_lines(const State& s) { return stand_lines_of(s); }

std::string report_text(const State& s) {
    Text t;
    stand_block(t, s);
    t.raw("\n\n");
    for (const Block& b : kBlocks) {
        if (s.*b.flag != 0) system_block(t, s, b);
    }
    return t.bytes();
}

// The first figure the report would write that is not a finite number:
// the stand block's decimals and the figures of every suitable system.
std::optional<std::string_view> non_finite_figure(const State& s) {
    struct Named {
        std::string_view name;
        double State::*value;
    };
    static constexpr Named kStand[] = {{"gf_vab", &State::gf_vab},   {"gf_gf", &State::gf_gf},
                                       {"gc_hoehe", &State::gc_hoehe}, {"gc_stm", &State::gc_stm},
                                       {"gf_i_rd", &State::gf_i_rd}, {"gf_i_bse", &State::gf_i_bse},
                                       {"gf_ii_rd", &State::gf_ii_rd}};
    for (const Named& n : kStand)
        if (!std::isfinite(s.*n.value)) return n.name;
    for (const Block& b : kBlocks) {
        if (s.*b.flag == 0) continue;
        for (const Row& r : b.rows)
            if (r.time != nullptr && !(std::isfinite(s.*r.time) && std::isfinite(s.*r.cost))) return b.title;
        for (const Sum& sum : b.sums)
            if (sum.cost != nullptr && !std::isfinite(s.*sum.cost)) return b.title;
    }
    return std::nullopt;
}

Outcome write_report(const std::filesystem::path& path, const State& s) {
    // "inf" or "nan" in a report would pass for a cost; the old file stays.
    if (const std::optional<std::string_view> bad = non_finite_figure(s)) {
        return {Status::WriteFailed, kReportNotSaved,
                "Das Ergebnis enthält eine Zahl, die nicht endlich ist (" + std::string(*bad) +
                    "); die Eingaben liegen außerhalb jedes sinnvollen Bereichs."};
    }
    WriteFailure failure;
    if (!atomic_write(path, report_text(s), &failure)) return {Status::WriteFailed, kReportNotSaved, describe(failure)};
    return {};
}

}  // namespace forstrix::files
