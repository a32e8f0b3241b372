#include "settings/settings_check.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"
#include "settings/settings_lines.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace dravik {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// A quoted text is cut here, so that a message stays one readable line.
constexpr std::size_t kQuoteLength = 40;

using Entry = SettingsFile::Entry;
using Section = SettingsFile::Section;

// The key of a name in the lookups below: its letters folded as the reader
// compares them.
std::string folded(std::string_view text) {
    std::string key(text);
    for (char& c : key)
        c = foldCase(c);
    return key;
}

std::string quoted(std::string_view text) {
    if (text.size() <= kQuoteLength)
        return "\"" + std::string(text) + "\"";
    return "\"" + std::string(text.substr(0, kQuoteLength)) + "...\"";
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

// "[name] ", which begins the messages about a section's lines.
std::string sectionRef(std::string_view name) {
    return "[" + std::string(name) + "] ";
}

// A layout field being checked. The text that begins its messages is made
// only for a problem: most fields have none.
struct FieldAt {
    const Section& layout;
    const Entry& entry;
    std::string_view counted; ///< the part of the value that counts

    std::string where() const {
        return sectionRef(layout.name) + std::string(entry.key) + "=" + std::string(counted) + ": ";
    }
};

std::string lineRef(std::size_t line) {
    return "line " + std::to_string(line);
}

// A letter beyond ASCII that a UTF-8 editor would have written: Latin with
// accents, Greek, Cyrillic.
bool isLetterBeyondAscii(char32_t c) {
    return (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x370 && c <= 0x3FF) ||
           (c >= 0x400 && c <= 0x52F);
}

char32_t decodeUtf8(std::string_view sequence) {
    static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = static_cast<unsigned char>(sequence[0]) & kLeadBits[sequence.size()];
    for (std::size_t i = 1; i < sequence.size(); ++i)
        c = (c << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    return c;
}

// Valid UTF-8 with a letter beyond ASCII: Windows-1251 text almost never is,
// since its letters are bytes that UTF-8 allows only before a continuation.
bool looksLikeUtf8(std::string_view text) {
    bool letter = false;
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = utf8SequenceLength(text.substr(i));
        if (length == 0)
            return false;
        if (length > 1)
            letter = letter || isLetterBeyondAscii(decodeUtf8(text.substr(i, length)));
        i += length;
    }
    return letter;
}

class Checker {
  public:
    explicit Checker(std::string_view bytes);

    CheckedSettings take() {
        std::stable_sort(
            problems_.begin(), problems_.end(),
            [](const SettingsProblem& a, const SettingsProblem& b) { return a.line < b.line; });
        for (SettingsProblem& problem : problems_) {
            if (problem.line != 0 && problem.line <= spans_.size())
                problem.span = spans_[problem.line - 1];
        }
        return {std::move(settings_), std::move(problems_)};
    }

  private:
    void add(std::size_t line, Severity severity, std::string message) {
        problems_.emplace_back(line, severity, std::move(message));
    }

    // "[name] " of the section that the lines read so far are in.
    std::string inSection() const {
        return current_ ? sectionRef(*current_) : std::string();
    }

    bool checkByteOrderMark(std::string_view bytes);
    void lineRead(std::size_t number, std::string_view text, const SettingsLine& read);
    void checkLine(std::size_t line, const SettingsLine& read);
    void checkEncoding(std::size_t line, const SettingsLine& read);
    void findRepeatedSections();
    const Section* firstSection(std::string_view name) const;
    std::size_t listedKeys(const Section& section) const;
    std::vector<const Entry*> readEntries(const Section& section, bool listed, bool layout);
    void checkFamilies();
    void checkSections();
    void checkField(const Section& layout, const Entry& entry);
    std::optional<std::int32_t> parsedNumber(const FieldAt& at, const std::string& text,
                                             std::string_view what);
    std::optional<std::int64_t> checkLength(const FieldAt& at, const FieldType& type,
                                            std::int32_t length);
    void checkReach(const FieldAt& at, std::int32_t offset, std::int64_t read);
    void checkKeyLength(const Section& section, const Entry& entry, std::size_t longest,
                        std::string_view what);

    bool readable_ = true;
    SettingsFile settings_;
    /// Where the text of each line stands on it, for the problems found there.
    std::vector<ColumnSpan> spans_;
    /// The section the lines read so far stand in.
    std::optional<std::string_view> current_;
    std::vector<SettingsProblem> problems_;
    // The first section of each folded name: the one that lookups find.
    std::unordered_map<std::string, std::size_t> firstSections_;
    std::unordered_set<std::string> layouts_;
};

// The text is read once: each line is checked as the settings reader takes
// it, then the sections it made are checked as a whole.
Checker::Checker(std::string_view bytes) {
    readable_ = checkByteOrderMark(bytes);
    settings_ = SettingsFile::parse(
        bytes, [this](std::size_t number, std::string_view text, const SettingsLine& read) {
            lineRead(number, text, read);
        });
    if (!readable_)
        return;
    findRepeatedSections();
    checkFamilies();
    checkSections();
}

// False when the bytes are UTF-16 text, of which nothing reads as written, so
// that there is nothing more to check.
bool Checker::checkByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        add(1, Severity::Error,
            "the file is UTF-16 text, not Windows-1251: none of its lines reads as written");
        return false;
    }
    if (!bytes.starts_with(kUtf8ByteOrderMark))
        return true;
    std::string_view first = bytes.substr(kUtf8ByteOrderMark.size());
    first = first.substr(0, first.find_first_of("\r\n"));
    const SettingsLine line = SettingsLine::read(first);
    if (line.kind == SettingsLine::Kind::Section)
        add(1, Severity::Error,
            "a UTF-8 byte-order mark begins the file, so " + quoted(line.text) +
                " opens no section: the line reads as " +
                quoted(bytes.substr(0, first.size() + 3)));
    else
        add(1, Severity::Warning,
            "a UTF-8 byte-order mark begins the file; it reads as the letters \"\xEF\xBB\xBF\"");
    return true;
}

