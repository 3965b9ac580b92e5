// The mapping of an inventory's columns and codes: the file's exact text,
// the round trip, what is refused and why, and the write through the one
// atomic writer.
#include <string>
#include <vector>

#include "files/mapping_file.h"
#include "tests/files/support.h"

namespace forstrix::files {
namespace {

using test::ScratchDir;

const columns::Mapping kInventory{{{"BHD_MITTEL", "gi_bhd"}, {"BAUMART", "gi_ba"}, {"Rückegassen", "gi_ar"}},
                                  {{"gi_ba", {{"BU", 5}, {"EI", 6}}}, {"gi_ar", {{"eng", 0}, {"weit", 1}}}}};

// Column names and codes in the mapping's order, whole numbers without a
// point, umlauts as UTF-8, two blanks, LF.
TEST(MappingFile, TextAndRoundTrip) {
    const std::string text = mapping_text(kInventory);
    EXPECT_EQ(text, "{\n"
                    "  \"format\": \"forstrix-zuordnung\",\n"
                    "  \"version\": 1,\n"
                    "  \"columns\": {\n"
                    "    \"BHD_MITTEL\": \"gi_bhd\",\n"
                    "    \"BAUMART\": \"gi_ba\",\n"
                    "    \"Rückegassen\": \"gi_ar\"\n"
                    "  },\n"
                    "  \"values\": {\n"
                    "    \"gi_ba\": {\n"
                    "      \"BU\": 5,\n"
                    "      \"EI\": 6\n"
                    "    },\n"
                    "    \"gi_ar\": {\n"
                    "      \"eng\": 0,\n"
                    "      \"weit\": 1\n"
                    "    }\n"
                    "  }\n"
                    "}\n");
    columns::Mapping read;
    ASSERT_TRUE(parse_mapping(text, read).ok());
    EXPECT_EQ(mapping_text(read), text);
    // A value named in capitals is stored by its own name; a BOM and CR LF are read.
    ASSERT_TRUE(parse_mapping("\xEF\xBB\xBF{\"format\": \"forstrix-zuordnung\", \"version\": 1,\r\n"
                              "\"columns\": {\"BHD\": \"GI_BHD\"}}",
                              read).ok());
    EXPECT_EQ(read.columns, (std::vector<std::pair<std::string, std::string>>{{"BHD", "gi_bhd"}}));
}

TEST(MappingFile, RefusesWithTheReason) {
    const std::string head = "{\"format\": \"forstrix-zuordnung\", \"version\": 1, ";
    const struct {
        const char* label;
        std::string text;
        std::string says;
    } cases[] = {
        {"other format", "{\"format\": \"forstrix-bestand\", \"version\": 1}", "eine Zuordnung hat das Format \"forstrix-zuordnung\""},
        {"newer version", "{\"format\": \"forstrix-zuordnung\", \"version\": 2}", "stammt von einem neueren Forstrix"},
        {"unknown member", head + "\"spalten\": {}}", "\"spalten\" ist keine Angabe einer Zuordnung"},
        {"misspelt value", head + "\"columns\": {\"BHD\": \"gi_bdh\"}}", "Spalte \"BHD\": gi_bdh: unbekannter Name; meinten Sie gi_bhd?"},
        {"derived value", head + "\"columns\": {\"H\": \"gc_hoehe\"}}", "Spalte \"H\": gc_hoehe: ist ein aus den Bestandesdaten"},
        {"column twice", head + "\"columns\": {\"BHD\": \"gi_bhd\", \"BHD\": \"gi_hn\"}}", "\"BHD\" steht zweimal in der Datei."},
        {"column twice but for case", head + "\"columns\": {\"BHD\": \"gi_bhd\", \"bhd\": \"gi_hn\"}}",
         "Spalte \"bhd\": steht schon als \"BHD\" in \"columns\""},
        {"codes of no list", head + "\"values\": {\"gi_bhd\": {\"stark\": 50}}}", "gi_bhd ist keine Liste; Schlüssel gibt es nur für gi_ba, gi_sf"},
        {"code beyond the list", head + "\"values\": {\"gi_ba\": {\"XX\": 12}}}",
         "gi_ba, Schlüssel \"XX\": gi_ba: 12 liegt nicht im erlaubten Bereich 0 bis 9"},
        {"code not whole", head + "\"values\": {\"gi_ba\": {\"XX\": 1.5}}}", "gi_ba: 1,5 ist keine ganze Zahl"},
        {"code as a word", head + "\"values\": {\"gi_ba\": {\"BU\": \"Buche\"}}}", "Schlüssel \"BU\": \"Buche\" ist keine Zahl."},
        {"code twice but for case", head + "\"values\": {\"gi_ba\": {\"BU\": 5, \"bu\": 6}}}", "Schlüssel \"bu\": steht schon als \"BU\""},
        {"too deep", head + "\"values\": {\"gi_ba\": {\"BU\": [5]}}}", "höchstens 3 Ebenen"},
    };
    for (const auto& c : cases) {
        columns::Mapping m = kInventory;
        const Outcome r = parse_mapping(c.text, m);
        EXPECT_EQ(r.status, Status::Refused) << c.label;
        EXPECT_EQ(r.heading, kMappingNotLoaded) << c.label;
        EXPECT_NE(r.detail.find(c.says), std::string::npos) << c.label << ": " << r.detail;
        EXPECT_EQ(m.columns, kInventory.columns) << c.label << ": unchanged when refused";
    }
}

// Written through the atomic writer and read back; a mapping that would not
// load again is not written at all.
TEST(MappingFile, WritesWhatLoadsAgain) {
    ScratchDir dir;
    ASSERT_TRUE(write_mapping(dir / "zuordnung.json", kInventory).ok());
    columns::Mapping read;
    ASSERT_TRUE(read_mapping(dir / "zuordnung.json", read).ok());
    EXPECT_EQ(mapping_text(read), mapping_text(kInventory));

    const columns::Mapping bad{{{"BHD", "gi_bhd"}}, {{"gi_bhd", {{"stark", 50}}}}};
    const Outcome r = write_mapping(dir / "falsch.json", bad);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_EQ(r.heading, kMappingNotSaved);
    EXPECT_NE(r.detail.find("gi_bhd ist keine Liste"), std::string::npos) << r.detail;
    EXPECT_EQ(dir.names(), std::vector<std::string>{"zuordnung.json"});
    EXPECT_EQ(read_mapping(dir / "fehlt.json", read).status, Status::NotFound);
}

}  // namespace
}  // namespace forstrix::files
