#pragma once

#include <string>
#include <string_view>

namespace dravik::cli {

/// A private folder that holds bytes under the name the commands read the
/// settings from ("Dravik.ini"), so that they read another settings file. It
/// is removed when the copy goes, and also when a signal ends the program.
class SettingsCopy {
  public:
    explicit SettingsCopy(std::string_view bytes);
    ~SettingsCopy();
    SettingsCopy(const SettingsCopy&) = delete;
    SettingsCopy& operator=(const SettingsCopy&) = delete;

    /// The folder to use as the start folder.
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
    std::string file_;
};

} // namespace dravik::cli
