#include "app/main_window/result_table_model.h"

#include "app/shared/cp1251_text.h"
#include "app/shared/source_text.h"
#include "results/row_json.h"

#include <QFont>

namespace {

constexpr int kNameColumn = 0;
constexpr int kValueColumn = 1;

} // namespace

ResultTableModel::ResultTableModel(dravik::ResultList& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {
    rows_.setObserver(this);
}

ResultTableModel::~ResultTableModel() {
    rows_.setObserver(nullptr);
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.count());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const auto at = static_cast<std::size_t>(index.row());
    const dravik::ResultRow& row = rows_.row(at);
    const std::string* replaced = index.column() == kValueColumn ? rows_.replacedValue(at) : nullptr;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return fromCp1251(index.column() == kNameColumn ? row.name : row.value);
    case Qt::FontRole:
        // A value the user typed over is told apart from a decoded one.
        if (replaced) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    case Qt::ToolTipRole: {
        QString tip = row.source ? sourceText(*row.source) : QString();
        if (replaced)
            tip = QStringLiteral("Edited; it replaced \"%1\"").arg(fromCp1251(*replaced)) +
                  (tip.isEmpty() ? QString() : QLatin1Char('\n') + tip);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return {};
    }
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == kNameColumn ? QStringLiteral("Name") : QStringLiteral("Value");
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == kValueColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ResultTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != kValueColumn || role != Qt::EditRole)
        return false;
    rows_.setValue(static_cast<std::size_t>(index.row()), toCp1251(value.toString()));
    return true;
}

void ResultTableModel::rowAboutToBeAppended(std::size_t index) {
    beginInsertRows({}, static_cast<int>(index), static_cast<int>(index));
}

void ResultTableModel::rowAppended(std::size_t) {
    endInsertRows();
}

void ResultTableModel::aboutToClear() {
    beginResetModel();
}

void ResultTableModel::cleared() {
    endResetModel();
}

void ResultTableModel::valueChanged(std::size_t index) {
    const QModelIndex changed = this->index(static_cast<int>(index), kValueColumn);
    emit dataChanged(changed, changed);
}

QString rowsAsText(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes) {
    QString text;
    for (const std::size_t index : indexes) {
        const dravik::ResultRow& row = rows.row(index);
        text += shownCellText(row.name) + QLatin1Char('\t') + shownCellText(row.value) +
                QLatin1Char('\n');
    }
    return text;
}

QString rowsAsJson(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes) {
    std::string json = "[";
    for (const std::size_t index : indexes) {
        json += (json.size() == 1 ? "\n  " : ",\n  ") +
                dravik::rowJson(rows.row(index), rows.replacedValue(index) != nullptr);
    }
    return QString::fromStdString(json + "\n]\n");
}
