#include "core/machines.h"

#include <algorithm>

namespace forstrix {

// clang-format off
const std::array<MachineKind, 7> kMachineKinds = {{
    {MachineId::asb, "asb", 64, 12000, 302,
     "Kalkulationsgrundlagen für aufgerüsteten Agrarschlepper",
     "Kalkuliere Agrarschlepper\n", "-> ", true, 4,
     "Jährliche Einsatzdauer (MAS/Jahr)", true, false, 12006,
     {&State::gf_asb44, &State::gf_asb45, &State::gf_asb46, &State::gf_asb47, &State::gf_asb48, &State::gf_asb49, &State::gf_asb50, &State::gf_asb51, &State::gf_asb52, &State::gf_asb53, &State::gf_asb54, &State::gf_asb55, &State::gf_asb56},
     {&State::gf_asb64, &State::gf_asb65, &State::gf_asb66, &State::gf_asb67, &State::gf_asb68, &State::gf_asb69, &State::gf_asb70, &State::gf_asb75}},
    {MachineId::hab, "hab", 101, 13000, 303,
     "Kalkulationsgrundlagen für Harvester",
     "", "-> ", true, 5,
     kMachineBasicLabels[3], false, true, 13006,
     {&State::gf_hab44, &State::gf_hab45, &State::gf_hab46, &State::gf_hab47, &State::gf_hab48, &State::gf_hab49, &State::gf_hab50, &State::gf_hab51, &State::gf_hab52, &State::gf_hab53, &State::gf_hab54, &State::gf_hab55, &State::gf_hab56},
     {&State::gf_hab101, &State::gf_hab102, &State::gf_hab103, &State::gf_hab104, &State::gf_hab105, &State::gf_hab106, &State::gf_hab107, &State::gf_hab112}},
    {MachineId::fob, "fob", 138, 14000, 304,
     "Kalkulationsgrundlagen für Forwarder",
     "Kalkuliere Forwarder\n", "-> ", true, 6,
     kMachineBasicLabels[3], false, true, 14006,
     {&State::gf_fob44, &State::gf_fob45, &State::gf_fob46, &State::gf_fob47, &State::gf_fob48, &State::gf_fob49, &State::gf_fob50, &State::gf_fob51, &State::gf_fob52, &State::gf_fob53, &State::gf_fob54, &State::gf_fob55, &State::gf_fob56},
     {&State::gf_fob138, &State::gf_fob139, &State::gf_fob140, &State::gf_fob141, &State::gf_fob142, &State::gf_fob143, &State::gf_fob144, &State::gf_fob149}},
    {MachineId::hfsab, "hfsab", 175, 15000, 305,
     "Kalkulationsgrundlagen für Harvester mit FSA",
     "Kalkuliere Harvester mit FSA\n", "-> ", true, 8,
     kMachineBasicLabels[3], false, true, 16005,
     {&State::gf_hfsab44, &State::gf_hfsab45, &State::gf_hfsab46, &State::gf_hfsab47, &State::gf_hfsab48, &State::gf_hfsab49, &State::gf_hfsab50, &State::gf_hfsab51, &State::gf_hfsab52, &State::gf_hfsab53, &State::gf_hfsab54, &State::gf_hfsab55, &State::gf_hfsab56},
     {&State::gf_hfsab175, &State::gf_hfsab176, &State::gf_hfsab177, &State::gf_hfsab178, &State::gf_hfsab179, &State::gf_hfsab180, &State::gf_hfsab181, &State::gf_hfsab186}},
    {MachineId::hhb, "hhb", 212, 16000, 306,
     "Kalkulationsgrundlagen für Hang-Harvester",
     "Kalkuliere Hang-Harvester\n", "-> ", true, 7,
     kMachineBasicLabels[3], false, true, 16006,
     {&State::gf_hhb44, &State::gf_hhb45, &State::gf_hhb46, &State::gf_hhb47, &State::gf_hhb48, &State::gf_hhb49, &State::gf_hhb50, &State::gf_hhb51, &State::gf_hhb52, &State::gf_hhb53, &State::gf_hhb54, &State::gf_hhb55, &State::gf_hhb56},
     {&State::gf_hhb212, &State::gf_hhb213, &State::gf_hhb214, &State::gf_hhb215, &State::gf_hhb216, &State::gf_hhb217, &State::gf_hhb218, &State::gf_hhb223}},
    {MachineId::hfb, "hfb", 249, 17000, 307,
     "Kalkulationsgrundlagen für Hang-Forwarder",
     "Kalkuliere Hang-Forwarder\n", ".> ", true, 9,
     kMachineBasicLabels[3], false, true, 17006,
     {&State::gf_hfb44, &State::gf_hfb45, &State::gf_hfb46, &State::gf_hfb47, &State::gf_hfb48, &State::gf_hfb49, &State::gf_hfb50, &State::gf_hfb51, &State::gf_hfb52, &State::gf_hfb53, &State::gf_hfb54, &State::gf_hfb55, &State::gf_hfb56},
     {&State::gf_hfb249, &State::gf_hfb250, &State::gf_hfb251, &State::gf_hfb252, &State::gf_hfb253, &State::gf_hfb254, &State::gf_hfb255, &State::gf_hfb260}},
    {MachineId::mskb, "mskb", 286, 18000, 308,
     "Kalkulationsgrundlagen für Mobilseilkran & Prozessor auf LKW",
     "Kalkuliere Mobilkran\n", "-> ", false, 10,
     kMachineBasicLabels[3], false, true, 18006,
     {&State::gf_mskb44, &State::gf_mskb45, &State::gf_mskb46, &State::gf_mskb47, &State::gf_mskb48, &State::gf_mskb49, &State::gf_mskb50, &State::gf_mskb51, &State::gf_mskb52, &State::gf_mskb53, &State::gf_mskb54, &State::gf_mskb55, &State::gf_mskb56},
     {&State::gf_mskb286, &State::gf_mskb287, &State::gf_mskb288, &State::gf_mskb289, &State::gf_mskb290, &State::gf_mskb291, &State::gf_mskb292, &State::gf_mskb297}},
}};
// clang-format on

const MachineKind& machine_kind(MachineId id) { return kMachineKinds[static_cast<std::size_t>(id)]; }

const MachineKind* find_machine_kind(std::string_view stem) {
    auto it = std::find_if(kMachineKinds.begin(), kMachineKinds.end(),
                           [&](const MachineKind& k) { return k.stem == stem; });
    return it == kMachineKinds.end() ? nullptr : &*it;
}

const std::array<ChainsawField, 23> kChainsawFields = {{
    {11001, "gf_msc5", &State::gf_msc5,
     "Beschaffungspreis Referenzsäge 1 [Euro]", FieldFormat::Fixed2},
    {11002, "gf_msc6", &State::gf_msc6,
     "Beschaffungspreis Referenzsäge 2 [Euro]", FieldFormat::Fixed2},
    {11003, "gf_msc7", &State::gf_msc7,
     "Anteil Schneidgarnitur am Neupreis einer Säge (z. B. 10 %) [%]", FieldFormat::Whole},
    {11004, "gf_msc8", &State::gf_msc8,
     "Jährliche Einsatzdauer (z. B. 450 BStd.) [BS]", FieldFormat::Whole},
    {11005, "gf_msc9", &State::gf_msc9,
     "Nutzungsdauer (in Jahren!) (z. B. 3 Jahre) [Jahre]", FieldFormat::Whole},
    {11006, "gf_msc10", &State::gf_msc10,
     "Beschaffungspreis einer Sägenschiene [Euro]", FieldFormat::Fixed2},
    {11007, "gf_msc11", &State::gf_msc11,
     "Nutzungsdauer einer Schiene (z. B. 300 BS) [BS]", FieldFormat::Whole},
    {11008, "gf_msc12", &State::gf_msc12,
     "Beschaffungspreis eines Antriebsritzels [Euro]", FieldFormat::Fixed2},
    {11009, "gf_msc13", &State::gf_msc13,
     "Nutzungsdauer eines Antriebsritzels (z. B. 300 BS) [BS]", FieldFormat::Whole},
    {11010, "gf_msc14", &State::gf_msc14,
     "Beschaffungspreis einer Sägenkette [Euro]", FieldFormat::Fixed2},
    {11011, "gf_msc15", &State::gf_msc15,
     "Nutzungsdauer einer Sägenkette (z. B. 80 BS) [BS]", FieldFormat::Whole},
    {11012, "gf_msc16", &State::gf_msc16,
     "Reparaturkostenquote des Antriebkopfes (echter Anteil der Abschreibung, z. B. 0,6)", FieldFormat::Fixed2},
    {11013, "gf_msc17", &State::gf_msc17,
     "Reparaturkostenquote der Sägenschiene (echter Anteil der Abschreibung, z. B. 0,1)", FieldFormat::Fixed2},
    {11014, "gf_msc18", &State::gf_msc18,
     "Wartungsquote Antriebskopf (echter Anteil der Abschreibung, liegt nahe 1,0)", FieldFormat::Fixed2},
    {11015, "gf_msc19", &State::gf_msc19,
     "Preis je Liter Normalbenzin ohne MwST. [Euro/l]", FieldFormat::Fixed2},
    {11016, "gf_msc20", &State::gf_msc20,
     "Preis je Liter Motorschmierstoff [Euro/l]", FieldFormat::Fixed2},
    {11017, "gf_msc21", &State::gf_msc21,
     "Mischungsverhältnis (ein Liter Schmierstoff auf -> Liter Benzin)", FieldFormat::Fixed2},
    {11018, "gf_msc22", &State::gf_msc22,
     "Alternative: Preis je Liter Fertig-Gemisch (wird Berechnungsbasis!) [Euro/l]", FieldFormat::Fixed2},
    {11019, "gf_msc23", &State::gf_msc23,
     "Treibstoffverbrauch je Betriebsstunde (oft unterstellt: 1,3 l) [l/BS]", FieldFormat::Fixed2},
    {11020, "gf_msc24", &State::gf_msc24,
     "Preis je Liter Kettenschmiermittel [Euro]", FieldFormat::Fixed2},
    {11021, "gf_msc25", &State::gf_msc25,
     "Verbrauch von Kettenschmiermittel je Betriebsstunde (z. B. 0,5 l/BS) [l/BS]", FieldFormat::Fixed2},
    {11022, "gf_msc26", &State::gf_msc26,
     "Zinsfuß zur Berechnung kalkulatorischer Kapitalkosten [%]", FieldFormat::Fixed2},
    {11023, "gf_msc27", &State::gf_msc27,
     "Transportpauschale je Betriebsstunde (etwa 0,3 €) [Euro]", FieldFormat::Fixed2},
}};

}  // namespace forstrix
