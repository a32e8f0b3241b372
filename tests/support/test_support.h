#pragma once

#include "platform/errors.h"
#include "results/user_interface.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace dravik::testing {

/// The path of a UTF-8 text for the standard library's file functions, which
/// on Windows would read a plain string in the ANSI code page.
std::filesystem::path fsPath(std::string_view utf8);

/// A path's text in UTF-8, the core's native text.
std::string utf8Of(const std::filesystem::path& path);

/// A fresh folder under the system's temporary folder, removed with its content.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    /// path() joined with name by the system's separator.
    std::string file(std::string_view name) const;
    /// Writes bytes to file(name) and gives that path.
    std::string write(std::string_view name, std::string_view bytes) const;
    /// Makes the subfolder file(name) and gives its path.
    std::string makeFolder(std::string_view name) const;

  private:
    std::string path_;
};

/// Makes the folder the process's current directory and puts the old one back.
class CurrentDirectoryGuard {
  public:
    explicit CurrentDirectoryGuard(const std::string& folder);
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

  private:
    std::string previous_;
};

/// size bytes of fill with the given pieces written at their offsets.
std::string bytesWith(std::size_t size,
                      std::initializer_list<std::pair<std::size_t, std::string_view>> pieces,
                      char fill = '\0');

/// Reads a file whole, or gives "<missing>" when there is none.
std::string fileContent(const std::string& path);

/// The names in folder, sorted by their bytes.
std::vector<std::string> namesIn(const std::string& folder);

// Children and users, on POSIX systems only.

/// The user and group id that tests take to act as an ordinary user.
inline constexpr unsigned kOrdinaryUserId = 65534;

/// Runs f in a child process and gives what it gives, "<error: ...>" for an
/// exception, or "<killed by signal N>". What f changes in its process (limits,
/// signal actions, user) ends with it.
std::string runInChild(const std::function<std::string()>& f);

/// runInChild as an ordinary user: run as root, the child first drops to
/// kOrdinaryUserId; anyone else stays who they are.
std::string runAsOrdinaryUser(const std::function<std::string()>& f);

/// Makes kOrdinaryUserId the owner of path when the tests run as root.
void giveToOrdinaryUser(const std::string& path);

/// The message of the E that f throws, or "<no error>"; other errors pass on.
template <class E, class F> std::string thrownMessage(F&& f) {
    try {
        f();
    } catch (const E& e) {
        if constexpr (std::is_base_of_v<Error, E>)
            return e.message();
        else
            return e.what();
    }
    return "<no error>";
}

/// Records what an operation tells the user and answers its questions.
class FakeUi : public UserInterface {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }

    bool answer = true;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
};

} // namespace dravik::testing
