#include "app/shared/close_keys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

void closeOnEscapeAndCtrlW(QWidget& window) {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QStringLiteral("Ctrl+W"))})
        QObject::connect(new QShortcut(keys, &window), &QShortcut::activated, &window,
                         &QWidget::close);
}
