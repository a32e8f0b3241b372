#include "app/main_window/folder_list_model.h"

#include "app/shared/file_icons.h"
#include "app/shared/native_path.h"
#include "platform/errors.h"

#include <QCollator>
#include <QFileSystemWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace {

using Entry = FolderListModel::Entry;

bool isFolderEntry(const Entry& entry) {
    return entry.kind == dravik::EntryKind::Folder;
}

// The order of the desktop's file views, as Qt's own file model sorts:
// without regard to case, and where the locale's collation can, digits by the
// numbers they make ("f2" before "f10"). Each ordering has a collator of its
// own: one may not be shared between threads, and one kept in a thread_local
// would corrupt the heap on Windows as the thread ends (MinGW frees a
// thread_local's storage before its destructor runs).
QCollator naturalOrder() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

Entry makeEntry(std::string name, dravik::EntryKind kind) {
    QString text = displayName(name);
    return {std::move(name), std::move(text), kind};
}

// Folders first, then the rest; each part in natural order, names equal in it
// by their bytes, so that the order is the same every run.
class ListedBefore {
public:
    bool operator()(const Entry& a, const Entry& b) const {
        if (isFolderEntry(a) != isFolderEntry(b))
            return isFolderEntry(a);
        if (const int order = collator_.compare(a.text, b.text); order != 0)
            return order < 0;
        return a.name < b.name;
    }

private:
    QCollator collator_ = naturalOrder();
};

// Runs in a worker thread: lists the folder, touching no entry but by its name.
FolderListModel::Listing readEntries(const std::string& folder) {
    FolderListModel::Listing listing;
    try {
        // Every name ends in the empty extension, so all entries come.
        for (dravik::DirEntry& entry : dravik::listEntries(folder, "", dravik::Unreadable::Raise))
            listing.entries.push_back(makeEntry(std::move(entry.name), entry.kind));
    } catch (const dravik::Error& error) {
        listing.trouble = error.message();
    }
    std::sort(listing.entries.begin(), listing.entries.end(), ListedBefore());
    return listing;
}

// A change of the rows that the folder's new listing asks for: rows of the
// listing that come before the row at `at` of the rows shown, or `count` rows
// from `at` that have gone, or the row at `at` whose kind has changed.
struct Change {
    enum Kind { Insert, Remove, Update } kind;
    std::size_t at;
    std::size_t from = 0;
    std::size_t count = 1;
};

// The changes that turn rows into listing, both in the order of the list.
std::vector<Change> changesBetween(const std::vector<Entry>& rows,
                                   const std::vector<Entry>& listing) {
    std::vector<Change> changes;
    std::size_t i = 0;
    std::size_t j = 0;
    const ListedBefore listedBefore;
    auto rowFirst = [&](std::size_t row, std::size_t next) {
        return next == listing.size() || listedBefore(rows[row], listing[next]);
    };
    auto listingFirst = [&](std::size_t next, std::size_t row) {
        return row == rows.size() || listedBefore(listing[next], rows[row]);
    };
    while (i < rows.size() || j < listing.size()) {
        if (i < rows.size() && rowFirst(i, j)) {
            std::size_t end = i + 1;
            while (end < rows.size() && rowFirst(end, j))
                ++end;
            changes.push_back({Change::Remove, i, 0, end - i});
            i = end;
        } else if (listingFirst(j, i)) {
            std::size_t end = j + 1;
            while (end < listing.size() && listingFirst(end, i))
                ++end;
            changes.push_back({Change::Insert, i, j, end - j});
            j = end;
        } else {
            if (rows[i].kind != listing[j].kind)
                changes.push_back({Change::Update, i, j});
            ++i;
            ++j;
        }
    }
    return changes;
}

// Beyond this many separate changes at once, the rows are replaced whole: each
// change in place moves the rows after it.
constexpr std::size_t kMostChangesInPlace = 64;

} // namespace

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractListModel(parent), watcher_(new QFileSystemWatcher(this)) {
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &FolderListModel::readChanges);
}

FolderListModel::~FolderListModel() = default;

void FolderListModel::setFolder(const std::string& folder) {
    if (const QStringList watched = watcher_->directories(); !watched.isEmpty())
        watcher_->removePaths(watched);
    folder_ = folder;
    // A folder that can't be watched is read anew by Refresh only.
    watcher_->addPath(nativeToQString(folder_));
    read();
}

void FolderListModel::refresh() {
    read();
}

void FolderListModel::read() {
    beginResetModel();
    rows_.clear();
    endResetModel();
    startReading(false);
}

void FolderListModel::readChanges() {
    // One reading at a time: a change while one runs is read after it.
    if (reading_) {
        changedMeanwhile_ = true;
        return;
    }
    startReading(true);
}

