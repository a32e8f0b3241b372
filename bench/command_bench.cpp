// Measures the commands against the cost of reading their files, and the
// "DISK" search against a byte-by-byte walk, in one run. Prints each time as a
// ratio to the baseline of its group, so the figures compare across machines.

#include "modules/rom_check.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

using namespace dravik;

constexpr int kImages = 20;

class SilentUi : public UserInterface {
public:
    void showMessage(const std::string&) override {}
    bool confirm(const std::string&) override { return true; }
};

std::string romImage(int number) {
    std::string bytes(131072, '\x5A');
    bytes.replace(96, 8, "AV4M10Z9");
    bytes.replace(131060, 4, "DISK"); // late in the image: the search walks nearly all of it
    bytes[131070] = static_cast<char>(number);
    return bytes;
}

// A drive folder with kImages ROM images and the default settings, made once.
struct DriveFolder {
    std::string path;
    DriveFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dravik-bench-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        for (int i = 0; i < kImages; ++i)
            write("rom" + std::to_string(i) + ".rpm", romImage(i));
        write("Dravik.ini", std::string(defaultSettingsContent()));
    }
    ~DriveFolder() { std::filesystem::remove_all(path); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(joinPath(path, name), std::ios::binary) << bytes;
    }
};

const DriveFolder& drive() {
    static const DriveFolder folder;
    return folder;
}

void ReadImages_Baseline(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < kImages; ++i)
            benchmark::DoNotOptimize(readWholeFile(joinPath(drive().path, "rom" + std::to_string(i) + ".rpm")));
    }
}
BENCHMARK(ReadImages_Baseline);

void CheckRom(benchmark::State& state) {
    SilentUi ui;
    for (auto _ : state) {
        ResultList rows;
        Context context{drive().path, drive().path, rows, ui, nullptr};
        checkRom(context);
        benchmark::DoNotOptimize(rows.count());
    }
}
BENCHMARK(CheckRom);

void DiskSearchBytewise_Baseline(benchmark::State& state) {
    const std::string image = romImage(0);
    for (auto _ : state) {
        std::size_t found = std::string::npos;
        for (std::size_t i = 0; i + 4 <= image.size(); ++i) {
            if (image[i] == 'D' && image[i + 1] == 'I' && image[i + 2] == 'S' && image[i + 3] == 'K') {
                found = i;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(DiskSearchBytewise_Baseline);

void DiskSearchFind(benchmark::State& state) {
    const std::string image = romImage(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(std::string_view(image).find("DISK"));
}
BENCHMARK(DiskSearchFind);

// Prints, after the usual table, every time as a ratio to the baseline that
// was run before it.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            std::string name = run.benchmark_name();
            double time = run.GetAdjustedRealTime();
            if (name.ends_with("_Baseline"))
                baseline_ = time;
            else if (baseline_ > 0)
                ratios_[name] = time / baseline_;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, ratio] : ratios_)
            std::printf("%-20s %.2fx its baseline\n", name.c_str(), ratio);
    }

private:
    double baseline_ = 0;
    std::map<std::string, double> ratios_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}
