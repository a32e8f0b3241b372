#include "platform/console.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::TempFolder;

// No Windows shell expands wildcards, so dravik-cli does it: matches in name
// order, letters without regard to case, an argument matching nothing kept as
// written for its own error, and brackets plain characters.
TEST(ExpandWildcards, MatchesInNameOrderAndKeepsWhatMatchesNothing) {
    TempFolder folder;
    for (const char* name : {"b.LDR", "A.ldr", "[x].ldr", "c.rpm", "ab.ldrx", "\xD0\x94.ldr"})
        folder.write(name, "x");
    folder.makeFolder("sub");
    folder.write("sub\\z.ldr", "x");
    CurrentDirectoryGuard inFolder(folder.path());
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> expanded;
    } cases[] = {
        {{"*.ldr"}, {"A.ldr", "b.LDR", "[x].ldr", "\xD0\x94.ldr"}},
        {{"?.LDR"}, {"A.ldr", "b.LDR", "\xD0\x94.ldr"}},
        {{"*.none", "c.rpm"}, {"*.none", "c.rpm"}},
        {{"[x].ldr", "[a].ldr"}, {"[x].ldr", "[a].ldr"}},
        {{"[*].ldr"}, {"[x].ldr"}},
        {{"sub\\*", "sub/?.ldr"}, {"sub\\z.ldr", "sub/z.ldr"}},
        {{folder.path() + "\\*.rpm"}, {folder.path() + "\\c.rpm"}},
        {{"*b*"}, {"ab.ldrx", "b.LDR", "sub"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expandWildcards(c.arguments), c.expanded) << c.arguments.front();
}

} // namespace
} // namespace dravik
