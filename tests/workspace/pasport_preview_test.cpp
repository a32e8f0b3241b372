#include "support/test_support.h"
#include "workspace/pasport_preview.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

namespace dravik {
namespace {

using testing::bytesWith;

// What the preview ties to each row: its entry's line, the check's problems
// there, the decode's message and whether the rows end at it.
struct Tied {
    std::string name;
    std::size_t line;
    std::size_t problems;
    std::string message;
    bool ends = false;

    bool operator==(const Tied&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Tied& row) {
    return out << row.name << "@" << row.line << " problems " << row.problems << " \""
               << row.message << "\"" << (row.ends ? " ends" : "");
}

TEST(PasportPreview, TiesEachRowToItsEntrysLineAndWhatIsWrongThere) {
    const std::string head = "; free text\r\n[Mod]\r\n2F=Ares\r\n";
    const struct {
        const char* what;
        std::string text;
        std::string section;
        std::vector<Tied> rows;
    } cases[] = {
        {"the first entry of a key, whatever its case, as the lookup finds it",
         head + "2f=Again\r\n[2F]\r\nSerial=S0,8\r\nserial=S2,4\r\nVer=S505,5\r\n",
         "2F",
         {{"Family ", 3, 0, ""}, {"Serial", 6, 0, ""}, {"serial", 6, 0, ""}, {"Ver", 8, 0, ""}}},
        {"an unknown type letter: a message on its row, no box",
         head + "[2F]\r\nCod=Q174,2\r\n",
         "2F",
         {{"Family ", 3, 0, ""}, {"Cod", 5, 1, "Error Code.....(Q)"}}},
        {"a bad offset ends the rows at its entry",
         head + "[2F]\r\nA=S0,8\r\nB=Sx,8\r\nC=S0,1\r\n",
         "2F",
         {{"Family ", 3, 0, ""},
          {"A", 5, 0, ""},
          {"B", 6, 1, "'x' is not a valid integer value.", true}}},
        {"the first of two sections of one name",
         head + "[2F]\r\nA=S0,8\r\n[2f]\r\nA=S2,2\r\n",
         "2F",
         {{"Family ", 3, 0, ""}, {"A", 5, 0, ""}}},
        {"no family code: the fallback layout, the family row from no entry",
         "[Mod]\r\n3A=X\r\n[00]\r\nSerial=S0,8\r\n[3A]\r\n",
         "00",
         {{"Family ", 0, 0, ""}, {"Serial", 4, 0, ""}}},
    };
    const PasportCandidate module{"m.rpm",
                                  bytesWith(512, {{0, "ST380011"}, {128, "2F"}, {505, "Q8.01"}})};
    for (const auto& c : cases) {
        const PasportPreview preview = *passSettings(c.text, module).preview;
        std::vector<Tied> rows;
        for (const PreviewRow& row : preview.rows)
            rows.push_back(
                {row.row.name, row.line, row.problems.size(), row.message.value_or(""), row.ends});
        EXPECT_EQ(preview.section, c.section) << c.what;
        EXPECT_EQ(rows, c.rows) << c.what;
    }
}

TEST(PasportPreview, KnowsTheSectionOfEachLine) {
    const std::string text =
        "; free text\r\n[Mod]\r\n2F=Ares\r\n[2F] Ares\r\nA=S0,8\r\n\r\n[CL]\r\n";
    const PasportPreview preview =
        *passSettings(text, PasportCandidate{"m.rpm", bytesWith(512, {{128, "2F"}})}).preview;
    const struct {
        std::size_t line;
        std::string section; ///< "-" for none
    } cases[] = {{1, "-"}, {2, "Mod"}, {3, "Mod"}, {4, "2F"}, {6, "2F"}, {7, "CL"}, {99, "CL"}};
    for (const auto& c : cases) {
        const std::string* section = preview.sectionAt(c.line);
        EXPECT_EQ(section ? *section : "-", c.section) << c.line;
    }
}

// A layout being written for a family that [Mod] does not name yet decodes
// the module when it is chosen, and the preview offers the line that names it.
TEST(PasportPreview, DecodesWithAChosenSectionAndOffersItsFamilyLine) {
    const PasportCandidate module{"m.rpm", bytesWith(512, {{0, "ST380011"}, {128, "2F"}})};
    const PasportCandidate shortModule{"s.rpm", bytesWith(300, {{0, "ST380011"}})};
    const std::string head = "; free text\r\n[Mod]\r\n2F=Ares\r\n";
    const struct {
        const char* what;
        PasportCandidate module;
        std::string text;
        std::string section;
        std::vector<std::string> values; ///< each row's value, its blanks cut
        bool named;
        std::optional<PasportPreview::FamilyLine> familyLine;
        std::string shortNote; ///< its start; empty for none
    } cases[] = {
        {"a new family below [Mod]", module, head + "[7Q]\r\nSerial=S0,8\r\n", "7Q",
         {"Default", "ST380011"}, false, PasportPreview::FamilyLine{4, "7Q=7Q"}, ""},
        {"no [Mod] at all: a header of its own", module, "x\r\n[7Q]\r\nA=S2,2\r\n", "7Q",
         {"Default", "38"}, false, PasportPreview::FamilyLine{2, "[Mod]\r\n7Q=7Q"}, ""},
        {"a section of the lookups is no family", module, head + "[LDR]\r\nVM=2F_Ares\r\n",
         "ldr", {"Default", ""}, false, std::nullopt, ""},
        {"a named family", module, head + "[2F]\r\nA=S0,2\r\n[7Q]\r\n", "2F",
         {"Ares", "ST"}, true, std::nullopt, ""},
        {"a module shorter than its layout", shortModule, head + "[2F]\r\nA=S0,2\r\nV=S505,5\r\n",
         "2F", {"Ares", "ST", ""}, true, std::nullopt,
         "The module is 300 bytes; the layout reads up to byte 509"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PasportPreview preview = *passSettings(c.text, c.module, c.section).preview;
        std::vector<std::string> values;
        for (const PreviewRow& row : preview.rows)
            values.push_back(row.row.value.substr(0, row.row.value.find_last_not_of(' ') + 1));
        EXPECT_EQ(values, c.values);
        EXPECT_TRUE(preview.chosen);
        EXPECT_EQ(preview.named, c.named);
        EXPECT_EQ(preview.familyLine.has_value(), c.familyLine.has_value());
        if (preview.familyLine && c.familyLine) {
            EXPECT_EQ(preview.familyLine->line, c.familyLine->line);
            EXPECT_EQ(preview.familyLine->text, c.familyLine->text);
        }
        EXPECT_EQ(preview.shortNote.value_or("").substr(0, c.shortNote.size()), c.shortNote);
    }
}

TEST(PasportPreview, OpensAModuleFromAnyFolderAndSaysWhatIsNoModule) {
    testing::TempFolder elsewhere;
    const std::string module = bytesWith(512, {{128, "2F"}, {505, "Q8.01"}});
    const struct {
        const char* name;
        std::string bytes; ///< none written for "missing.rpm"
        std::size_t read;
        std::string note;
    } cases[] = {
        {"pasport.rpm", module, 512, ""},
        {"short.rpm", module.substr(0, 100), 100, "\"short.rpm\" is not a passport module"},
        {"long.rpm", module + "x", 512, "\"long.rpm\" is not a passport module"},
        {"missing.rpm", "", 0, "\"missing.rpm\": File not found."},
    };
    for (const auto& c : cases) {
        if (c.read != 0)
            elsewhere.write(c.name, c.bytes);
        const OpenedModule opened = openModuleFile(elsewhere.file(c.name));
        EXPECT_EQ(opened.module.module.size(), c.read) << c.name;
        EXPECT_EQ(opened.note.value_or("").substr(0, c.note.size()), c.note) << c.name;
        EXPECT_EQ(opened.note.has_value(), !c.note.empty()) << c.name;
    }
}

// A pass decodes the module as its file is now: read again when it was
// rewritten, and nothing but a note when it is gone.
TEST(PasportPreview, APassReadsAgainAModuleRewrittenSinceAndSaysWhenItIsGone) {
    testing::TempFolder folder;
    const std::string settings = "[Mod]\r\n2F=Ares\r\n[2F]\r\nSerial=S0,8\r\n";
    auto module = [](std::string_view serial) {
        return bytesWith(512, {{0, serial}, {128, "2F"}, {505, "Q8.01"}});
    };
    namespace fs = std::filesystem;
    const struct {
        const char* change;
        std::function<void(const std::string&)> act;
        bool reread;
        std::string serial; ///< empty: no rows
        std::string note;
    } cases[] = {
        {"none", [](const std::string&) {}, false, "OLDSERIA", ""},
        {"rewritten",
         [&](const std::string& path) {
             folder.write("m.rpm", module("NEWSERIA"));
             // A later time, also where the clock has not moved since the read.
             fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(1));
         },
         true, "NEWSERIA", ""},
        {"deleted", [](const std::string& path) { fs::remove(path); }, true, "",
         "\"m.rpm\": File not found."},
    };
    for (const auto& c : cases) {
        const std::string path = folder.write("m.rpm", module("OLDSERIA"));
        const OpenedModule opened = openModuleFile(path);
        c.act(path);
        const SettingsPass pass = passSettings(settings, opened.module);
        EXPECT_EQ(pass.reread.has_value(), c.reread) << c.change;
        EXPECT_EQ(pass.preview.has_value(), !c.serial.empty()) << c.change;
        if (pass.preview && !c.serial.empty()) {
            ASSERT_EQ(pass.preview->rows.size(), 2u) << c.change;
            EXPECT_EQ(pass.preview->rows[1].row.value.substr(0, 8), c.serial) << c.change;
        }
        EXPECT_EQ(pass.reread ? pass.reread->note.value_or("") : "", c.note) << c.change;
    }
}

} // namespace
} // namespace dravik
