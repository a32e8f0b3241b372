#include "app/library/library_work.h"

#include "app/shared/cp1251_text.h"
#include "app/shared/native_path.h"
#include "library/adding.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/settings_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPromise>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>

using dravik::library::AddOutcome;
using dravik::library::AddStatus;
using dravik::library::DriveSummary;
using dravik::library::FindTerm;
using dravik::library::Store;

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

// Runs work; gives the message of the failure that ended it, or nothing.
template <class Work> QString failureOf(Work&& work) {
    try {
        work();
    } catch (const std::exception& failure) {
        return failureText(failure);
    }
    return {};
}

// Runs work on the library at url; gives the message of the failure that
// ended it, or nothing.
template <class Work> QString onStore(const std::string& url, Work&& work) {
    return failureOf([&] { work(*dravik::library::openStore(url)); });
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

// Adds the drive folders at folder, until cancel is set, telling
// promise how far it is.
AddReport addFolders(QPromise<AddReport>& promise, const std::string& url,
                     const std::string& folder, const std::string& settingsFolder,
                     const std::atomic_bool& cancel) {
    AddReport report;
    report.error = onStore(url, [&](Store& store) {
        const dravik::SettingsFile settings = dravik::SettingsFile::loadFrom(settingsFolder);
        const dravik::FolderTree tree = driveFoldersAt(folder);
        if (cancel) {
            report.cancelled = true;
            return;
        }
        for (const dravik::UnreadableFolder& unreadable : tree.unreadable)
            report.failures << folderName(unreadable.path) + QStringLiteral(": ") +
                                   libraryMessage(dravik::errorReportText(unreadable.reason));
        const std::vector<std::string>& folders = tree.holding;
        report.found = static_cast<int>(folders.size());
        promise.setProgressRange(0, report.found);
        dravik::library::AddHooks hooks;
        hooks.stopped = [&] {
            report.cancelled = report.cancelled || cancel;
            return report.cancelled;
        };
        hooks.starting = [&](std::size_t index) {
            promise.setProgressValueAndText(static_cast<int>(index),
                                            QStringLiteral("Adding %1 of %2: %3\u2026")
                                                .arg(index + 1)
                                                .arg(report.found)
                                                .arg(folderName(folders[index])));
        };
        hooks.told = [&](std::size_t index, const AddOutcome& outcome) {
            switch (outcome.status) {
            case AddStatus::Added:
            case AddStatus::Replaced:
                ++report.added;
                break;
            case AddStatus::Unchanged:
                ++report.unchanged;
                break;
            case AddStatus::Failed:
                report.failures << folderName(folders[index]) + QStringLiteral(": ") +
                                       (outcome.error ? failureText(*outcome.error)
                                                      : QStringLiteral("No .rpm or .ldr file that can be read"));
                break;
            }
        };
        dravik::library::addDriveFolders(store, folders, settings, hooks);
    });
    return report;
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
    result.error = onStore(url, [&](Store& store) {
        result.library = libraryMessage(store.name());
        if (!query.terms.empty()) {
            for (dravik::library::FoundDrive& found : store.find(query.terms)) {
                LibraryLine line = lineOf(std::move(found.drive));
                for (const dravik::library::StoredRow& row : found.rows)
                    line.foundRows += QLatin1Char('\n') + shownCellText(row.name) +
                                      QStringLiteral(": ") + shownCellText(row.value);
                result.lines.push_back(std::move(line));
            }
            return;
        }
        for (DriveSummary& drive : store.list()) {
            const QStringList columns = shownDriveColumns(drive);
            if (std::any_of(columns.begin(), columns.end(), [&](const QString& column) {
                    return column.contains(query.text, Qt::CaseInsensitive);
                }))
                result.lines.push_back(lineOf(std::move(drive)));
        }
    });
    return result;
}

LibraryLines rankDonors(const std::string& url, const std::string& folder,
                        const std::string& settingsFolder) {
    LibraryLines result;
    result.error = onStore(url, [&](Store& store) {
        result.library = libraryMessage(store.name());
        const dravik::library::Snapshot bench =
            dravik::library::snapshotFolder(folder, dravik::SettingsFile::loadFrom(settingsFolder));
        if (bench.files.empty())
            throw dravik::library::LibraryError("No drive in " + folder +
                                                ": a drive folder holds .rpm or .ldr files");
        for (dravik::library::Donor& donor :
             store.donors(bench, dravik::library::defaultMatchNames())) {
            LibraryLine line = lineOf(std::move(donor.drive));
            line.agreeing = donor.agreeing;
            line.matches = std::move(donor.rows);
            result.lines.push_back(std::move(line));
        }
    });
    return result;
}

QString removeDrive(const std::string& url, std::int64_t id) {
    return onStore(url, [id](Store& store) { store.remove(id); });
}

dravik::FolderTree driveFoldersAt(const std::string& folder) {
    if (!dravik::library::folderFiles(folder).empty())
        return {{folder}, {}};
    return dravik::foldersHolding(folder, {".rpm", ".ldr"});
}

QFuture<AddReport> addFoldersInWorker(const std::string& url, const std::string& folder,
                                      const std::string& settingsFolder,
                                      std::shared_ptr<std::atomic_bool> cancel) {
    return QtConcurrent::run(
        addingPool(),
        [url, folder, settingsFolder, cancel = std::move(cancel)](QPromise<AddReport>& promise) {
            promise.addResult(addFolders(promise, url, folder, settingsFolder, *cancel));
        });
}

QString libraryMessage(const std::string& message) {
    return displayName(message);
}
