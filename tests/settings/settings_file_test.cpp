#include "settings/settings_file.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

using Keys = std::vector<std::string>;

TEST(SettingsFile, SectionsAndKeysMatchWithoutRegardToCaseIncludingCyrillic) {
    // [Мод] with ключ=Ёж
    const SettingsFile file =
        SettingsFile::parse("[Mod]\r\n2F=Ares 64\r\n[\xCC\xEE\xE4]\r\n\xEA\xEB\xFE\xF7=\xA8\xE6\r\n");
    EXPECT_EQ(file.readString("mod", "2f", "Default"), "Ares 64");
    EXPECT_EQ(file.readString("\xEC\xCE\xC4", "\xCA\xCB\xDE\xD7", ""), "\xA8\xE6");
    EXPECT_TRUE(file.valueExists("\xCC\xEE\xE4", "\xEA\xEB\xDE\xF7"));
    EXPECT_EQ(file.readString("Mod", "2G", "Default"), "Default");
    EXPECT_EQ(file.readString("Other", "2F", "none"), "none");
    EXPECT_FALSE(file.valueExists("Mod", "2"));
}

TEST(SettingsFile, HeaderNameEndsAtTheFirstBracketAndTheFirstDuplicateWins) {
    const SettingsFile file = SettingsFile::parse(
        "[00] Defaut\nName=S213,25\n[LDR]\nNR=first\nnr=second\n[ldr]\nYH=3\n[00]\nx=1\n"
        "[A]b]c=d\nin=A\n");
    EXPECT_EQ(file.readSection("00"), Keys{"Name"});
    EXPECT_EQ(file.readSection("A"), Keys{"in"});
    EXPECT_EQ(file.readString("LDR", "NR", ""), "first");
    EXPECT_EQ(file.readSection("LDR"), (Keys{"NR", "nr"}));
    EXPECT_FALSE(file.valueExists("LDR", "YH"));
}

TEST(SettingsFile, BlanksAroundKeysAndValuesAreRemovedAndKeylessLinesAreNoEntries) {
    const SettingsFile file = SettingsFile::parse("  [S]  \n  Model 1 \t=  S200,7  \n"
                                                  ";note=x\n  ;indented=y\n=no key\n \t= blank\n"
                                                  "no equals sign\na=b=c\nempty=\n");
    EXPECT_EQ(file.readSection("S"), (Keys{"Model 1", "a", "empty"}));
    EXPECT_EQ(file.readString("S", ";note", "none"), "none");
    EXPECT_EQ(file.readString("S", "", "none"), "none");
    EXPECT_EQ(file.readString("S", "Model 1", ""), "S200,7");
    EXPECT_EQ(file.readString("S", "a", ""), "b=c");
    EXPECT_EQ(file.readString("S", "empty", "def"), "");
}

TEST(SettingsFile, AllLineBreaksSeparateLinesAndLinesBeforeTheFirstSectionCarryNothing) {
    for (const std::string br : {"\r\n", "\n", "\r"}) {
        const SettingsFile file = SettingsFile::parse(
            "k=before" + br + br + "[S]" + br + "a=1" + br + br + "b=2" + br + "[T]" + br + "c=3");
        EXPECT_EQ(file.readSection("S"), (Keys{"a", "b"})) << int(br.back());
        EXPECT_EQ(file.readString("S", "b", ""), "2");
        EXPECT_EQ(file.readString("T", "c", ""), "3");
        EXPECT_FALSE(file.valueExists("", "k"));
    }
}

// Rows and errors name the entry that a lookup reads, with its line; the
// check names the columns of the entry on its line.
TEST(SettingsFile, EachEntryKnowsItsLineAndColumnsWhateverTheLineBreaks) {
    for (const std::string br : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(int(br.back()));
        const SettingsFile file = SettingsFile::parse("k=before" + br + br + "[S]" + br +
                                                      "  a = 1 " + br + br + "b=2" + br + "[s]" +
                                                      br + "a=9" + br + "[T]");
        EXPECT_EQ(file.locate("s", "A"), (SettingsEntry{"s", "A", "1", 4}));
        EXPECT_EQ(file.locate("S", "b"), (SettingsEntry{"S", "b", "2", 6}));
        EXPECT_EQ(file.locate("T", "a"), (SettingsEntry{"T", "a", std::nullopt, 0}));
        std::vector<std::pair<std::string, std::size_t>> sections;
        for (const SettingsFile::Section& section : file.sections())
            sections.emplace_back(section.name, section.line);
        EXPECT_EQ(sections, (std::vector<std::pair<std::string, std::size_t>>{
                                {"S", 3}, {"s", 7}, {"T", 9}}));
        EXPECT_EQ(file.sections().front().entries.front().span, (ColumnSpan{2, 7}));
    }
}

TEST(SettingsFile, LongValuesAreCutTo2047Characters) {
    const std::string value = std::string(2047, 'v') + "cut";
    const SettingsFile file = SettingsFile::parse("[S]\nk=" + value + "\n");
    EXPECT_EQ(file.readString("S", "k", ""), value.substr(0, 2047));
}

TEST(SettingsFile, SectionListingStopsAt16384Bytes) {
    // 16 keys of 1023 characters fill 16384 bytes with their terminating bytes.
    std::string text = "[Big]\n";
    for (char c = 'a'; c < 'a' + 17; ++c)
        text += std::string(c == 'a' + 16 ? 1 : 1023, c) + "=v\n";
    const SettingsFile file = SettingsFile::parse(text);
    const Keys keys = file.readSection("Big");
    ASSERT_EQ(keys.size(), 16u);
    EXPECT_EQ(keys.back(), std::string(1023, 'p'));
    EXPECT_FALSE(file.valueExists("Big", "q"));
    EXPECT_EQ(file.readString("Big", "q", "none"), "v");
}

TEST(SettingsFile, MissingOrUnreadableFileHasNoSections) {
    testing::TempFolder folder;
    EXPECT_TRUE(SettingsFile::loadFrom(folder.path()).readSection("Mod").empty());
    folder.makeFolder("Dravik.ini");
    EXPECT_TRUE(SettingsFile::loadFrom(folder.path()).readSection("Mod").empty());

    testing::TempFolder other;
    other.write("Dravik.ini", "[Mod]\r\n2F=Ares 64\r\n");
    EXPECT_EQ(SettingsFile::loadFrom(other.path()).readString("Mod", "2F", ""), "Ares 64");
}

TEST(SettingsFilePath, TheExactNameWinsOverOtherCases) {
    testing::TempFolder start;
    start.write("DRAVIK.INI", "[Mod]\r\n2F=Upper\r\n");
    start.write("Dravik.ini", "[Mod]\r\n2F=Exact\r\n");
    EXPECT_EQ(settingsFilePath(start.path()), start.file("Dravik.ini"));
    EXPECT_EQ(SettingsFile::loadFrom(start.path()).readString("Mod", "2F", ""), "Exact");
}

} // namespace
} // namespace dravik
