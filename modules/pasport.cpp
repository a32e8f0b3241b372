#include "modules/pasport.h"

#include "modules/text.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <cstring>
#include <memory>
#include <optional>

namespace dravik {
namespace {

constexpr std::size_t kTextFieldSize = kTextField.size;
constexpr std::size_t kNumberFieldSize = kNumberField.size;
constexpr std::size_t kDateFieldSize = kDateField.size;

} // namespace

namespace {

// Calls found with the path and reader of each passport module of folder, in
// the order of enumeration.
template <class Found> void forEachPasportModule(const std::string& folder, Found&& found) {
    for (const DirEntry& file : listFiles(folder, ".rpm", Unreadable::Raise)) {
        if (file.size != kPasportModuleSize)
            continue;
        std::string path = joinPath(folder, file.name);
        std::optional<PieceReader> reader = PieceReader::openIfPlain(path);
        if (reader && marksPasport(reader->read(kPasportVersionOffset, kPasportVersionLength)))
            found(std::move(path), *reader);
    }
}

} // namespace

// A marked file is read whole while it is open, so the chosen module is
// opened once.
PasportCandidate choosePasportModule(const std::string& folder) {
    PasportCandidate chosen;
    forEachPasportModule(folder, [&](std::string path, PieceReader& reader) {
        chosen =
            PasportCandidate{std::move(path), reader.read(0, kPasportModuleSize), reader.stamp()};
    });
    return chosen;
}

std::vector<std::string> listPasportModules(const std::string& folder) {
    std::vector<std::string> paths;
    forEachPasportModule(folder,
                         [&](std::string path, PieceReader&) { paths.push_back(std::move(path)); });
    return paths;
}

namespace {

// How many bytes of the module a field's value is made of: its length, as far
// as its buffer holds; none for a type letter that reads nothing.
std::int64_t bytesTaken(const FieldSpec& field) {
    const auto capacity = static_cast<std::int64_t>(fieldTypeSize(field.type));
    return capacity == 0 ? 0 : std::min<std::int64_t>(field.length(), capacity);
}

} // namespace

std::string findFamilyCode(std::string_view module, const SettingsFile& settings) {
    return locateFamilyCode(module, settings).code;
}

FamilyCode locateFamilyCode(std::string_view module, const SettingsFile& settings) {
    // The keys of "Mod" are listed once, not once for each of the pairs: this
    // is what valueExists("Mod", key) tests for every pair.
    const std::vector<std::string> families = settings.readSection(kFamiliesSection);
    ByteReader reader(module);
    for (std::int64_t pos = kFamilyCodeSearchStart; pos < reader.size();
         pos += static_cast<std::int64_t>(kFamilyCodeLength)) {
        char pair[kFamilyCodeLength] = {0, 0};
        reader.readAt(pos, kFamilyCodeLength, pair, kFamilyCodeLength);
        std::string key =
            textFromBytes(std::string_view(pair, kFamilyCodeLength), kFamilyCodeLength);
        for (const std::string& family : families) {
            if (equalsIgnoreCase(family, key))
                return {std::move(key), pos};
        }
    }
    return {std::string(kFallbackLayout), std::nullopt};
}

PasportValue decodePasportValue(const ByteReader& module, const FieldSpec& field) {
    const std::int32_t offset = field.offset();
    if (field.type == kNumberField.letter) {
        // 1 to 3 bytes give an unsigned number, 4 bytes a signed one.
        char bytes[kNumberFieldSize] = {0, 0, 0, 0};
        module.readAt(offset, field.length(), bytes, kNumberFieldSize);
        std::uint32_t pattern = 0;
        for (std::size_t i = kNumberFieldSize; i-- > 0;)
            pattern = (pattern << 8) | static_cast<unsigned char>(bytes[i]);
        return {std::to_string(static_cast<std::int32_t>(pattern)), std::nullopt};
    }
    if (field.type == kDateField.letter) {
        char bytes[kDateFieldSize] = {0, 0, 0, 0, 0};
        module.readAt(offset, field.length(), bytes, kDateFieldSize);
        ModuleDate date{};
        for (std::size_t i = 0; i < kDateFieldSize; ++i)
            date[i] = static_cast<std::uint8_t>(bytes[i]);
        return {formatModuleDate(date), std::nullopt};
    }
    if (field.type == kTextField.letter) {
        // The text keeps the blanks that fill its 32-byte buffer.
        char buffer[kTextFieldSize];
        std::memset(buffer, ' ', sizeof buffer);
        module.readAt(offset, field.length(), buffer, kTextFieldSize);
        return {textFromBytes(std::string_view(buffer, kTextFieldSize), kTextFieldSize),
                std::nullopt};
    }
    return {std::string(), "Error Code.....(" + field.type + ")"};
}

std::string decodePasportField(const ByteReader& module, const FieldSpec& field,
                               UserInterface& ui) {
    PasportValue decoded = decodePasportValue(module, field);
    if (decoded.message)
        ui.showMessage(*decoded.message);
    return std::move(decoded.value);
}

namespace {

// decodePasportModule of the module bytes read from file.
Decoded decodeModuleOf(const std::shared_ptr<const SourceFile>& file, std::string_view module,
                       const SettingsFile& settings, const std::optional<std::string>& layout) {
    const std::string& path = file->path;
    Decoded decoded;
    decoded.found = true;
    char version[kPasportVersionLength] = {};
    ByteReader(module).readAt(kPasportVersionOffset, kPasportVersionLength, version,
                              kPasportVersionLength);
    const std::string title = fromUtf8(path) + " " + std::string(version, kPasportVersionLength);
    decoded.title = textFromBytes(title, title.size());

    const FamilyCode family =
        layout ? FamilyCode{*layout, std::nullopt} : locateFamilyCode(module, settings);
    const std::string& familyCode = family.code;
    SettingsEntry familyEntry = settings.locate(kFamiliesSection, familyCode);
    std::string familyName = familyEntry.value.value_or("Default");
    decoded.rows.push_back(
        {"Family ", std::move(familyName),
         family.offset ? RowSource::in(file, module, *family.offset, kFamilyCodeLength,
                                       std::move(familyEntry))
         // A chosen layout names its family's entry, or its lack, and no bytes.
         : layout ? RowSource::in(file, module, kFamilyCodeSearchStart, 0, std::move(familyEntry))
                  : RowSource::in(file, module, kFamilyCodeSearchStart, 0,
                                  "[" + std::string(kFamiliesSection) +
                                      "] no key matched; layout [" +
                                      std::string(kFallbackLayout) + "]")});

    const ByteReader reader(module);
    for (const std::string& key : settings.readSection(familyCode)) {
        SettingsEntry entry = settings.locate(familyCode, key);
        try {
            const FieldSpec field = FieldSpec::parse(entry.value.value_or(""));
            PasportValue value = decodePasportValue(reader, field);
            if (value.message)
                decoded.messages.push_back({decoded.rows.size(), std::move(*value.message)});
            decoded.rows.push_back({key, std::move(value.value),
                                    RowSource::in(file, module, field.offset(), bytesTaken(field),
                                                  std::move(entry))});
        } catch (const ConvertError& error) {
            decoded.error.emplace(error.message(), std::move(entry));
            break;
        }
    }
    return decoded;
}

} // namespace

Decoded decodePasportModule(std::string_view module, const std::string& path,
                            const SettingsFile& settings,
                            const std::optional<std::string>& layout) {
    return decodeModuleOf(SourceFile::at(path), module, settings, layout);
}

Decoded decodePasport(const std::string& folder, const SettingsFile& settings) {
    const PasportCandidate chosen = choosePasportModule(folder);
    if (chosen.path.empty())
        return {};
    // The stamp is the one the open module told: it is not looked up again.
    return decodeModuleOf(std::make_shared<const SourceFile>(SourceFile{chosen.path, chosen.stamp}),
                          chosen.module, settings, std::nullopt);
}

void readPasport(Context& context) {
    context.workingFolder = currentDirectory();
    Decoded decoded =
        decodePasport(context.workingFolder, SettingsFile::loadFrom(context.startFolder));
    if (!decoded.found)
        return;
    if (context.setTitle)
        context.setTitle(*decoded.title);
    context.results.clear();
    appendDecoded(std::move(decoded), context);
}

} // namespace dravik
