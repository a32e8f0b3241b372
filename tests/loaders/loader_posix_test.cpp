#include "loaders/loader.h"

#include "loaders/loader_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace dravik {
namespace {

using testing::loaderFile;
using testing::LoaderTest;
using testing::namesIn;

TEST_F(LoaderTest, RenameGivesTheSystemsReasonWhenTheFileSystemRefuses) {
    // The new name outgrows the 255 bytes a name may have.
    const std::string longName = "x." + std::string(243, 'e');
    const std::string path = work.write(longName, loaderFile());
    LdrRenameResult result = renameLdr(context, path);
    EXPECT_FALSE(result.renamed);
    EXPECT_EQ(result.reason, "File name too long");
    EXPECT_EQ(namesIn(work.path()), std::vector<std::string>{longName});

    // A folder that an ordinary user may read but not change.
    const std::string folder = work.makeFolder("readonly");
    const std::string loader = work.write("readonly/x.ldr", loaderFile());
    namespace fs = std::filesystem;
    for (const std::string& readable : {work.path(), folder, loader})
        fs::permissions(readable, fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write,
                    fs::perm_options::remove);
    EXPECT_EQ(testing::runAsOrdinaryUser([&] {
                  const LdrRenameResult refused = renameLdr(context, loader);
                  return std::string(refused.renamed ? "renamed" : refused.reason);
              }),
              "Permission denied");
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"x.ldr"});
}

} // namespace
} // namespace dravik
