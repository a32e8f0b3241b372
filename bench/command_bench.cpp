// Measures each command beside its floor, the least the machine can do for the
// same work, in one process on the same files, and prints every command's time
// as a ratio to its floor. Ratios, not times, compare across machines and runs.

#include "drive_folders.h"
#include "peak_memory.h"

#include "cli/compare_command.h"
#include "cli/output.h"
#include "loaders/loader.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/file_system.h"
#include "settings/settings_check.h"
#include "settings/settings_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace dravik;
using namespace dravik::bench;

const std::string kCheckRomName = "CheckRom/1000-images";
const std::string kCheckRomPrintedName = "CheckRom/1000-images-printed";
constexpr std::size_t kMemoryImages = 5000;
constexpr long kMemoryAllowance = static_cast<long>(kRomImageSize) + 1024 * 1024;

class SilentUi : public UserInterface {
  public:
    void showMessage(const std::string&) override {}
    bool confirm(const std::string&) override { return true; }
};

void enterFolder(const std::string& folder) {
    if (::chdir(folder.c_str()) != 0)
        throw std::runtime_error("cannot enter " + folder);
}

// The floor of Check ROM: every image read whole, one after the other, into one buffer.
void readFilesFloor(const std::vector<std::string>& paths, std::vector<char>& buffer) {
    for (const std::string& path : paths)
        benchmark::DoNotOptimize(readPlain(path, buffer));
}

// The floor of a folder scan: the folder listed and every entry's status
// taken relative to the folder.
void listFolderFloor(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        throw std::runtime_error("cannot list " + folder);
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        benchmark::DoNotOptimize(::fstatat(::dirfd(dir), entry->d_name, &info, 0));
        benchmark::DoNotOptimize(info.st_size);
    }
    ::closedir(dir);
}

// One run of a module command with fresh rows, as a press of its button.
ResultList runCommand(const BenchFolders& folders, const std::string& workingFolder,
                      void (*command)(Context&)) {
    static SilentUi ui;
    ResultList rows;
    Context context{folders.startFolder(), workingFolder, rows, ui,
                    [](const std::string& title) { benchmark::DoNotOptimize(title.size()); }};
    command(context);
    benchmark::DoNotOptimize(rows.count());
    return rows;
}

// Check ROM as dravik-cli runs it on one folder: every row printed as text.
void checkRomPrinted(const BenchFolders& folders, const std::string& folder,
                     cli::StandardOutput& out) {
    static SilentUi ui;
    ResultList rows;
    Context context{folders.startFolder(), folder, rows, ui, nullptr};
    cli::Printer printer(out, cli::Format::Text, cli::Command::CheckRom, 1);
    printer.beginInput(folder, rows);
    rows.setObserver(&printer);
    checkRom(context);
    rows.setObserver(nullptr);
    printer.endInput({});
    printer.finish();
}

// Each pair makes sure once that its command does its whole work on the files,
// so that a wrong fixture can't pass for a fast command.
void expect(bool holds, const std::string& what) {
    if (!holds)
        throw std::runtime_error("the files do not give " + what);
}

struct Sample {
    double cpu;
    double wall;
};

Sample timed(const std::function<void()>& work) {
    auto cpuNow = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
    };
    const double cpuStart = cpuNow();
    const auto wallStart = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::micro> wall =
        std::chrono::steady_clock::now() - wallStart;
    return {cpuNow() - cpuStart, wall.count()};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Runs the floor and the command by turns, each timed on its own, the one
// first and then the other, and keeps the medians of their CPU times and of
// the ratios of each turn. Both see the same load of a shared machine, a few
// milliseconds apart, so the ratio holds where the times themselves drift.
void measurePair(benchmark::State& state, const std::function<void()>& floor,
                 const std::function<void()>& command) {
    std::vector<double> floorTimes, commandTimes, cpuRatios, wallRatios;
    bool floorFirst = true;
    for (auto _ : state) {
        Sample floorSample{}, commandSample{};
        if (floorFirst) {
            floorSample = timed(floor);
            commandSample = timed(command);
        } else {
            commandSample = timed(command);
            floorSample = timed(floor);
        }
        floorFirst = !floorFirst;
        floorTimes.push_back(floorSample.cpu);
        commandTimes.push_back(commandSample.cpu);
        cpuRatios.push_back(commandSample.cpu / floorSample.cpu);
        wallRatios.push_back(commandSample.wall / floorSample.wall);
    }
    state.counters["floor_us"] = median(floorTimes);
    state.counters["command_us"] = median(commandTimes);
    state.counters["ratio"] = median(cpuRatios);
    state.counters["wall_ratio"] = median(wallRatios);
}

