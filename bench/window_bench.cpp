// The window against its floor, in one run: TForm1 created, shown and painted
// once (offscreen) against a bare QMainWindow of the same size with a toolbar
// and a table view; and the loader list's re-read of a folder of 10,000 files
// against listing that folder with readdir and fstatat; the Compare window on
// two passports against a bare window with a table view. Each ratio is printed.

#include "Unit1.h"
#include "Unit2.h"
#include "compare_window.h"
#include "drive_folders.h"
#include "settings_check_label.h"
#include "silent_dialogs.h"
#include "workspace/loader_list.h"

#include <QApplication>
#include <QMainWindow>
#include <QTableView>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void BM_Window_Floor(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        window.addToolBar(new QToolBar(&window));
        window.setCentralWidget(new QTableView(&window));
        window.resize(592, 452);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_Window_Floor)->Unit(benchmark::kMillisecond);

void BM_Window_TForm1(benchmark::State& state) {
    SilentDialogs dialogs;
    for (auto _ : state) {
        TForm1 window(dialogs);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_Window_TForm1)->Unit(benchmark::kMillisecond);

bool bigFolderMade = false;

// A folder of 10,000 files: a few loaders among many other files.
const std::string& bigFolder() {
    static const std::string path = [] {
        std::string folder =
            (std::filesystem::temp_directory_path() / "dravik-window-bench").string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        for (int i = 0; i < 10000; ++i) {
            const char* extension = i % 500 == 0 ? ".ldr" : (i % 2 ? ".rpm" : ".bin");
            std::ofstream(folder + "/f" + std::to_string(i) + extension) << "x";
        }
        bigFolderMade = true;
        return folder;
    }();
    return path;
}

void BM_LoaderList_Floor(benchmark::State& state) {
    const std::string& folder = bigFolder();
    for (auto _ : state) {
        DIR* dir = ::opendir(folder.c_str());
        std::size_t files = 0;
        while (const dirent* entry = ::readdir(dir)) {
            struct stat info {};
            if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode))
                ++files;
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(files);
    }
}
BENCHMARK(BM_LoaderList_Floor)->Unit(benchmark::kMillisecond);

void BM_LoaderList_Reread(benchmark::State& state) {
    const std::string& folder = bigFolder();
    const std::string before = std::filesystem::current_path().string();
    std::filesystem::current_path(folder);
    dravik::LoaderList list;
    for (auto _ : state) {
        list.reread();
        benchmark::DoNotOptimize(list.files().size());
    }
    std::filesystem::current_path(before);
}
BENCHMARK(BM_LoaderList_Reread)->Unit(benchmark::kMillisecond);

// The settings editor holding a text of 1 MiB, the most it loads: its check
// after a pause in typing (the text taken from the editor, then checked)
// against taking the text alone.
TForm2& bigTextEditor() {
    // Made once and kept: a window must go before the application does.
    static TForm2* editor = [] {
        auto* form = new TForm2;
        form->setSettingsText(dravik::bench::familySettingsText(kMemoCapacity));
        return form;
    }();
    return *editor;
}

void BM_EditorCheck_Floor(benchmark::State& state) {
    TForm2& editor = bigTextEditor();
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.settingsText());
}
BENCHMARK(BM_EditorCheck_Floor)->Unit(benchmark::kMillisecond);

void BM_EditorCheck_Count(benchmark::State& state) {
    TForm2& editor = bigTextEditor();
    for (auto _ : state) {
        editor.Label1->checkNow();
        benchmark::DoNotOptimize(editor.Label1->text());
    }
}
BENCHMARK(BM_EditorCheck_Count)->Unit(benchmark::kMillisecond);

// The Compare window opened on the passports of two drive folders of other
// families, shown and painted once, against a bare window of the same size
// with a table view. Its time is to stay under 50 ms.
dravik::bench::BenchFolders& benchFolders() {
    static dravik::bench::BenchFolders folders;
    return folders;
}

void BM_Compare_Floor(benchmark::State& state) {
    for (auto _ : state) {
        QWidget window;
        auto* table = new QTableView(&window);
        table->resize(720, 480);
        window.resize(720, 480);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_Compare_Floor)->Unit(benchmark::kMillisecond);

void BM_Compare_Window(benchmark::State& state) {
    dravik::bench::BenchFolders& folders = benchFolders();
    const std::string& one = folders.pasportFolder("2F");
    const std::string& other = folders.pasportFolder("2B");
    for (auto _ : state) {
        CompareWindow window(CompareCommand::Pasport, one, other, folders.startFolder(), nullptr);
        window.show();
        benchmark::DoNotOptimize(window.grab());
        if (window.pairs().size() < 2)
            state.SkipWithError("no passport rows");
    }
}
BENCHMARK(BM_Compare_Window)->Unit(benchmark::kMillisecond);

// Prints each benchmark's time as a ratio to the floor of its group.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            const std::string group = name.substr(0, name.find('_', 3));
            const double time = run.GetAdjustedRealTime();
            if (name.ends_with("_Floor"))
                floors_[group] = time;
            else if (auto floor = floors_.find(group); floor != floors_.end()) {
                std::printf("  %-32s %.2fx its floor", name.c_str(), time / floor->second);
                // The longest the window took to answer meanwhile.
                if (auto block = run.counters.find("block"); block != run.counters.end())
                    std::printf(", blocked %.2fx", block->second / floor->second);
                std::printf("\n");
            }
        }
    }

  private:
    std::map<std::string, double> floors_;
};

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (bigFolderMade)
        std::filesystem::remove_all(bigFolder());
    return 0;
}
