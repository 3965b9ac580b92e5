// The calculation states of the golden files, computed by the core exactly
// as the desktop program computes them before it writes the report.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "core/calc.h"
#include "core/state.h"

namespace forstrix::files::test {

// Start-up (defaults, stand model, machine costs, gf_ss) and then what
// command 401 runs before the results dialog opens.
inline State computed(State s) {
    startup_compute(s);
    calc_zeitbedarfkosten(s);
    return s;
}

// What the stand dialog commits: derived stand values and the six flags.
inline void commit_stand(State& s) {
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(calc_eignung(suitability_inputs(s)));
}

// The default state right after start-up: flags I, II and III suitable.
inline State default_scenario() { return computed(State{}); }

// A stand with every list at a text the default does not show. The rules
// cannot make all six systems suitable together (IV needs a slope above 35 %,
// I, II, III and VI one below 36 %), so after the stand is committed the
// flags are all set, as the report only reads them.
inline State all_six_scenario() {
    State s;
    s.gi_ba = 8;    // Ahorn
    s.gi_bhd = 17;
    s.gi_sf = 3;    // stark abholzig/sehr kurzschäftig
    s.gi_hn = 35;
    s.gi_ar = 0;
    s.gi_br = 0;
    s.gf_vab = 45.5;
    s.gf_gf = 12.25;
    s.gi_hvs = 1;   // ja / über 70
    s.gi_i_bb = 5;  // Sonderstandort
    s.gf_i_rd = 320.0;
    s.gf_i_bse = 25.5;
    s.gi_ii_vzs = 35;
    s.gf_ii_rd = 320.0;
    s.gi_v_sll = 4;  // 500 m
    s.gi_v_kf = 2;   // große Kronen
    commit_stand(s);
    s.set_flags({1, 1, 1, 1, 1, 1});
    return computed(s);
}

// A stand on which no system is suitable: trail not trafficable and the
// cable-line minimum not reached.
inline State none_scenario() {
    State s;
    s.gi_ba = 6;    // Eiche
    s.gi_bhd = 42;
    s.gi_sf = 0;    // vollholzig/langschäftig
    s.gi_hn = 48;
    s.gi_ar = 1;    // über 20
    s.gi_br = 1;    // nicht vorhanden
    s.gf_vab = 80.0;
    s.gf_gf = 7.5;
    s.gi_hvs = 0;
    s.gi_i_bb = 0;  // keine Behinderung
    s.gf_i_rd = 90.0;
    s.gf_i_bse = 5.0;
    s.gi_ii_vzs = 0;
    s.gf_ii_rd = 90.0;
    s.gi_v_sll = 0;  // 100 m
    s.gi_v_kf = 0;   // kleine Kronen
    commit_stand(s);
    return computed(s);
}

inline std::filesystem::path golden_path(const std::string& name) {
    return std::filesystem::path(FORSTRIX_FILES_GOLDEN_DIR) / name;
}

inline std::string golden(const std::string& name) {
    std::ifstream in(golden_path(name), std::ios::binary);
    if (!in) ADD_FAILURE() << "golden file missing: " << golden_path(name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Compares with the golden file byte for byte. With FORSTRIX_UPDATE_GOLDEN=1
// in the environment it writes the golden file instead; a new golden file
// must be read line by line against the Part's formats before it is kept.
inline void expect_golden(const std::string& name, const std::string& bytes) {
    if (const char* u = std::getenv("FORSTRIX_UPDATE_GOLDEN"); u != nullptr && std::string(u) == "1") {
        std::ofstream out(golden_path(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good()) << "cannot write " << golden_path(name);
        return;
    }
    const std::string want = golden(name);
    if (bytes == want) return;
    std::size_t i = 0;
    while (i < bytes.size() && i < want.size() && bytes[i] == want[i]) ++i;
    ADD_FAILURE() << name << " differs from the golden file at byte " << i << " (got " << bytes.size()
                  << " bytes, want " << want.size() << ")\n got: "
                  << ::testing::PrintToString(bytes.substr(i > 20 ? i - 20 : 0, 60))
                  << "\nwant: " << ::testing::PrintToString(want.substr(i > 20 ? i - 20 : 0, 60));
}

}  // namespace forstrix::files::test