void Checker::lineRead(std::size_t number, std::string_view text, const SettingsLine& read) {
    if (read.kind == SettingsLine::Kind::Section)
        current_ = read.name;
    spans_.push_back(read.span(text));
    if (readable_)
        checkLine(number, read);
}

void Checker::checkLine(std::size_t line, const SettingsLine& read) {
    checkEncoding(line, read);
    switch (read.kind) {
    case SettingsLine::Kind::Section:
        break;
    case SettingsLine::Kind::Entry:
        if (!current_) {
            add(line, Severity::Warning,
                "the entry " + quoted(read.text) + " stands before any section: it is ignored");
            break;
        }
        if (read.value.size() > SettingsFile::kMaxValueLength)
            add(line, Severity::Warning,
                inSection() + std::string(read.name) + ": the value of " +
                    number(static_cast<std::int64_t>(read.value.size())) +
                    " characters is cut to " + number(SettingsFile::kMaxValueLength));
        break;
    case SettingsLine::Kind::NoEquals:
        // Before the first section free text is usual (the default content
        // begins with three such lines).
        if (current_)
            add(line, Severity::Warning,
                inSection() + quoted(read.text) + " has no \"=\": it is no entry and is ignored");
        break;
    case SettingsLine::Kind::NoKey:
        add(line, Severity::Warning,
            inSection() + quoted(read.text) + " has no key before \"=\": it is ignored");
        break;
    case SettingsLine::Kind::Blank:
    case SettingsLine::Kind::Comment:
        break;
    }
}

void Checker::checkEncoding(std::size_t line, const SettingsLine& read) {
    if (!looksLikeUtf8(read.text))
        return;
    // A comment or a stray line shows nowhere; a section or an entry shows
    // its text garbled, or is not found.
    const bool shown = read.kind == SettingsLine::Kind::Section ||
                       (read.kind == SettingsLine::Kind::Entry && current_);
    add(line, shown ? Severity::Error : Severity::Warning,
        (read.kind == SettingsLine::Kind::Section ? std::string() : inSection()) +
            "UTF-8 text, not Windows-1251: " + quoted(fromUtf8(read.text)) + " reads as " +
            quoted(read.text));
}

void Checker::findRepeatedSections() {
    const std::vector<Section>& sections = settings_.sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const auto [first, inserted] = firstSections_.try_emplace(folded(sections[i].name), i);
        if (inserted)
            continue;
        const Section& earlier = sections[first->second];
        add(sections[i].line, Severity::Warning,
            "section [" + std::string(sections[i].name) + "] repeats [" +
                std::string(earlier.name) + "] of " + lineRef(earlier.line) +
                ": only the first is read, this one is ignored");
    }
}

const Section* Checker::firstSection(std::string_view name) const {
    const auto found = firstSections_.find(folded(name));
    return found == firstSections_.end() ? nullptr : &settings_.sections()[found->second];
}

// How many keys of the section its listing holds, as the reader counts them.
std::size_t Checker::listedKeys(const Section& section) const {
    std::size_t used = 0;
    std::size_t listed = 0;
    while (listed < section.entries.size() &&
           SettingsFile::listKey(used, section.entries[listed].key))
        ++listed;
    return listed;
}

