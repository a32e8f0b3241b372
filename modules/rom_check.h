#pragma once

#include "modules/context.h"
#include "modules/decoded.h"
#include "settings/settings_file.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dravik {

/// The size of a ROM image, the mark it holds somewhere and where its
/// checksum word lies (its last two bytes).
inline constexpr std::uint64_t kRomImageSize = 131072;
inline constexpr std::string_view kRomImageMark = "DISK";
inline constexpr std::int64_t kRomChecksumOffset = 131070;

/// The status of an image whose program class the settings do not name
/// ("Неопределён", Windows-1251).
extern const std::string kUndeterminedStatus;

/// The offset of the first "DISK" in data (exact, case-sensitive), or
/// std::string_view::npos when data holds none.
std::size_t findRomImageMark(std::string_view data);

/// The rows of every 128 KiB ".rpm" file of folder (native) that holds
/// "DISK", in the order of enumeration: its name, firmware code, checksum and
/// status. An error while reading ends the rows, as the result's error.
/// Changes nothing: no directory, title or rows.
Decoded decodeRoms(const std::string& folder, const SettingsFile& settings);

/// The Check ROM command: for every 128 KiB ".rpm" file of the working folder
/// that holds "DISK", in the order of enumeration, appends its name, firmware
/// code, checksum and status. The rows already shown stay.
void checkRom(Context& context);

} // namespace dravik
