#include "core/result_tables.h"

namespace forstrix {

namespace {

const char* const kLongUncounted = "Langholzsortiment, baumfallende Längen, unvermessen, gezählt";
const char* const kLongMeasured = "Langholzsortiment, baumfallende Längen, vermessen";

}  // namespace

const std::vector<SystemResults>& system_results() {
    static const std::vector<SystemResults> table = {
        {25100, "I) Konventionelle Holzernte", &State::g_sys1,
         {{"Forstwirt", &State::gff_e3, "min/Fm", &State::gff_g3},
          {"Motorsäge", &State::gff_e4, "min/Fm", &State::gff_g4},
          {"Seilschlepper", &State::gff_e5, "min/Fm", &State::gff_g5},
          {"Maschinenführer Seilschlepper", &State::gff_e6, "min/Fm", &State::gff_g6}},
         {{"Summe:", &State::gff_g7, 25109, kLongUncounted},
          {"inklusive Vermessung", &State::gff_g8, 25111, kLongMeasured}}},
        {25200, "II) Integrierte Holzernte", &State::g_sys2,
         {{"Forstwirte gesamt (2 Pers.)", &State::gff_e12, "min/Fm", &State::gff_g12},
          {"Motorsäge", &State::gff_e13, "min/Fm", &State::gff_g13},
          {"Seilschlepper", &State::gff_e14, "min/Fm", &State::gff_g14}},
         {{"Summe:", &State::gff_g15, 25207, kLongUncounted},
          {"inklusive Vermessung", &State::gff_g16, 25209, kLongMeasured}}},
        {25300, "III) Hochmechanisierte Holzernte", &State::g_sys3,
         {{"Harvester", &State::gff_e20, "MAS/Fm", &State::gff_g20},
          {"Maschinenführer Harvester", &State::gff_e21, "Std./Fm", &State::gff_g21},
          {"Forwarder", &State::gff_e22, "MAS/Fm", &State::gff_g22},
          {"Maschinenführer Forwarder", &State::gff_e23, "Std./Fm", &State::gff_g23}},
         {{"Summe:", &State::gff_g24, 25309, "Kurzholz, vermessen (Harvestermaß)"}}},
        {25400, "IV) Hochmechanisierte Holzernte durch Hangsysteme", &State::g_sys4,
         {{"Hang-Harvester", &State::gff_e27, "MAS/Fm", &State::gff_g27},
          {"Maschinenführer Hang-Harvester", &State::gff_e28, "Std./Fm", &State::gff_g28},
          {"Hang-Forwarder", &State::gff_e29, "MAS/Fm", &State::gff_g29},
          {"Maschinenführer Hang-Forwarder", &State::gff_e30, "Std./Fm", &State::gff_g30}},
         {{"Summe:", &State::gff_g31, 25409, "Kurzholz, vermessen (Harvestermaß)"}}},
        // The fourth machine of yarding is costed at the forwarder's rate and
        // shown as "Forwarder" here (the report calls it Verzerr-Schlepper).
        {25500, "V) Yarding", &State::g_sys5,
         {{"Personal gesamt (4 Pers.)", &State::gff_e34, "Std./Fm", &State::gff_g34},
          {"Seilkran inkl. Prozessor", &State::gff_e35, "MAS/Fm", &State::gff_g35},
          {"Motorsäge", &State::gff_e36, "Std./Fm", &State::gff_g36},
          {"Forwarder", &State::gff_e37, "MAS/Fm", &State::gff_g37}},
         {{"Summe:", &State::gff_g39, 25511, "Kurzholz, vermessen (Prozessormaß)"}}},
        {25600, "VI) Spanholz", &State::g_sys6,
         {{"Harvester", &State::gff_e41, "MAS/Fm", &State::gff_g41},
          {"Maschinenführer Harvester", &State::gff_e42, "Std./Fm", &State::gff_g42},
          {"Forwarder", &State::gff_e43, "MAS/Fm", &State::gff_g43},
          {"Maschinenführer Forwarder", &State::gff_e44, "Std./Fm", &State::gff_g44}},
         {{"Summe:", &State::gff_g45, 25609, "Vollbäume, unvermessen"}}},
    };
    return table;
}

}  // namespace forstrix
