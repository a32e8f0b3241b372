#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::bench {

/// The folders the benchmarks work on, made under one fresh temporary folder
/// and removed with it. Every byte comes from seeded random numbers, so each
/// run measures the same files.
class BenchFolders {
  public:
    BenchFolders();
    ~BenchFolders();
    BenchFolders(const BenchFolders&) = delete;
    BenchFolders& operator=(const BenchFolders&) = delete;

    /// Holds "Dravik.ini" with the default settings.
    const std::string& startFolder() const { return startFolder_; }

    /// 1,000 ROM images of random bytes, each with "DISK" at a random place,
    /// and their paths in the order of enumeration. Each folder is made when
    /// it is first asked for, so a run of a few benchmarks makes only theirs.
    const std::string& romFolder();
    const std::vector<std::string>& romPaths();

    /// 10,000 files: a few passport and specification candidates among many
    /// ".rpm" files of other sizes and files of other kinds.
    const std::string& scanFolder();

    /// The family codes of the ten default layouts ("00" for the fallback)
    /// and a folder for each, holding one passport module of that family.
    static const std::vector<std::string>& familyCodes();
    const std::string& pasportFolder(const std::string& familyCode);

    /// A folder of count names that link to one ROM image.
    std::string makeImageLinks(std::string_view folderName, std::size_t count);

    /// A sparse loader of size bytes: a ROM image with the code "VAM4019Z"
    /// behind its header, its own checksum at its end, nothing between but a
    /// hole that costs no disk. Made when first asked for.
    const std::string& sparseLoader(std::uint64_t size);

  private:
    std::string makeFolder(std::string_view name) const;

    std::string root_;
    std::string startFolder_;
    std::string romFolder_;
    std::vector<std::string> romPaths_;
    std::string scanFolder_;
    std::map<std::string, std::string> pasportFolders_;
    std::map<std::uint64_t, std::string> sparseLoaders_;
    std::mt19937_64 random_{20261207};
};

/// A settings text of at least size bytes, as a technician's grows: many
/// families in "Mod", each with a section of the default layout "2F". Every
/// family has its two-character code, so the text has no problem.
std::string familySettingsText(std::size_t size);

/// Writes bytes to path, replacing what is there.
void writeFile(const std::string& path, std::string_view bytes);

/// The floor of reading a file: open, read until the end into buffer, close,
/// with plain POSIX calls. Gives the number of bytes read.
std::size_t readPlain(const std::string& path, std::vector<char>& buffer);

/// The floor of reading a loader's places with plain POSIX calls: open, its
/// size, its first 131,584 bytes into buffer and its last two, close.
std::size_t readLoaderPlaces(const std::string& path, std::vector<char>& buffer);

} // namespace dravik::bench
