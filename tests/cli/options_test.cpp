#include "cli/options.h"

#include <gtest/gtest.h>

namespace dravik::cli {
namespace {

using Args = std::vector<std::string>;

TEST(ParseOptions, ReadsCommandsInputsAndOptionsInAnyOrder) {
    struct Case {
        Args args;
        Command command;
        Args inputs;
        Format format;
        std::optional<std::string> report;
        std::optional<std::string> settings;
    };
    const Case cases[] = {
        {{"pasport"}, Command::Pasport, {"."}, Format::Text, {}, {}},
        {{"passport", "a", "b"}, Command::Pasport, {"a", "b"}, Format::Text, {}, {}},
        {{"--format", "json", "check-rom"}, Command::CheckRom, {"."}, Format::Json, {}, {}},
        {{"specification", "--report=r.txt", "d"},
         Command::Specification,
         {"d"},
         Format::Text,
         "r.txt",
         {}},
        {{"check-ldr", "x.ldr", "--settings", "s.ini", "--format=tsv"},
         Command::CheckLdr,
         {"x.ldr"},
         Format::Tsv,
         {},
         "s.ini"},
        // After "--" everything is an input, and "-" is one anyway.
        {{"rename-ldr", "--", "--report", "-x.ldr"},
         Command::RenameLdr,
         {"--report", "-x.ldr"},
         Format::Text,
         {},
         {}},
        {{"check-ldr", "-"}, Command::CheckLdr, {"-"}, Format::Text, {}, {}},
        // The last of a repeated option counts.
        {{"check-rom", "--format", "json", "--format", "text"},
         Command::CheckRom,
         {"."},
         Format::Text,
         {},
         {}},
    };
    for (const Case& c : cases) {
        const Options options = parseOptions(c.args);
        const std::string shown = ::testing::PrintToString(c.args);
        EXPECT_EQ(options.command, c.command) << shown;
        EXPECT_EQ(options.inputs, c.inputs) << shown;
        EXPECT_EQ(options.format, c.format) << shown;
        EXPECT_EQ(options.reportPath, c.report) << shown;
        EXPECT_EQ(options.settingsPath, c.settings) << shown;
    }
}

TEST(ParseOptions, DefaultSettingsTakesAnOutputFile) {
    const Options options = parseOptions({"default-settings", "--output", "Dravik.ini"});
    EXPECT_EQ(options.command, Command::DefaultSettings);
    EXPECT_TRUE(options.inputs.empty());
    EXPECT_EQ(options.outputPath, "Dravik.ini");
}

TEST(AsksFor, LooksOnlyBeforeTheEndOfOptions) {
    EXPECT_TRUE(asksFor({"pasport", "-h"}, "--help", "-h"));
    EXPECT_TRUE(asksFor({"--version", "x"}, "--version"));
    EXPECT_FALSE(asksFor({"check-ldr", "--", "--help"}, "--help", "-h"));
    EXPECT_FALSE(asksFor({"check-ldr", "-hx"}, "--help", "-h"));
}

} // namespace
} // namespace dravik::cli
