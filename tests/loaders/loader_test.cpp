#include "loaders/loader.h"

#include "loaders/loader_fixture.h"
#include "platform/file_system.h"
#include "results/result_list.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace dravik {
namespace {

using testing::bytesWith;
using testing::fileContent;
using testing::kFullLoaderSize;
using testing::loaderFile;
using testing::LoaderTest;
using testing::namesIn;

TEST_F(LoaderTest, CheckShowsChecksumsCodeFamilyAndStatusInPlaceOfEarlierRows) {
    const std::string path = work.write("x.ldr", loaderFile());
    results.append("Earlier", "row");

    checkLdr(context, path);

    EXPECT_EQ(results.rows(), (std::vector<ResultRow>{{"Check sum ROM in LDR", "1A2B"},
                                                      {"Check sum LDR", "BEEF"},
                                                      {"Code FW", "VAM4019Z"},
                                                      {"Family", "2F_Ares 64"},
                                                      {"Status", "Program A - Main"}}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(fileContent(path), loaderFile());
}

TEST_F(LoaderTest, CheckShowsNoneForKeysTheSettingsDoNotName) {
    struct Case {
        std::string storedCode;
        std::string family;
        std::string status;
    };
    const std::vector<Case> cases = {
        {"XQ4Q10Z9", "none", "none"},
        {std::string("BY4\0"
                     "10Z9",
                     8),
         "CALYPSO", "Program B - Additional"},
        {"CY4H10Z9", "3_Proxima", "Program C - Alternative"},
    };
    for (const Case& c : cases) {
        checkLdr(context, work.write("x.ldr", loaderFile(c.storedCode)));
        ASSERT_EQ(results.count(), 5u);
        EXPECT_EQ(results.row(3).value, c.family);
        EXPECT_EQ(results.row(4).value, c.status);
    }

    testing::TempFolder noSettings;
    context.startFolder = noSettings.path();
    checkLdr(context, work.write("x.ldr", loaderFile()));
    ASSERT_EQ(results.count(), 5u);
    EXPECT_EQ(results.row(3).value, "none");
    EXPECT_EQ(results.row(4).value, "none");
}

TEST_F(LoaderTest, CheckOfShortLoadersNeverReadsOutsideTheirData) {
    struct Case {
        std::size_t size;
        std::string romChecksum;
        std::string ldrChecksum;
        bool codeFound;
    };
    const std::vector<Case> cases =
        {
            {0, "none", "none", false},     {1, "none", "none", false},
            {2, "none", "0000", false},     {600, "none", "0000", false},
            {616, "none", "395A", true}, // its last two bytes are the code's "Z9"
            {131583, "none", "2B00", true}, {131584, "1A2B", "1A2B", true},
        };
    // The message comes once the checksum rows are shown.
    for (const Case& c : cases) {
        testing::RowCountingUi counting(results);
        Context counted{start.path(), {}, results, counting, {}};
        checkLdr(counted, work.write("short.ldr", loaderFile("AV4M10Z9", c.size)));
        ASSERT_GE(results.count(), 2u) << c.size;
        EXPECT_EQ(results.row(0), (ResultRow{"Check sum ROM in LDR", c.romChecksum})) << c.size;
        EXPECT_EQ(results.row(1), (ResultRow{"Check sum LDR", c.ldrChecksum})) << c.size;
        EXPECT_EQ(results.count(), c.codeFound ? 5u : 2u) << c.size;
        EXPECT_EQ(counting.messages,
                  c.codeFound ? std::vector<std::string>{}
                              : std::vector<std::string>{"Firmware code not found after 2"})
            << c.size;
    }
}

TEST_F(LoaderTest, NoSelectedFileLeavesTheRowsAsTheyAre) {
    results.append("Earlier", "row");
    const std::string folder = work.makeFolder("folder.ldr");
    for (const std::string& path : {std::string(), work.file("missing.ldr"), folder}) {
        checkLdr(context, path);
        LdrRenameResult renamed = renameLdr(context, path);
        EXPECT_FALSE(renamed.renamed);
        EXPECT_EQ(renamed.reason, "File not found");
        EXPECT_EQ(results.rows(), (std::vector<ResultRow>{{"Earlier", "row"}})) << path;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoaderTest, RenameNamesTheLoaderAfterChecksumAndCodeKeepingTheExtensionsCase) {
    struct Case {
        std::string oldName;
        std::string newName;
    };
    const std::vector<Case> cases = {
        {"x.ldr", "1A2B_VAM4019Z.ldr"},
        {"x.LDR", "1A2B_VAM4019Z.LDR"},
        {"drive.backup.Ldr", "1A2B_VAM4019Z.Ldr"},
        {"noextension", "1A2B_VAM4019Z"},
    };
    for (const Case& c : cases) {
        testing::TempFolder folder;
        const std::string path = folder.write(c.oldName, loaderFile());
        results.append("Earlier", "row");

        LdrRenameResult result = renameLdr(context, path);

        EXPECT_TRUE(result.renamed) << c.oldName << ": " << result.reason;
        EXPECT_EQ(result.newPath, folder.file(c.newName));
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{c.newName});
        EXPECT_EQ(fileContent(folder.file(c.newName)), loaderFile());
        EXPECT_EQ(results.count(), 0u);
    }
}

TEST_F(LoaderTest, RenameWritesACyrillicCodeAsANativeName) {
    const std::string path = work.write("x.ldr", loaderFile("\xCF"
                                                            "V4M10Z9"));
    LdrRenameResult result = renameLdr(context, path);
    ASSERT_TRUE(result.renamed) << result.reason;
    // The shown code "V\xCF" "M4019Z" in UTF-8: the Cyrillic capital Pe.
    EXPECT_EQ(result.newPath, work.file("1A2B_V\xD0\x9FM4019Z.ldr"));
    EXPECT_EQ(fileContent(result.newPath), loaderFile("\xCF"
                                                      "V4M10Z9"));

    // The reasons name the file in Windows-1251.
    EXPECT_EQ(renameLdr(context, result.newPath).reason,
              "The loader already bears the name \"1A2B_V\xCFM4019Z.ldr\"");
    EXPECT_EQ(renameLdr(context, work.write("x.ldr", fileContent(result.newPath))).reason,
              "A file named \"1A2B_V\xCFM4019Z.ldr\" already exists");
}

TEST_F(LoaderTest, RenameLeavesALoaderThatAlreadyBearsItsName) {
    const std::string path = work.write("1A2B_VAM4019Z.ldr", loaderFile());
    LdrRenameResult result = renameLdr(context, path);
    EXPECT_FALSE(result.renamed);
    EXPECT_EQ(result.reason, "The loader already bears the name \"1A2B_VAM4019Z.ldr\"");
    EXPECT_EQ(namesIn(work.path()), std::vector<std::string>{"1A2B_VAM4019Z.ldr"});
    EXPECT_EQ(fileContent(path), loaderFile());
}

TEST_F(LoaderTest, RenameNeverReplacesAnExistingFile) {
    const std::string path = work.write("x.ldr", loaderFile());
    const std::string other = work.write("1A2B_VAM4019Z.ldr", "another loader");

    LdrRenameResult result = renameLdr(context, path);

    EXPECT_FALSE(result.renamed);
    EXPECT_EQ(result.reason, "A file named \"1A2B_VAM4019Z.ldr\" already exists");
    EXPECT_EQ(fileContent(path), loaderFile());
    EXPECT_EQ(fileContent(other), "another loader");
}

TEST_F(LoaderTest, RenameRefusesACodeThatCannotBePartOfAFileName) {
    // Each stored code shows one character that a file name can't hold.
    const std::string forbidden = std::string("/\\:*?\"<>|\x01\x1F\x7F", 12);
    const std::string folder = work.makeFolder("loaders");
    for (char c : forbidden) {
        const std::string stored = std::string("A") + c + "4M10Z9";
        const std::string path = joinPath(folder, "x.ldr");
        work.write("loaders/x.ldr", loaderFile(stored));

        LdrRenameResult result = renameLdr(context, path);

        EXPECT_FALSE(result.renamed) << int(c);
        EXPECT_EQ(result.reason, "The firmware code \"" + std::string(1, c) +
                                     "AM4019Z\" can't be part of a file name");
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"x.ldr"}) << int(c);
        EXPECT_EQ(namesIn(work.path()), std::vector<std::string>{"loaders"}) << int(c);
    }
}

TEST_F(LoaderTest, RenameNeverMovesTheLoaderToAnotherFolder) {
    // The shown code "/../../Z" makes "1A2B_/../../Z.ldr", which would resolve
    // to the parent folder once "1A2B_" exists.
    const std::string folder = work.makeFolder("loaders");
    work.makeFolder("loaders/1A2B_");
    const std::string path = work.write("loaders/x.ldr", loaderFile(".//...Z/"));

    LdrRenameResult result = renameLdr(context, path);

    EXPECT_FALSE(result.renamed);
    EXPECT_EQ(result.reason, "The firmware code \"/../../Z\" can't be part of a file name");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"1A2B_", "x.ldr"}));
    EXPECT_EQ(namesIn(work.path()), std::vector<std::string>{"loaders"});
}

TEST_F(LoaderTest, RenameNeedsTheRomChecksumAndTheFirmwareCode) {
    struct Case {
        std::string loader;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"", "The loader is too short to hold a ROM checksum"},
        {"x", "The loader is too short to hold a ROM checksum"},
        {loaderFile("AV4M10Z9", 600), "The loader is too short to hold a ROM checksum"},
        {loaderFile("AV4M10Z9", 131583), "The loader is too short to hold a ROM checksum"},
        {loaderFile("AV4M10z9"), "Firmware code not found"},
    };
    for (const Case& c : cases) {
        const std::string path = work.write("x.ldr", c.loader);
        results.append("Earlier", "row");
        LdrRenameResult result = renameLdr(context, path);
        EXPECT_FALSE(result.renamed);
        EXPECT_EQ(result.reason, c.reason) << c.loader.size();
        EXPECT_EQ(namesIn(work.path()), std::vector<std::string>{"x.ldr"});
        EXPECT_EQ(fileContent(path), c.loader);
        EXPECT_EQ(results.count(), 0u);
    }
}

} // namespace
} // namespace dravik
