#include "app/shared/dialogs.h"

#include "app/shared/cp1251_text.h"

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

bool MessageBoxDialogs::runEditor(QDialog& editor) {
    return editor.exec() == QDialog::Accepted;
}

QString MessageBoxDialogs::chooseFolder(const QString& caption, const QString& start) {
    return QFileDialog::getExistingDirectory(nullptr, caption, start);
}

QString MessageBoxDialogs::chooseFile(const QString& caption, const QString& start,
                                      const QString& filter) {
    return QFileDialog::getOpenFileName(nullptr, caption, start, filter);
}

QString MessageBoxDialogs::chooseSaveFile(const QString& caption, const QString& start,
                                          const QString& filter) {
    return QFileDialog::getSaveFileName(nullptr, caption, start, filter);
}

void DialogsUserInterface::showMessage(const std::string& text) {
    dialogs_.showMessage(fromCp1251(text));
}

bool DialogsUserInterface::confirm(const std::string& question) {
    return dialogs_.confirm(fromCp1251(question));
}
