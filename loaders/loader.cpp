#include "loaders/loader.h"

#include "modules/firmware_code.h"
#include "modules/text.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <memory>
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

// What the loader commands read of a loader: its first kLoaderHeadLength
// bytes, which hold the ROM checksum and every place of the firmware code, and
// its last two bytes, the loader's own checksum. Nothing else is read, so
// memory and time stay the same whatever the file's size.
struct LoaderPlaces {
    std::shared_ptr<const SourceFile> file;
    std::string head;
    /// The size of the file: that of the data read when the head reached its
    /// end, else as the open file told it.
    std::int64_t size = 0;
    /// The last two bytes, as far as the file holds them.
    std::string tail;
};

// The last place of the firmware code, 25088, ends long before it.
constexpr std::size_t kLoaderHeadLength = kLdrRomChecksumOffset + 2;

// Reads the places of the plain file at path; nothing when there is none.
// Raises as a file read whole does.
std::optional<LoaderPlaces> readLoaderPlaces(const std::string& path) {
    std::optional<PieceReader> reader = PieceReader::openPlain(path);
    if (!reader)
        return std::nullopt;
    const FileStamp stamp = reader->stamp();
    LoaderPlaces places{std::make_shared<const SourceFile>(SourceFile{path, stamp}),
                        reader->readUpTo(0, kLoaderHeadLength),
                        0,
                        {}};
    places.size = static_cast<std::int64_t>(places.head.size());
    if (places.head.size() < kLoaderHeadLength) {
        // A file of one byte holds no word at its end.
        if (places.head.size() >= 2)
            places.tail = places.head.substr(places.head.size() - 2);
    } else {
        places.size = std::max(places.size, stamp.size);
        places.tail = reader->readUpTo(places.size - 2, 2);
    }
    return places;
}

// Renames the loader at path as renameLoader does; found tells whether a
// file was there, also when reading it then raises.
LdrRenameResult renameLoaderFile(const std::string& path, bool& found) {
    std::optional<LoaderPlaces> places;
    if (!path.empty()) {
        // A file that is there but can't be read counts as found.
        found = true;
        places = readLoaderPlaces(path);
        found = places.has_value();
    }
    if (!places)
        return notRenamed("File not found");
    const std::optional<std::uint16_t> checksum = readWord(places->head, kLdrRomChecksumOffset);
    if (!checksum)
        return notRenamed("The loader is too short to hold a ROM checksum");
    const std::optional<std::string> code = locateFirmwareCode(places->head);
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

} // namespace

Decoded decodeLoader(const std::string& path, const SettingsFile& settings) {
    Decoded decoded;
    std::optional<LoaderPlaces> places;
    try {
        if (path.empty() || !(places = readLoaderPlaces(path)))
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
    const auto& [file, head, size, tail] = *places;
    decoded.rows.push_back({"Check sum ROM in LDR",
                            shownChecksum(readWord(head, kLdrRomChecksumOffset)),
                            RowSource::in(file, head, kLdrRomChecksumOffset, 2, "ROM checksum")});
    RowSource ownSource = RowSource::in(file, tail, 0, 2, "loader checksum");
    ownSource.offset = size - 2;
    decoded.rows.push_back(
        {"Check sum LDR", shownChecksum(readWord(tail, 0)), std::move(ownSource)});

    const std::optional<std::int64_t> code = firmwareCodeOffset(head);
    if (!code) {
        decoded.messages.push_back({decoded.rows.size(), "Firmware code not found"});
        return decoded;
    }
    for (auto& [name, row] : {std::pair{"Code FW", shownCodeRow(file, head, *code)},
                              std::pair{"Family", codeKeyRow(file, head, *code, settings,
                                                             kLoaderFamiliesSection, "none")},
                              std::pair{"Status", codeKeyRow(file, head, *code, settings,
                                                             kProgramClassesSection, "none")}})
        decoded.rows.push_back({name, row.value, row.source});
    return decoded;
}

void showCheckedLoader(Decoded decoded, Context& context) {
    if (decoded.found)
        context.results.clear();
    appendDecoded(std::move(decoded), context);
}

void checkLdr(Context& context, const std::string& path) {
    showCheckedLoader(decodeLoader(path, SettingsFile::loadFrom(context.startFolder)), context);
}

LoaderRename renameLoader(const std::string& path) {
    LoaderRename done;
    try {
        done.result = renameLoaderFile(path, done.found);
    } catch (...) {
        done.failure = std::current_exception();
    }
    return done;
}

LdrRenameResult showRenamedLoader(const LoaderRename& done, Context& context) {
    // The rows are cleared once a file is there, also when reading it failed.
    if (done.found)
        context.results.clear();
    if (done.failure)
        std::rethrow_exception(done.failure);
    return done.result;
}

LdrRenameResult renameLdr(Context& context, const std::string& path) {
    return showRenamedLoader(renameLoader(path), context);
}

} // namespace dravik
