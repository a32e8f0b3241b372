#include "platform/data_folder.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(DataFolder, FollowsTheSystemsRules) {
#ifndef _WIN32
    // The rule of the systems that follow XDG, whose paths join with "/".
    const struct {
        std::string xdgDataHome;
        std::string home;
        std::string folder;
    } posixCases[] = {
        {"/x/data/", "/home/u", "/x/data/dravik"},
        {"", "/home/u", "/home/u/.local/share/dravik"},
        {"data", "/home/u", "/home/u/.local/share/dravik"}, // a relative value is ignored
        {"", "home", ""},
    };
    for (const auto& c : posixCases)
        EXPECT_EQ(dataFolderPath(c.xdgDataHome, c.home), c.folder) << c.xdgDataHome << " " << c.home;
#endif

    const struct {
        std::string localAppData;
        std::string folder;
    } windowsCases[] = {
        {"C:\\Users\\u\\AppData\\Local", "C:\\Users\\u\\AppData\\Local\\Dravik"},
        {"D:/Local/", "D:/Local/Dravik"},
        {"\\\\server\\u", "\\\\server\\u\\Dravik"},
        {"Local", ""},
        {"", ""},
    };
    for (const auto& c : windowsCases)
        EXPECT_EQ(windowsDataFolderPath(c.localAppData), c.folder) << c.localAppData;
}

} // namespace
} // namespace dravik
