#include "modules/rom_check.h"

#include "modules/firmware_code.h"
#include "modules/text.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace dravik {

const std::string kUndeterminedStatus = "\xCD\xE5\xEE\xEF\xF0\xE5\xE4\xE5\xEB\xB8\xED";

std::size_t findRomImageMark(std::string_view data) {
    // An image is mostly bytes that look random, where a "D" turns up every
    // 256 bytes or so, too often for a search that stops at each one. Blocks
    // are screened instead: a byte is zero only where "D" stands with "K"
    // three bytes on, and the least of them over a block is taken in a loop
    // without branches that compilers turn into vector instructions. Only a
    // block whose least is zero is searched for the whole mark.
    constexpr std::size_t kBlock = 256;
    constexpr std::size_t kReach = kRomImageMark.size() - 1;
    std::size_t block = 0;
    for (; block + kBlock + kReach <= data.size(); block += kBlock) {
        const char* bytes = data.data() + block;
        unsigned char least = 0xFF;
        for (std::size_t i = 0; i < kBlock; ++i) {
            const auto differs = static_cast<unsigned char>(
                (bytes[i] ^ kRomImageMark.front()) | (bytes[i + kReach] ^ kRomImageMark.back()));
            least = std::min(least, differs);
        }
        if (least == 0) {
            const std::size_t found = data.substr(block, kBlock + kReach).find(kRomImageMark);
            if (found != std::string_view::npos)
                return block + found;
        }
    }
    const std::size_t found = data.substr(block).find(kRomImageMark);
    return found == std::string_view::npos ? found : block + found;
}

namespace {

// The four rows of one ROM image, the data of path, whose mark is at offset mark.
void appendImageRows(std::vector<ResultRow>& rows, const std::shared_ptr<const SourceFile>& path,
                     const std::string& name, const std::string& image, std::size_t mark,
                     const SettingsFile& settings) {
    const std::optional<std::uint16_t> checksum = readWord(image, kRomChecksumOffset);
    const std::optional<std::int64_t> code = firmwareCodeOffset(image);

    rows.push_back(
        {"File Name", fromUtf8(name),
         RowSource::in(path, image, static_cast<std::int64_t>(mark),
                       static_cast<std::int64_t>(kRomImageMark.size()), "ROM image mark")});
    // An image without a firmware code is still listed: it is a ROM image,
    // only its program is unknown.
    if (code) {
        CodeRow shown = shownCodeRow(path, image, *code);
        rows.push_back({"Code FW", std::move(shown.value), std::move(shown.source)});
    } else {
        rows.push_back({"Code FW", std::string()});
    }
    rows.push_back({"Check sum ROM", shownChecksum(checksum),
                    RowSource::in(path, image, kRomChecksumOffset, 2, "ROM checksum")});
    if (code) {
        CodeRow status =
            codeKeyRow(path, image, *code, settings, kProgramClassesSection, kUndeterminedStatus);
        rows.push_back({"Status", std::move(status.value), std::move(status.source)});
    } else {
        rows.push_back({"Status", kUndeterminedStatus});
    }
}

} // namespace

Decoded decodeRoms(const std::string& folder, const SettingsFile& settings) {
    Decoded decoded;
    // One buffer serves every image, so a folder of thousands of images needs
    // the memory of one.
    std::string image;
    try {
        for (const DirEntry& file : listFiles(folder, ".rpm", Unreadable::Raise)) {
            decoded.found = true;
            if (file.size != kRomImageSize)
                continue;
            // A file that is no longer a plain file (a pipe put in its place) is
            // taken as not listed.
            std::string path = joinPath(folder, file.name);
            // The stamp is the one the open file told, so that no image is
            // looked up by its path twice.
            FileStamp stamp;
            if (!readPlainFile(path, image, stamp))
                continue;
            const std::size_t mark = findRomImageMark(image);
            if (mark != std::string_view::npos)
                appendImageRows(
                    decoded.rows,
                    std::make_shared<const SourceFile>(SourceFile{std::move(path), stamp}),
                    file.name, image, mark, settings);
        }
    } catch (const Error& error) {
        // The images before the one that failed keep their rows.
        decoded.error = error;
    } catch (const std::exception& error) {
        decoded.error.emplace(error.what());
    }
    return decoded;
}

void checkRom(Context& context) {
    appendDecoded(decodeRoms(context.workingFolder, SettingsFile::loadFrom(context.startFolder)),
                  context);
}

} // namespace dravik
