#pragma once

#include "results/result_list.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace dravik::testing {

/// Rows to save, with a fresh folder as the current directory.
class SaveAll : public ::testing::Test {
  protected:
    TempFolder folder;
    CurrentDirectoryGuard here{folder.path()};
    FakeUi ui;
    ResultList rows;
    const std::string report = folder.file("$Dravik.txt");
};

} // namespace dravik::testing
