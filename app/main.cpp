// Dravik: the desktop window. Creates the main window, the settings editor
// and the never-shown third window, in that order, and runs the event loop
// until the main window closes.

#include "Unit1.h"
#include "Unit2.h"
#include "dialogs.h"
#include "native_path.h"
#include "workspace/application_title.h"

#include <QApplication>
#include <QFont>
#include <QProxyStyle>
#include <QWidget>

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

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
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
    return application.exec();
}
