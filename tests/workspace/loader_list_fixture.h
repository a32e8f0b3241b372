#pragma once

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace dravik::testing {

/// A start folder as the current directory and another folder to move to.
class LoaderListTest : public ::testing::Test {
  protected:
    TempFolder start;
    TempFolder other;
    CurrentDirectoryGuard guard{start.path()};
};

} // namespace dravik::testing
