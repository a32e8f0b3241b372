#pragma once

#include "modules/context.h"
#include "results/result_list.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace dravik::testing {

inline constexpr std::size_t kFullLoaderSize = 131584 + 100;

// A loader whose ROM image behind the 512-byte header carries the firmware
// code at 96 (608 in the loader), the ROM checksum 0x1A2B and its own 0xBEEF.
inline std::string loaderFile(std::string_view storedCode = "AV4M10Z9",
                              std::size_t size = kFullLoaderSize) {
    std::string loader =
        bytesWith(kFullLoaderSize, {{608, storedCode}, {131582, "\x2B\x1A"}, {131584, "tail"}});
    loader.replace(kFullLoaderSize - 2, 2, "\xEF\xBE");
    return loader.substr(0, size);
}

// Tells how many rows were shown when each message came.
struct RowCountingUi : FakeUi {
    explicit RowCountingUi(const ResultList& rows) : rows(rows) {}
    void showMessage(const std::string& text) override {
        FakeUi::showMessage(text + " after " + std::to_string(rows.count()));
    }
    const ResultList& rows;
};

/// Loaders in a work folder, checked with the default settings of a start folder.
class LoaderTest : public ::testing::Test {
  protected:
    LoaderTest() { start.write(SettingsFile::kFileName, defaultSettingsContent()); }

    TempFolder start;
    TempFolder work;
    ResultList results;
    FakeUi ui;
    Context context{start.path(), {}, results, ui, {}};
};

} // namespace dravik::testing
