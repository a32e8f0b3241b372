#include "app/main_window/computer_level.h"

#include "app/shared/file_icons.h"
#include "app/shared/native_path.h"

#include <QDir>
#include <QStorageInfo>

std::vector<ComputerEntry> computerLevelEntries() {
    std::vector<ComputerEntry> entries;
    auto add = [&entries](const QString& path, QAbstractFileIconProvider::IconType kind) {
        entries.push_back({qStringToNative(path), path, kindIcon(kind)});
    };
    add(QStringLiteral("/"), QAbstractFileIconProvider::Drive);
    add(QDir::homePath(), QAbstractFileIconProvider::Folder);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.rootPath() == QStringLiteral("/") ||
            !volume.device().startsWith("/dev/"))
            continue;
        add(volume.rootPath(), QAbstractFileIconProvider::Drive);
    }
    return entries;
}