// The entries of a section that a lookup reaches: the first of each key and,
// for a section read through its listing, only what the listing holds. Tells
// of the others.
std::vector<const Entry*> Checker::readEntries(const Section& section, bool listed, bool layout) {
    const std::string where = sectionRef(section.name);
    std::size_t count = section.entries.size();
    if (listed) {
        count = listedKeys(section);
        if (count < section.entries.size()) {
            const Entry& dropped = section.entries[count];
            add(dropped.line, Severity::Warning,
                where + "the key list passes " + number(SettingsFile::kSectionListLimit) +
                    " bytes here: " + quoted(dropped.key) + " and the " +
                    number(static_cast<std::int64_t>(section.entries.size() - count - 1)) +
                    " keys after it are not read");
        }
    }
    std::vector<const Entry*> reached;
    std::unordered_map<std::string, const Entry*> firstKeys;
    for (std::size_t i = 0; i < count; ++i) {
        const Entry& entry = section.entries[i];
        const auto [first, inserted] = firstKeys.try_emplace(folded(entry.key), &entry);
        if (inserted) {
            reached.push_back(&entry);
            continue;
        }
        // A lookup finds the first: a repeat of the same value loses nothing.
        if (!layout && entry.value == first->second->value)
            continue;
        const std::string repeats =
            where + "the key " + quoted(entry.key) + " repeats " + lineRef(first->second->line);
        // The listing gives the key twice, and each lookup finds the first.
        add(entry.line, Severity::Warning,
            layout ? repeats + ": the passport shows the row twice, both by the layout of " +
                         lineRef(first->second->line)
                   : repeats + ": its value is ignored");
    }
    return reached;
}

// The families of "Mod" and their layout sections.
void Checker::checkFamilies() {
    if (const Section* fallback = firstSection(kFallbackLayout))
        layouts_.insert(folded(fallback->name));
    const Section* families = firstSection(kFamiliesSection);
    if (families == nullptr)
        return;
    const std::string where = sectionRef(families->name);
    for (const Entry* entry : readEntries(*families, true, false)) {
        const std::string_view name = entry->value;
        if (entry->key.size() > kFamilyCodeLength) {
            add(entry->line, Severity::Error,
                where + quoted(entry->key) +
                    " is no family code: a passport's family code is two characters, so no "
                    "passport is of this family");
            continue;
        }
        const Section* layout = firstSection(entry->key);
        const auto family = [&] {
            return where + std::string(entry->key) + "=" + std::string(name);
        };
        if (layout == nullptr) {
            add(entry->line, Severity::Error,
                family() + ": there is no section [" + std::string(entry->key) +
                    "], so a passport of this family shows only its \"Family \" row");
        } else if (listedKeys(*layout) == 0) {
            add(entry->line, Severity::Error,
                family() + ": the section [" + std::string(layout->name) + "] of " +
                    lineRef(layout->line) +
                    " has no fields, so a passport of this family shows only its \"Family \" row");
        }
        layouts_.insert(folded(entry->key));
    }
}

void Checker::checkSections() {
    for (const auto& [name, index] : firstSections_) {
        const Section& section = settings_.sections()[index];
        if (layouts_.contains(name)) {
            for (const Entry* entry : readEntries(section, true, true))
                checkField(section, *entry);
        } else if (name == folded(kFamiliesSection)) {
            continue; // checked with the families
        } else if (name == folded(kProgramClassesSection)) {
            for (const Entry* entry : readEntries(section, false, false))
                checkKeyLength(section, *entry, kProgramClassLength,
                               "a firmware code's program class is one character");
        } else if (name == folded(kLoaderFamiliesSection)) {
            for (const Entry* entry : readEntries(section, false, false))
                checkKeyLength(section, *entry, kFamilyKeyLength,
                               "a firmware code's family key is two characters");
        } else {
            add(section.line, Severity::Warning,
                "section [" + std::string(section.name) + "] is named by no key of [" +
                    std::string(kFamiliesSection) + "]: no passport is decoded by it");
        }
    }
}

void Checker::checkKeyLength(const Section& section, const Entry& entry, std::size_t longest,
                             std::string_view what) {
    if (entry.key.size() > longest)
        add(entry.line, Severity::Warning,
            sectionRef(section.name) + "the key " + quoted(entry.key) +
                " is never looked up: " + std::string(what));
}

