#pragma once

#include "modules/context.h"
#include "platform/byte_reader.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <optional>
#include <string>

namespace dravik {

/// The place of the passport module's mark "Q8" and version; its size,
/// kPasportModuleSize, is the layouts' (settings/field_layout.h).
inline constexpr std::int64_t kPasportVersionOffset = 505;
inline constexpr std::size_t kPasportVersionLength = 5;
/// Where the search for the family code starts.
inline constexpr std::int64_t kFamilyCodeSearchStart = 128;

/// The family code of a passport module: the first pair of bytes from offset
/// 128 on that is a key of the section "Mod", or "00".
std::string findFamilyCode(std::string_view module, const SettingsFile& settings);

/// The family code and the offset of the pair that matched; no offset for "00".
struct FamilyCode {
    std::string code;
    std::optional<std::int64_t> offset;
};
FamilyCode locateFamilyCode(std::string_view module, const SettingsFile& settings);

/// The value of one layout entry decoded from the module. An unknown type
/// letter shows "Error Code.....(letter)" and gives an empty value; a bad
/// offset or length raises a ConvertError.
std::string decodePasportField(const ByteReader& module, const FieldSpec& field,
                               UserInterface& ui);

/// The Pasport command: finds the passport module among the ".rpm" files of
/// the current directory, sets the title to its path and version, and fills
/// the rows with the family and every field of the family's layout.
void readPasport(Context& context);

} // namespace dravik
