#include "core/resources.h"

#include <algorithm>

namespace forstrix::plan {

namespace {

// People are counted in hours (Std.), machines in machine hours (MAS); the
// time lines in min/Fm are turned into hours with the stand's figures.
constexpr double State::* kForstwirte[] = {&State::gff_e3, &State::gff_e12, &State::gff_e34};
constexpr double State::* kSeilschlepper[] = {&State::gff_e5, &State::gff_e14};
constexpr double State::* kHarvester[] = {&State::gff_e20, &State::gff_e41};
// The fourth machine of yarding is costed at the forwarder's rate and shown
// as "Forwarder": it is one.
constexpr double State::* kForwarder[] = {&State::gff_e22, &State::gff_e37, &State::gff_e43};
constexpr double State::* kHangHarvester[] = {&State::gff_e27};
constexpr double State::* kHangForwarder[] = {&State::gff_e29};
constexpr double State::* kSeilkran[] = {&State::gff_e35};

const ResourceInfo kTable[kResources] = {
    {"forstwirte", "Forstwirte", "Std.", kForstwirte},
    {"seilschlepper", "Seilschlepper", "MAS", kSeilschlepper},
    {"harvester", "Harvester", "MAS", kHarvester},
    {"forwarder", "Forwarder", "MAS", kForwarder},
    {"hangharvester", "Hang-Harvester", "MAS", kHangHarvester},
    {"hangforwarder", "Hang-Forwarder", "MAS", kHangForwarder},
    {"seilkran", "Seilkran", "MAS", kSeilkran},
};

std::array<int, kTimeLines> make_line_resources() {
    std::array<int, kTimeLines> out;
    out.fill(-1);
    const auto lines = time_lines();
    for (std::size_t n = 0; n < lines.size() && n < kTimeLines; ++n) {
        for (int r = 0; r < kResources; ++r) {
            const auto& own = kTable[r].lines;
            if (std::find(own.begin(), own.end(), lines[n].time) != own.end()) out[n] = r;
        }
    }
    return out;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::span<const ResourceInfo> resources() { return kTable; }

int find_resource(std::string_view name) {
    for (int r = 0; r < kResources; ++r) {
        const std::string_view own = kTable[r].name;
        if (own.size() == name.size() &&
            std::equal(own.begin(), own.end(), name.begin(), [](char a, char b) { return a == lower(b); }))
            return r;
    }
    return -1;
}

int resource_of_line(std::size_t n) {
    static const std::array<int, kTimeLines> table = make_line_resources();
    return n < table.size() ? table[n] : -1;
}

ResourceHours resource_hours(const StandFigures& f, int system) {
    ResourceHours h{};
    const auto lines = time_lines();
    for (std::size_t n = 0; n < lines.size() && n < kTimeLines; ++n) {
        const int r = resource_of_line(n);
        if (r >= 0 && lines[n].system == system) h[static_cast<std::size_t>(r)] += f.hours[n];
    }
    return h;
}

}  // namespace forstrix::plan
