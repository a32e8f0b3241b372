// Dravik: the desktop window. Answers --help and --version without a window;
// otherwise creates the main window, the settings editor and the never-shown
// third window, in that order, chooses the FOLDER argument once the main
// window is shown, and runs the event loop until the main window closes.

#include "app/main_window/main_window.h"
#include "app/settings_editor/settings_editor.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/dialogs.h"
#include "app/shared/native_path.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "workspace/application_title.h"
#include "workspace/user_folder.h"
#include "workspace/window_start.h"

#include <QApplication>
#include <QFont>
#include <QProxyStyle>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Tooltips appear after the pointer has rested 500 ms on a button.
class DravikStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 500;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// "MS Sans Serif" at 11 pixels; where it is missing, the desktop's sans serif.
QFont windowFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// One line on standard error.
void tell(const std::string& line) {
    std::fputs(("Dravik: " + line + "\n").c_str(), stderr);
}

// Makes the user folder the current directory; gives why it could not, for
// the window to show, as started from the desktop's menu nobody reads
// standard error.
QString enterUserFolder() {
    try {
        dravik::enterUserFolder(dravik::userFolder());
        return {};
    } catch (const dravik::Error& error) {
        tell(dravik::toUtf8(error.message()));
        return fromCp1251(dravik::errorReportText(error.message())) +
               QStringLiteral("\n\nDravik works in the folder it was started in.");
    }
}

} // namespace

int main(int argc, char* argv[]) {
    using Action = dravik::WindowArguments::Action;
    // Help and version come before the window system, which needs a display.
    dravik::WindowArguments arguments = dravik::parseWindowArguments(nativeArguments(argc, argv));
    if (arguments.action == Action::ShowHelp) {
        std::fputs(std::string(dravik::kWindowUsage).c_str(), stdout);
        return EXIT_SUCCESS;
    }
    if (arguments.action == Action::ShowVersion) {
        std::fputs("Dravik " DRAVIK_VERSION "\n", stdout);
        return EXIT_SUCCESS;
    }

    QApplication application(argc, argv);
    // Qt has taken its own options out of the arguments.
    arguments = dravik::parseWindowArguments(nativeArguments(argc, argv));
    if (arguments.action == Action::UsageError) {
        tell(arguments.problem);
        std::fputs("Try 'Dravik --help'.\n", stderr);
        return 2;
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("dev.dravik.Dravik"));

    // A relative FOLDER is taken from the folder Dravik was started in, before
    // the user folder becomes the current directory.
    std::string folder;
    try {
        if (arguments.folder)
            folder = dravik::folderArgument(*arguments.folder);
    } catch (const dravik::Error& error) {
        tell(dravik::toUtf8(error.message()) + "; starting without it");
    }
    const QString userFolderProblem = arguments.userFolder ? enterUserFolder() : QString();

    // No display name is set: Qt would append it to every window title.
    const QString title = QString::fromStdString(
        dravik::applicationTitle(qStringToNative(QApplication::applicationFilePath())));
    QApplication::setStyle(new DravikStyle);
    QApplication::setFont(windowFont());

    MessageBoxDialogs dialogs(title);
    TForm1 Form1(dialogs);
    TForm2 Form2;
    Form1.Form2 = &Form2;
    QWidget Form3;
    Form3.setObjectName(QStringLiteral("Form3"));
    Form3.setWindowTitle(QStringLiteral("Form3"));

    Form1.show();
    if (!userFolderProblem.isEmpty())
        QTimer::singleShot(0, &Form1, [&dialogs, &userFolderProblem] {
            dialogs.showError(userFolderProblem);
        });
    if (!folder.empty())
        Form1.chooseFolder(folder);
    return application.exec();
}
