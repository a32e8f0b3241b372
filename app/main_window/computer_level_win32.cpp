#include "app/main_window/computer_level.h"

#include "app/shared/file_icons.h"

#include <windows.h>

#include <cwchar>
#include <string>

std::vector<ComputerEntry> computerLevelEntries() {
    // The drive roots, "C:\" and on, each ended by a zero, the list by another.
    std::wstring drives(::GetLogicalDriveStringsW(0, nullptr), L'\0');
    drives.resize(::GetLogicalDriveStringsW(static_cast<DWORD>(drives.size()), drives.data()));
    std::vector<ComputerEntry> entries;
    for (const wchar_t* root = drives.c_str(); *root != L'\0'; root += std::wcslen(root) + 1) {
        const QString text = QString::fromWCharArray(root);
        entries.push_back({text.toStdString(), text, kindIcon(QAbstractFileIconProvider::Drive)});
    }
    return entries;
}
