#include "loader_fixture.h"

#include "loaders/loader.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/file_system.h"

namespace dravik::testing {
namespace {

using Rows = std::vector<ResultRow>;

std::string pasportModule() {
    std::string module = bytesWith(512, {{0, "WXYZ"}, {128, "AA"}});
    return module.replace(505, 5, "Q8v01");
}

// Decoding a folder or a file changes no directory, rows or title; the
// commands then append exactly the decoded rows, sources included.
TEST_F(LoaderTest, DecodingLeavesDirectoryRowsAndTitleAsTheCommandsShowThem) {
    start.write(SettingsFile::kFileName, "[Mod]\r\nAA=Test\r\n[AA]\r\nA=S0,4\r\nB=X0,1\r\n");
    work.write("p.rpm", pasportModule());
    work.write("s.rpm", bytesWith(2048, {{0, "version-----1.0"}, {64, "Name"}}));
    work.write("r.rpm", bytesWith(131072, {{40, "DISK"}, {96, "AV4M10Z9"}}));
    work.write("l.ldr", loaderFile());
    TempFolder elsewhere;
    CurrentDirectoryGuard here(elsewhere.path());
    const SettingsFile settings = SettingsFile::loadFrom(start.path());
    results.append("Shown", "before");
    std::vector<std::string> titles;
    RowCountingUi counting(results);
    Context context{start.path(), {}, results, counting, [&](const std::string& title) {
                        titles.push_back(title);
                    }};

    const Decoded decoded[] = {decodePasport(work.path(), settings),
                               decodeSpecification(work.path()), decodeRoms(work.path(), settings),
                               decodeLoader(work.file("l.ldr"), settings)};
    EXPECT_EQ(currentDirectory(), elsewhere.path());
    EXPECT_EQ(results.rows(), (Rows{{"Shown", "before"}}));
    EXPECT_TRUE(titles.empty());
    EXPECT_EQ(decoded[0].messages, (std::vector<DecodeMessage>{{2, "Error Code.....(X)"}}));

    CurrentDirectoryGuard inWork(work.path());
    context.workingFolder = work.path();
    const std::function<void()> commands[] = {[&] { readPasport(context); },
                                              [&] {
                                                  results.clear();
                                                  readSpecification(context);
                                              },
                                              [&] {
                                                  results.clear();
                                                  checkRom(context);
                                              },
                                              [&] { checkLdr(context, work.file("l.ldr")); }};
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        commands[i]();
        EXPECT_EQ(results.rows(), decoded[i].rows) << i;
        for (std::size_t row = 0; row < results.count(); ++row)
            EXPECT_EQ(results.row(row).source->entryText(), decoded[i].rows[row].source->entryText());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{*decoded[0].title, *decoded[1].title}));
    EXPECT_EQ(counting.messages, (std::vector<std::string>{"Error Code.....(X) after 2"}));
}

// The passport as the unsaved text of a settings file decodes it.
TEST(DecodePasportModule, DecodesFromSettingsText) {
    struct Case {
        std::string settings;
        Rows rows;
        std::vector<DecodeMessage> messages;
    };
    const std::string padded = "WXYZ" + std::string(28, ' ');
    const Case cases[] = {
        {"[Mod]\nAA=Test\n[AA]\nA=S0,4\nN=#0,1\n",
         {{"Family ", "Test"}, {"A", padded}, {"N", "87"}},
         {}},
        {"[Mod]\nAA=Test\n[AA]\nA=S0,4\nB=Q0,1\nC=s0,1\n",
         {{"Family ", "Test"}, {"A", padded}, {"B", ""}, {"C", ""}},
         {{2, "Error Code.....(Q)"}, {3, "Error Code.....(s)"}}},
        {"[Mod]\nAA=Test\n[00]\nA=S0,4\n", {{"Family ", "Test"}}, {}},
        {"[Mod]\nBB=Other\n[00]\nA=S0,4\n[BB]\nB=S0,1\n",
         {{"Family ", "Default"}, {"A", padded}},
         {}},
    };
    for (const Case& c : cases) {
        const Decoded decoded =
            decodePasportModule(pasportModule(), "/p.rpm", SettingsFile::parse(c.settings));
        EXPECT_EQ(decoded.rows, c.rows) << c.settings;
        EXPECT_EQ(decoded.messages, c.messages) << c.settings;
        EXPECT_EQ(decoded.title, "/p.rpm Q8v01");
        EXPECT_FALSE(decoded.error);
    }
}

} // namespace
} // namespace dravik::testing
