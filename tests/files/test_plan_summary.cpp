// The plan's summary as JSON: every key in every plan, the sums of the
// systems against the plan's, the capacity block only for a plan chosen
// within capacities, and numbers that read back exactly in any locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <nlohmann/json.hpp>

#include "files/plan_summary.h"
#include "tests/core/support.h"

namespace forstrix::files {
namespace {

using nlohmann::json;

plan::StandFigures stand(double volume, int system, double euro_fm) {
    plan::StandFigures f;
    f.computed = true;
    f.volume = volume;
    const auto k = static_cast<std::size_t>(system);
    f.suitable[k] = true;
    f.euro_fm[k] = euro_fm;
    f.diesel_fm[k] = 1.5;
    f.co2_fm[k] = 4.0;
    for (std::size_t n = 0; n < plan::kTimeLines; ++n) f.hours[n] = volume / 100.0;
    f.cheapest = f.chosen = system;
    return f;
}

plan::Totals example() {
    const plan::StandFigures stands[] = {stand(100, 2, 20.1), stand(300, 0, 0.1 + 0.2), plan::StandFigures{},
                                         stand(250, 2, 18.0), stand(50, 4, 40.0)};
    return plan::totals(stands);
}

TEST(PlanSummary, SumsAndKeys) {
    const json j = json::parse(plan_summary_json(example()));
    EXPECT_EQ(j["bestaende"], 5);
    EXPECT_EQ(j["fehlerhaft"], 1);
    EXPECT_EQ(j["kosten"].get<double>(), 100 * 20.1 + 300 * (0.1 + 0.2) + 250 * 18.0 + 50 * 40.0);
    EXPECT_EQ(j["kosten_fm"].get<double>(), example().euro_fm());
    EXPECT_FALSE(j.contains("kapazitaet") || j.contains("passt"));

    // Keys per system: the names of its time lines.
    const std::pair<const char*, std::vector<std::string>> lines[] = {
        {"1", {"gff_e3", "gff_e4", "gff_e5", "gff_e6"}},     {"2", {"gff_e12", "gff_e13", "gff_e14"}},
        {"3", {"gff_e20", "gff_e21", "gff_e22", "gff_e23"}}, {"4", {"gff_e27", "gff_e28", "gff_e29", "gff_e30"}},
        {"5", {"gff_e34", "gff_e35", "gff_e36", "gff_e37"}}, {"6", {"gff_e41", "gff_e42", "gff_e43", "gff_e44"}}};
    double stands = 0, volume = 0, euro = 0, co2 = 0;
    for (const auto& [system, names] : lines) {
        const json& s = j["systeme"][system];
        std::vector<std::string> keys;
        for (const auto& [key, hours] : s["stunden"].items()) {
            keys.push_back(key);
            EXPECT_DOUBLE_EQ(hours.get<double>(), s["hiebsmenge_efm"].get<double>() / 100.0) << system << key;
        }
        EXPECT_EQ(keys, names) << system;
        stands += s["bestaende"].get<double>();
        volume += s["hiebsmenge_efm"].get<double>();
        euro += s["kosten"].get<double>();
        co2 += s["co2_kg"].get<double>();
    }
    EXPECT_EQ(j["systeme"].size(), 6u);
    EXPECT_EQ(stands, 4);
    EXPECT_DOUBLE_EQ(volume, j["hiebsmenge_efm"].get<double>());
    EXPECT_DOUBLE_EQ(euro, j["kosten"].get<double>());
    EXPECT_DOUBLE_EQ(co2, j["co2_kg"].get<double>());
}

TEST(PlanSummary, CapacityBlockOfTheNamedResources) {
    plan::CapacityResult c;
    c.use[2] = {1000, 1250.5, 250.5};
    c.use[0] = {0, 0, 0};
    c.use[3].needed = 77;  // no capacity: not listed
    c.fits = false;
    c.optimal = false;
    c.gap = 0.0004;
    c.extra_cost = std::numeric_limits<double>::infinity();
    const json j = json::parse(plan_summary_json(example(), &c));
    EXPECT_EQ(j["kapazitaet"], json::parse(R"({"forstwirte": {"verfuegbar": 0, "benoetigt": 0, "fehlt": 0},
        "harvester": {"verfuegbar": 1000, "benoetigt": 1250.5, "fehlt": 250.5}})"));
    EXPECT_EQ(j["passt"], false);
    EXPECT_EQ(j["optimal"], false);
    EXPECT_EQ(j["luecke"], 0.0004);
    EXPECT_TRUE(j["mehrkosten"].is_null());
}

TEST(PlanSummary, GermanLocaleChangesNoByte) {
    const std::string text = plan_summary_json(example());
    EXPECT_NE(text.find("\"kosten_fm\": "), std::string::npos);
    EXPECT_NE(text.find("\n  \"co2_kg\": 2800,\n  \"systeme\": {\n    \"1\": {\n"), std::string::npos);
    ASSERT_TRUE(test::german_locale()) << "the locale de_DE.UTF-8 is not available";
    EXPECT_EQ(plan_summary_json(example()), text);
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
}

}  // namespace
}  // namespace forstrix::files
