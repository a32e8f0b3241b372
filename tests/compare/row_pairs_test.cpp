#include "compare/drive_blocks.h"
#include "compare/row_pairs.h"

#include <gtest/gtest.h>

#include <memory>

namespace dravik {
namespace {

// Rows written as "Name=Value".
std::vector<ResultRow> rowsOf(const std::vector<std::string>& texts) {
    std::vector<ResultRow> rows;
    for (const std::string& text : texts) {
        const std::size_t equals = text.find('=');
        rows.push_back({text.substr(0, equals), text.substr(equals + 1)});
    }
    return rows;
}

// Each pair as its mark, its name and both values: "!Serial:A1|B2", "-" for a
// missing side.
std::string shown(const std::vector<RowPair>& pairs) {
    std::string text;
    for (const RowPair& pair : pairs) {
        text += text.empty() ? "" : " ";
        text += pairMark(pair.state) + pair.name() + ":" + (pair.first ? pair.first->value : "-") +
                "|" + (pair.second ? pair.second->value : "-");
    }
    return text;
}

struct PairingCase {
    const char* what;
    std::vector<std::string> first;
    std::vector<std::string> second;
    std::string pairs;
};

TEST(PairRows, ByNameAndOccurrenceInTheFirstResultsOrder) {
    const PairingCase cases[] = {
        {"both empty", {}, {}, ""},
        {"first empty", {}, {"A=1", "B=2"}, ">A:-|1 >B:-|2"},
        {"second empty", {"A=1", "B=2"}, {}, "<A:1|- <B:2|-"},
        {"same", {"A=1", "B=2"}, {"A=1", "B=2"}, "=A:1|1 =B:2|2"},
        {"differs by a byte", {"A=x ", "B=2"}, {"A=x", "B=2"}, "!A:x |x =B:2|2"},
        {"second's order does not count", {"A=1", "B=2"}, {"B=2", "A=9"}, "!A:1|9 =B:2|2"},
        {"only in first", {"A=1", "X=5", "B=2"}, {"A=1", "B=2"}, "=A:1|1 <X:5|- =B:2|2"},
        {"only in second, where it stands",
         {"A=1", "B=2"},
         {"A=1", "Y=6", "B=2"},
         "=A:1|1 >Y:-|6 =B:2|2"},
        {"one-sided rows at the same place",
         {"A=1", "X=5", "B=2"},
         {"A=1", "Y=6", "B=2"},
         "=A:1|1 <X:5|- >Y:-|6 =B:2|2"},
        {"only in second before the first pair",
         {"B=2"},
         {"Y=6", "Z=7", "B=2"},
         ">Y:-|6 >Z:-|7 =B:2|2"},
        {"only in second at the end", {"A=1"}, {"A=1", "Y=6", "Z=7"}, "=A:1|1 >Y:-|6 >Z:-|7"},
        {"repeated names pair by occurrence",
         {"File Name=a.rpm", "Sum=1", "File Name=b.rpm", "Sum=2"},
         {"File Name=a.rpm", "Sum=1", "File Name=b.rpm", "Sum=3"},
         "=File Name:a.rpm|a.rpm =Sum:1|1 =File Name:b.rpm|b.rpm !Sum:2|3"},
        {"a third occurrence on one side",
         {"S=1", "S=2"},
         {"S=1", "S=2", "S=3"},
         "=S:1|1 =S:2|2 >S:-|3"},
        {"different families: the layouts' own fields are one-sided",
         {"Family =2F_Ares", "Serial=W1", "Heads=4", "Model=M"},
         {"Family =3F_Bora", "Serial=W1", "Board=B7", "Model=M"},
         "!Family :2F_Ares|3F_Bora =Serial:W1|W1 <Heads:4|- >Board:-|B7 =Model:M|M"},
    };
    for (const PairingCase& c : cases)
        EXPECT_EQ(shown(pairRows(rowsOf(c.first), rowsOf(c.second))), c.pairs) << c.what;
}

// One side's parts written as "file/code:Name=Value,Name=Value".
SideBlock sideOf(CompareBlock block, const std::vector<std::string>& parts) {
    SideBlock side;
    side.block = block;
    side.found = !parts.empty();
    for (const std::string& part : parts) {
        const std::size_t slash = part.find('/');
        const std::size_t colon = part.find(':');
        std::vector<std::string> rows;
        for (std::size_t at = colon + 1; at < part.size();) {
            const std::size_t comma = std::min(part.find(',', at), part.size());
            rows.push_back(part.substr(at, comma - at));
            at = comma + 1;
        }
        side.parts.push_back(
            {part.substr(0, slash), part.substr(slash + 1, colon - slash - 1), rowsOf(rows)});
    }
    return side;
}

TEST(PairBlocks, FilesPairByNameLoadersThenByCodeAndOneSidedFilesWhole) {
    const struct {
        const char* what;
        CompareBlock block;
        std::vector<std::string> first;
        std::vector<std::string> second;
        std::string blocks;
    } cases[] = {
        {"a ROM image missing from the second",
         CompareBlock::CheckRom,
         {"rom-b.rpm/:Sum=2", "rom.rpm/:Sum=1"},
         {"rom.rpm/:Sum=1"},
         "[Check ROM: rom-b.rpm] <Sum:2|- [Check ROM: rom.rpm] =Sum:1|1"},
        {"a ROM image missing from the first",
         CompareBlock::CheckRom,
         {"rom.rpm/:Sum=1"},
         {"rom-b.rpm/:Sum=2", "rom.rpm/:Sum=3"},
         "[Check ROM: rom-b.rpm] >Sum:-|2 [Check ROM: rom.rpm] !Sum:1|3"},
        {"ROM images do not pair by code",
         CompareBlock::CheckRom,
         {"a.rpm/X:Sum=1"},
         {"b.rpm/X:Sum=1"},
         "[Check ROM: a.rpm] <Sum:1|- [Check ROM: b.rpm] >Sum:-|1"},
        {"loaders by name, then the rest by code",
         CompareBlock::CheckLdr,
         {"a.ldr/X:Sum=1", "old.ldr/Y:Sum=2", "z.ldr/Q:Sum=5"},
         {"new.ldr/Y:Sum=3", "a.ldr/Z:Sum=1"},
         "[Loader: a.ldr] =Sum:1|1 [Loader: old.ldr / new.ldr] !Sum:2|3 [Loader: z.ldr] <Sum:5|-"},
        {"loaders without a code stay one-sided",
         CompareBlock::CheckLdr,
         {"a.ldr/:Sum=1"},
         {"b.ldr/:Sum=1"},
         "[Loader: a.ldr] <Sum:1|- [Loader: b.ldr] >Sum:-|1"},
        {"two families: the passport pairs by name and occurrence",
         CompareBlock::Pasport,
         {"/:Family =Ares,Heads=4"},
         {"/:Family =Bora,Board=B7"},
         "[Passport] !Family :Ares|Bora <Heads:4|- >Board:-|B7"},
        {"a passport on one side",
         CompareBlock::Pasport,
         {},
         {"/:Serial=W1"},
         "[Passport] >Serial:-|W1"},
        {"nothing on either side", CompareBlock::CheckRom, {}, {}, ""},
    };
    for (const auto& c : cases) {
        std::string shownBlocks;
        for (const BlockPairs& block :
             pairBlocks(sideOf(c.block, c.first), sideOf(c.block, c.second))) {
            shownBlocks +=
                (shownBlocks.empty() ? "[" : " [") + blockTitle(block) + "] " + shown(block.pairs);
        }
        EXPECT_EQ(shownBlocks, c.blocks) << c.what;
    }
}

TEST(PairBlocks, FamiliesDifferOnlyWhenBothPassportsNameOne) {
    const auto drive = [](std::vector<std::string> passport) {
        return std::vector<SideBlock>{sideOf(CompareBlock::Pasport, passport)};
    };
    EXPECT_EQ(familiesDiffer(drive({"/:Family =Ares"}), drive({"/:Family =Bora"})),
              (std::pair<std::string, std::string>{"Ares", "Bora"}));
    EXPECT_EQ(familiesDiffer(drive({"/:Family =Ares"}), drive({"/:Family =Ares"})), std::nullopt);
    EXPECT_EQ(familiesDiffer(drive({"/:Family =Ares"}), drive({})), std::nullopt);
}

TEST(BlockShown, IsThatOfTheLastBlockOfRowsACommandPutThere) {
    const std::pair<std::vector<std::string>, std::optional<CompareBlock>> cases[] = {
        {{}, std::nullopt},
        {{"Family ", "Serial"}, CompareBlock::Pasport},
        {{"Family ", "Serial", "File Name", "Code FW"}, CompareBlock::CheckRom},
        {{"File Name", "Status", "Specification", "Heads"}, CompareBlock::Specification},
        {{"Check sum ROM in LDR", "Family", "Status"}, CompareBlock::CheckLdr},
    };
    for (const auto& [names, block] : cases) {
        std::vector<ResultRow> rows;
        for (const std::string& name : names)
            rows.push_back({name, "v"});
        EXPECT_EQ(blockShown(rows), block) << names.size();
    }
    EXPECT_EQ(blockNamed("passport"), &blockKind(CompareBlock::Pasport));
    EXPECT_EQ(blockNamed("check-ldr"), &blockKind(CompareBlock::CheckLdr));
    EXPECT_EQ(blockNamed("all"), nullptr);
}

TEST(PairRows, AnyDiffersUnlessEveryPairIsTheSame) {
    EXPECT_FALSE(anyDiffers(pairRows({}, {})));
    EXPECT_FALSE(anyDiffers(pairRows(rowsOf({"A=1"}), rowsOf({"A=1"}))));
    EXPECT_TRUE(anyDiffers(pairRows(rowsOf({"A=1"}), rowsOf({"A=2"}))));
    EXPECT_TRUE(anyDiffers(pairRows(rowsOf({"A=1"}), {})));
    EXPECT_TRUE(anyDiffers(pairRows({}, rowsOf({"A=1"}))));
}

TEST(PairJson, BothValuesAndBothSources) {
    const auto file = SourceFile::at("a/p.rpm");
    const std::vector<ResultRow> first{{"Serial",
                                        "\xC0"
                                        "1",
                                        RowSource{file, 16,
                                                  "\xC0"
                                                  "1",
                                                  SettingsEntry{"2F", "Serial", "S16,2", 3},
                                                  {}}}};
    const std::vector<ResultRow> second{{"Serial", "B2"}};
    EXPECT_EQ(pairJson(pairRows(first, second).at(0)),
              "{\"mark\": \"!\", \"state\": \"differs\", \"name\": \"Serial\", \"a\": "
              "{\"value\": \"\xD0\x90"
              "1\", \"source\": {\"file\": \"a/p.rpm\", \"offset\": 16, "
              "\"length\": 2, \"bytes\": \"C031\", \"entry\": \"[2F] Serial=S16,2\"}}, "
              "\"b\": {\"value\": \"B2\"}}");
    EXPECT_EQ(pairJson(pairRows({}, second).at(0)),
              "{\"mark\": \">\", \"state\": \"only-in-second\", \"name\": \"Serial\", \"a\": "
              "null, \"b\": {\"value\": \"B2\"}}");
}

} // namespace
} // namespace dravik
