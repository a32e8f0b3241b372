// The library of drive folders at shop scale: find and donors on a library of
// 100,000 sample-like drives, on SQLite and on PostgreSQL, each timed in turns
// with its baseline, a lookup of one drive by its id (the least a query of the
// same store costs: one round trip and one index step); and the size of the
// SQLite file for 10,000 drives. PostgreSQL is measured when
// DRAVIK_BENCH_POSTGRES_URL names a server (bench/run starts a throwaway one).
// Libraries are built once, with seeded values, and kept under the temporary
// folder for the next run (a server's for as long as it lives).

#include "library/adding.h"
#include "library/sql.h"
#include "library/store.h"
#include "library/sha256.h"
#include "platform/process.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace dravik::library;

constexpr int kShopDrives = 100000;
constexpr int kSizeDrives = 10000;

// Ten families, each with a few firmware codes, boards and configurations,
// as a shop's shelves hold them.
const char* const kFamilies[] = {"Ares 64", "Athena", "Calypso", "Falcon", "N40P",
                                 "Neptune", "Nike",   "Rigel",   "Romulus", "Ares 128"};

std::string padded(std::string value, std::size_t width) {
    value.resize(std::max(width, value.size()), ' ');
    return value;
}

std::string hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xffff);
    return text;
}

// Drive number i, shaped as the sample folders decode: 21 passport rows, 9 of
// the specification, 8 of two ROM images and 5 of a loader, with sources.
Snapshot sampleLikeDrive(int i) {
    std::mt19937 random(static_cast<unsigned>(i));
    const int family = i % 10;
    const std::string code = std::string("V") + char('A' + family) + "M40" + std::to_string(10 + random() % 6) + "Z";
    const std::string serial = "WX" + std::to_string(10000000 + i);
    const std::string rom = hex4(random() % 64);
    Snapshot drive;
    drive.path = "/srv/shop/drives/" + serial;
    drive.files = {{"pasport.rpm", 512, 1700000000000000000 + i, sha256Hex(serial)},
                   {"rom.rpm", 131072, 1700000000000000001 + i, sha256Hex(rom + serial)},
                   {"rom-b.rpm", 131072, 1700000000000000002 + i, sha256Hex(rom)},
                   {"specification.rpm", 2048, 1700000000000000003 + i, sha256Hex(code)},
                   {serial + ".ldr", 131840, 1700000000000000004 + i, sha256Hex(code + rom)}};
    std::int64_t offset = 0;
    const auto add = [&](Block block, const std::string& file, const std::string& name,
                         const std::string& value) {
        drive.rows.push_back({block, block == Block::Loader ? file : "", name, value,
                              StoredSource{file, offset, value.substr(0, 8), "[2F] " + name + "=S" + std::to_string(offset) + ",8"}});
        offset = (offset + 8) % 512;
    };
    const std::pair<const char*, std::string> pasport[] = {
        {"Family", kFamilies[family]},
        {"Name", kFamilies[family]},
        {"Model", "MODEL" + std::to_string(family) + "-0408A"},
        {"Model 1", padded("MODEL-", 32)},
        {"Code FW", padded(code, 32)},
        {"Serial", padded(serial, 32)},
        {"Ata", "ATA-6 UDMA5"},
        {"Size", std::to_string(20 * (1 + random() % 8)) + "GB"},
        {"LBA", std::to_string(78165360 + random() % 1000)},
        {"Date (Time)", std::to_string(1 + random() % 28) + ".3.2003 (12:5)"},
        {"Alphabetic value", padded("ALFA", 32)},
        {"PCBA Pn. IDE Label", padded("20-" + std::to_string(random() % 12) + "X", 32)},
        {"PCBA Config", padded("C" + std::to_string(random() % 40), 32)},
        {"Unique", padded("U" + std::to_string(random() % 100), 32)},
        {"HDA Module", padded("HDA" + std::to_string(random() % 8), 32)},
        {"None1", "2F-BASE"},
        {"Cod", std::to_string(random() % 10000)},
        {"None", "R07"},
        {"+5V", padded("0.5", 32)},
        {"+12V", padded("0.8", 32)},
        {"Ver. Module", padded("Q8A07", 32)},
    };
    for (const auto& [name, value] : pasport)
        add(Block::Pasport, "pasport.rpm", name, value);
    const std::pair<const char*, std::string> specification[] = {
        {"Specification", "version 213"}, {"Heads", "4"},         {"Cylinders", "82101"},
        {"Sectors", "63"},                {"LBA", "78165360"},     {"Cache KB", "2048"},
        {"Spindle RPM", "7200"},          {"Zones", "16"},         {"Servo", "SV 1.4"},
    };
    for (const auto& [name, value] : specification)
        add(Block::Specification, "specification.rpm", name, value);
    for (const std::string file : {"rom-b.rpm", "rom.rpm"}) {
        add(Block::CheckRom, file, "File Name", file);
        add(Block::CheckRom, file, "Code FW", code);
        add(Block::CheckRom, file, "Check sum ROM", rom);
        add(Block::CheckRom, file, "Status", "Program A - Main");
    }
    const std::string loader = serial + ".ldr";
    add(Block::Loader, loader, "Check sum ROM in LDR", rom);
    add(Block::Loader, loader, "Check sum LDR", hex4(random()));
    add(Block::Loader, loader, "Code FW", code);
    add(Block::Loader, loader, "Family", std::string("2F_") + kFamilies[family]);
    add(Block::Loader, loader, "Status", "Program A - Main");
    return drive;
}

