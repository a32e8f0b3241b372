#include "modules/pasport.h"

#include "platform/errors.h"
#include "results/report.h"
#include "settings/default_settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace dravik {
namespace {

using testing::bytesWith;
using testing::FakeUi;
using testing::TempFolder;
using Rows = std::vector<ResultRow>;
using Pieces = std::initializer_list<std::pair<std::size_t, std::string_view>>;

// A passport module: 512 zero bytes, the pieces, and the mark and version at 505.
std::string pasportModule(Pieces pieces, std::string_view version = "Q8v01") {
    std::string bytes = bytesWith(512, pieces);
    bytes.replace(505, version.size(), version);
    return bytes;
}

std::string padded(std::string text) {
    text.resize(32, ' ');
    return text;
}

class ReadPasport : public ::testing::Test {
protected:
    TempFolder start;
    TempFolder work;
    testing::CurrentDirectoryGuard here{work.path()};
    FakeUi ui;
    ResultList results;
    std::vector<std::string> titles;
    Context context{start.path(), "", results, ui,
                    [this](const std::string& title) { titles.push_back(title); }};

    void useSettings(std::string_view text) { start.write("Dravik.ini", text); }
    void useDefaultSettings() { useSettings(defaultSettingsContent()); }
    // A layout of family "AA" with the given entries.
    void useLayout(const std::string& entries) {
        useSettings("[Mod]\r\nAA=Test\r\n[AA]\r\n" + entries);
    }
};

TEST_F(ReadPasport, DecodesTheDefaultAres64Layout) {
    useDefaultSettings();
    work.write("PASPORT.RPM",
               pasportModule({{0, "ABCD1234"},
                              {19, "\x67\x03\x0F\x0C\x05"},
                              {57, std::string_view("Q7\0x", 4)},
                              {66, "HDA"},
                              {128, "2F"},
                              {130, "ST340014A     "},
                              {174, "\x34\x12"},
                              {180, "\xFF\xFF\xFF\xFF"},
                              {213, "Barracuda7"},
                              {263, "40GB\xC0"}},
                             "Q8\x41\x42\x43"));
    readPasport(context);

    const Rows expected = {
        {"Family ", "Ares 64"},
        {"Name", padded("Barracuda7")},
        {"Model", padded("ST340014A     ")},
        {"Model 1", ""},
        {"Code FW", ""},
        {"Serial", padded("ABCD1234")},
        {"Ata", ""},
        {"Size", padded("40GB\xC0")},
        {"LBA", "-1"},
        {"Date (Time)", "15.3.2003 (12:5)"},
        {"Alphabetic value", ""},
        {"PCBA Pn. IDE Label", ""},
        {"PCBA Config", ""},
        {"Unique", ""},
        {"HDA Module", padded("HDA")},
        {"None1", ""},
        {"Cod", "4660"},
        {"None", "Q7"},
        {"+5V", ""},
        {"+12V", ""},
        {"Ver. Module", padded("Q8ABC")},
    };
    EXPECT_EQ(results.rows(), expected);
    EXPECT_EQ(context.workingFolder, work.path());
    EXPECT_EQ(titles, std::vector<std::string>{work.file("PASPORT.RPM") + " Q8ABC"});
    EXPECT_TRUE(ui.messages.empty());

    std::string report;
    for (const ResultRow& row : expected) {
        char name[32];
        std::snprintf(name, sizeof name, "%-25.25s:", row.name.c_str());
        report += name + row.value + "\r\n";
    }
    EXPECT_EQ(formatReport(results), report);
}

TEST_F(ReadPasport, ChoosesTheLast512ByteQ8FileInEnumerationOrder) {
    useLayout("Ver=S505,5\r\n");
    work.write("a.rpm", pasportModule({{128, "AA"}}, "Q8aaa"));
    // Upper-cased, "B.rpm" sorts after "a.rpm" although its bytes sort before.
    work.write("B.rpm", pasportModule({{128, "AA"}}, std::string_view("Q8b\0b", 5)));
    work.write("c.rpm", pasportModule({}, "Q9ccc"));
    work.write("d.rpm", pasportModule({}, "Q8ddd") + "+");
    work.write(".e.rpm", pasportModule({}, "Q8eee"));
    work.write("f.txt", pasportModule({}, "Q8fff"));
    work.makeFolder("g.rpm");
    readPasport(context);

    EXPECT_EQ(titles, std::vector<std::string>{work.file("B.rpm") + " Q8b"});
    EXPECT_EQ(results.rows(), (Rows{{"Family ", "Test"}, {"Ver", "Q8b"}}));
}

TEST_F(ReadPasport, WithoutACandidateNothingChanges) {
    useDefaultSettings();
    results.append("Earlier", "row");
    work.write("long.rpm", pasportModule({{128, "2F"}}) + "x");
    work.write("short.rpm", pasportModule({{128, "2F"}}).substr(0, 511));
    work.write("plain.rpm", pasportModule({{128, "2F"}}, "Q9v01"));
    readPasport(context);
    EXPECT_EQ(results.rows(), (Rows{{"Earlier", "row"}}));
    EXPECT_TRUE(titles.empty());
}

TEST_F(ReadPasport, FamilyCodeIsTheFirstEvenPairFrom128ThatNamesAFamily) {
    useDefaultSettings();
    struct Case {
        Pieces pieces;
        const char* family;
        std::size_t rows;
    };
    const Case cases[] = {
        {{{126, "2F"}}, "Default", 21},               // before 128
        {{{129, "2F"}}, "Default", 21},               // not on a pair
        {{{140, "6y"}, {300, "2F"}}, "Calypso", 21},  // first pair wins, any case
        {{{502, "4G"}}, "Neptune", 18},               // the last pair before the mark
        {{{510, "4D"}}, "Romulus", 19},               // the module's very last pair
        {{{200, "ZZ"}, {202, "5T"}}, "Rigel", 20},
    };
    for (const Case& c : cases) {
        work.write("m.rpm", pasportModule(c.pieces));
        readPasport(context);
        ASSERT_GE(results.count(), 1u);
        EXPECT_EQ(results.row(0), (ResultRow{"Family ", c.family}));
        EXPECT_EQ(results.count(), c.rows) << c.family;
    }
}

TEST_F(ReadPasport, WithoutSettingsOrLayoutOnlyTheFamilyRow) {
    work.write("m.rpm", pasportModule({{128, "AA"}}));
    readPasport(context);
    EXPECT_EQ(results.rows(), (Rows{{"Family ", "Default"}}));
    EXPECT_EQ(titles.size(), 1u);

    useSettings("[Mod]\r\nAA=Test\r\n[00]\r\nName=S0,4\r\n");
    readPasport(context);
    EXPECT_EQ(results.rows(), (Rows{{"Family ", "Test"}}));
}

TEST_F(ReadPasport, UnknownTypeLetterIsReportedAndTheCommandGoesOn) {
    useLayout("First=S0,4\r\nOdd=X0,zz\r\nLower=s0,4\r\nLast=#0,1\r\n");
    work.write("m.rpm", pasportModule({{0, "WXYZ"}, {128, "AA"}}));
    readPasport(context);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"Error Code.....(X)", "Error Code.....(s)"}));
    EXPECT_EQ(results.rows(), (Rows{{"Family ", "Test"},
                                    {"First", padded("WXYZ")},
                                    {"Odd", ""},
                                    {"Lower", ""},
                                    {"Last", "87"}}));
}

