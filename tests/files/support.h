// Helpers of the files tests: the scenarios of the golden files, the golden
// files themselves, a scratch folder per test and whole-file reads.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/calc.h"
#include "tests/core/support.h"
#include "tests/files/scratch.h"

namespace forstrix::test {

namespace fs = std::filesystem;

// The state of a report as the desktop program computes it: the stand `set`
// committed by the stand dialog (derived values; the flags by the rules, or
// all six suitable), the start-up, then what command 401 runs.
inline State scenario(std::string_view set, bool all_suitable = false) {
    State s;
    apply(s, set);
    store(s, calc_bestand(stand_inputs(s)));
    s.set_flags(all_suitable ? std::array<std::int32_t, 6>{1, 1, 1, 1, 1, 1} : calc_eignung(suitability_inputs(s)));
    startup_compute(s);
    calc_zeitbedarfkosten(s);
    return s;
}
// Every list at a text the default does not show. No stand makes all six
// systems suitable together (IV needs a slope above 35 %, I, II, III and VI
// one below 36 %), so the flags are set: the report only reads them.
inline State all_six_scenario() {
    return scenario("gi_ba=8 gi_bhd=17 gi_sf=3 gi_hn=35 gf_vab=45.5 gf_gf=12.25 gi_hvs=1 gi_i_bb=5 gf_i_rd=320 "
                    "gf_i_bse=25.5 gi_ii_vzs=35 gf_ii_rd=320 gi_v_sll=4 gi_v_kf=2",
                    true);
}
// No system suitable: trail not trafficable, cable-line minimum not reached.
inline State none_scenario() {
    return scenario("gi_ba=6 gi_bhd=42 gi_sf=0 gi_hn=48 gi_ar=1 gi_br=1 gf_vab=80 gf_gf=7.5 gi_hvs=0 gi_i_bb=0 "
                    "gf_i_rd=90 gf_i_bse=5 gf_ii_rd=90 gi_v_sll=0 gi_v_kf=0");
}

inline bool same_bits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

// Every value of the registry, results included, bitwise equal.
inline void expect_same(const State& a, const State& b) {
    for (const ValueInfo& v : value_registry()) {
        const double x = get_value(a, v), y = get_value(b, v);
        EXPECT_TRUE(same_bits(x, y)) << v.name << ": " << x << " != " << y;
    }
}

inline std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
    if (read_file(p) != bytes) throw std::runtime_error("cannot write " + p.string());
}

inline std::string golden(const std::string& name) { return read_file(fs::path(FORSTRIX_FILES_GOLDEN_DIR) / name); }

// Byte for byte against the golden file; FORSTRIX_UPDATE_GOLDEN=1 writes it
// instead (then read it line by line against the file formats).
inline void expect_golden(const std::string& name, const std::string& bytes) {
    if (const char* u = std::getenv("FORSTRIX_UPDATE_GOLDEN"); u != nullptr && std::string(u) == "1")
        return write_file(fs::path(FORSTRIX_FILES_GOLDEN_DIR) / name, bytes);
    EXPECT_EQ(bytes, golden(name)) << name;
}

// A fresh, empty folder, removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir() : path_(fresh_folder("forstrix_files_")) {}
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    fs::path operator/(const std::string& name) const { return path_ / name; }
    // The names in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(path_)) v.push_back(e.path().filename().string());
        std::sort(v.begin(), v.end());
        return v;
    }

private:
    fs::path path_;
};

}  // namespace forstrix::test