std::string benchFolder() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "dravik-library-bench";
    std::filesystem::create_directories(folder);
    return folder.string();
}

// A store of count drives at url, added when it holds fewer.
std::unique_ptr<Store> filledStore(const std::string& url, int count) {
    std::unique_ptr<Store> store = openStore(url);
    std::vector<Snapshot> batch;
    for (int i = static_cast<int>(store->list().size()); i < count; ++i) {
        batch.push_back(sampleLikeDrive(i));
        if (batch.size() == kDrivesPerTransaction || i + 1 == count) {
            store->putAll(batch);
            batch.clear();
        }
    }
    return store;
}

struct Library {
    std::string engine;
    std::string url;
};

std::vector<Library> libraries() {
    std::vector<Library> all = {{"SQLite", benchFolder() + "/shop-100000.sqlite"}};
    const std::string server = dravik::environmentVariable("DRAVIK_BENCH_POSTGRES_URL");
    if (!server.empty())
        all.push_back({"PostgreSQL", server});
    return all;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The query and the baseline by turns; the counters are their median wall
// times and the median of the turns' ratios.
// A broad answer's time is "answer_ms", which has no target.
template <class Query>
void timedInTurns(benchmark::State& state, Store& store, Query query, bool targeted) {
    const std::int64_t someId = store.list().front().id;
    std::vector<double> queryTimes, baseTimes, ratios;
    std::size_t answers = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        answers = query(store);
        const auto middle = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(store.lookUp(DriveRef::byId(someId)));
        const auto end = std::chrono::steady_clock::now();
        const double queried = std::chrono::duration<double, std::milli>(middle - start).count();
        const double base = std::chrono::duration<double, std::milli>(end - middle).count();
        queryTimes.push_back(queried);
        baseTimes.push_back(base);
        ratios.push_back(queried / base);
    }
    state.counters[targeted ? "ms" : "answer_ms"] = median(queryTimes);
    state.counters["baseline_ms"] = median(baseTimes);
    state.counters["ratio"] = median(ratios);
    state.counters["answers"] = static_cast<double>(answers);
}

std::vector<FindTerm> terms(std::initializer_list<const char*> texts) {
    std::vector<FindTerm> all;
    for (const char* text : texts)
        all.push_back(FindTerm::parse(text));
    return all;
}

void registerShopBenchmarks() {
    for (const Library& library : libraries()) {
        // Built once, on first use, and shared by the benchmarks of the engine.
        const auto store = std::make_shared<std::unique_ptr<Store>>();
        const auto shop = [store, library]() -> Store& {
            if (!*store) {
                *store = filledStore(library.url, kShopDrives);
                // A server's autovacuum brings its statistics and its map of
                // visible pages up to date within a minute of a large add;
                // the queries are timed as they run from then on.
                if (library.engine == "PostgreSQL")
                    connectPostgres(library.url)->query("VACUUM ANALYZE");
            }
            return **store;
        };
        const auto add = [&](const std::string& name, auto query, bool targeted = true) {
            benchmark::RegisterBenchmark((library.engine + "/" + name).c_str(),
                                         [shop, query, targeted](benchmark::State& state) {
                                             timedInTurns(state, shop(), query, targeted);
                                         })
                ->Iterations(30)
                ->Unit(benchmark::kMillisecond);
        };
        add("FindSerial", [](Store& s) { return s.find(terms({"Serial=WX10054321"})).size(); });
        add("FindPartOfSerial", [](Store& s) { return s.find(terms({"Serial~wx1005432"})).size(); });
        add("FindFamilyAndCode", [](Store& s) {
            return s.find(terms({"Family=Nike", "Code FW~vgm4012", "PCBA Config=C7"})).size();
        });
        // A broad answer: a tenth of the library, for what such a list costs.
        add("FindFamily", [](Store& s) { return s.find(terms({"Family=Nike"})).size(); }, false);
        const Snapshot bench = sampleLikeDrive(54321);
        add("Donors", [bench](Store& s) { return s.donors(bench, defaultMatchNames(), 20).size(); });
    }
}

// The SQLite file of 10,000 sample-like drives, in MB.
void LibraryFileSize(benchmark::State& state) {
    const std::string path = benchFolder() + "/size-10000.sqlite";
    filledStore(path, kSizeDrives);
    for (auto _ : state)
        benchmark::DoNotOptimize(std::filesystem::file_size(path));
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["KB_per_drive"] = static_cast<double>(std::filesystem::file_size(path)) / 1e3 / kSizeDrives;
}
BENCHMARK(LibraryFileSize)->Iterations(1);

// The console's report, noting a missed target: an answer of 50 ms or more,
// a file of 100 MB or more.
class TargetReporter : public benchmark::ConsoleReporter {
  public:
    TargetReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // Each run, or the median of repetitions.
            if (!run.aggregate_name.empty() && run.aggregate_name != "median")
                continue;
            const auto over = [&](const char* counter, double target) {
                const auto found = run.counters.find(counter);
                return found != run.counters.end() && found->second.value >= target;
            };
            if (over("ms", 50) || over("MB", 100)) {
                missed = true;
                std::fprintf(stderr, "target missed: %s\n", run.benchmark_name().c_str());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    bool missed = false;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    registerShopBenchmarks();
    TargetReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.missed ? 1 : 0;
}
