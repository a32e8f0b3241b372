#include "workspace/path_selector.h"

#include "workspace/command_rules.h"

namespace dravik {
namespace {

// top as the start of the paths below it: a root keeps its one separator.
std::string below(const std::string& top, char separator) {
    return !top.empty() && top.back() == separator ? top : top + separator;
}

bool holds(const std::string& top, const std::string& folder, char separator) {
    return folder == top || folder.starts_with(below(top, separator));
}

// The deepest top that holds folder; tops.size() when none does.
std::size_t deepestTop(const std::vector<std::string>& tops, const std::string& folder,
                       char separator) {
    std::size_t deepest = tops.size();
    for (std::size_t i = 0; i < tops.size(); ++i)
        if (holds(tops[i], folder, separator) &&
            (deepest == tops.size() || tops[i].size() > tops[deepest].size()))
            deepest = i;
    return deepest;
}

// The folders from top (not included) down to shown, each one deeper.
void addChain(std::vector<PathEntry>& entries, const std::string& top, const std::string& shown,
              char separator) {
    const std::string start = below(top, separator);
    std::string path = start.substr(0, start.size() - 1);
    int depth = 2;
    for (std::size_t at = start.size(); at < shown.size();) {
        std::size_t end = shown.find(separator, at);
        if (end == std::string::npos)
            end = shown.size();
        if (end > at) {
            path += separator + shown.substr(at, end - at);
            entries.push_back({path, PathEntry::Kind::Folder, depth++});
        }
        at = end + 1;
    }
}

} // namespace

PathSelector pathSelector(const std::vector<std::string>& tops, const std::string& shown,
                          char separator) {
    PathSelector selector;
    selector.entries.push_back({kComputerLevel, PathEntry::Kind::Computer, 0});
    const std::size_t deepest =
        shown == kComputerLevel ? tops.size() : deepestTop(tops, shown, separator);
    for (std::size_t i = 0; i < tops.size(); ++i) {
        selector.entries.push_back({tops[i], PathEntry::Kind::Top, 1});
        if (i != deepest)
            continue;
        addChain(selector.entries, tops[i], shown, separator);
        selector.selected = selector.entries.size() - 1;
    }
    return selector;
}

} // namespace dravik
