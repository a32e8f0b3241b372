// Check ROM on one file of any content in a folder of its own: a 128 KiB
// image that holds "DISK" adds its four rows after those already shown, with
// the checksum, firmware code and status its bytes and the settings give; any
// other file adds nothing.

#include "fuzz_support.h"

#include "modules/rom_check.h"
#include "results/result_list.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <string>

using namespace dravik;
using dravik::fuzz::require;

namespace {

constexpr std::string_view kImageName = "image.rpm";

// A mode byte, a little-endian 16-bit place, then the body. Bit 0 of the mode
// makes the file a full-size image with the body at twice the place (or at
// its end when it does not fit there); without it the file is the body alone.
std::string imageFrom(std::string_view input) {
    if (input.size() < 3)
        return {};
    const auto mode = static_cast<unsigned char>(input[0]);
    const std::size_t place =
        2 * (static_cast<unsigned char>(input[1]) +
             256 * static_cast<std::size_t>(static_cast<unsigned char>(input[2])));
    std::string_view body = input.substr(3);
    if ((mode & 1) == 0)
        return std::string(body);
    body = body.substr(0, kRomImageSize);
    std::string image(kRomImageSize, '\0');
    image.replace(std::min(place, kRomImageSize - body.size()), body.size(), body);
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::SettingsAndFile input = fuzz::splitSettingsAndFile(fuzz::bytesOf(data, size));
    const std::string image = imageFrom(input.file);
    fuzz::resetScratchFolder(input.settings);
    const std::string& folder = fuzz::scratchFolder();
    fuzz::writeFile(folder + "/" + std::string(kImageName), image);

    ResultList results;
    results.append("Shown before", "stays");
    fuzz::RecordingUi ui;
    Context context{folder, folder, results, ui, nullptr};
    checkRom(context);

    require(results.row(0) == ResultRow{"Shown before", "stays"}, "the rows already shown stay");
    const bool isRom =
        image.size() == kRomImageSize && image.find(kRomImageMark) != std::string::npos;
    require(results.count() == (isRom ? 5u : 1u),
            "a ROM image adds four rows, any other file none");
    require(ui.messages.empty(), "Check ROM shows no message");
    if (!isRom)
        return 0;

    const SettingsFile settings = SettingsFile::parse(input.settings.value_or(""));
    const std::optional<std::string> stored = fuzz::expectedStoredCode(image);
    const std::string programClass =
        stored ? std::string(fuzz::beforeZero(stored->substr(0, 1))) : "";
    const ResultRow expected[] = {
        {"File Name", std::string(kImageName)},
        {"Code FW", stored ? fuzz::expectedShownCode(*stored) : ""},
        {"Check sum ROM", fuzz::hexWord(*fuzz::expectedWord(image, kRomChecksumOffset))},
        {"Status",
         stored ? settings.readString(kProgramClassesSection, programClass, kUndeterminedStatus)
                : kUndeterminedStatus},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i)
        require(results.row(i + 1) == expected[i],
                "the rows give the image's name, code, checksum and status");
    return 0;
}