// One field of a layout, checked in the order in which the passport decodes
// it: the offset, the type letter, the length, then the bytes it reads.
void Checker::checkField(const Section& layout, const Entry& entry) {
    const std::string_view value = entry.value;
    const FieldAt at{layout, entry, value.substr(0, FieldSpec::kMaxLength)};
    if (value.size() > FieldSpec::kMaxLength)
        add(entry.line, Severity::Warning,
            at.where() + "only the first " + number(FieldSpec::kMaxLength) +
                " characters of the layout count, " +
                number(static_cast<std::int64_t>(value.size() - at.counted.size())) +
                " are ignored");

    const FieldSpec field = FieldSpec::parse(value);
    const std::optional<std::int32_t> offset = parsedNumber(
        at, field.offsetText,
        value.empty()                                    ? "the layout is empty, so is the offset: "
        : at.counted.find(',') == std::string_view::npos ? "no comma, so the offset is empty: "
                                                         : "the offset ");
    if (!offset)
        return;
    const FieldType* type = findFieldType(field.type);
    if (type == nullptr) {
        add(entry.line, Severity::Error,
            at.where() + "the type " + quoted(field.type) +
                " is not S, # or D; the passport shows \"Error Code.....(" + field.type +
                ")\" and no value");
        return;
    }
    const std::optional<std::int32_t> length = parsedNumber(at, field.lengthText, "the length ");
    if (!length)
        return;
    if (const std::optional<std::int64_t> read = checkLength(at, *type, *length))
        checkReach(at, *offset, *read);
}

std::optional<std::int32_t> Checker::parsedNumber(const FieldAt& at, const std::string& text,
                                                  std::string_view what) {
    try {
        return parseInteger(text);
    } catch (const ConvertError& error) {
        add(at.entry.line, Severity::Error,
            at.where() + std::string(what) + error.message() +
                "; the passport command stops at this field");
        return std::nullopt;
    }
}

// The bytes that a field of the type and length reads; none when it reads
// nothing.
std::optional<std::int64_t> Checker::checkLength(const FieldAt& at, const FieldType& type,
                                                 std::int32_t length) {
    const auto size = static_cast<std::int64_t>(type.size);
    const auto least = static_cast<std::int64_t>(type.least);
    const std::int64_t read = std::min<std::int64_t>(length, size);
    const auto outside = [&] {
        return at.where() + "the length " + number(length) +
               (least == size ? " is not " + number(size)
                              : " is outside " + number(least) + " to " + number(size)) +
               " for " + std::string(type.letter);
    };
    if (length <= 0) {
        add(at.entry.line, Severity::Error, outside() + "; nothing is read");
        return std::nullopt;
    }
    if (length < least)
        add(at.entry.line, Severity::Error, outside() + "; the value misses bytes");
    else if (read < length)
        // A longer text or date reads what it shows; a longer number lacks
        // its high bytes.
        add(at.entry.line, type.letter == kNumberField.letter ? Severity::Error : Severity::Warning,
            outside() + "; only " + number(read) + " bytes are read");
    return read;
}

void Checker::checkReach(const FieldAt& at, std::int32_t offset, std::int64_t read) {
    const auto moduleSize = static_cast<std::int64_t>(kPasportModuleSize);
    if (offset < 0 || offset >= moduleSize) {
        add(at.entry.line, Severity::Error,
            at.where() + "the offset " + number(offset) + " is outside the " + number(moduleSize) +
                "-byte module; nothing is read");
    } else if (offset + read > moduleSize) {
        add(at.entry.line, Severity::Error,
            at.where() + "bytes " + number(offset) + " to " + number(offset + read - 1) +
                " reach past the " + number(moduleSize) + "-byte module; only " +
                number(moduleSize - offset) + " are read");
    }
}

} // namespace

std::string_view severityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

CheckedSettings readAndCheckSettings(std::string_view bytes) {
    return Checker(bytes).take();
}

std::vector<SettingsProblem> checkSettings(std::string_view bytes) {
    return readAndCheckSettings(bytes).problems;
}

std::string problemText(const SettingsProblem& problem) {
    return std::to_string(problem.line) + ": " + std::string(severityName(problem.severity)) +
           ": " + problem.message;
}

bool hasError(const std::vector<SettingsProblem>& problems) {
    return std::any_of(problems.begin(), problems.end(), [](const SettingsProblem& problem) {
        return problem.severity == Severity::Error;
    });
}

std::string problemCountText(const std::vector<SettingsProblem>& problems) {
    const auto errors = static_cast<std::size_t>(
        std::count_if(problems.begin(), problems.end(), [](const SettingsProblem& problem) {
            return problem.severity == Severity::Error;
        }));
    const std::size_t warnings = problems.size() - errors;
    const auto counted = [](std::size_t count, const std::string& what) {
        return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
    };
    if (errors == 0 && warnings == 0)
        return "no problems";
    if (warnings == 0)
        return counted(errors, "error");
    if (errors == 0)
        return counted(warnings, "warning");
    return counted(errors, "error") + ", " + counted(warnings, "warning");
}

} // namespace dravik
