#pragma once

#include "platform/file_system.h"

#include <QAbstractListModel>
#include <QFutureWatcher>

#include <string>
#include <string_view>
#include <vector>

class QFileSystemWatcher;

/// The entries of the folder content list: what one folder holds (names
/// beginning with "." left out), its folders first, each part in the natural
/// order of the desktop's file views. The folder is read in a worker thread,
/// so that no folder, of any size or on any file system, holds the window
/// up; nothing in it is opened. Entries keep their native names, so that each can be entered,
/// opened and renamed whatever its bytes. Changes in the folder reach the rows
/// where they are, keeping the selection.
class FolderListModel : public QAbstractListModel {
    Q_OBJECT

  public:
    struct Entry {
        std::string name;
        QString text;
        dravik::EntryKind kind = dravik::EntryKind::Other;
    };
    /// A folder's entries as a worker read them, or why it could not.
    struct Listing {
        std::vector<Entry> entries;
        std::string trouble;
    };

    explicit FolderListModel(QObject* parent = nullptr);
    ~FolderListModel() override;

    /// Shows folder, an absolute native path: no rows until it has been read.
    void setFolder(const std::string& folder);

    /// Reads the folder again from the disk: no rows until it has been read.
    void refresh();

    const std::string& folder() const { return folder_; }

    /// Why the folder could not be read (Windows-1251, "File access denied");
    /// empty when it was read, or is not there.
    const std::string& trouble() const { return trouble_; }

    /// The native path of the entry at index.
    std::string path(const QModelIndex& index) const;
    bool isFolder(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Renames the entry to the edited name; false, with nothing changed, when
    /// the name is not a file name or the file system refuses it (a file of
    /// that name exists).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  signals:
    /// The rows show the folder as it has just been read.
    void folderLoaded();
    /// A folder just set or refreshed could not be read: the message says why.
    void folderUnreadable(const std::string& message);

  private:
    void read();
    void readChanges();
    void startReading(bool merge);
    void show(std::vector<Entry> entries);
    void merge(std::vector<Entry> entries);
    /// Replaces the rows whole, the places kept by views following their entries.
    void replaceKeepingPlaces(std::vector<Entry> entries);
    const Entry* entryAt(const QModelIndex& index) const;

    std::string folder_;
    std::vector<Entry> rows_;
    std::string trouble_;
    QFutureWatcher<Listing>* reading_ = nullptr;
    bool changedMeanwhile_ = false;
    QFileSystemWatcher* watcher_ = nullptr;
};
