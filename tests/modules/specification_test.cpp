#include "modules/specification.h"

#include "results/result_list.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dravik {
namespace {

using testing::bytesWith;

constexpr std::size_t kModuleSize = 2048;

std::size_t recordOffset(std::size_t record) {
    return 64 + 32 * record;
}

// A module of version `version` whose every record is named after its number.
std::string specificationModule(std::string_view version) {
    std::string module = bytesWith(kModuleSize, {{0, "version"}, {7, "-----"}, {12, version}});
    for (std::size_t record = 0; record < 30; ++record) {
        std::string name = "N" + std::to_string(record);
        std::string value = "V" + std::to_string(record);
        module.replace(recordOffset(record), name.size(), name);
        module.replace(recordOffset(record) + 12, value.size(), value);
    }
    return module;
}

class ReadSpecificationTest : public ::testing::Test {
  protected:
    ReadSpecificationTest() : guard(work.path()) {}

    testing::TempFolder work;
    testing::CurrentDirectoryGuard guard;
    ResultList results;
    testing::FakeUi ui;
    std::vector<std::string> titles;
    Context context{"/nonexistent", "computer:///", results, ui,
                    [this](const std::string& title) { titles.push_back(title); }};
};

TEST_F(ReadSpecificationTest, ShowsTheVersionAndThirtyRecordsAfterTheRowsAlreadyShown) {
    std::string module = specificationModule("1.2");
    // Seven letters then zero bytes; a value that fills its 20 bytes.
    module.replace(recordOffset(0), 12, std::string("SPINDLE\0\0\0\0\0", 12));
    module.replace(recordOffset(0) + 12, 20, "ABCDEFGHIJKLMNOPQRST");
    // The table ends at 1024: what follows is not read.
    module.replace(1024, 12, "NOT A RECORD");
    const std::string path = work.write("module.rpm", module);
    results.append("Earlier", "row");

    readSpecification(context);

    std::vector<ResultRow> expected = {
        {"Earlier", "row"}, {"Specification", "version 1.2"}, {"SPINDLE", "ABCDEFGHIJKLMNOPQRST"}};
    for (std::size_t record = 1; record < 30; ++record)
        expected.push_back({"N" + std::to_string(record), "V" + std::to_string(record)});
    EXPECT_EQ(results.rows(), expected);
    EXPECT_EQ(titles, std::vector<std::string>{path + " version 1.2"});
    EXPECT_EQ(context.workingFolder, work.path());
}

TEST_F(ReadSpecificationTest, TheFirstModuleInTheOrderOfEnumerationIsShown) {
    const std::string first = work.write("A.rpm", specificationModule("111"));
    work.write("b.RPM", specificationModule("222"));
    work.write("c.rpm", std::string(kModuleSize, 'x'));

    readSpecification(context);

    ASSERT_EQ(results.count(), 31u);
    EXPECT_EQ(results.row(0).value, "version 111");
    EXPECT_EQ(titles, std::vector<std::string>{first + " version 111"});
}

TEST_F(ReadSpecificationTest, WithoutAModuleTheTitleNamesTheLast2048ByteFileSeen) {
    work.write("a.rpm", bytesWith(kModuleSize, {{0, "alpha01-----XYZ"}}));
    const std::string last = work.write("b.rpm", bytesWith(kModuleSize, {{0, "bravo"}}));
    work.write("c.rpm", specificationModule("333").substr(0, kModuleSize - 1));
    work.write("d.rpm", specificationModule("444") + "x");

    readSpecification(context);

    EXPECT_EQ(results.count(), 0u);
    EXPECT_EQ(titles, std::vector<std::string>{last + " bravo"});
}

TEST_F(ReadSpecificationTest, WithNo2048ByteFileTheTitleIsASingleBlank) {
    work.write("small.rpm", "version 1.2");
    results.append("Earlier", "row");

    readSpecification(context);

    EXPECT_EQ(results.count(), 1u);
    EXPECT_EQ(titles, std::vector<std::string>{" "});

    // Without a title sink the command still runs.
    context.setTitle = nullptr;
    work.write("module.rpm", specificationModule("1.2"));
    readSpecification(context);
    EXPECT_EQ(results.count(), 32u);
}

TEST_F(ReadSpecificationTest, TheTitleIsCutBeforeItsFirstZeroByte) {
    // A path in UTF-8 is shown in Windows-1251; a zero among the version bytes ends the title.
    const std::string path =
        work.write("\xD0\xA1\xD0\x9F.rpm", bytesWith(kModuleSize, {{0, "version"}, {12, "7"}}));
    readSpecification(context);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], work.file("\xD1\xCF.rpm") + " version 7");
    EXPECT_EQ(results.row(0).value, std::string("version 7\0\0", 11));
}

} // namespace
} // namespace dravik
