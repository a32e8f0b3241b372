#pragma once

#include "app/shared/hex_view.h"
#include "results/result_list.h"
#include "results/source_bytes.h"

#include <QWidget>

#include <string>

class QLabel;

/// The "Bytes" window: the bytes of a row's file in hexadecimal and as
/// Windows-1251 text, the bytes of the row's value highlighted. The whole file
/// when it is small (a passport or specification module), else a few hundred
/// bytes around the value (a ROM image, a loader); only those are read, afresh
/// for each row shown, and kept. Read-only; a file that is gone, no longer a
/// plain file or changed since the command is told in its status line.
class BytesWindow : public QWidget {
    Q_OBJECT

  public:
    explicit BytesWindow(QWidget* parent);

    /// Shows the bytes behind row as its file holds them now.
    void showRow(const dravik::ResultRow& row);

    QLabel* status() const { return status_; }
    HexView* view() const { return view_; }

  private:
    void showBytes(const dravik::RowSource& source, const dravik::SourceBytes& shown);

    QLabel* status_ = nullptr;
    HexView* view_ = nullptr;
};
