#include "app/library/library_work.h"

#include "app/shared/cp1251_text.h"
#include "app/shared/native_path.h"
#include "platform/file_system.h"
#include "settings/settings_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QPromise>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>

using dravik::library::DriveSummary;
using dravik::library::FindTerm;

namespace {

// A term names its row before the "=" or "~".
bool isTerm(const QString& word) {
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] == QLatin1Char('=') || word[i] == QLatin1Char('~'))
            return i > 0;
    }
    return false;
}

// The words of text split at blanks outside double quotes, the quotes taken away.
QStringList quotedWords(const QString& text) {
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

// The failure's message as the window shows it.
QString failureText(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const dravik::Error*>(&failure))
        return libraryMessage(error->message());
    return libraryMessage(failure.what());
}

QString folderName(const std::string& folder) {
    return displayName(dravik::nameOf(folder));
}

// Adding may take minutes: it gets a thread of its own, so that the folder
// list and the searches, which share Qt's pool, never wait for it.
QThreadPool* addingPool() {
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool(QCoreApplication::instance());
        made->setMaxThreadCount(1);
        return made;
    }();
    return pool;
}

LibraryLine lineOf(DriveSummary drive) {
    LibraryLine line;
    line.drive = std::move(drive);
    return line;
}

} // namespace

LibraryQuery parseLibraryQuery(const QString& text) {
    LibraryQuery query;
    const QStringList words = quotedWords(text);
    QStringList terms;
    if (!words.isEmpty() && std::all_of(words.begin(), words.end(), isTerm))
        terms = words;
    else if (const QString whole = words.join(QLatin1Char(' ')); isTerm(whole))
        terms << whole;
    for (const QString& term : terms)
        query.terms.push_back(FindTerm::parse(toCp1251(term)));
    if (terms.isEmpty())
        query.text = text.trimmed();
    return query;
}

QStringList shownDriveColumns(const DriveSummary& drive) {
    return {
        displayName(drive.label),
        shownCellText(drive.family),
        shownCellText(drive.firmwareCode),
        shownCellText(drive.serial),
        shownCellText(drive.board),
        QDateTime::fromSecsSinceEpoch(drive.updated).toString(QStringLiteral("yyyy-MM-dd hh:mm"))};
}

LibraryLines searchDrives(const std::string& url, const LibraryQuery& query) {
    LibraryLines result;
    try {
        const std::unique_ptr<dravik::library::Store> store = dravik::library::openStore(url);
        if (!query.terms.empty()) {
            for (dravik::library::FoundDrive& found : store->find(query.terms)) {
                LibraryLine line = lineOf(std::move(found.drive));
                for (const dravik::library::StoredRow& row : found.rows)
                    line.foundRows += QLatin1Char('\n') + shownCellText(row.name) +
                                      QStringLiteral(": ") + shownCellText(row.value);
                result.lines.push_back(std::move(line));
            }
            return result;
        }
        for (DriveSummary& drive : store->list()) {
            const QStringList columns = shownDriveColumns(drive);
            if (std::any_of(columns.begin(), columns.end(), [&](const QString& column) {
                    return column.contains(query.text, Qt::CaseInsensitive);
                }))
                result.lines.push_back(lineOf(std::move(drive)));
        }
    } catch (const std::exception& failure) {
        result.error = failureText(failure);
    }
    return result;
}

LibraryLines rankDonors(const std::string& url, const std::string& folder,
                        const std::string& settingsFolder) {
    LibraryLines result;
    try {
        const std::unique_ptr<dravik::library::Store> store = dravik::library::openStore(url);
        const dravik::library::Snapshot bench =
            dravik::library::snapshotFolder(folder, dravik::SettingsFile::loadFrom(settingsFolder));
        for (dravik::library::Donor& donor :
             store->donors(bench, dravik::library::defaultMatchNames())) {
            LibraryLine line = lineOf(std::move(donor.drive));
            line.agreeing = donor.agreeing;
            line.matches = std::move(donor.rows);
            result.lines.push_back(std::move(line));
        }
    } catch (const std::exception& failure) {
        result.error = failureText(failure);
    }
    return result;
}

QString removeDrive(const std::string& url, std::int64_t id) {
    try {
        dravik::library::openStore(url)->remove(id);
    } catch (const std::exception& failure) {
        return failureText(failure);
    }
    return {};
}

std::vector<std::string> driveFoldersAt(const std::string& folder) {
    const auto isDriveFolder = [](const std::string& path) {
        return !dravik::library::folderFiles(path).empty();
    };
    if (isDriveFolder(folder))
        return {folder};
    std::vector<std::string> found;
    // Links to folders are passed over: a link back up can't make the walk
    // endless, and a link to a drive folder doesn't store its drive twice.
    QDirIterator below(nativeToQString(folder),
                       QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                       QDirIterator::Subdirectories);
    while (below.hasNext()) {
        std::string path = qStringToNative(below.next());
        if (isDriveFolder(path))
            found.push_back(std::move(path));
    }
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return dravik::enumerationLess(a, b);
    });
    return found;
}

QFuture<AddReport> addFoldersInWorker(const std::string& url, const std::string& folder,
                                      const std::string& settingsFolder,
                                      std::shared_ptr<std::atomic_bool> cancel) {
    return QtConcurrent::run(addingPool(), [url, folder, settingsFolder,
                                            cancel =
                                                std::move(cancel)](QPromise<AddReport>& promise) {
        AddReport report;
        try {
            const std::unique_ptr<dravik::library::Store> store = dravik::library::openStore(url);
            const dravik::SettingsFile settings = dravik::SettingsFile::loadFrom(settingsFolder);
            const std::vector<std::string> folders = driveFoldersAt(folder);
            report.found = static_cast<int>(folders.size());
            promise.setProgressRange(0, report.found);
            for (int i = 0; i < report.found; ++i) {
                if (*cancel) {
                    report.cancelled = true;
                    break;
                }
                const std::string& drive = folders[static_cast<std::size_t>(i)];
                promise.setProgressValueAndText(i, QStringLiteral("Adding %1 of %2: %3\u2026")
                                                       .arg(i + 1)
                                                       .arg(report.found)
                                                       .arg(folderName(drive)));
                try {
                    if (dravik::library::isUnchanged(*store, drive)) {
                        ++report.unchanged;
                        continue;
                    }
                    store->put(dravik::library::snapshotFolder(drive, settings));
                    ++report.added;
                } catch (const std::exception& failure) {
                    report.failures
                        << folderName(drive) + QStringLiteral(": ") + failureText(failure);
                }
            }
        } catch (const std::exception& failure) {
            report.error = failureText(failure);
        }
        promise.addResult(std::move(report));
    });
}

QString libraryMessage(const std::string& message) {
    return displayName(message);
}
