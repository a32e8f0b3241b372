// Browsing opens no file of the folder, so that a pipe, a device or a kernel
// file that never answers a read holds nothing up; inotify tells each one.

#include "app/main_window/main_window.h"
#include "fake_dialogs.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The names in the events waiting on fd; the folder itself comes without one.
std::vector<std::string> namedEvents(int fd) {
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length; (length = ::read(fd, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0)
                names.emplace_back(event->name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return names;
}

TEST(Browsing, OpensNoFileOfTheFolderItShows) {
    dravik::testing::TempFolder start;
    dravik::testing::CurrentDirectoryGuard inStart(start.path());
    dravik::testing::TempFolder drive;
    drive.write("data", "%PDF-1.4\n");
    drive.write("a.ldr", "\x7F"
                         "ELF");
    drive.write("m.rpm", "x");
    drive.write(".hidden", "x");
    drive.makeFolder("sub");
    drive.makeFolder("s_b");
    drive.makeFolder("F2");
    drive.write("B.rpm", "x");
    std::filesystem::create_symlink(drive.file("none"), drive.file("link"));
    ASSERT_EQ(::mkfifo(drive.file("pipe").c_str(), 0666), 0);
    FakeDialogs dialogs;
    TForm1 w(dialogs);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, drive.path().c_str(), IN_OPEN | IN_ACCESS), 0);
    w.browseTo(drive.path());
    emit w.ShellComboBox1->activated(w.ShellComboBox1->currentIndex());
    QAbstractItemModel* list = w.ShellListView1->model();
    for (int wait = 0; wait < 500 && list->rowCount() < 9; ++wait)
        QTest::qWait(10);
    w.ShellListView1->viewport()->repaint(); // every entry with its icon
    QTest::qWait(50);

    EXPECT_EQ(namedEvents(watch), std::vector<std::string>{});
    ::close(watch);
    // Folders first, then the rest, each without regard to case; hidden names
    // left out.
    QStringList rows;
    for (int row = 0; row < list->rowCount(); ++row)
        rows << list->index(row, 0).data().toString();
    EXPECT_EQ(rows, (QStringList{"F2", "s_b", "sub", "a.ldr", "B.rpm", "data", "link", "m.rpm",
                                 "pipe"}));
}

} // namespace
