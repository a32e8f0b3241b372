#include "app/shared/item_delegates.h"

#include <QLineEdit>

void IndentDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem indented = option;
    indented.rect.setLeft(option.rect.left() + 10 * index.data(kDepthRole).toInt());
    QStyledItemDelegate::paint(painter, indented, index);
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), lineHeight_};
}

void RenameDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                  const QModelIndex& index) const {
    const auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !(model->flags(index) & Qt::ItemIsEditable))
        return;
    const QString newName = line->text();
    if (newName == index.data(Qt::EditRole).toString())
        return;
    if (!model->setData(index, newName, Qt::EditRole))
        refused_(newName);
}
