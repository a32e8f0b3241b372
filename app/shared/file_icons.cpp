#include "app/shared/file_icons.h"

#include <QApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>

#include <map>

QIcon kindIcon(QAbstractFileIconProvider::IconType kind) {
    using Kind = QAbstractFileIconProvider::IconType;
    struct Source {
        const char* themeName;
        QStyle::StandardPixmap fallback;
    };
    static const std::map<Kind, Source> sources = {
        {Kind::Computer, {"computer", QStyle::SP_ComputerIcon}},
        {Kind::Desktop, {"user-desktop", QStyle::SP_DesktopIcon}},
        {Kind::Trashcan, {"user-trash", QStyle::SP_TrashIcon}},
        {Kind::Network, {"network-workgroup", QStyle::SP_DriveNetIcon}},
        {Kind::Drive, {"drive-harddisk", QStyle::SP_DriveHDIcon}},
        {Kind::Folder, {"folder", QStyle::SP_DirIcon}},
        {Kind::File, {"text-x-generic", QStyle::SP_FileIcon}},
    };
    // Made once a kind for the run: the theme and the style load each from image files.
    static std::map<Kind, QIcon> icons;
    auto found = icons.find(kind);
    if (found == icons.end()) {
        const Source& source = sources.at(sources.contains(kind) ? kind : Kind::File);
        found = icons
                    .emplace(kind,
                             QIcon::fromTheme(QString::fromLatin1(source.themeName),
                                              QApplication::style()->standardIcon(source.fallback)))
                    .first;
    }
    return found->second;
}

QIcon fileIcon(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? name.mid(dot + 1).toLower() : QString();
    // Made once an extension for the run. The type database is asked for a
    // name only: given a file, it would read its first bytes.
    static QHash<QString, QIcon> icons;
    auto found = icons.constFind(extension);
    if (found != icons.constEnd())
        return *found;
    QIcon icon = kindIcon(QAbstractFileIconProvider::File);
    if (!extension.isEmpty()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("name.") + extension,
                                                               QMimeDatabase::MatchExtension);
        if (!type.isDefault())
            icon =
                QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), icon));
    }
    return *icons.insert(extension, icon);
}
