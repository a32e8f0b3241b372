#pragma once

#include "modules/context.h"
#include "modules/decoded.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dravik {

/// The size of a specification module, the text it begins with and how much
/// of its start is read to recognise it.
inline constexpr std::uint64_t kSpecificationModuleSize = 2048;
inline constexpr std::string_view kSpecificationMark = "version";
inline constexpr std::size_t kSpecificationHeadLength = 15;

/// The table: 30 records of a 12-byte name and a 20-byte value from offset 64.
inline constexpr std::int64_t kSpecificationTableOffset = 64;
inline constexpr int kSpecificationRecordCount = 30;
inline constexpr std::size_t kSpecificationNameLength = 12;
inline constexpr std::size_t kSpecificationValueLength = 20;

/// The specification of folder (native): the version and the 30 records of
/// its first 2048-byte ".rpm" file that begins with "version", and the title
/// of the path and version of the last module looked at (a single blank when
/// none was). Changes nothing: no directory, title or rows.
Decoded decodeSpecification(const std::string& folder);

/// The Specification command: finds the first 2048-byte ".rpm" file of the
/// current directory that begins with "version", appends its version and its
/// 30 records, and sets the title to the path and version of the last module
/// looked at (a single blank when none was).
void readSpecification(Context& context);

} // namespace dravik
