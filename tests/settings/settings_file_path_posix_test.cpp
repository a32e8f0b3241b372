#include "settings/settings_file.h"

#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace dravik {
namespace {

using testing::fileContent;
using testing::TempFolder;

TEST(SettingsFilePath, ElseTheFirstPlainFileOfThatNameInAnyCase) {
    TempFolder start;
    start.write("dravik.ini", "[Mod]\r\n2F=Small\r\n");
    start.write("DRAVIK.INI", "[Mod]\r\n2F=Windows\r\n");
    start.makeFolder("DRAVIK.Ini");
    EXPECT_EQ(settingsFilePath(start.path()), start.file("DRAVIK.INI"));
    EXPECT_EQ(SettingsFile::loadFrom(start.path()).readString("Mod", "2F", ""), "Windows");

    // The editor writes back to the name it read and makes no second file.
    writeFileSafely(settingsFilePath(start.path()), "[Mod]\r\n2F=Edited\r\n", WriteStyle::Whole);
    EXPECT_EQ(fileContent(start.file("DRAVIK.INI")), "[Mod]\r\n2F=Edited\r\n");
    EXPECT_EQ(fileContent(start.file("Dravik.ini")), "<missing>");
}

TEST(SettingsFilePath, WithoutOneTheEditorCreatesDravikIni) {
    TempFolder start;
    ASSERT_EQ(::mkfifo(start.file("dravik.INI").c_str(), 0666), 0);
    EXPECT_EQ(settingsFilePath(start.path()), start.file("Dravik.ini"));
    EXPECT_EQ(fileContent(start.file("Dravik.ini")), "<missing>");

    writeFileSafely(settingsFilePath(start.path()), defaultSettingsContent(), WriteStyle::Whole);
    EXPECT_EQ(fileContent(start.file("Dravik.ini")), defaultSettingsContent());
    const SettingsFile settings = SettingsFile::loadFrom(start.path());
    for (const char* family : {"2F", "6Y", "6E", "4D", "4G", "2B", "2R", "4R", "5T", "00"})
        EXPECT_FALSE(settings.readSection(family).empty()) << family;
}

TEST(SettingsFilePath, ASettingsFileThatIsAPipeReadsAsNoneWithoutBlocking) {
    TempFolder start;
    ASSERT_EQ(::mkfifo(start.file("Dravik.ini").c_str(), 0666), 0);
    EXPECT_TRUE(SettingsFile::loadFrom(start.path()).readSection("Mod").empty());
    EXPECT_TRUE(SettingsFile::load("/dev/zero").readSection("Mod").empty());
}

} // namespace
} // namespace dravik
