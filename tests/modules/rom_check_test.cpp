#include "modules/rom_check.h"

#include "platform/errors.h"
#include "results/result_list.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dravik {
namespace {

// "Неопределён" in Windows-1251: the status of a class the settings do not name.
const std::string kUndetermined = "\xCD\xE5\xEE\xEF\xF0\xE5\xE4\xE5\xEB\xB8\xED";

using testing::bytesWith;

constexpr std::size_t kImageSize = 131072;

// A ROM image marked "DISK" near its start, with the firmware code at 96.
std::string romImage(std::string_view storedCode, std::string_view checksum = "\xCD\xAB") {
    return bytesWith(kImageSize, {{40, "DISK"}, {96, storedCode}, {131070, checksum}});
}

class CheckRomTest : public ::testing::Test {
  protected:
    CheckRomTest() {
        start.write(SettingsFile::kFileName, defaultSettingsContent());
        context.workingFolder = work.path();
    }

    std::vector<ResultRow> rowsOf(const std::string& name, const std::string& code,
                                  const std::string& checksum, const std::string& status) {
        return {{"File Name", name},
                {"Code FW", code},
                {"Check sum ROM", checksum},
                {"Status", status}};
    }

    testing::TempFolder start;
    testing::TempFolder work;
    ResultList results;
    testing::FakeUi ui;
    Context context{start.path(), {}, results, ui, {}};
};

TEST_F(CheckRomTest, ListsEveryImageInOrderAfterTheRowsAlreadyShown) {
    work.write("second.RPM", romImage("BV4M10Z9", "\x0A\x00"));
    work.write("First.rpm", romImage("AV4M10Z9"));
    work.write("notes.txt", romImage("AV4M10Z9"));
    results.append("Earlier", "row");

    checkRom(context);

    std::vector<ResultRow> expected = {{"Earlier", "row"}};
    for (const auto& rows : {rowsOf("First.rpm", "VAM4019Z", "ABCD", "Program A - Main"),
                             rowsOf("second.RPM", "VBM4019Z", "000A", "Program B - Additional")})
        expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(results.rows(), expected);
    EXPECT_TRUE(ui.messages.empty());

    // Running it again lists every image again.
    checkRom(context);
    EXPECT_EQ(results.count(), 1u + 8u + 8u);
}

TEST_F(CheckRomTest, AnImageMustHoldTheWholeMarkSomewhere) {
    struct Case {
        const char* name;
        std::string image;
        bool listed;
    };
    const std::vector<Case> cases = {
        {"at-end.rpm", bytesWith(kImageSize, {{96, "AV4M10Z9"}, {kImageSize - 4, "DISK"}}), true},
        {"at-start.rpm", bytesWith(kImageSize, {{0, "DISK"}}), true},
        {"cut-short.rpm", bytesWith(kImageSize, {{96, "AV4M10Z9"}, {kImageSize - 3, "DIS"}}),
         false},
        {"small-letters.rpm", bytesWith(kImageSize, {{40, "disk"}}), false},
        {"without.rpm", std::string(kImageSize, 'D'), false},
    };
    for (const Case& c : cases) {
        testing::TempFolder folder;
        folder.write(c.name, c.image);
        results.clear();
        context.workingFolder = folder.path();
        checkRom(context);
        EXPECT_EQ(results.count(), c.listed ? 4u : 0u) << c.name;
    }
}

TEST_F(CheckRomTest, OnlyFilesOfExactly128KiBAreImages) {
    const std::string image = romImage("AV4M10Z9");
    work.write("short.rpm", image.substr(0, kImageSize - 1));
    work.write("long.rpm", image + "x");
    work.makeFolder("folder.rpm");
    checkRom(context);
    EXPECT_EQ(results.count(), 0u);
}

TEST_F(CheckRomTest, StatusFallsBackWhenTheProgramClassIsUnknown) {
    work.write("a.rpm", romImage("XV4M10Z9"));
    checkRom(context);
    ASSERT_EQ(results.count(), 4u);
    EXPECT_EQ(results.row(3), (ResultRow{"Status", kUndetermined}));

    // Without a settings file even a known class is undetermined.
    results.clear();
    testing::TempFolder noSettings;
    context.startFolder = noSettings.path();
    work.write("a.rpm", romImage("AV4M10Z9"));
    checkRom(context);
    ASSERT_EQ(results.count(), 4u);
    EXPECT_EQ(results.row(3).value, kUndetermined);
}

TEST_F(CheckRomTest, AnImageWithoutFirmwareCodeIsListedWithAnUndeterminedStatus) {
    work.write("nocode.rpm", bytesWith(kImageSize, {{40, "DISK"}, {131070, "\x01\x02"}}));
    checkRom(context);
    EXPECT_EQ(results.rows(), rowsOf("nocode.rpm", "", "0201", kUndetermined));
}

TEST_F(CheckRomTest, TheFileNameIsShownInWindows1251) {
    work.write("\xD0\x9F\xD0\x97\xD0\xA3.rpm", romImage("AV4M10Z9")); // "ПЗУ.rpm" in UTF-8
    checkRom(context);
    ASSERT_EQ(results.count(), 4u);
    EXPECT_EQ(results.row(0).value, "\xCF\xC7\xD3.rpm");
}

TEST_F(CheckRomTest, UsesTheWorkingFolderAsLastSetNotTheCurrentDirectory) {
    testing::TempFolder elsewhere;
    elsewhere.write("other.rpm", romImage("AV4M10Z9"));
    work.write("mine.rpm", romImage("AV4M10Z9"));
    testing::CurrentDirectoryGuard guard(elsewhere.path());

    checkRom(context);
    ASSERT_EQ(results.count(), 4u);
    EXPECT_EQ(results.row(0).value, "mine.rpm");
    EXPECT_EQ(context.workingFolder, work.path());

    // A folder text that names no folder lists nothing.
    context.workingFolder = "computer:///";
    checkRom(context);
    EXPECT_EQ(results.count(), 4u);
}

} // namespace
} // namespace dravik