TEST_F(ReadPasport, ConversionErrorEndsTheCommandKeepingEarlierRows) {
    const std::pair<std::string, std::string> cases[] = {
        {"S213", "''"}, {"Sa,4", "'a'"}, {"#0,4x", "'4x'"}, {"D19,", "''"}, {"", "''"},
        {"X,1", "''"},
    };
    work.write("m.rpm", pasportModule({{128, "AA"}}));
    for (const auto& [layout, quoted] : cases) {
        useLayout("First=S0,4\r\nBroken=" + layout + "\r\nAfter=S0,4\r\n");
        EXPECT_EQ(testing::thrownMessage<Error>([&] { readPasport(context); }),
                  quoted + " is not a valid integer value");
        EXPECT_EQ(results.count(), 2u) << layout;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST(DecodePasportField, ReadsNothingOutsideTheModuleOrTheBuffers) {
    std::string bytes = bytesWith(512, {{0, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
                                        {500, "abcdefghijkl"},
                                        {40, "\x67\x03\x0F\x0C\x05\x01\x02"}});
    const ByteReader module(bytes);
    FakeUi ui;
    const std::pair<const char*, std::string> cases[] = {
        {"S500,32", padded("abcdefghijkl")},
        {"S0,40", "0123456789ABCDEFGHIJKLMNOPQRSTUV"},
        {"S0,0", padded("")},
        {"S0,-3", padded("")},
        {"S-5,4", padded("")},
        {"S512,4", padded("")},
        {"S2147483647,32", padded("")},
        {"S-2147483648,2147483647", padded("")},
        {"#510,4", std::to_string(0x6C6B)},
        {"#0,3", std::to_string(0x323130)},
        {"#0,8", std::to_string(0x33323130)},
        {"#500,-1", "0"},
        {"#600,2", "0"},
        {"D40,5", "15.3.2003 (12:5)"},
        {"D40,7", "15.3.2003 (12:5)"},
        {"D40,3", "15.3.2003 (0:0)"},
        {"D510,5", "0.108.2007 (0:0)"},
        {"D-1,5", "0.0.1900 (0:0)"},
    };
    for (const auto& [layout, value] : cases)
        EXPECT_EQ(decodePasportField(module, FieldSpec::parse(layout), ui), value) << layout;
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReadPasport, AConversionErrorCarriesTheLayoutEntryAndItsLineBesideItsMessage) {
    struct Case {
        std::string settings;
        std::string message;
        SettingsEntry entry;
    };
    const Case cases[] = {
        {"[Mod]\r\nAA=Test\r\n[aa]\r\nFirst=S0,4\r\nCod = #x,4 \r\n",
         "'x' is not a valid integer value",
         {"AA", "Cod", "#x,4", 5}},
        {"[00] Defaut\r\nDate (Time)=D19,five\r\n",
         "'five' is not a valid integer value",
         {"00", "Date (Time)", "D19,five", 2}},
    };
    work.write("m.rpm", pasportModule({{128, "AA"}}));
    for (const Case& c : cases) {
        useSettings(c.settings);
        try {
            readPasport(context);
            ADD_FAILURE() << "no error for " << c.settings;
        } catch (const Error& error) {
            EXPECT_EQ(error.message(), c.message);
            EXPECT_EQ(error.entry(), c.entry);
        }
    }
}

} // namespace
} // namespace dravik
