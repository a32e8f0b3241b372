#include "cli/progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace dravik::cli {
namespace {

// What the line writes, as a terminal would get it.
std::string written(bool shown, void (*steps)(ProgressLine&)) {
    std::FILE* stream = std::tmpfile();
    {
        ProgressLine line(stream, shown);
        steps(line);
    }
    std::string text(static_cast<std::size_t>(std::ftell(stream)), '\0');
    std::rewind(stream);
    text.resize(std::fread(text.data(), 1, text.size(), stream));
    std::fclose(stream);
    return text;
}

TEST(ProgressLine, RewritesOneLineAndLeavesItBlank) {
    const auto steps = [](ProgressLine& line) {
        line.show(9, 10);
        line.show(10, 10);
        line.clear();
        line.show(1, 2);
    };
    EXPECT_EQ(written(true, steps),
              std::string("\rlibrary add: 9 of 10 drive folders") +
              "\rlibrary add: 10 of 10 drive folders" +
              "\r" + std::string(35, ' ') + "\r" +
              "\rlibrary add: 1 of 2 drive folders" +
              "\r" + std::string(33, ' ') + "\r");
    // Off a terminal it writes nothing.
    EXPECT_EQ(written(false, steps), "");
}

} // namespace
} // namespace dravik::cli