struct Pair {
    std::string name;
    std::string floor;
    double target;
};

// Keeps the counters of every pair (their medians over the repetitions when
// it ran more than once) and prints, after the usual output, the table of
// each command against its floor. The targets hold for CPU time, user and
// system: with the page cache warm nothing waits for the disk, and CPU time
// leaves out what other work on a shared machine takes. Wall time is beside it.
class FloorReporter : public benchmark::ConsoleReporter {
  public:
    explicit FloorReporter(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failures_[run.run_name.str()] = run.error_message;
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.str()] = run.counters;
                repetitions_ = run.repetitions;
            } else if (run.run_type == Run::RT_Iteration) {
                singles_[run.run_name.str()] = run.counters;
            }
        }
    }

    bool measured(const std::string& name) const { return counters(name) != nullptr; }

    /// Prints the table; true when every pair measured met its target and
    /// none failed.
    bool printTable() const {
        bool met = true;
        std::printf("\nEach command against its floor, median of %lld runs (CPU times in us)\n\n",
                    static_cast<long long>(repetitions_));
        std::printf("| command | floor | command | floor | ratio | wall-time ratio | target |\n");
        std::printf("|---|---|---:|---:|---:|---:|---:|\n");
        for (const Pair& pair : pairs_) {
            if (auto failure = failures_.find(pair.name); failure != failures_.end()) {
                met = false;
                std::printf("| %s | %s | | | | | failed: %s |\n", pair.name.c_str(),
                            pair.floor.c_str(), failure->second.c_str());
                continue;
            }
            const benchmark::UserCounters* found = counters(pair.name);
            if (found == nullptr)
                continue;
            auto value = [&](const char* key) { return found->at(key).value; };
            const double ratio = value("ratio");
            met = met && ratio <= pair.target;
            std::printf("| %s | %s | %.0f | %.0f | %.2fx | %.2fx | %.2fx%s |\n", pair.name.c_str(),
                        pair.floor.c_str(), value("command_us"), value("floor_us"), ratio,
                        value("wall_ratio"), pair.target, ratio <= pair.target ? "" : " missed");
        }
        return met;
    }

  private:
    const benchmark::UserCounters* counters(const std::string& name) const {
        if (auto it = medians_.find(name); it != medians_.end())
            return &it->second;
        auto it = singles_.find(name);
        return it == singles_.end() ? nullptr : &it->second;
    }

    std::vector<Pair> pairs_;
    std::map<std::string, benchmark::UserCounters> medians_;
    std::map<std::string, benchmark::UserCounters> singles_;
    std::map<std::string, std::string> failures_;
    long long repetitions_ = 1;
};

// The floor and the command of one pair, made when its benchmark first runs.
using Work = std::pair<std::function<void()>, std::function<void()>>;

// Registers each pair's benchmark and keeps the pairs for the ratio table.
class Registry {
  public:
    template <typename SetUp>
    void add(const std::string& name, const std::string& floorName, double target, SetUp setUp) {
        benchmark::RegisterBenchmark(name.c_str(), [setUp](benchmark::State& state) {
            try {
                auto [floor, command] = setUp();
                measurePair(state, floor, command);
            } catch (const std::exception& error) {
                state.SkipWithError(error.what());
            }
        })->Unit(benchmark::kMillisecond);
        pairs.push_back({name, floorName, target});
    }

    std::vector<Pair> pairs;
};

void addCheckRomBenchmarks(Registry& registry, BenchFolders& folders) {
    registry.add(kCheckRomName, "read each image whole", 1.2, [&] {
        const std::vector<std::string>& paths = folders.romPaths();
        const std::string& folder = folders.romFolder();
        expect(runCommand(folders, folder, checkRom).count() == 4 * paths.size(),
               "four rows for every image");
        auto buffer = std::make_shared<std::vector<char>>(2 * kRomImageSize);
        return Work{[&paths, buffer] { readFilesFloor(paths, *buffer); },
                    [&folders, &folder] { runCommand(folders, folder, checkRom); }};
    });

    // The same with the rows printed, as dravik-cli prints them into a file or
    // a pipe; /dev/null takes them, so that the cost is the program's own.
    registry.add(kCheckRomPrintedName, "read each image whole", 1.2, [&] {
        const std::vector<std::string>& paths = folders.romPaths();
        const std::string& folder = folders.romFolder();
        std::shared_ptr<std::FILE> sink(std::fopen("/dev/null", "w"), std::fclose);
        if (!sink)
            throw std::runtime_error("cannot open /dev/null");
        auto out = std::make_shared<cli::StandardOutput>(sink.get());
        auto buffer = std::make_shared<std::vector<char>>(2 * kRomImageSize);
        return Work{[&paths, buffer] { readFilesFloor(paths, *buffer); },
                    [&folders, &folder, sink, out] { checkRomPrinted(folders, folder, *out); }};
    });
}

