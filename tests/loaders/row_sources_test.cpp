#include "loaders/loader.h"
#include "loaders/loader_fixture.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "settings/default_settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

using testing::bytesWith;

struct ExpectedSource {
    std::string name;
    std::string file; // the file's name in the folder; empty: the row has no source
    std::int64_t offset = 0;
    std::string bytes;
    std::string entry;
};

class RowSources : public ::testing::Test {
  protected:
    RowSources() { start.write("Dravik.ini", defaultSettingsContent()); }

    void expectSources(const std::vector<ExpectedSource>& table) {
        ASSERT_EQ(results.count(), table.size());
        for (std::size_t i = 0; i < table.size(); ++i) {
            const ExpectedSource& want = table[i];
            const ResultRow& row = results.row(i);
            SCOPED_TRACE(want.name);
            EXPECT_EQ(row.name, want.name);
            ASSERT_EQ(row.source.has_value(), !want.file.empty());
            if (!row.source)
                continue;
            ASSERT_TRUE(row.source->file);
            EXPECT_EQ(row.source->file->path, work.file(want.file));
            EXPECT_EQ(row.source->offset, want.offset);
            EXPECT_EQ(row.source->length(), static_cast<std::int64_t>(want.bytes.size()));
            EXPECT_EQ(row.source->bytes, want.bytes);
            EXPECT_EQ(row.source->entryText(), want.entry);
        }
    }

    testing::TempFolder start;
    testing::TempFolder work;
    testing::CurrentDirectoryGuard here{work.path()};
    testing::FakeUi ui;
    ResultList results;
    Context context{start.path(), work.path(), results, ui, {}};
};

TEST_F(RowSources, NameTheBytesAndTheEntryBehindEachRowOfAModuleAndARomImage) {
    // The family code stands at 140, after pairs that match no family.
    // An entry with an empty value is an entry all the same.
    start.write("Dravik.ini", "[Mod]\r\n2F=Ares 64\r\n[CL]\r\nA=\r\n"
                              "[2F]\r\nSerial=S0,8\r\nLBA=#180,4\r\nDate=D19,5\r\nTail=S500,32\r\n"
                              "Wide=S0,40\r\nOdd=X7,8\r\nFar=S600,4\r\n");
    const std::string module = bytesWith(512, {{0, "WX310041"},
                                               {19, "\x67\x03\x0F\x0C\x05"},
                                               {140, "2F"},
                                               {180, "\x70\xB0\xA8\x04"},
                                               {500, "tail-Q8v01!!"}});
    work.write("module.rpm", module);
    readPasport(context);
    work.write("rom.rpm", bytesWith(131072, {{4000, "DISK"}, {96, "AV4M10Z9"}, {131070, "\xCD\xAB"}}));
    work.write("odd.rpm", bytesWith(131072, {{0, "DISK"}, {16384, "XV4M10Z9"}}));
    checkRom(context);

    expectSources({
        {"Family ", "module.rpm", 140, "2F", "[Mod] 2F=Ares 64"},
        {"Serial", "module.rpm", 0, "WX310041", "[2F] Serial=S0,8"},
        {"LBA", "module.rpm", 180, "\x70\xB0\xA8\x04", "[2F] LBA=#180,4"},
        {"Date", "module.rpm", 19, "\x67\x03\x0F\x0C\x05", "[2F] Date=D19,5"},
        // A field that crosses the module's end takes the bytes up to it; a
        // text longer than its 32-byte buffer, those 32; an unknown type
        // letter and an offset past the end, none.
        {"Tail", "module.rpm", 500, "tail-Q8v01!!", "[2F] Tail=S500,32"},
        {"Wide", "module.rpm", 0, module.substr(0, 32), "[2F] Wide=S0,40"},
        {"Odd", "module.rpm", 7, "", "[2F] Odd=X7,8"},
        {"Far", "module.rpm", 600, "", "[2F] Far=S600,4"},
        {"File Name", "odd.rpm", 0, "DISK", "ROM image mark"},
        {"Code FW", "odd.rpm", 16384, "XV4M10Z9", "firmware code, pairs swapped"},
        {"Check sum ROM", "odd.rpm", 131070, std::string(2, '\0'), "ROM checksum"},
        {"Status", "odd.rpm", 16384, "X", "[CL] X: no entry"},
        {"File Name", "rom.rpm", 4000, "DISK", "ROM image mark"},
        {"Code FW", "rom.rpm", 96, "AV4M10Z9", "firmware code, pairs swapped"},
        {"Check sum ROM", "rom.rpm", 131070, "\xCD\xAB", "ROM checksum"},
        {"Status", "rom.rpm", 96, "A", "[CL] A="},
    });
}

TEST_F(RowSources, NameTheOffsetsAndKeysOfLoadersAndSpecificationRecords) {
    // No family code: the fallback layout, and the search's start named.
    work.write("module.rpm", bytesWith(512, {{0, "WX310041"}, {505, "Q8v01"}}));
    readPasport(context);
    ASSERT_TRUE(results.row(0).source);
    EXPECT_EQ(results.row(0).source->offset, 128);
    EXPECT_EQ(results.row(0).source->length(), 0);
    EXPECT_EQ(results.row(0).source->entryText(), "[Mod] no key matched; layout [00]");
    results.clear();

    checkLdr(context, work.write("a.ldr", testing::loaderFile()));
    work.write("specification.rpm", bytesWith(2048, {{0, "version 00 213"}, {64, "Heads"}, {76, "4"}}));
    readSpecification(context);

    const auto end = static_cast<std::int64_t>(testing::kFullLoaderSize) - 2;
    std::vector<ExpectedSource> table = {
        {"Check sum ROM in LDR", "a.ldr", 131582, "\x2B\x1A", "ROM checksum"},
        {"Check sum LDR", "a.ldr", end, "\xEF\xBE", "loader checksum"},
        {"Code FW", "a.ldr", 608, "AV4M10Z9", "firmware code, pairs swapped"},
        {"Family", "a.ldr", 609, "V4M", "[LDR] VM=2F_Ares 64"},
        {"Status", "a.ldr", 608, "A", "[CL] A=Program A - Main"},
        {"Specification", "specification.rpm", 0, "version 00 213", "version, bytes 0-6 and 12-14"},
        {"Heads", "specification.rpm", 64, bytesWith(32, {{0, "Heads"}, {12, "4"}}),
         "record 1: name 12 bytes, value 20 bytes"},
    };
    table[5].bytes.resize(15, '\0');
    for (int record = 2; record <= 30; ++record)
        table.push_back({"", "specification.rpm", 64 + 32 * (record - 1), std::string(32, '\0'),
                         "record " + std::to_string(record) + ": name 12 bytes, value 20 bytes"});
    expectSources(table);
}

} // namespace
} // namespace dravik
