// Browsing a folder opens no file in it: the folder list, its icons, the
// loader list and the enabling rules look at names and kinds only, so that a
// pipe, a device or a kernel file that never answers a read holds nothing up.
// inotify tells each file that is opened.

#include "Unit1.h"
#include "fake_dialogs.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QListView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using dravik::testing::CurrentDirectoryGuard;
using dravik::testing::TempFolder;

// The names of the entries of folder that were opened or read since start().
class OpenedFiles {
  public:
    explicit OpenedFiles(const std::string& folder)
        : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(::inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_ACCESS), 0);
    }
    ~OpenedFiles() { ::close(fd_); }

    std::vector<std::string> names() const {
        std::vector<std::string> opened;
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                // The folder itself, opened to list it, comes without a name.
                if (event->len > 0)
                    opened.emplace_back(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return opened;
    }

  private:
    int fd_;
};

TEST(Browsing, OpensNoFileOfTheFolderItShows) {
    TempFolder start;
    CurrentDirectoryGuard inStart(start.path());
    TempFolder drive;
    drive.write("data", "%PDF-1.4\n");
    drive.write("a.ldr", "\x7F" "ELF");
    drive.write("m.rpm", "x");
    drive.makeFolder("sub");
    ASSERT_EQ(::mkfifo(drive.file("pipe").c_str(), 0666), 0);

    FakeDialogs dialogs;
    TForm1 w(dialogs);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const OpenedFiles opened(drive.path());
    w.browseTo(drive.path());
    emit w.ShellComboBox1->activated(w.ShellComboBox1->currentIndex());
    QAbstractItemModel* model = w.ShellListView1->model();
    for (int attempt = 0; attempt < 500 && model->rowCount(w.ShellListView1->rootIndex()) < 5;
         ++attempt)
        QTest::qWait(10);
    // Painted, with every entry's icon.
    w.ShellListView1->viewport()->repaint();
    QTest::qWait(50);

    EXPECT_EQ(opened.names(), std::vector<std::string>{});
    EXPECT_EQ(model->rowCount(w.ShellListView1->rootIndex()), 5) << "the pipe is listed too";
    EXPECT_TRUE(w.Button6->isEnabled());
    EXPECT_TRUE(w.Button2->isEnabled());
}

} // namespace
