#include "workspace/command_rules.h"
#include "workspace/path_selector.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

// From the deepest entry of the computer level that holds the folder shown,
// one entry a folder down to it; an entry reads "depth path", "depth* path"
// for the one selected.
TEST(PathSelector, TheWayFromTheDeepestComputerEntry) {
    const std::vector<std::string> tops = {"/", "/h/u", "/m"};
    const std::string pc = "0 computer:///";
    const struct {
        std::vector<std::string> tops;
        std::string shown;
        char separator;
        std::vector<std::string> entries;
    } cases[] = {
        {tops, "/h/u/a/b", '/', {pc, "1 /", "1 /h/u", "2 /h/u/a", "3* /h/u/a/b", "1 /m"}},
        {tops, "/h/u", '/', {pc, "1 /", "1* /h/u", "1 /m"}},
        {tops, "/h/u2", '/', {pc, "1 /", "2 /h", "3* /h/u2", "1 /h/u", "1 /m"}},
        {tops, "/", '/', {pc, "1* /", "1 /h/u", "1 /m"}},
        {tops, kComputerLevel, '/', {"0* computer:///", "1 /", "1 /h/u", "1 /m"}},
        {{"C:\\", "D:\\"}, "D:\\x\\y", '\\', {pc, "1 C:\\", "1 D:\\", "2 D:\\x", "3* D:\\x\\y"}},
        {{"/"}, "elsewhere", '/', {"0* computer:///", "1 /"}},
    };
    for (const auto& c : cases) {
        const PathSelector selector = pathSelector(c.tops, c.shown, c.separator);
        std::vector<std::string> entries;
        for (std::size_t i = 0; i < selector.entries.size(); ++i)
            entries.push_back(std::to_string(selector.entries[i].depth) +
                              (i == selector.selected ? "* " : " ") + selector.entries[i].path);
        EXPECT_EQ(entries, c.entries) << c.shown;
    }
}

} // namespace
} // namespace dravik
