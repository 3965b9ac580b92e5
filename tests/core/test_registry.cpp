// The registry of named values: complete, in the order of the State, every
// name unique and findable, defaults equal to a default State.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "core/machines.h"
#include "core/registry.h"
#include "core/state.h"

namespace forstrix {
namespace {

const std::byte* address(const State& s, const ValueInfo& v) {
    switch (v.type) {
        case ValueType::Double: return reinterpret_cast<const std::byte*>(&(s.*v.d));
        case ValueType::UInt: return reinterpret_cast<const std::byte*>(&(s.*v.u));
        case ValueType::Int: return reinterpret_cast<const std::byte*>(&(s.*v.i));
    }
    return nullptr;
}
std::size_t size_of(const ValueInfo& v) { return v.type == ValueType::Double ? sizeof(double) : 4; }
std::size_t align_up(std::size_t n, std::size_t a) { return (n + a - 1) / a * a; }

TEST(Registry, CoversEveryMemberOfStateInItsOrder) {
    // Every entry follows the previous one directly, with no room left
    // between them but alignment padding, and the last one ends the State:
    // so no member is missing and the order is the State's.
    const State s{};
    const auto base = reinterpret_cast<const std::byte*>(&s);
    std::size_t end = 0;
    for (const ValueInfo& v : value_registry()) {
        const std::size_t offset = static_cast<std::size_t>(address(s, v) - base);
        EXPECT_EQ(offset, align_up(end, size_of(v))) << v.name;
        end = offset + size_of(v);
    }
    EXPECT_EQ(align_up(end, alignof(State)), sizeof(State));
}

TEST(Registry, HasTheExpectedNumberOfValues) {
    // 11 stand inputs, 7 extra, 5 derived, 6 flags, 6 wages and Zeitgrad,
    // gf_ss, 23 + 7 chainsaw, 7 × (13 + 8) machine, 54 results.
    EXPECT_EQ(value_registry().size(), 11u + 7 + 5 + 6 + 6 + 1 + 23 + 7 + 7 * 21 + 54);
}

TEST(Registry, NamesAreUniqueAndFindable) {
    std::set<std::string> seen;
    for (const ValueInfo& v : value_registry()) {
        EXPECT_TRUE(seen.insert(std::string(v.name)).second) << "duplicate " << v.name;
        const ValueInfo* found = find_value(v.name);
        ASSERT_NE(found, nullptr) << v.name;
        EXPECT_EQ(found, &v) << v.name;
    }
    EXPECT_EQ(find_value("gf_unknown"), nullptr);
    EXPECT_EQ(find_value(""), nullptr);
    EXPECT_EQ(find_value("gf_hab11"), nullptr);
    EXPECT_EQ(find_value("k_hoehe1"), nullptr);
}

TEST(Registry, EveryEntryPointsToOneMemberOfItsType) {
    for (const ValueInfo& v : value_registry()) {
        const int set = (v.d != nullptr) + (v.u != nullptr) + (v.i != nullptr);
        EXPECT_EQ(set, 1) << v.name;
        EXPECT_EQ(v.d != nullptr, v.type == ValueType::Double) << v.name;
        EXPECT_EQ(v.u != nullptr, v.type == ValueType::UInt) << v.name;
        EXPECT_EQ(v.i != nullptr, v.type == ValueType::Int) << v.name;
    }
}

TEST(Registry, DefaultsEqualADefaultState) {
    const State s{};
    for (const ValueInfo& v : value_registry()) EXPECT_EQ(default_value(v), get_value(s, v)) << v.name;
    EXPECT_EQ(default_value(*find_value("gi_bhd")), 20.0);
    EXPECT_EQ(default_value(*find_value("gf_hab44")), 450.0);
    EXPECT_EQ(default_value(*find_value("gi_zest")), 160.0);
    EXPECT_EQ(default_value(*find_value("g_sys3")), 1.0);
    EXPECT_EQ(default_value(*find_value("gf_ss")), 0.0);
}

TEST(Registry, SetAndGetReachTheMember) {
    State s{};
    set_value(s, *find_value("gf_hab112"), 99.0);
    EXPECT_EQ(s.gf_hab112, 99.0);
    set_value(s, *find_value("gi_v_sll"), 4.0);
    EXPECT_EQ(s.gi_v_sll, 4u);
    set_value(s, *find_value("gi_zest"), 160.7);  // the cost dialog keeps the whole part
    EXPECT_EQ(s.gi_zest, 160);
    set_value(s, *find_value("g_sys5"), 1.0);
    EXPECT_EQ(s.g_sys5, 1);
    EXPECT_EQ(get_value(s, *find_value("gi_v_sll")), 4.0);
}

struct KindRow {
    const char* name;
    ValueKind kind;
    ValueType type;
};

class Kinds : public ::testing::TestWithParam<KindRow> {};

TEST_P(Kinds, KindAndType) {
    const ValueInfo* v = find_value(GetParam().name);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->kind, GetParam().kind);
    EXPECT_EQ(v->type, GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Kinds,
    ::testing::Values(KindRow{"gi_ba", ValueKind::StandInput, ValueType::UInt},
                      KindRow{"gf_stm", ValueKind::StandInput, ValueType::Double},
                      KindRow{"gi_ii_vzs", ValueKind::StandExtra, ValueType::UInt},
                      KindRow{"gf_ii_rd", ValueKind::StandExtra, ValueType::Double},
                      KindRow{"gc_vhieb", ValueKind::Derived, ValueType::Double},
                      KindRow{"g_sys4", ValueKind::Flag, ValueType::Int},
                      KindRow{"gi_zmgv", ValueKind::Wage, ValueType::Int},
                      KindRow{"gf_nmf", ValueKind::Wage, ValueType::Double},
                      KindRow{"gf_ss", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_msc37", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_hab112", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_fob149", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_hfsab186", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_hhb223", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_hfb260", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_mskb297", ValueKind::MachineCost, ValueType::Double},
                      KindRow{"gf_asb75", ValueKind::MachineResult, ValueType::Double},
                      KindRow{"gf_msc38", ValueKind::MachineResult, ValueType::Double},
                      KindRow{"gf_msc31", ValueKind::MachineResult, ValueType::Double},
                      KindRow{"gf_hab101", ValueKind::MachineResult, ValueType::Double},
                      KindRow{"gf_msc5", ValueKind::ChainsawBasic, ValueType::Double},
                      KindRow{"gf_msc27", ValueKind::ChainsawBasic, ValueType::Double},
                      KindRow{"gf_mskb56", ValueKind::MachineBasic, ValueType::Double},
                      KindRow{"gf_asb44", ValueKind::MachineBasic, ValueType::Double},
                      KindRow{"gff_e3", ValueKind::Result, ValueType::Double},
                      KindRow{"gff_g45", ValueKind::Result, ValueType::Double}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Registry, SettableAreTheInputsOnly) {
    int settable = 0;
    for (const ValueInfo& v : value_registry()) {
        const bool prefix_result = v.name.starts_with("gc_") || v.name.starts_with("gff_") ||
                                   v.name.starts_with("g_sys");
        if (prefix_result) { EXPECT_FALSE(v.settable()) << v.name; }
        settable += v.settable();
    }
    // 18 stand, 6 wages, 8 machine costs, 23 chainsaw basics, 7 × 13 basics.
    EXPECT_EQ(settable, 18 + 6 + 8 + 23 + 7 * 13);
}

TEST(Registry, MachineKindsPointAtTheirNamedMembers) {
    // The one description of the machine kinds and the registry agree:
    // basic n of kind "hab" is gf_hab(44+n), result k is its row.
    State s{};
    for (const MachineKind& kind : kMachineKinds) {
        for (int n = 0; n < kBasicsPerMachine; ++n) {
            const std::string name = "gf_" + std::string(kind.stem) + std::to_string(kFirstBasicRow + n);
            const ValueInfo* v = find_value(name);
            ASSERT_NE(v, nullptr) << name;
            EXPECT_EQ(&(s.*v->d), &(s.*kind.basics[n])) << name;
        }
        for (int k = 0; k < kResultsPerMachine; ++k) {
            const int row = k < 7 ? kind.first_result_row + k : kind.total_row();
            const std::string name = "gf_" + std::string(kind.stem) + std::to_string(row);
            const ValueInfo* v = find_value(name);
            ASSERT_NE(v, nullptr) << name;
            EXPECT_EQ(&(s.*v->d), &(s.*kind.results[k])) << name;
        }
    }
    for (const ChainsawField& f : kChainsawFields) {
        const ValueInfo* v = find_value(f.name);
        ASSERT_NE(v, nullptr) << f.name;
        EXPECT_EQ(&(s.*v->d), &(s.*f.value)) << f.name;
    }
}

TEST(MachineKinds, RowsAndIdsFollowTheScheme) {
    int n = 0;
    for (const MachineKind& kind : kMachineKinds) {
        EXPECT_EQ(kind.first_result_row, 64 + 37 * n) << kind.stem;
        EXPECT_EQ(kind.dialog_id, 12000 + 1000 * n) << kind.stem;
        EXPECT_EQ(kind.menu_command, 302 + n) << kind.stem;
        EXPECT_EQ(&machine_kind(kind.id), &kind);
        EXPECT_EQ(find_machine_kind(kind.stem), &kind);
        ++n;
    }
    EXPECT_EQ(find_machine_kind("msc"), nullptr);
    EXPECT_EQ(machine_kind(MachineId::hfsab).field_id(5), 16005);
    EXPECT_EQ(machine_kind(MachineId::hab).field_id(5), 13006);
    EXPECT_EQ(machine_kind(MachineId::hhb).file_line, 7);
    EXPECT_EQ(machine_kind(MachineId::hfsab).file_line, 8);
}

}  // namespace
}  // namespace forstrix
