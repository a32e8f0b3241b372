// The Specification command on one file of any content in a folder of its
// own: a 2048-byte module that begins with "version" adds its version row and
// its 30 records, each cut at its field's end and its first zero byte; the
// title names the last 2048-byte file looked at, or is a single blank.

#include "fuzz_support.h"

#include "modules/specification.h"
#include "platform/file_system.h"
#include "results/result_list.h"

#include <string>

using namespace dravik;
using dravik::fuzz::require;

namespace {

constexpr std::string_view kModuleName = "module.rpm";

// A mode byte, then the body; bit 0 cuts or pads the body to 2048 bytes.
std::string moduleFrom(std::string_view input) {
    if (input.empty())
        return {};
    std::string module(input.substr(1));
    if ((input.front() & 1) != 0)
        module.resize(kSpecificationModuleSize, '\0');
    return module;
}

std::string field(std::string_view module, std::size_t offset, std::size_t length) {
    return std::string(fuzz::beforeZero(module.substr(offset, length)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string module = moduleFrom(fuzz::bytesOf(data, size));
    const std::string& folder = fuzz::scratchFolder();
    fuzz::resetScratchFolder(std::nullopt);
    fuzz::writeFile(folder + "/" + std::string(kModuleName), module);
    // The command reads the process's current directory; the fuzzer's own
    // paths may be relative to the one it had.
    const std::string previous = currentDirectory();
    enterFolder(folder);

    ResultList results;
    results.append("Shown before", "stays");
    fuzz::RecordingUi ui;
    std::vector<std::string> titles;
    Context context{folder, "", results, ui,
                    [&](const std::string& title) { titles.push_back(title); }};
    readSpecification(context);
    setCurrentDirectory(previous);

    const bool looked = module.size() == kSpecificationModuleSize;
    const bool found = looked && module.starts_with(kSpecificationMark);
    const std::string version =
        looked ? module.substr(0, 7) + " " + module.substr(12, 3) : std::string();
    std::vector<ResultRow> expected = {{"Shown before", "stays"}};
    if (found) {
        expected.push_back({"Specification", version});
        for (std::size_t record = 0; record < kSpecificationRecordCount; ++record) {
            const std::size_t offset = kSpecificationTableOffset + 32 * record;
            expected.push_back({field(module, offset, 12), field(module, offset + 12, 20)});
        }
    }
    require(results.rows() == expected,
            "a specification module adds its version and 30 records after the rows shown");
    require(context.workingFolder == folder, "the working folder is the current directory");

    const std::string title =
        looked ? folder + "/" + std::string(kModuleName) + " " + version : " ";
    require(titles.size() == 1 && titles[0] == fuzz::beforeZero(title),
            "the title names the module looked at, up to the first zero byte");
    require(ui.messages.empty(), "Specification shows no message");
    return 0;
}
