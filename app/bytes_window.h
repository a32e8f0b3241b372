#pragma once

#include "hex_view.h"
#include "results/result_list.h"

#include <QWidget>

#include <string>

class QLabel;

/// The "Bytes" window: the bytes of a row's file in hexadecimal and as
/// Windows-1251 text, the bytes of the row's value highlighted. The whole file
/// when it is small (a passport or specification module), else a few hundred
/// bytes around the value (a ROM image, a loader). Read-only; a file that is
/// gone or changed since the command is told in its status line.
class BytesWindow : public QWidget {
    Q_OBJECT

  public:
    /// Files up to this size are shown whole.
    static constexpr std::int64_t kWholeFileLimit = 2048;
    /// How many bytes are shown before and after the value in a larger file.
    static constexpr std::int64_t kContext = 256;

    explicit BytesWindow(QWidget* parent);

    /// Shows the bytes behind row; reread reads its file again even when it
    /// is the one shown.
    void showRow(const dravik::ResultRow& row, bool reread);

    QLabel* status() const { return status_; }
    HexView* view() const { return view_; }

  private:
    void readFile(const std::string& path);
    void showBytes(const dravik::RowSource& source);

    QLabel* status_ = nullptr;
    HexView* view_ = nullptr;
    std::string path_;
    std::string data_;
    /// Why the file at path_ could not be read, or empty.
    QString problem_;
};
