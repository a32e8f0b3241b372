#include "drive_folders.h"

#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dravik::bench {
namespace {

constexpr std::size_t kRomImages = 1000;
constexpr std::size_t kScanFiles = 10000;
constexpr std::size_t kScanOtherRpmFiles = 6000;
// Of each kind of candidate; every third of them carries its mark.
constexpr std::size_t kCandidates = 10;
constexpr std::size_t kMarkEvery = 3;

std::string randomBytes(std::mt19937_64& random, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Mixed-case letters, so that the order of enumeration has case to fold.
std::string randomWord(std::mt19937_64& random) {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string word(6 + random() % 6, ' ');
    for (char& c : word)
        c = kLetters[random() % kLetters.size()];
    return word;
}

std::string romImage(std::mt19937_64& random) {
    std::string image = randomBytes(random, kRomImageSize);
    image.replace(96, 8, "AV4M10Z9");
    image.replace(random() % (kRomImageSize - kRomImageMark.size() + 1), kRomImageMark.size(),
                  kRomImageMark);
    return image;
}

bool holdsFamilyCode(std::string_view module) {
    static constexpr std::string_view kCodes[] = {"2F", "2B", "2R", "4D", "4G",
                                                  "4R", "6Y", "6E", "5T"};
    for (std::size_t pos = kFamilyCodeSearchStart; pos + 2 <= module.size(); pos += 2) {
        for (std::string_view code : kCodes) {
            if (equalsIgnoreCase(code, module.substr(pos, 2)))
                return true;
        }
    }
    return false;
}

// A passport module of random bytes with the family code at 128; without a
// code ("00"), random bytes that happen to hold one are drawn again.
std::string pasportModule(std::mt19937_64& random, std::string_view familyCode) {
    std::string module;
    do {
        module = randomBytes(random, kPasportModuleSize);
        module.replace(kPasportVersionOffset, 2, "Q8");
    } while (holdsFamilyCode(module));
    if (familyCode != kFallbackLayout)
        module.replace(kFamilyCodeSearchStart, 2, familyCode);
    return module;
}

} // namespace

BenchFolders::BenchFolders() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dravik-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    root_ = std::filesystem::canonical(pattern).string();
    startFolder_ = makeFolder("start");
    writeFile(joinPath(startFolder_, "Dravik.ini"), defaultSettingsContent());
}

BenchFolders::~BenchFolders() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string BenchFolders::makeFolder(std::string_view name) const {
    std::string path = joinPath(root_, name);
    std::filesystem::create_directory(path);
    return path;
}

const std::string& BenchFolders::romFolder() {
    if (!romFolder_.empty())
        return romFolder_;
    romFolder_ = makeFolder("roms");
    for (std::size_t i = 0; i < kRomImages; ++i)
        writeFile(joinPath(romFolder_, randomWord(random_) + std::to_string(i) + ".rpm"),
                  romImage(random_));
    for (const DirEntry& file : listFiles(romFolder_, ".rpm"))
        romPaths_.push_back(joinPath(romFolder_, file.name));
    return romFolder_;
}

const std::vector<std::string>& BenchFolders::romPaths() {
    romFolder();
    return romPaths_;
}

const std::string& BenchFolders::scanFolder() {
    if (!scanFolder_.empty())
        return scanFolder_;
    scanFolder_ = makeFolder("scan");
    auto name = [&](std::size_t i, std::string_view extension) {
        return joinPath(scanFolder_,
                        randomWord(random_) + std::to_string(i) + std::string(extension));
    };
    std::size_t made = 0;
    for (std::size_t i = 0; i < kCandidates; ++i, ++made) {
        std::string module = randomBytes(random_, kPasportModuleSize);
        if (i % kMarkEvery == 0)
            module.replace(kPasportVersionOffset, 2, "Q8");
        writeFile(name(made, ".rpm"), module);
    }
    for (std::size_t i = 0; i < kCandidates; ++i, ++made) {
        std::string module = randomBytes(random_, kSpecificationModuleSize);
        if (i % kMarkEvery == 1)
            module.replace(0, kSpecificationMark.size(), kSpecificationMark);
        writeFile(name(made, ".rpm"), module);
    }
    for (std::size_t i = 0; i < kScanOtherRpmFiles; ++i, ++made) {
        std::size_t size = 16 + random_() % 4080;
        if (size == kPasportModuleSize || size == kSpecificationModuleSize)
            ++size;
        writeFile(name(made, i % 10 == 0 ? ".RPM" : ".rpm"), randomBytes(random_, size));
    }
    static constexpr std::string_view kOtherKinds[] = {".ldr", ".bin", ".txt", ".rpm.bak"};
    for (; made < kScanFiles; ++made)
        writeFile(name(made, kOtherKinds[made % 4]), randomBytes(random_, 16 + random_() % 1024));
    return scanFolder_;
}

