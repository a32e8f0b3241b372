#pragma once

#include <QIcon>
#include <QString>

#include <string>
#include <vector>

/// One entry of the computer level, the top of the folder browser.
struct ComputerEntry {
    /// The folder's native path; a root ends with its separator.
    std::string path;
    QString text;
    QIcon icon;
};

/// The entries of the computer level in the order the browser lists them: the
/// drives on Windows; elsewhere the root "/", the user's home folder and the
/// mounted volumes of devices.
std::vector<ComputerEntry> computerLevelEntries();
