#include "modules/rom_check.h"

#include "results/result_list.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

// A name on Linux is bytes, which need not be UTF-8; on Windows it is UTF-16.
TEST(CheckRom, BytesOfANameThatAreNoUtf8EachShowAsAQuestionMark) {
    testing::TempFolder start;
    testing::TempFolder work;
    work.write("a\xFF\xD0z\xD0\x9F.rpm",
               testing::bytesWith(131072, {{40, "DISK"}, {96, "AV4M10Z9"}, {131070, "\xCD\xAB"}}));
    ResultList results;
    testing::FakeUi ui;
    Context context{start.path(), work.path(), results, ui, {}};
    checkRom(context);
    ASSERT_EQ(results.count(), 4u);
    EXPECT_EQ(results.row(0).value, "a??z\xCF.rpm");
}

} // namespace
} // namespace dravik
