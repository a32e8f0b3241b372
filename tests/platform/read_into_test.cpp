#include "platform/file_system.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace dravik {
namespace {

using testing::TempFolder;
using testing::thrownMessage;

TEST(ReadWholeFileIntoABuffer, EachReadGivesExactlyThatFileWhateverTheBufferHeld) {
    TempFolder folder;
    const std::string large(300000, 'L');
    const std::string small("small\0file\0", 11); // zero bytes are data too
    const std::string paths[] = {folder.write("large.bin", large), folder.write("small.bin", small),
                                 folder.write("empty.bin", ""),
                                 folder.write("large-again.bin", large)};
    const std::string expected[] = {large, small, "", large};

    std::string buffer = "left over from before";
    for (std::size_t i = 0; i < std::size(paths); ++i) {
        readWholeFile(paths[i], buffer);
        EXPECT_EQ(buffer, expected[i]) << paths[i];
    }
    // The same bytes as the reader that makes a new buffer each time.
    EXPECT_EQ(buffer, readWholeFile(paths[3]));
}

TEST(ReadWholeFileIntoABuffer, FailsAsReadWholeFileDoes) {
    TempFolder folder;
    const std::string missing = folder.file("missing.rpm");
    const std::string subfolder = folder.makeFolder("folder.rpm");
    std::string buffer = "kept";
    for (const std::string& path : {missing, subfolder}) {
        EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(path, buffer); }),
                  thrownMessage<FileOpenError>([&] { readWholeFile(path); }))
            << path;
    }
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(missing, buffer); }),
              "Cannot open file \"" + missing + "\". " + systemErrorText(kErrorFileNotFound));
}

} // namespace
} // namespace dravik
