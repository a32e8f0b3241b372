#pragma once

#include "library/snapshot.h"
#include "library/store.h"
#include "support/test_support.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace dravik::library::testing {

/// The URL of the tests' PostgreSQL server, from the file its fixture wrote.
std::string serverUrl();

/// The engines the store runs on in this build.
std::vector<std::string> engines();

/// A new, empty library of an engine ("SQLite": a file in a temporary
/// folder; "PostgreSQL": a database of its own on the tests' server), gone
/// with this object. Stores opened on it must go first.
class TestLibrary {
  public:
    explicit TestLibrary(const std::string& engine);
    ~TestLibrary();
    TestLibrary(const TestLibrary&) = delete;
    TestLibrary& operator=(const TestLibrary&) = delete;

    const std::string& url() const { return url_; }
    bool isServer() const { return !database_.empty(); }
    /// The SQLite file's folder (a temporary folder for a server too).
    const dravik::testing::TempFolder& folder() const { return folder_; }

  private:
    dravik::testing::TempFolder folder_;
    std::string url_;
    std::string database_;
};

/// A drive at path with passport rows of the given names and values, each
/// with a source in "pasport.rpm", and one file.
Snapshot driveAt(const std::string& path,
                 std::initializer_list<std::pair<std::string, std::string>> rows,
                 std::string label = {});

/// The labels of drives, in their order.
template <class T> std::vector<std::string> labelsOf(const std::vector<T>& drives) {
    std::vector<std::string> labels;
    for (const T& drive : drives) {
        if constexpr (requires { drive.label; })
            labels.push_back(drive.label);
        else
            labels.push_back(drive.drive.label);
    }
    return labels;
}

} // namespace dravik::library::testing
