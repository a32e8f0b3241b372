#pragma once

#include "results/result_list.h"
#include "results/user_interface.h"

#include <functional>
#include <string>

namespace dravik {

/// The state a command works on: the two folders, the result rows, the way to
/// ask or tell the user, and where the window's title goes.
struct Context {
    /// The folder of the settings file, fixed for the run (native path).
    std::string startFolder;
    /// The folder whose ".rpm" files the module commands use (native path,
    /// or a text that names no folder).
    std::string workingFolder;
    ResultList& results;
    UserInterface& ui;
    /// Receives the main window's title text (Windows-1251).
    std::function<void(const std::string&)> setTitle;
};

} // namespace dravik
