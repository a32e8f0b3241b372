#pragma once

#include "library/store.h"
#include "platform/folder_tree.h"

#include <QFuture>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

/// What the search field asks for: the drives that every find term holds for
/// when there are terms, else the drives whose shown columns hold text in
/// part without regard to case (every drive for an empty text).
struct LibraryQuery {
    std::vector<dravik::library::FindTerm> terms;
    QString text;
};

/// The search field's text as a query: "NAME=VALUE" and "NAME~TEXT" terms
/// separated by blanks outside double quotes (which are taken away), or the
/// whole text as one term (names such as "Code FW" hold a blank); anything
/// else is plain text.
LibraryQuery parseLibraryQuery(const QString& text);

/// One line of the Library window's table: a drive, and for a donor its rank
/// facts; for a found drive the rows that matched, as the tooltip gives them.
struct LibraryLine {
    dravik::library::DriveSummary drive;
    std::size_t agreeing = 0;
    std::vector<dravik::library::DonorRow> matches;
    QString foundRows;
};

/// The texts of a drive's columns as the table shows them: label, family,
/// firmware code, serial, board, updated.
QStringList shownDriveColumns(const dravik::library::DriveSummary& drive);

/// The outcome of a piece of library work: its lines, or the message of the
/// failure that ended it.
struct LibraryLines {
    std::vector<LibraryLine> lines;
    QString error;
    /// The library's name: its file, or its server's URL with the password masked.
    QString library;
};

/// The drives of the library at url (openStore's form) that query asks for.
LibraryLines searchDrives(const std::string& url, const LibraryQuery& query);

/// The library's donors for the drive folder at folder, decoded with the
/// settings of settingsFolder, ranked by defaultMatchNames().
LibraryLines rankDonors(const std::string& url, const std::string& folder,
                        const std::string& settingsFolder);

/// Removes the drive of id; an empty text, or why it could not be removed.
QString removeDrive(const std::string& url, std::int64_t id);

/// The drive folders that "Add this folder" adds for folder: folder itself
/// when it holds ".rpm" or ".ldr" files, else every such folder below it as
/// foldersHolding walks (hidden folders and links to folders passed over,
/// each folder before those below it), with the folders it could not read.
dravik::FolderTree driveFoldersAt(const std::string& folder);

/// What adding folders to the library did.
struct AddReport {
    int found = 0;
    int added = 0;
    int unchanged = 0;
    bool cancelled = false;
    /// "NAME: message" per folder that failed.
    QStringList failures;
    /// The failure that stopped all adding (the library can't be opened).
    QString error;
};

/// Adds the drive folders at folder (driveFoldersAt) to the library at url,
/// decoded with the settings of settingsFolder, skipping those whose files
/// are as stored, until cancel is set. Runs on a worker: its progress text
/// is "Adding 3 of 10: NAME…" before each folder.
QFuture<AddReport> addFoldersInWorker(const std::string& url, const std::string& folder,
                                      const std::string& settingsFolder,
                                      std::shared_ptr<std::atomic_bool> cancel);

/// The shown text of a library's message: native paths are UTF-8, the drives'
/// texts Windows-1251.
QString libraryMessage(const std::string& message);