// CheckLDR on sparse loaders of 2 and 8 GiB, against reading their places and
// the settings file.
void addCheckLdrBenchmarks(Registry& registry, BenchFolders& folders) {
    for (const int gibibytes : {2, 8}) {
        const std::uint64_t size = std::uint64_t(gibibytes) << 30;
        registry.add("CheckLdr/" + std::to_string(gibibytes) + "GiB-sparse",
                     "read its places and the settings", 3.0, [&folders, size] {
                         const std::string& path = folders.sparseLoader(size);
                         auto check = [&folders, path] {
                             static SilentUi ui;
                             ResultList rows;
                             Context context{folders.startFolder(), {}, rows, ui, nullptr};
                             checkLdr(context, path);
                             return rows;
                         };
                         const ResultList rows = check();
                         expect(rows.count() == 5 && rows.row(1).value == "BEEF",
                                "the five rows of a loader");
                         auto buffer = std::make_shared<std::vector<char>>();
                         const std::string settings = joinPath(folders.startFolder(), "Dravik.ini");
                         return Work{[path, settings, buffer] {
                                         readLoaderPlaces(path, *buffer);
                                         readPlain(settings, *buffer);
                                     },
                                     [check] { benchmark::DoNotOptimize(check().count()); }};
                     });
    }
}

void addCompareBenchmark(Registry& registry, BenchFolders& folders) {
    // dravik-cli compare on two folders of 1,000 ROM images each, the pairs
    // printed into /dev/null, against Check ROM run on each of them.
    auto linkFolder = std::make_shared<std::string>();
    registry.add("Compare/1000-images", "Check ROM on both folders", 1.1, [&folders, linkFolder] {
        const std::string& one = folders.romFolder();
        // Made once, for every repetition.
        if (linkFolder->empty())
            *linkFolder = folders.makeImageLinks("compare", folders.romPaths().size());
        const std::string other = *linkFolder;
        std::shared_ptr<std::FILE> sink(std::fopen("/dev/null", "w"), std::fclose);
        if (!sink)
            throw std::runtime_error("cannot open /dev/null");
        auto out = std::make_shared<cli::StandardOutput>(sink.get());
        cli::Options options;
        options.command = cli::Command::Compare;
        options.inputs = {one, other};
        options.compareCommand = "check-rom";
        const std::string start = folders.startFolder();
        expect(cli::runCompare(options, *out, start, start) == cli::kCompareDiffers,
               "ROM images that differ");
        return Work{[&folders, &one, other] {
                        runCommand(folders, one, checkRom);
                        runCommand(folders, other, checkRom);
                    },
                    [options, out, sink, start] {
                        benchmark::DoNotOptimize(cli::runCompare(options, *out, start, start));
                    }};
    });
}

void addSettingsAndFolderBenchmarks(Registry& registry, BenchFolders& folders) {
    // The settings editor's check of the largest text it loads, against the
    // settings reader's parse of the same text.
    registry.add("SettingsCheck/1MiB", "parse the same text", 3.0, [&] {
        auto text = std::make_shared<const std::string>(familySettingsText(1024 * 1024));
        expect(checkSettings(*text).empty(), "a text without problems");
        return Work{[text] { benchmark::DoNotOptimize(SettingsFile::parse(*text)); },
                    [text] { benchmark::DoNotOptimize(checkSettings(*text)); }};
    });

    // Pasport and Specification start from the current directory.
    const std::string listing = "list, fstatat each entry";
    registry.add("Pasport/10000-files", listing, 1.15, [&] {
        enterFolder(folders.scanFolder());
        expect(runCommand(folders, {}, readPasport).count() > 1, "a passport");
        return Work{[&] { listFolderFloor(folders.scanFolder()); },
                    [&] { runCommand(folders, {}, readPasport); }};
    });
    registry.add("Specification/10000-files", listing, 1.15, [&] {
        enterFolder(folders.scanFolder());
        expect(runCommand(folders, {}, readSpecification).count() == 31, "a specification");
        return Work{[&] { listFolderFloor(folders.scanFolder()); },
                    [&] { runCommand(folders, {}, readSpecification); }};
    });
}

