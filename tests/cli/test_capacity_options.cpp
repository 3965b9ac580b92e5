// The capacity options of `plan`: what they read, what they refuse and in
// which words, and the lines that say what is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/capacity.h"
#include "cli/errors.h"

namespace forstrix::cli {
namespace {

constexpr double kFree = plan::kUnlimited;

TEST(CapacityOptions, Read) {
    struct Row {
        std::vector<std::string> capacities;
        std::string goal, time_limit;
        plan::ResourceHours hours;  // forstwirte, seilschlepper, harvester, forwarder, hang..., seilkran
        plan::Goal want_goal;
        double want_limit;
    };
    const Row rows[] = {
        {{}, "kosten", "", {kFree, kFree, kFree, kFree, kFree, kFree, kFree}, plan::Goal::Cost, 10},
        {{"harvester=1200", "Forwarder=900,5"}, "co2", "2.5", {kFree, kFree, 1200, 900.5, kFree, kFree, kFree},
         plan::Goal::Co2, 2.5},
        {{"forstwirte=0", "seilkran=.5", "hangharvester=7", "hangforwarder=8", "seilschlepper=9"}, "kosten", "0,1",
         {0, 9, kFree, kFree, 7, 8, 0.5}, plan::Goal::Cost, 0.1},
    };
    for (const Row& r : rows) {
        std::string error;
        const auto o = parse_capacity_options({r.capacities, r.goal, r.time_limit}, error);
        ASSERT_TRUE(o.has_value()) << error;
        EXPECT_EQ(o->capacity, r.hours);
        EXPECT_EQ(o->goal, r.want_goal);
        EXPECT_EQ(o->time_limit, r.want_limit);
    }
}

TEST(CapacityOptions, Refused) {
    struct Row {
        std::vector<std::string> capacities;
        std::string goal, time_limit, message;
    };
    const Row rows[] = {
        {{"bagger=5"}, "kosten", "",
         "--capacity: \u201Ebagger\u201C ist keine Ressource; erlaubt sind forstwirte, seilschlepper, harvester, "
         "forwarder, hangharvester, hangforwarder und seilkran."},
        {{"harvester"}, "kosten", "", "--capacity \u201Eharvester\u201C: erwartet NAME=STUNDEN, z. B. harvester=1200."},
        {{"harvester=-5"}, "kosten", "", "--capacity harvester: \u201E-5\u201C ist keine Zahl von Stunden"},
        {{"harvester=1e3"}, "kosten", "", "\u201E1e3\u201C ist keine Zahl"},
        {{"harvester="}, "kosten", "", "--capacity harvester: \u201E\u201C ist keine Zahl"},
        {{"harvester=9" + std::string(400, '9')}, "kosten", "", "ist keine Zahl"},
        {{"harvester=5", "HARVESTER=6"}, "kosten", "", "--capacity: harvester ist mehr als einmal angegeben."},
        {{}, "euro", "", "--goal: \u201Eeuro\u201C ist kein Ziel; erlaubt sind kosten und co2."},
        {{}, "kosten", "0", "--time-limit: \u201E0\u201C ist keine Zahl von Sekunden größer als 0."},
        {{}, "kosten", "zehn", "--time-limit: \u201Ezehn\u201C ist keine Zahl"},
    };
    for (const Row& r : rows) {
        std::string error;
        EXPECT_FALSE(parse_capacity_options({r.capacities, r.goal, r.time_limit}, error).has_value()) << r.message;
        EXPECT_NE(error.find(r.message), std::string::npos) << error;
    }
}

std::string stderr_of(const plan::CapacityResult& r, int& status) {
    std::FILE* f = std::tmpfile();
    status = report_capacity(r, f);
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

TEST(CapacityOptions, WhatIsMissing) {
    plan::CapacityResult r;
    r.use[2] = {1000, 1320.46, 320.46};
    r.use[0] = {500, 500.04, 0.04};
    r.use[6] = {10, 9, 0};
    r.fits = false;
    EXPECT_EQ(shortfall_lines(r), (std::vector<std::string>{"Forstwirte: es fehlen 0,1 Std.",
                                                            "Harvester: es fehlen 320,5 MAS"}));
    int status = 0;
    EXPECT_EQ(stderr_of(r, status),
              "Fehler: Keine Wahl der Systeme bleibt innerhalb der Kapazitäten; gewählt ist die mit den wenigsten "
              "fehlenden Stunden.\nForstwirte: es fehlen 0,1 Std.\nHarvester: es fehlen 320,5 MAS\n");
    EXPECT_EQ(status, kExitNothingFits);

    plan::CapacityResult fits;
    fits.optimal = false;
    fits.gap = 0.000123;
    EXPECT_EQ(stderr_of(fits, status), "Warnung: Die Zeitgrenze der Optimierung ist abgelaufen; die beste gefundene "
                                       "Wahl wird verwendet, sie liegt höchstens 0,02 % über dem Optimum.\n");
    EXPECT_EQ(status, kExitDone);

    plan::CapacityResult none;
    none.solver = false;
    EXPECT_EQ(stderr_of(none, status), std::string("Fehler: ") + kNoSolver + "\n");
    EXPECT_EQ(status, kExitRefused);
}

}  // namespace
}  // namespace forstrix::cli
