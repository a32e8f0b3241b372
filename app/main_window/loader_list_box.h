#pragma once

#include <QListWidget>

#include <string>
#include <vector>

class QAction;
class QContextMenuEvent;
class QMenu;

/// The loader file list, FileListBox1, below the folder browser: one line a
/// file, one file selected at most. Its menu, PopupMenu1, holds CheckLDR; a
/// right-click opens it without changing the selection.
class LoaderListBox : public QListWidget {
    Q_OBJECT

  public:
    LoaderListBox(QAction* checkLdr, QWidget* parent);

    QMenu* PopupMenu1 = nullptr;

    /// Shows names, none of them selected; no signal tells of it.
    void showFiles(const std::vector<std::string>& names);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool clicked(const QEvent& event);
    void menuAsked(const QContextMenuEvent& menu);
};
