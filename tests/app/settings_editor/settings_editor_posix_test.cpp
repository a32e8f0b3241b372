// The settings editor where the file system refuses: a file the user may not
// read, a write that fails midway. Both need POSIX permissions and limits.

#include "platform/errors.h"
#include "settings_editor_fixture.h"
#include "support/test_support.h"

#include <QThreadPool>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using dravik::testing::namesIn;
using dravik::testing::runAsOrdinaryUser;
using dravik::testing::runInChild;
using dravik::testing::thrownMessage;

// A child forked while a worker of the pool runs may inherit a lock the worker
// held (the allocator's, under the sanitizers) and wait for it forever: the
// pool's threads end before each fork.
void endWorkers() {
    QThreadPool::globalInstance()->waitForDone();
}

TEST_F(SettingsEditor, AFileThatCannotBeReadIsReportedWithoutShowingTheEditor) {
    const std::string path = start.write("Dravik.ini", "[Mod]\r\n");
    ::chmod(start.path().c_str(), 0755);
    ::chmod(path.c_str(), 0);
    endWorkers();
    const std::string outcome = runAsOrdinaryUser([&] {
        const std::string message = thrownMessage<dravik::FileOpenError>([&] { edit(); });
        return message + (dialogs.editorRuns > 0 ? " [editor shown]" : "");
    });
    EXPECT_EQ(outcome, "Cannot open file \"" + path + "\". " + std::strerror(EACCES));
}

TEST_F(SettingsEditor, AFailedWriteKeepsTheEarlierFileAndTheEditorsText) {
    start.write("Dravik.ini", "[Mod]\r\n");
    userTypes(QString(200, QChar('x')), true);
    endWorkers();
    const std::string outcome = runInChild([&] {
        // A file-size limit makes the write fail as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string message = thrownMessage<dravik::Error>([&] { edit(); });
        return message + "|" + editor.settingsText();
    });
    EXPECT_EQ(outcome, "Stream write error|" + std::string(200, 'x') + "[Mod]\r\n");
    EXPECT_EQ(settingsFile(), "[Mod]\r\n");
    EXPECT_EQ(namesIn(start.path()), std::vector<std::string>{"Dravik.ini"});
}

} // namespace
