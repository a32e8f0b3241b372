#include "settings/default_settings.h"

#include "settings/field_layout.h"
#include "settings/settings_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace dravik {
namespace {

using Keys = std::vector<std::string>;

TEST(DefaultSettings, AreTheShippedTextByteForByte) {
    // The default content as shipped, kept apart as a file of its own, line
    // breaks CR LF.
    const std::string shipped =
        testing::fileContent(DRAVIK_TEST_DATA_DIR "/default_settings.ini");
    ASSERT_NE(shipped, "<missing>");
    EXPECT_EQ(defaultSettingsContent(), shipped);
}

TEST(DefaultSettings, ParsesIntoItsSectionsAndLayouts) {
    const SettingsFile file = SettingsFile::parse(defaultSettingsContent());
    EXPECT_EQ(file.readSection("Mod"),
              (Keys{"2F", "2B", "2R", "4D", "4G", "4R", "6Y", "6E", "5T"}));
    EXPECT_EQ(file.readSection("2F"), (Keys{"Name",
                                            "Model",
                                            "Model 1",
                                            "Code FW",
                                            "Serial",
                                            "Ata",
                                            "Size",
                                            "LBA",
                                            "Date (Time)",
                                            "Alphabetic value",
                                            "PCBA Pn. IDE Label",
                                            "PCBA Config",
                                            "Unique",
                                            "HDA Module",
                                            "None1",
                                            "Cod",
                                            "None",
                                            "+5V",
                                            "+12V",
                                            "Ver. Module"}));
    EXPECT_EQ(file.readString("2F", "Ata", ""), "S238,24");
    EXPECT_EQ(file.readString("00", "HDA Module", ""), "S64,5");

    // Every layout entry of every family is a valid FieldSpec.
    const std::map<std::string, std::size_t> fieldCounts = {
        {"2F", 20}, {"6Y", 20}, {"6E", 20}, {"4D", 18}, {"4G", 17},
        {"2B", 18}, {"2R", 18}, {"4R", 20}, {"5T", 19}, {"00", 20}};
    for (const auto& [family, count] : fieldCounts) {
        const Keys keys = file.readSection(family);
        EXPECT_EQ(keys.size(), count) << family;
        for (const std::string& key : keys) {
            const FieldSpec field = FieldSpec::parse(file.readString(family, key, ""));
            EXPECT_TRUE(field.type == "S" || field.type == "#" || field.type == "D") << key;
            EXPECT_NO_THROW((void)(field.offset() + field.length())) << family << " " << key;
        }
    }

    EXPECT_EQ(file.readSection("CL"), (Keys{"A", "B", "C"}));
    const Keys ldr = file.readSection("LDR");
    EXPECT_EQ(ldr.size(), 15u);
    EXPECT_EQ(ldr[4], "Y");
    EXPECT_EQ(file.readString("LDR", "Y", "none"), "CALYPSO");
    EXPECT_EQ(file.readString("LDR", "YH", "none"), "3_Proxima");
    EXPECT_EQ(file.readString("LDR", "NR", "none"), "6E_N40P");
    EXPECT_EQ(file.readString("LDR", "YR", "none"), "6Y_Calypso Ardent");
}

} // namespace
} // namespace dravik