const std::vector<std::string>& BenchFolders::familyCodes() {
    static const std::vector<std::string> codes = {
        "2F", "6Y", "6E", "4D", "4G", "2B", "2R", "4R", "5T", std::string(kFallbackLayout)};
    return codes;
}

const std::string& BenchFolders::pasportFolder(const std::string& familyCode) {
    std::string& folder = pasportFolders_[familyCode];
    if (folder.empty()) {
        folder = makeFolder("pasport-" + familyCode);
        writeFile(joinPath(folder, "module.rpm"), pasportModule(random_, familyCode));
    }
    return folder;
}

std::string BenchFolders::makeImageLinks(std::string_view folderName, std::size_t count) {
    std::string folder = makeFolder(folderName);
    std::string image = joinPath(folder, "image.rpm");
    writeFile(image, romImage(random_));
    for (std::size_t i = 1; i < count; ++i) {
        if (::link(image.c_str(), joinPath(folder, "link" + std::to_string(i) + ".rpm").c_str()) !=
            0)
            throw std::runtime_error("cannot link " + image);
    }
    return folder;
}

std::string familySettingsText(std::size_t size) {
    const SettingsFile defaults = SettingsFile::parse(defaultSettingsContent());
    std::string layout;
    for (const std::string& key : defaults.readSection("2F"))
        layout += key + "=" + defaults.readString("2F", key, "") + "\r\n";
    // Digits, Latin and Cyrillic capitals: 68 characters, 4,624 codes, whose
    // listing (three bytes each) fits the 16,384 bytes of "Mod".
    std::string characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int c = 0xC0; c <= 0xDF; ++c)
        characters += static_cast<char>(c);
    std::string families = "[Mod]\r\n";
    std::string sections;
    for (char first : characters) {
        for (char second : characters) {
            if (families.size() + sections.size() >= size)
                return families + "\r\n" + sections;
            const std::string code{first, second};
            families += code + "=Family " + code + "\r\n";
            sections += "[" + code + "]\r\n" + layout + "\r\n";
        }
    }
    throw std::runtime_error("no settings text of " + std::to_string(size) + " bytes");
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

const std::string& BenchFolders::sparseLoader(std::uint64_t size) {
    std::string& path = sparseLoaders_[size];
    if (path.empty()) {
        path = joinPath(makeFolder("loader-" + std::to_string(size)), "big.ldr");
        std::string head(131584, '\0');
        head.replace(608, 8, "AV4M10Z9");
        head.replace(131582, 2, "\x2B\x1A");
        writeFile(path, head);
        std::filesystem::resize_file(path, size);
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(size - 2));
        file.write("\xEF\xBE", 2);
    }
    return path;
}

std::size_t readLoaderPlaces(const std::string& path, std::vector<char>& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0)
        throw std::runtime_error("cannot open " + path);
    buffer.resize(131584 + 2);
    std::size_t done = static_cast<std::size_t>(::pread(fd, buffer.data(), 131584, 0));
    done += static_cast<std::size_t>(::pread(fd, buffer.data() + 131584, 2, info.st_size - 2));
    ::close(fd);
    return done;
}

std::size_t readPlain(const std::string& path, std::vector<char>& buffer) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path);
    std::size_t done = 0;
    for (;;) {
        if (done == buffer.size())
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, 4096));
        ssize_t n = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return done;
}

} // namespace dravik::bench
