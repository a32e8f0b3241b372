#pragma once

#include "modules/context.h"
#include "modules/decoded.h"
#include "settings/settings_file.h"

#include <cstdint>
#include <exception>
#include <string>

namespace dravik {

/// Where a loader keeps the checksum of the ROM image behind its 512-byte
/// header; a loader shorter than this plus two bytes holds none.
inline constexpr std::int64_t kLdrRomChecksumOffset = 131582;

/// What CheckLDR shows of the loader at path (native; empty when none is
/// selected): not found when path names no file; the message "Firmware code
/// not found" after the checksums of a loader without a code; a read error as
/// the result's error. Changes nothing: no directory, title or rows.
Decoded decodeLoader(const std::string& path, const SettingsFile& settings);

/// Shows what decodeLoader gave as the CheckLDR command does: the rows in
/// place of the earlier ones, when a file was there, then the messages and
/// the error.
void showCheckedLoader(Decoded decoded, Context& context);

/// The CheckLDR command on the loader at path (native; empty when none is
/// selected): shows its ROM and own checksums, its firmware code, and the
/// family and program class that the code names. A path that names no file
/// leaves the rows as they are.
void checkLdr(Context& context, const std::string& path);

/// What RenameLdr did: renamed, or the reason why not (Windows-1251).
struct LdrRenameResult {
    bool renamed = false;
    /// Not renamed because the loader already bears the name it would get.
    bool alreadyNamed = false;
    /// The native full path of the renamed loader.
    std::string newPath;
    std::string reason;
};

/// What renameLoader found and did: no file at path, or the rename's result,
/// or the failure that reading the loader raised (it then keeps its name).
struct LoaderRename {
    bool found = false;
    LdrRenameResult result;
    std::exception_ptr failure;
};

/// Renames the loader at path as renameLdr does, in any thread: it touches no
/// rows and raises nothing.
LoaderRename renameLoader(const std::string& path);

/// Shows what renameLoader did as the Rename LDR command does: the rows are
/// cleared when a file was there; its failure is raised.
LdrRenameResult showRenamedLoader(const LoaderRename& done, Context& context);

/// The Rename LDR command: renames the loader at path, in its own folder, to
/// the hexadecimal ROM checksum, "_", the shown firmware code and its old
/// extension. Never replaces another file and never moves the loader to
/// another folder; a read error propagates and leaves the name as it was.
LdrRenameResult renameLdr(Context& context, const std::string& path);

} // namespace dravik
