#include "modules/rom_check.h"

#include "modules/firmware_code.h"
#include "modules/text.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"
#include "settings/settings_file.h"

#include <optional>

namespace dravik {

const std::string kUndeterminedStatus = "\xCD\xE5\xEE\xEF\xF0\xE5\xE4\xE5\xEB\xB8\xED";

void checkRom(Context& context) {
    const std::vector<DirEntry> files = listFiles(context.workingFolder, ".rpm");
    if (files.empty())
        return;
    const SettingsFile settings = SettingsFile::loadFrom(context.startFolder);

    for (const DirEntry& file : files) {
        if (file.size != kRomImageSize)
            continue;
        const std::string image = readWholeFile(joinPath(context.workingFolder, file.name));
        if (std::string_view(image).find(kRomImageMark) == std::string_view::npos)
            continue;

        const std::optional<std::uint16_t> checksum = readWord(image, kRomChecksumOffset);
        const std::optional<std::string> code = locateFirmwareCode(image);

        // An image without a firmware code is still listed: it is a ROM image,
        // only its program is unknown.
        context.results.append("File Name", fromUtf8(file.name));
        context.results.append("Code FW", code ? shownCode(*code) : std::string());
        context.results.append("Check sum ROM", shownChecksum(checksum));
        context.results.append(
            "Status", code ? settings.readString("CL", programClass(*code), kUndeterminedStatus)
                           : kUndeterminedStatus);
    }
}

} // namespace dravik
