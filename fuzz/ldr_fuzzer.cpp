// CheckLDR and Rename LDR on one loader of any content in a folder of its
// own. CheckLDR shows the two checksums the file holds (or "none"), the code
// and what the settings say of it, and never changes the file; Rename LDR
// renames it in its folder to exactly the name its bytes give, or leaves it
// as it was.

#include "fuzz_support.h"

#include "loaders/loader.h"
#include "modules/firmware_code.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"
#include "results/result_list.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <string>

using namespace dravik;
using dravik::fuzz::require;

namespace {

constexpr std::int64_t kLoaderWithRomSize = kLdrRomChecksumOffset + 2;
const char* const kLoaderNames[] = {"x.ldr", "X.LDR", "loader", "a.b.Ldr"};

struct Loader {
    std::string name;
    std::string bytes;
};

// A mode byte, a little-endian 16-bit place, then the body. Bits 1-2 of the
// mode choose the name. Bit 0 makes the file long enough to hold a ROM
// checksum, plus up to 31 bytes (bits 3-7), with the body at four times the
// place (or at its end when it does not fit there); without it the file is
// the body alone.
Loader loaderFrom(std::string_view input) {
    const std::string_view head = input.substr(0, 3);
    auto byte = [&](std::size_t i) {
        return i < head.size() ? static_cast<std::size_t>(static_cast<unsigned char>(head[i])) : 0;
    };
    const std::size_t mode = byte(0);
    std::string_view body = input.substr(head.size());
    Loader loader{kLoaderNames[(mode >> 1) & 3], std::string(body)};
    if ((mode & 1) != 0) {
        const std::size_t size = kLoaderWithRomSize + (mode >> 3);
        const std::size_t place = 4 * (byte(1) + 256 * byte(2));
        body = body.substr(0, size);
        loader.bytes.assign(size, '\0');
        loader.bytes.replace(std::min(place, size - body.size()), body.size(), body);
    }
    return loader;
}

std::string shownOrNone(const std::optional<std::uint16_t>& word) {
    return word ? fuzz::hexWord(*word) : "none";
}

std::string extensionOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}

void checkCheckLdr(const Loader& loader, const std::string& path, const SettingsFile& settings) {
    ResultList results;
    results.append("Shown before", "cleared");
    fuzz::RecordingUi ui;
    Context context{fuzz::scratchFolder(), fuzz::scratchFolder(), results, ui, nullptr};
    checkLdr(context, path);

    const std::optional<std::string> stored = fuzz::expectedStoredCode(loader.bytes);
    std::vector<ResultRow> expected = {
        {"Check sum ROM in LDR",
         shownOrNone(fuzz::expectedWord(loader.bytes, kLdrRomChecksumOffset))},
        {"Check sum LDR", shownOrNone(fuzz::expectedWord(
                              loader.bytes, static_cast<std::int64_t>(loader.bytes.size()) - 2))},
    };
    if (stored) {
        const std::string familyKey{(*stored)[1], (*stored)[3]};
        expected.push_back({"Code FW", fuzz::expectedShownCode(*stored)});
        expected.push_back(
            {"Family", settings.readString(kLoaderFamiliesSection,
                                           std::string(fuzz::beforeZero(familyKey)), "none")});
        expected.push_back(
            {"Status",
             settings.readString(kProgramClassesSection,
                                 std::string(fuzz::beforeZero(stored->substr(0, 1))), "none")});
    }
    require(results.rows() == expected,
            "CheckLDR shows what the loader's bytes and the settings give");
    require(ui.messages == (stored ? std::vector<std::string>{}
                                   : std::vector<std::string>{"Firmware code not found"}),
            "a loader without a code is reported");
    require(fuzz::readFile(path) == loader.bytes, "CheckLDR leaves the loader as it was");
}

void checkRenameLdr(const Loader& loader, const std::string& path) {
    const std::string& folder = fuzz::scratchFolder();
    const std::vector<std::string> namesBefore = fuzz::namesIn(folder);
    ResultList results;
    results.append("Shown before", "cleared");
    fuzz::RecordingUi ui;
    Context context{folder, folder, results, ui, nullptr};
    const LdrRenameResult renamed = renameLdr(context, path);

    require(results.count() == 0, "Rename LDR clears the rows and adds none");
    require(renamed.renamed == renamed.reason.empty(), "a loader not renamed has a reason");

    const std::optional<std::uint16_t> checksum =
        fuzz::expectedWord(loader.bytes, kLdrRomChecksumOffset);
    const std::optional<std::string> stored = fuzz::expectedStoredCode(loader.bytes);
    std::string newName;
    if (checksum && stored)
        newName = toUtf8(fuzz::hexWord(*checksum) + "_" + fuzz::expectedShownCode(*stored)) +
                  extensionOf(loader.name);
    const bool renameable = !newName.empty() && isValidFileName(newName) && newName != loader.name;
    require(renamed.renamed == renameable,
            "a loader is renamed exactly when its checksum and code make a new file name");

    if (!renamed.renamed) {
        require(fuzz::namesIn(folder) == namesBefore, "a loader not renamed keeps its name");
        require(fuzz::readFile(path) == loader.bytes, "a loader not renamed is unchanged");
        return;
    }
    require(renamed.newPath == folder + "/" + newName, "the new name stays in the loader's folder");
    require(!fuzz::readFile(path) && fuzz::readFile(renamed.newPath) == loader.bytes,
            "a renamed loader keeps its bytes under the new name only");

    // Renaming again finds the name it would give already borne.
    const LdrRenameResult again = renameLdr(context, renamed.newPath);
    require(!again.renamed && fuzz::readFile(renamed.newPath) == loader.bytes,
            "a loader that bears its name is not renamed again");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::SettingsAndFile input = fuzz::splitSettingsAndFile(fuzz::bytesOf(data, size));
    const Loader loader = loaderFrom(input.file);
    fuzz::resetScratchFolder(input.settings);
    const std::string path = fuzz::scratchFolder() + "/" + loader.name;
    fuzz::writeFile(path, loader.bytes);

    require(swapPairs(swapPairs(input.file)) == input.file, "SwapPairs twice gives the text back");

    checkCheckLdr(loader, path, SettingsFile::parse(input.settings.value_or("")));
    checkRenameLdr(loader, path);
    return 0;
}
