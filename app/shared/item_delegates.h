#pragma once

#include <QStyledItemDelegate>

#include <functional>
#include <string>

/// The data roles of the path selector's entries: the folder's native path
/// (bytes, as a folder's name need not be UTF-8), and how deep the entry sits
/// in the drop-down's tree.
constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;

/// The native path that an entry of the path selector or the computer level holds.
inline std::string entryPath(const QVariant& path) {
    return path.toByteArray().toStdString();
}

/// Indents the entries of the path selector's drop-down by their depth, so
/// the folders on the way to the one shown read as a tree.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

/// Gives every line of a list the same height, as a one-line text box has.
class LineDelegate : public QStyledItemDelegate {
  public:
    LineDelegate(int lineHeight, QObject* parent)
        : QStyledItemDelegate(parent), lineHeight_(lineHeight) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    int lineHeight_;
};

/// The in-place rename of the folder content list: a name that the file
/// system refuses is reported, and the item keeps its name.
class RenameDelegate : public QStyledItemDelegate {
  public:
    RenameDelegate(std::function<void(const QString&)> refused, QObject* parent)
        : QStyledItemDelegate(parent), refused_(std::move(refused)) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  private:
    std::function<void(const QString&)> refused_;
};
