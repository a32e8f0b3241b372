#include "loaders/loader.h"

#include "modules/firmware_code.h"
#include "modules/text.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <optional>

namespace dravik {
namespace {

// The old extension with its dot, in the case it was written; none without a dot.
std::string_view extensionOf(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

LdrRenameResult notRenamed(std::string reason) {
    LdrRenameResult result;
    result.reason = std::move(reason);
    return result;
}

// Reads the loader whole into loader; false when there is none. The rows are
// cleared once a file is there, also when reading it then fails.
bool readLoader(Context& context, const std::string& path, std::string& loader) {
    try {
        if (!readPlainFile(path, loader))
            return false;
    } catch (const Error&) {
        context.results.clear();
        throw;
    }
    context.results.clear();
    return true;
}

} // namespace

Decoded decodeLoader(const std::string& path, const SettingsFile& settings) {
    Decoded decoded;
    std::string loader;
    try {
        if (path.empty() || !readPlainFile(path, loader))
            return decoded;
    } catch (const Error& error) {
        // The file is there, only reading it failed.
        decoded.found = true;
        decoded.error = error;
        return decoded;
    } catch (const std::exception& error) {
        decoded.found = true;
        decoded.error.emplace(error.what());
        return decoded;
    }
    decoded.found = true;
    const auto file = SourceFile::at(path);
    const auto size = static_cast<std::int64_t>(loader.size());
    decoded.rows.push_back({"Check sum ROM in LDR",
                            shownChecksum(readWord(loader, kLdrRomChecksumOffset)),
                            RowSource::in(file, loader, kLdrRomChecksumOffset, 2, "ROM checksum")});
    decoded.rows.push_back({"Check sum LDR", shownChecksum(readWord(loader, size - 2)),
                            RowSource::in(file, loader, size - 2, 2, "loader checksum")});

    const std::optional<std::int64_t> code = firmwareCodeOffset(loader);
    if (!code) {
        decoded.messages.push_back({decoded.rows.size(), "Firmware code not found"});
        return decoded;
    }
    for (auto& [name, row] : {std::pair{"Code FW", shownCodeRow(file, loader, *code)},
                              std::pair{"Family", codeKeyRow(file, loader, *code, settings,
                                                             kLoaderFamiliesSection, "none")},
                              std::pair{"Status", codeKeyRow(file, loader, *code, settings,
                                                             kProgramClassesSection, "none")}})
        decoded.rows.push_back({name, row.value, row.source});
    return decoded;
}

void checkLdr(Context& context, const std::string& path) {
    Decoded decoded = decodeLoader(path, SettingsFile::loadFrom(context.startFolder));
    if (decoded.found)
        context.results.clear();
    appendDecoded(std::move(decoded), context);
}

LdrRenameResult renameLdr(Context& context, const std::string& path) {
    std::string loader;
    if (path.empty() || !readLoader(context, path, loader))
        return notRenamed("File not found");
    const std::optional<std::uint16_t> checksum = readWord(loader, kLdrRomChecksumOffset);
    if (!checksum)
        return notRenamed("The loader is too short to hold a ROM checksum");
    const std::optional<std::string> code = locateFirmwareCode(loader);
    if (!code)
        return notRenamed("Firmware code not found");

    const std::string shown = shownCode(*code);
    const std::string oldName = nameOf(path);
    // The code is Windows-1251 text; the extension is part of the native name.
    const std::string newName =
        toUtf8(hex4(*checksum) + "_" + shown) + std::string(extensionOf(oldName));
    // A code holding a separator would move the loader elsewhere: refuse it.
    if (!isValidFileName(newName))
        return notRenamed("The firmware code \"" + shown + "\" can't be part of a file name");
    if (newName == oldName) {
        LdrRenameResult result =
            notRenamed("The loader already bears the name \"" + fromUtf8(newName) + "\"");
        result.alreadyNamed = true;
        return result;
    }

    const std::string newPath = joinPath(folderOf(path), newName);
    const int error = renameWithoutReplacing(path, newPath);
    if (error == kErrorFileExists)
        return notRenamed("A file named \"" + fromUtf8(newName) + "\" already exists");
    if (error != 0)
        return notRenamed(systemErrorText(error));

    LdrRenameResult result;
    result.renamed = true;
    result.newPath = newPath;
    return result;
}

} // namespace dravik
