#include "workspace/application_title.h"

#include "platform/cp1251.h"
#include "platform/file_system.h"

namespace dravik {

std::string applicationTitle(std::string_view programPath) {
    std::string name = nameOf(programPath);
    if (const std::size_t dot = name.find('.'); dot != std::string::npos)
        name.erase(dot);
    // Case folding works on the Windows-1251 letters, so a Cyrillic name folds too.
    std::string title = fromUtf8(name);
    for (std::size_t i = 1; i < title.size(); ++i)
        title[i] = foldCase(title[i]);
    return toUtf8(title);
}

} // namespace dravik
