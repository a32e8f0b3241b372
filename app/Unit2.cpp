#include "Unit2.h"

#include "dialogs.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

// Placeholder until the settings editor is built.
TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Edit ini"));
    Memo1 = new QPlainTextEdit(this);
    Panel1 = new QWidget(this);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), Panel1);
}

void editSettings(TForm2& editor, const std::string& /*startFolder*/, Dialogs& dialogs) {
    dialogs.runEditor(editor);
}
