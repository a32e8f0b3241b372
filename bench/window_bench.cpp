// The window against its floor, in one run: TForm1 created, shown and painted
// once (offscreen) against a bare QMainWindow of the same size with a toolbar
// and a table view; the loader list's re-read of a folder of 10,000 files
// against listing that folder with readdir and fstatat; the settings editor's
// check and its typing with 1 MiB of text, also with the layout preview open;
// the Bytes window on a row of a 2 GiB file; CheckLDR on a sparse loader of
// 2 GiB, with the longest the window took to answer; the Compare window on two
// passports against a bare window with a table view; the layout preview's
// decode of the default settings against their check. Each ratio is printed.

#include "app/bytes/bytes_window.h"
#include "app/compare/compare_window.h"
#include "app/main_window/main_window.h"
#include "app/settings_editor/layout_preview.h"
#include "app/settings_editor/settings_check_label.h"
#include "app/settings_editor/settings_editor.h"
#include "app/settings_editor/settings_pipeline.h"
#include "drive_folders.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "silent_dialogs.h"
#include "workspace/loader_list.h"
#include "workspace/pasport_preview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

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

// The settings editor holding a text of 1 MiB, 64 bytes below the most it
// holds so that keys can be typed: its whole check (the text taken from the
// editor, then checked, as a worker does it) against taking the text alone.
TForm2& bigTextEditor() {
    // Made once and kept: a window must go before the application does.
    static TForm2* editor = [] {
        auto* form = new TForm2;
        form->setSettingsText(dravik::bench::familySettingsText(kMemoCapacity - 64));
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
        editor.pipeline()->passNow();
        benchmark::DoNotOptimize(editor.Label1->text());
    }
}
BENCHMARK(BM_EditorCheck_Count)->Unit(benchmark::kMillisecond);

// Typing into the settings editor holding 1 MiB, a key then a pause long
// enough for the check, as the user types, against the same keys in a bare
// editor holding the same text. The time of each is the longest the window
// took to answer: a key's handling or one pass of its event loop.
double longestAnswer(QPlainTextEdit& memo) {
    double longest = 0;
    QElapsedTimer pass;
    for (int key = 0; key < 4; ++key) {
        pass.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&memo, &press);
        longest = std::max(longest, static_cast<double>(pass.nsecsElapsed()) / 1e9);
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < 2 * SettingsPipeline::kPause + 400) {
            pass.start();
            QApplication::processEvents();
            longest = std::max(longest, static_cast<double>(pass.nsecsElapsed()) / 1e9);
            QThread::msleep(1);
        }
    }
    return longest;
}

void BM_EditorTyping_Floor(benchmark::State& state) {
    QPlainTextEdit memo;
    memo.setPlainText(
        QString::fromLatin1(dravik::bench::familySettingsText(kMemoCapacity).c_str()));
    for (auto _ : state)
        state.SetIterationTime(longestAnswer(memo));
}
BENCHMARK(BM_EditorTyping_Floor)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_EditorTyping_Memo(benchmark::State& state) {
    TForm2& editor = bigTextEditor();
    for (auto _ : state)
        state.SetIterationTime(longestAnswer(*editor.Memo1));
}
BENCHMARK(BM_EditorTyping_Memo)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

bool sparseImageMade = false;

// The Bytes window on a row of a sparse 2 GiB image, its value near the end:
// the row shown (read, then drawn) against reading the same 544 bytes alone.
const std::string& sparseImage() {
    static const std::string path = [] {
        std::string file =
            (std::filesystem::temp_directory_path() / "dravik-bytes-bench.rpm").string();
        std::ofstream(file).close();
        std::filesystem::resize_file(file, std::uintmax_t{2} << 30);
        sparseImageMade = true;
        return file;
    }();
    return path;
}

constexpr std::int64_t kSparseValueAt = (std::int64_t{2} << 30) - 4096;

void BM_Bytes_Floor(benchmark::State& state) {
    const int fd = ::open(sparseImage().c_str(), O_RDONLY);
    std::string bytes(544, '\0');
    for (auto _ : state)
        benchmark::DoNotOptimize(::pread(fd, bytes.data(), bytes.size(), kSparseValueAt - 256));
    ::close(fd);
}
BENCHMARK(BM_Bytes_Floor)->Unit(benchmark::kMillisecond);

void BM_Bytes_Row(benchmark::State& state) {
    BytesWindow window(nullptr);
    const dravik::ResultRow row{"Check sum ROM", "0000",
                                dravik::RowSource{dravik::SourceFile::at(sparseImage()),
                                                  kSparseValueAt, std::string(2, '\0'),
                                                  std::nullopt, "ROM checksum"}};
    for (auto _ : state) {
        window.showRow(row);
        benchmark::DoNotOptimize(window.view()->document()->blockCount());
    }
    if (window.view()->document()->blockCount() < 34)
        state.SkipWithError("the bytes were not shown");
}
BENCHMARK(BM_Bytes_Row)->Unit(benchmark::kMillisecond);

// The Compare window opened on the passports of two drive folders of other
// families, shown and painted once, against a bare window of the same size
// with a table view. Its time is to stay under 50 ms.
dravik::bench::BenchFolders& benchFolders() {
    static dravik::bench::BenchFolders folders;
    return folders;
}

// CheckLDR in the shown window on a sparse loader of 2 GiB, from the press to
// its five rows, against reading the loader's places; "block" is the longest
// the window took to answer meanwhile, the press's own handler included.
const std::string& bigLoader() {
    return benchFolders().sparseLoader(std::uint64_t{2} << 30);
}

