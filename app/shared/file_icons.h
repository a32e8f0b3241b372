#pragma once

#include <QAbstractFileIconProvider>
#include <QIcon>

class QString;

// The icons of the folder browser, chosen by an entry's kind and name alone:
// they take no file, so nothing is ever opened or read to choose one, and a
// pipe, a device or a kernel file that never answers a read shows like any
// other entry. Each is the desktop theme's icon where the theme has one, else
// the style's own.

/// The icon of a kind of entry: a folder, a plain file, a drive, the computer.
QIcon kindIcon(QAbstractFileIconProvider::IconType kind);

/// The icon of a file by its name: the theme's icon for the type that the
/// name's extension stands for, else the plain file's.
QIcon fileIcon(const QString& name);
