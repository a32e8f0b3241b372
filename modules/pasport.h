#pragma once

#include "modules/context.h"
#include "modules/decoded.h"
#include "platform/byte_reader.h"
#include "platform/file_system.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <optional>
#include <string>
#include <vector>

namespace dravik {

/// The place of the passport module's mark "Q8" and version; its size,
/// kPasportModuleSize, is the layouts' (settings/field_layout.h).
inline constexpr std::int64_t kPasportVersionOffset = 505;
inline constexpr std::size_t kPasportVersionLength = 5;
/// Where the search for the family code starts.
inline constexpr std::int64_t kFamilyCodeSearchStart = 128;

/// True when the bytes read from kPasportVersionOffset begin with the mark
/// "Q8" of a passport module.
inline bool marksPasport(std::string_view version) {
    return version.starts_with("Q8");
}

/// A passport module: its native path, its bytes and the stamp of the file
/// they were read from (nothing when it is not known).
struct PasportCandidate {
    std::string path;
    std::string module;
    std::optional<FileStamp> stamp = std::nullopt;
};

/// The passport module of folder (native) that the Pasport command decodes:
/// the last 512-byte ".rpm" file marked "Q8" in the order of enumeration,
/// read whole; an empty path when there is none.
PasportCandidate choosePasportModule(const std::string& folder);

/// The passport modules of folder (native) in the order of enumeration: its
/// 512-byte ".rpm" files marked "Q8"; the last is the one Pasport decodes.
std::vector<std::string> listPasportModules(const std::string& folder);

/// The family code of a passport module: the first pair of bytes from offset
/// 128 on that is a key of the section "Mod", or "00".
std::string findFamilyCode(std::string_view module, const SettingsFile& settings);

/// The family code and the offset of the pair that matched; no offset for "00".
struct FamilyCode {
    std::string code;
    std::optional<std::int64_t> offset;
};
FamilyCode locateFamilyCode(std::string_view module, const SettingsFile& settings);

/// The value of one layout entry decoded from the module, and for a type
/// letter that no decoder knows the message "Error Code.....(letter)" with an
/// empty value. A bad offset or length raises a ConvertError.
struct PasportValue {
    std::string value;
    std::optional<std::string> message;
};
PasportValue decodePasportValue(const ByteReader& module, const FieldSpec& field);

/// decodePasportValue's value, its message shown by ui.
std::string decodePasportField(const ByteReader& module, const FieldSpec& field,
                               UserInterface& ui);

/// The passport of the module bytes read from path (native): the title of its
/// path and version, the family row and one row for each field of the
/// family's layout in settings. A field of an unknown type letter gives a
/// message tied to its row; a conversion error ends the rows, as the result's
/// error, carrying its layout entry. With a layout, its section decodes the
/// module whatever family code the module holds, as for a layout being written.
Decoded decodePasportModule(std::string_view module, const std::string& path,
                            const SettingsFile& settings,
                            const std::optional<std::string>& layout = std::nullopt);

/// The passport of folder (native): that of its chosen module, the last
/// 512-byte ".rpm" file marked "Q8"; nothing found without one. Changes
/// nothing: no directory, title or rows.
Decoded decodePasport(const std::string& folder, const SettingsFile& settings);

/// The Pasport command: finds the passport module among the ".rpm" files of
/// the current directory, sets the title to its path and version, and fills
/// the rows with the family and every field of the family's layout.
void readPasport(Context& context);

} // namespace dravik