void FolderListModel::startReading(bool merge) {
    // A reading still running is dropped: its folder or its moment has passed.
    if (reading_) {
        reading_->disconnect(this);
        reading_->deleteLater();
    }
    changedMeanwhile_ = false;
    reading_ = new QFutureWatcher<Listing>(this);
    connect(reading_, &QFutureWatcherBase::finished, this, [this, merge] {
        Listing listing = reading_->future().takeResult();
        reading_->deleteLater();
        reading_ = nullptr;
        trouble_ = std::move(listing.trouble);
        if (merge)
            this->merge(std::move(listing.entries));
        else
            show(std::move(listing.entries));
        emit folderLoaded();
        // Said once a reading the user asked for, not at each change seen.
        if (!merge && !trouble_.empty())
            emit folderUnreadable(trouble_);
        if (changedMeanwhile_)
            readChanges();
    });
    reading_->setFuture(QtConcurrent::run(readEntries, folder_));
}

void FolderListModel::show(std::vector<Entry> listing) {
    beginResetModel();
    rows_ = std::move(listing);
    endResetModel();
}

void FolderListModel::merge(std::vector<Entry> listing) {
    const std::vector<Change> changes = changesBetween(rows_, listing);
    if (changes.size() > kMostChangesInPlace) {
        replaceKeepingPlaces(std::move(listing));
        return;
    }
    // From the last to the first, so that each change's row is still where it was found.
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        const int at = static_cast<int>(change->at);
        const int last = at + static_cast<int>(change->count) - 1;
        const auto from = listing.begin() + static_cast<std::ptrdiff_t>(change->from);
        switch (change->kind) {
        case Change::Insert:
            beginInsertRows({}, at, last);
            rows_.insert(
                rows_.begin() + at, std::make_move_iterator(from),
                std::make_move_iterator(from + static_cast<std::ptrdiff_t>(change->count)));
            endInsertRows();
            break;
        case Change::Remove:
            beginRemoveRows({}, at, last);
            rows_.erase(rows_.begin() + at, rows_.begin() + last + 1);
            endRemoveRows();
            break;
        case Change::Update:
            rows_[change->at] = std::move(*from);
            emit dataChanged(index(at), index(at));
            break;
        }
    }
}

void FolderListModel::replaceKeepingPlaces(std::vector<Entry> listing) {
    emit layoutAboutToBeChanged();
    // Every index kept elsewhere (the selection, the current row) follows its
    // entry by name; one whose entry is gone is dropped.
    std::unordered_map<std::string_view, int> rowOf;
    for (std::size_t row = 0; row < listing.size(); ++row)
        rowOf.emplace(listing[row].name, static_cast<int>(row));
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& kept : before) {
        const Entry* entry = entryAt(kept);
        const auto found = entry ? rowOf.find(entry->name) : rowOf.end();
        after.append(found == rowOf.end() ? QModelIndex() : createIndex(found->second, 0));
    }
    rows_ = std::move(listing);
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

const FolderListModel::Entry* FolderListModel::entryAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= rows_.size())
        return nullptr;
    return &rows_[static_cast<std::size_t>(index.row())];
}

std::string FolderListModel::path(const QModelIndex& index) const {
    const Entry* entry = entryAt(index);
    return entry ? dravik::joinPath(folder_, entry->name) : std::string();
}

bool FolderListModel::isFolder(const QModelIndex& index) const {
    const Entry* entry = entryAt(index);
    return entry && isFolderEntry(*entry);
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    const Entry* entry = entryAt(index);
    if (!entry)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return entry->text;
    if (role == Qt::DecorationRole)
        return isFolderEntry(*entry) ? kindIcon(QAbstractFileIconProvider::Folder)
                                     : fileIcon(entry->text);
    return {};
}

Qt::ItemFlags FolderListModel::flags(const QModelIndex& index) const {
    if (!entryAt(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

bool FolderListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const Entry* entry = entryAt(index);
    if (!entry || role != Qt::EditRole)
        return false;
    const std::string name = qStringToNativeName(value.toString());
    if (name == entry->name)
        return true;
    // A name holding a separator would move the entry into another folder.
    if (name.empty() || name == "." || name == ".." || dravik::nameOf(name) != name ||
        dravik::renameWithoutReplacing(dravik::joinPath(folder_, entry->name),
                                       dravik::joinPath(folder_, name)) != 0)
        return false;

    // The entry takes its place in the order under its new name; the
    // selection goes with it.
    Entry renamed = makeEntry(name, entry->kind);
    const int from = index.row();
    const int to = static_cast<int>(
        std::lower_bound(rows_.begin(), rows_.end(), renamed, ListedBefore()) - rows_.begin());
    int row = from;
    if (to != from && to != from + 1 && beginMoveRows({}, from, from, {}, to)) {
        rows_.erase(rows_.begin() + from);
        row = to > from ? to - 1 : to;
        rows_.insert(rows_.begin() + row, std::move(renamed));
        endMoveRows();
    } else {
        rows_[static_cast<std::size_t>(from)] = std::move(renamed);
    }
    emit dataChanged(this->index(row), this->index(row));
    return true;
}
