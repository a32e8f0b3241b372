#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dravik {

/// The loader file list of the main window without its widget: one folder,
/// the sorted names of its plain ".ldr" files and the selected one. The list
/// makes its folder the process's current directory whenever it moves to a
/// folder or re-reads it, so the report and the Pasport and Specification
/// commands work where the list is.
class LoaderList {
  public:
    /// The mask's extension: "*.ldr", matched without regard to case.
    static constexpr const char* kExtension = ".ldr";

    /// Starts on the process's current directory, not yet read.
    LoaderList();

    const std::string& folder() const { return folder_; }
    const std::vector<std::string>& files() const { return files_; }

    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> index);

    /// The full path of the selected file: the folder, a separator unless the
    /// folder ends with one, and the name; empty when none is selected.
    std::string selectedPath() const;

    /// Moves the list to the folder that text names; "c:" stands for the
    /// current folder of drive C: (on Linux the current directory). Gives true when the list was
    /// re-read, which is when the window's FileListBox1Change must run. Raises an InOutError when
    /// the folder can't be entered; the current directory is then put back.
    bool moveTo(const std::string& text);

    /// Makes the folder current again and reads its files anew; none is selected.
    void reread();

  private:
    std::string folder_;
    std::vector<std::string> files_;
    std::optional<std::size_t> selected_;
};

} // namespace dravik