void addPasportDecodeBenchmarks(Registry& registry, BenchFolders& folders) {
    for (const std::string& code : BenchFolders::familyCodes()) {
        registry.add("PasportDecode/" + code, "read module and settings", 2.0, [&, code] {
            const std::string& folder = folders.pasportFolder(code);
            enterFolder(folder);
            const ResultList rows = runCommand(folders, {}, readPasport);
            expect(rows.count() > 1 &&
                       (rows.row(0).value == "Default") == (code == kFallbackLayout),
                   "the family " + code);
            auto buffer = std::make_shared<std::vector<char>>(16384);
            const std::string module = joinPath(folder, "module.rpm");
            const std::string settings = joinPath(folders.startFolder(), "Dravik.ini");
            return Work{[=] {
                            benchmark::DoNotOptimize(readPlain(module, *buffer));
                            benchmark::DoNotOptimize(readPlain(settings, *buffer));
                        },
                        [&] { runCommand(folders, {}, readPasport); }};
        });
    }
}

std::vector<Pair> registerBenchmarks(BenchFolders& folders) {
    Registry registry;
    addCheckRomBenchmarks(registry, folders);
    addCheckLdrBenchmarks(registry, folders);
    addCompareBenchmark(registry, folders);
    addSettingsAndFolderBenchmarks(registry, folders);
    addPasportDecodeBenchmarks(registry, folders);
    return registry.pairs;
}

// Check ROM's own share of the peak: the growth while it runs over the images,
// less the growth that the same rows alone cause.
void printCheckRomMemory(BenchFolders& folders) {
    const std::string imageFolder = folders.makeImageLinks("links", kMemoryImages);
    const std::string folderWithoutImages = folders.pasportFolder(std::string(kFallbackLayout));
    const std::vector<DirEntry> images = listFiles(imageFolder, ".rpm");
    SilentUi ui;
    ResultList rows;
    Context context{folders.startFolder(), imageFolder, rows, ui, nullptr};

    const auto withCommand = peakGrowth(
        [&] {
            Context warmUp = context;
            warmUp.workingFolder = folderWithoutImages;
            checkRom(warmUp);
        },
        [&] { checkRom(context); });
    const auto withRowsAlone = peakGrowth([] {},
                                          [&] {
                                              // The same rows with their sources.
                                              const std::string code = "AV4M10Z9";
                                              for (const DirEntry& image : images) {
                                                  auto path = SourceFile::at(
                                                      joinPath(imageFolder, image.name));
                                                  rows.append("File Name", image.name,
                                                              RowSource::in(path, "DISK", 0, 4,
                                                                            "ROM image mark"));
                                                  rows.append("Code FW", "VAM4019Z",
                                                              RowSource::in(path, code, 0, 8,
                                                                            "firmware code, pairs "
                                                                            "swapped"));
                                                  rows.append("Check sum ROM", "0000",
                                                              RowSource::in(path, std::string_view("\0\0", 2), 0, 2,
                                                                            "ROM checksum"));
                                                  rows.append("Status", "Program A - Main",
                                                              RowSource::in(path, code, 0, 1,
                                                                            "[CL] A=Program A - "
                                                                            "Main"));
                                              }
                                          });
    if (!withCommand || !withRowsAlone) {
        std::printf("\nCheck ROM peak memory: not measured (no /proc/self/clear_refs)\n");
        return;
    }
    const long own = *withCommand - *withRowsAlone;
    std::printf("\nCheck ROM over %zu images: peak %ld KiB above the start, rows alone %ld KiB; "
                "%ld KiB besides the rows (at most %ld KiB: one image and 1 MiB)%s\n",
                images.size(), *withCommand / 1024, *withRowsAlone / 1024, own / 1024,
                kMemoryAllowance / 1024, own <= kMemoryAllowance ? "" : " missed");
}

// CheckLDR's peak on sparse loaders of 2 and 8 GiB: the growth while it runs.
void printCheckLdrMemory(BenchFolders& folders) {
    SilentUi ui;
    ResultList rows;
    Context context{folders.startFolder(), {}, rows, ui, nullptr};
    for (const int gibibytes : {2, 8}) {
        const std::string& path = folders.sparseLoader(std::uint64_t(gibibytes) << 30);
        const auto growth = peakGrowth([] {}, [&] { checkLdr(context, path); });
        if (!growth) {
            std::printf("\nCheckLDR peak memory: not measured (no /proc/self/clear_refs)\n");
            return;
        }
        std::printf("CheckLDR on a sparse loader of %d GiB: peak %ld KiB above the start "
                    "(at most 65536 KiB)%s\n",
                    gibibytes, *growth / 1024, *growth <= 64L * 1024 * 1024 ? "" : " missed");
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    BenchFolders folders;
    FloorReporter reporter(registerBenchmarks(folders));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool met = reporter.printTable();
    if (reporter.measured(kCheckRomName))
        printCheckRomMemory(folders);
    if (reporter.measured("CheckLdr/2GiB-sparse"))
        printCheckLdrMemory(folders);
    benchmark::Shutdown();
    return met ? 0 : 1;
}
