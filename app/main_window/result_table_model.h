#pragma once

#include "results/result_list.h"

#include <QAbstractTableModel>

#include <vector>

/// Shows a ResultList in the two-column grid: it adapts the list, it does not
/// copy or own its rows. Every change of the list reaches the view at once
/// through the list's observer. Values are editable, Names are not.
class ResultTableModel : public QAbstractTableModel, private dravik::ResultListObserver {
    Q_OBJECT

  public:
    explicit ResultTableModel(dravik::ResultList& rows, QObject* parent = nullptr);
    ~ResultTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    void rowAboutToBeAppended(std::size_t index) override;
    void rowAppended(std::size_t index) override;
    void aboutToClear() override;
    void cleared() override;
    void valueChanged(std::size_t index) override;

    dravik::ResultList& rows_;
};

/// The rows at indexes as "Name<TAB>Value" lines in UTF-8 as the grid shows
/// them: blanks that end a text are not shown, and a tab or line break inside
/// a text would split its line, so it becomes a blank.
QString rowsAsText(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes);

/// The rows at indexes as a JSON array, each row as dravik-cli --format json
/// writes it.
QString rowsAsJson(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes);
