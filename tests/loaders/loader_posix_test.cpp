#include "loaders/loader.h"

#include "loaders/loader_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>

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

// Writes a loader of size bytes that holds only loaderFile's head and its own
// checksum 0xBEEF at its end; the rest is a hole that costs no disk.
std::string writeSparseLoader(const testing::TempFolder& folder, std::uintmax_t size) {
    const std::string path = folder.write("big.ldr", loaderFile().substr(0, 131584));
    std::filesystem::resize_file(path, size);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(size - 2));
    file.write("\xEF\xBE", 2);
    return path;
}

// Allows the process 64 MiB of address space beyond what it has now.
void limitMemoryGrowth() {
    std::ifstream status("/proc/self/status");
    std::string line;
    long sizeKiB = 0;
    while (std::getline(status, line))
        if (line.starts_with("VmSize:"))
            std::istringstream(line.substr(7)) >> sizeKiB;
    const rlim_t limit = static_cast<rlim_t>(sizeKiB + 64 * 1024) * 1024;
    const rlimit bound{limit, limit};
    ::setrlimit(RLIMIT_AS, &bound);
}

TEST_F(LoaderTest, LargeLoadersAreCheckedAndRenamedInBoundedMemory) {
    for (const std::uintmax_t size :
         {std::uintmax_t{131584 + 2}, std::uintmax_t{2} << 30, std::uintmax_t{8} << 30}) {
        const std::string path = writeSparseLoader(work, size);
        const std::string checked = testing::runInChild([&] {
            limitMemoryGrowth();
            checkLdr(context, path);
            std::string shown;
            for (const ResultRow& row : results.rows())
                shown += row.name + "=" + row.value + ";";
            const RowSource& own = *results.row(1).source;
            shown += std::to_string(own.offset) + "+" + std::to_string(own.length());
            const LdrRenameResult renamed = renameLdr(context, path);
            return shown + (renamed.renamed ? " " + nameOf(renamed.newPath) : " " + renamed.reason);
        });
        EXPECT_EQ(checked, "Check sum ROM in LDR=1A2B;Check sum LDR=BEEF;Code FW=VAM4019Z;"
                           "Family=2F_Ares 64;Status=Program A - Main;" +
                               std::to_string(size - 2) + "+2 1A2B_VAM4019Z.ldr")
            << size;
        std::filesystem::remove(work.file("1A2B_VAM4019Z.ldr"));
    }
}

} // namespace
} // namespace dravik
