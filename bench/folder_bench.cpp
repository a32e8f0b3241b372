// The folder browser in big folders, against listing the folder: a folder of
// 20,000 loaders and one of 100,000 entries, each entered by a double-click,
// re-read by the refresh button and by F5 in the shown window (offscreen).
// Each is timed until the folder list shows every entry and is painted; the
// counter "block" is the longest the window took to answer meanwhile: the
// longest single pass of its event loop, the double-click's handler included.

#include "app/main_window/main_window.h"
#include "silent_dialogs.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// A folder of the given entries under one temporary parent, made when first
// asked for and removed at the end of the run.
struct BigFolder {
    std::string parent;
    std::string path;
    int entries = 0;
};

std::string benchRoot() {
    return (std::filesystem::temp_directory_path() / "dravik-folder-bench").string();
}

// 20,000 loaders.
const BigFolder& loaderFolder() {
    static const BigFolder folder = [] {
        BigFolder made{benchRoot(), benchRoot() + "/loaders", 20000};
        std::filesystem::remove_all(made.path);
        std::filesystem::create_directories(made.path);
        for (int i = 0; i < made.entries; ++i)
            std::ofstream(made.path + "/" + std::to_string(100000 + i) + "_VAM4019Z.ldr") << "x";
        return made;
    }();
    return folder;
}

// 100,000 entries: loaders, modules, other files and a few folders.
const BigFolder& entryFolder() {
    static const BigFolder folder = [] {
        BigFolder made{benchRoot(), benchRoot() + "/entries", 100000};
        std::filesystem::remove_all(made.path);
        std::filesystem::create_directories(made.path);
        static const char* const kExtensions[] = {".ldr", ".rpm", ".bin", ".txt", ""};
        for (int i = 0; i < made.entries; ++i) {
            const std::string name = made.path + "/E" + std::to_string(100000 + i);
            if (i % 100 == 0)
                std::filesystem::create_directory(name);
            else
                std::ofstream(name + kExtensions[i % 5]);
        }
        return made;
    }();
    return folder;
}

// The least a file browser does: every entry's name and kind.
void listFolder(benchmark::State& state, const BigFolder& folder) {
    for (auto _ : state) {
        DIR* dir = ::opendir(folder.path.c_str());
        int listed = 0;
        while (const dirent* entry = ::readdir(dir)) {
            struct stat info {};
            if (entry->d_name[0] != '.' && ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0)
                ++listed;
        }
        ::closedir(dir);
        if (listed != folder.entries)
            state.SkipWithError("the folder does not hold its entries");
    }
}

// The shown window, browsing the folder's parent with the loader list there.
class Browser {
  public:
    explicit Browser(const BigFolder& folder) : folder_(folder), window_(dialogs_) {
        window_.show();
        QApplication::setActiveWindow(&window_);
        leaveFolder();
    }

    void leaveFolder() {
        window_.browseTo(folder_.parent);
        window_.ShellComboBox1Change();
        const auto entries = std::filesystem::directory_iterator(folder_.parent);
        waitForEntries(static_cast<int>(std::distance(begin(entries), end(entries))));
    }

    QModelIndex folderItem() const {
        QAbstractItemModel* model = window_.ShellListView1->model();
        const QModelIndex root = window_.ShellListView1->rootIndex();
        const QString name = QString::fromStdString(std::filesystem::path(folder_.path).filename());
        for (int row = 0; row < model->rowCount(root); ++row)
            if (model->index(row, 0, root).data().toString() == name)
                return model->index(row, 0, root);
        return {};
    }

    // Runs the interaction, then the event loop until the list shows every
    // entry, and paints it. Gives the longest time the window did not answer,
    // or -1 when the list did not come to show the folder.
    template <class Interaction> double run(Interaction interaction) {
        QElapsedTimer pass;
        pass.start();
        interaction(window_);
        const double handler = pass.nsecsElapsed() / 1e6;
        const double waited = waitForEntries(folder_.entries);
        window_.ShellListView1->viewport()->repaint();
        return waited < 0 ? waited : std::max(handler, waited);
    }

    TForm1& window() { return window_; }

  private:
    double waitForEntries(int count) {
        QAbstractItemModel* model = window_.ShellListView1->model();
        double longest = 0;
        QElapsedTimer pass;
        QElapsedTimer waiting;
        waiting.start();
        for (int idle = 0; idle < 3;) {
            if (waiting.elapsed() > 120000)
                return -1;
            model = window_.ShellListView1->model();
            pass.start();
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            longest = std::max(longest, pass.nsecsElapsed() / 1e6);
            const bool complete = model->rowCount(window_.ShellListView1->rootIndex()) == count;
            idle = complete ? idle + 1 : 0;
        }
        return longest;
    }

    const BigFolder& folder_;
    SilentDialogs dialogs_;
    TForm1 window_;
};

void timeInteraction(benchmark::State& state, const BigFolder& folder, bool enter,
                     void (*interaction)(TForm1&, const QModelIndex&)) {
    Browser browser(folder);
    double longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (enter) {
            browser.leaveFolder();
        } else if (browser.window().shownFolder() != folder.path) {
            browser.window().ShellListView1DblClick(browser.folderItem());
            browser.run([](TForm1&) {});
        }
        const QModelIndex item = enter ? browser.folderItem() : QModelIndex();
        state.ResumeTiming();
        const double block = browser.run([&](TForm1& w) {
            interaction(w, item);
            // A re-read that did not start would time nothing.
            if (!enter && w.ShellListView1->model()->rowCount(w.ShellListView1->rootIndex()) != 0)
                state.SkipWithError("the folder list was not read again");
        });
        if (block < 0)
            state.SkipWithError("the folder list did not come to show the folder");
        longest = std::max(longest, block);
    }
    state.counters["block"] = longest;
}

void doubleClick(TForm1& window, const QModelIndex& item) {
    window.ShellListView1DblClick(item);
}

void refreshButton(TForm1& window, const QModelIndex&) {
    window.ToolButton7Click();
}

void keyF5(TForm1& window, const QModelIndex&) {
    window.ShellListView1->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(window.ShellListView1, &press);
}

// Each folder's floor, then each interaction in it, five times each.
const bool registered = [] {
    const struct {
        const char* name;
        const BigFolder& (*folder)();
    } folders[] = {{"BM_Loaders20k", loaderFolder}, {"BM_Entries100k", entryFolder}};
    const struct {
        const char* name;
        bool enter;
        void (*interaction)(TForm1&, const QModelIndex&);
    } interactions[] = {{"_DoubleClick", true, doubleClick},
                        {"_Refresh", false, refreshButton},
                        {"_F5", false, keyF5}};
    for (const auto& folder : folders) {
        benchmark::RegisterBenchmark(
            (folder.name + std::string("_Floor")).c_str(),
            [=](benchmark::State& state) { listFolder(state, folder.folder()); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        for (const auto& interaction : interactions)
            benchmark::RegisterBenchmark((folder.name + std::string(interaction.name)).c_str(),
                                         [=](benchmark::State& state) {
                                             timeInteraction(state, folder.folder(),
                                                             interaction.enter,
                                                             interaction.interaction);
                                         })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(5);
    }
    return true;
}();

// Removes the big folders when the run ends.
struct RemoveAtExit {
    ~RemoveAtExit() { std::filesystem::remove_all(benchRoot()); }
} removeAtExit;

} // namespace