void BM_CheckLdr_Floor(benchmark::State& state) {
    std::vector<char> buffer;
    for (auto _ : state)
        benchmark::DoNotOptimize(dravik::bench::readLoaderPlaces(bigLoader(), buffer));
}
BENCHMARK(BM_CheckLdr_Floor)->Unit(benchmark::kMillisecond);

void BM_CheckLdr_Window(benchmark::State& state) {
    SilentDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    window.chooseFolder(dravik::folderOf(bigLoader()));
    window.FileListBox1->setCurrentRow(0);
    double longest = 0;
    for (auto _ : state) {
        window.results().clear();
        QElapsedTimer pass;
        pass.start();
        window.ACheckLDR->trigger();
        for (;;) {
            longest = std::max(longest, pass.nsecsElapsed() / 1e6);
            if (window.results().count() == 5)
                break;
            pass.start();
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }
    if (window.results().row(1).value != "BEEF")
        state.SkipWithError("the loader was not checked");
    state.counters["block"] = longest;
}
BENCHMARK(BM_CheckLdr_Window)->Unit(benchmark::kMillisecond);

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

// Runs the event loop until the Compare window shows what it read; gives the
// longest time in nanoseconds that the loop did not answer meanwhile, told by
// a timer that ticks as often as it can.
double waitUntilShown(CompareWindow& window) {
    QEventLoop loop;
    QObject::connect(&window, &CompareWindow::shown, &loop, &QEventLoop::quit);
    QElapsedTimer sinceTick;
    sinceTick.start();
    double longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, static_cast<double>(sinceTick.nsecsElapsed()));
        sinceTick.restart();
    });
    ticks.start(1);
    if (window.reading())
        loop.exec();
    return std::max(longest, static_cast<double>(sinceTick.nsecsElapsed()));
}

// The window opened on two folders of ROM images: the longest time it keeps
// its thread from answering (at opening, or while the rows come), as a share
// of the time until its rows show ("stalled"). The folders are read and paired
// on a worker, so the share stays small however many images there are.
void BM_Compare_Window(benchmark::State& state) {
    dravik::bench::BenchFolders& folders = benchFolders();
    const std::string& roms = folders.romFolder();
    SilentDialogs dialogs;
    double stalled = 0;
    double whole = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        CompareWindow window(dravik::CompareBlock::CheckRom, roms, roms, folders.startFolder(),
                             dialogs, nullptr);
        window.show();
        const double opening = static_cast<double>(timer.nsecsElapsed());
        stalled = std::max({stalled, opening, waitUntilShown(window)});
        whole += static_cast<double>(timer.nsecsElapsed());
        if (window.blocks().size() < 2)
            state.SkipWithError("no ROM images");
    }
    state.counters["stalled_share"] =
        whole > 0 ? stalled * static_cast<double>(state.iterations()) / whole : 0;
}

BENCHMARK(BM_Compare_Window)->Unit(benchmark::kMillisecond);

// The layout preview open beside that editor on a passport module of the
// family "2F": the check, whose result the preview decodes by, until the
// preview shows it.
LayoutPreview& openPreview(TForm2& editor) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(benchFolders().pasportFolder("2F"));
    editor.openPreview();
    std::filesystem::current_path(before);
    return *editor.findChild<LayoutPreview*>();
}

// Runs the event loop until the preview shows its newest decode.
void waitForRefresh(LayoutPreview& preview) {
    QEventLoop loop;
    QObject::connect(&preview, &LayoutPreview::refreshed, &loop, &QEventLoop::quit);
    loop.exec();
}

// CPU time is the user-interface thread's, which the preview's decode in its
// worker does not hold up; real time lasts until the preview shows the text.
void BM_EditorCheck_WithPreview(benchmark::State& state) {
    TForm2& editor = bigTextEditor();
    LayoutPreview& preview = openPreview(editor);
    waitForRefresh(preview);
    for (auto _ : state) {
        editor.pipeline()->passNow();
        waitForRefresh(preview);
    }
}
BENCHMARK(BM_EditorCheck_WithPreview)->Unit(benchmark::kMillisecond);

// Typing with the preview open, measured as BM_EditorTyping_Memo measures
// it: the longest the window took to answer a key or a pass of its loop,
// the check's and the preview's passes among them.
void BM_EditorTyping_WithPreview(benchmark::State& state) {
    TForm2& editor = bigTextEditor();
    openPreview(editor);
    for (auto _ : state)
        state.SetIterationTime(longestAnswer(*editor.Memo1));
}
BENCHMARK(BM_EditorTyping_WithPreview)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// A refresh of the preview as typing in the default settings makes it: the
// text checked, parsed and the module decoded, against the check alone,
// which the editor made before there was a preview.
void BM_PreviewRefresh_Floor(benchmark::State& state) {
    const std::string text(dravik::defaultSettingsContent());
    for (auto _ : state)
        benchmark::DoNotOptimize(dravik::checkSettings(text));
}
BENCHMARK(BM_PreviewRefresh_Floor)->Unit(benchmark::kMicrosecond);

void BM_PreviewRefresh_Decode(benchmark::State& state) {
    const std::string text(dravik::defaultSettingsContent());
    const dravik::PasportCandidate module =
        dravik::choosePasportModule(benchFolders().pasportFolder("2F"));
    for (auto _ : state)
        benchmark::DoNotOptimize(dravik::passSettings(text, module));
}
BENCHMARK(BM_PreviewRefresh_Decode)->Unit(benchmark::kMicrosecond);

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
    if (sparseImageMade)
        std::filesystem::remove(sparseImage());
    return 0;
}
