#include "modules/specification.h"

#include "modules/text.h"
#include "platform/byte_reader.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"

#include <optional>
#include <string>

namespace dravik {
namespace {

// The version and the version characters within the first 15 bytes.
constexpr std::size_t kVersionWordLength = 7;
constexpr std::size_t kVersionOffset = 12;
constexpr std::size_t kVersionLength = 3;

struct SpecificationCandidate {
    std::string path;
    std::string head = std::string(kSpecificationHeadLength, '\0');
    std::string module;
    bool found = false;
};

// The first 2048-byte file that begins with "version", read whole while it is
// open, so it is opened once; when there is none, the last 2048-byte file
// looked at, or nothing.
SpecificationCandidate chooseSpecificationModule(const std::string& folder) {
    SpecificationCandidate chosen;
    for (const DirEntry& file : listFiles(folder, ".rpm", Unreadable::Raise)) {
        if (file.size != kSpecificationModuleSize)
            continue;
        std::string path = joinPath(folder, file.name);
        std::optional<PieceReader> reader = PieceReader::openIfPlain(path);
        if (!reader)
            continue;
        chosen.path = std::move(path);
        chosen.head = reader->read(0, kSpecificationHeadLength);
        if (chosen.head.starts_with(kSpecificationMark)) {
            chosen.module = reader->read(0, kSpecificationModuleSize);
            chosen.found = true;
            break;
        }
    }
    return chosen;
}

// "version", a blank and the three version characters, each byte as it is.
std::string versionText(const std::string& head) {
    return head.substr(0, kVersionWordLength) + " " + head.substr(kVersionOffset, kVersionLength);
}

std::string fixedText(const ByteReader& reader, std::int64_t offset, std::size_t length) {
    std::string buffer(length, '\0');
    reader.readAt(offset, static_cast<std::int64_t>(length), buffer.data(),
                  static_cast<std::int64_t>(length));
    return textFromBytes(buffer, length);
}

} // namespace

Decoded decodeSpecification(const std::string& folder) {
    const SpecificationCandidate chosen = chooseSpecificationModule(folder);
    Decoded decoded;
    const std::string title = fromUtf8(chosen.path) + " " + versionText(chosen.head);
    decoded.title = textFromBytes(title, title.size());
    if (!chosen.found)
        return decoded;

    decoded.found = true;
    const auto file = SourceFile::at(chosen.path);
    decoded.rows.push_back({"Specification", versionText(chosen.head),
                            RowSource::in(file, chosen.module, 0, kSpecificationHeadLength,
                                          "version, bytes 0-6 and 12-14")});
    const ByteReader reader(chosen.module);
    std::int64_t offset = kSpecificationTableOffset;
    for (int record = 1; record <= kSpecificationRecordCount; ++record) {
        RowSource source = RowSource::in(
            file, chosen.module, offset, kSpecificationNameLength + kSpecificationValueLength,
            "record " + std::to_string(record) + ": name 12 bytes, value 20 bytes");
        std::string name = fixedText(reader, offset, kSpecificationNameLength);
        offset += kSpecificationNameLength;
        std::string value = fixedText(reader, offset, kSpecificationValueLength);
        offset += kSpecificationValueLength;
        decoded.rows.push_back({std::move(name), std::move(value), std::move(source)});
    }
    return decoded;
}

void readSpecification(Context& context) {
    context.workingFolder = currentDirectory();
    Decoded decoded = decodeSpecification(context.workingFolder);
    const std::string title = *decoded.title;
    appendDecoded(std::move(decoded), context);
    if (context.setTitle)
        context.setTitle(title);
}

} // namespace dravik
