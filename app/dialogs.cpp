#include "dialogs.h"

#include "Unit2.h"
#include "platform/cp1251.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

// Message boxes are centred on the screen, not on the window. A box takes
// its final size only as it is shown, when it decides where its text wraps:
// centred before, a box of a long text would sit left of the centre by half
// the width its text lost to wrapping.
class CentredMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    }
};

} // namespace

MessageBoxDialogs::MessageBoxDialogs(QString applicationTitle)
    : applicationTitle_(std::move(applicationTitle)) {}

void MessageBoxDialogs::showError(const QString& text) {
    CentredMessageBox box(QMessageBox::Critical, applicationTitle_, text, QMessageBox::Ok);
    box.exec();
}

void MessageBoxDialogs::showMessage(const QString& text) {
    CentredMessageBox box(QMessageBox::NoIcon, applicationTitle_, text);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool MessageBoxDialogs::confirm(const QString& question) {
    CentredMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), question);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool MessageBoxDialogs::runEditor(TForm2& editor) {
    return editor.exec() == QDialog::Accepted;
}

QString MessageBoxDialogs::chooseFolder(const QString& caption, const QString& start) {
    return QFileDialog::getExistingDirectory(nullptr, caption, start);
}

void DialogsUserInterface::showMessage(const std::string& text) {
    dialogs_.showMessage(fromCp1251(text));
}

bool DialogsUserInterface::confirm(const std::string& question) {
    return dialogs_.confirm(fromCp1251(question));
}

QString fromCp1251(const std::string& bytes, bool cutAtZero) {
    std::string_view shown = bytes;
    if (cutAtZero)
        shown = shown.substr(0, shown.find('\0'));
    QString text;
    text.reserve(static_cast<qsizetype>(shown.size()));
    for (unsigned char byte : shown)
        text.append(QChar(static_cast<char16_t>(dravik::cp1251ToUnicode(byte))));
    return text;
}

std::string toCp1251(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t codePoint : text.toUcs4())
        bytes += dravik::unicodeToCp1251(codePoint);
    return bytes;
}
