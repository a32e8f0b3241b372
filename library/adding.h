#pragma once

#include "platform/errors.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dravik {
class SettingsFile;
}

namespace dravik::library {

class Store;

/// What became of one folder given to addDriveFolders.
enum class AddStatus { Added, Replaced, Unchanged, Failed };

struct AddOutcome {
    AddStatus status = AddStatus::Failed;
    /// The drive's id in the library; 0 for a failed folder, and for an
    /// unchanged one unless AddHooks::unchangedIds asks for it.
    std::int64_t id = 0;
    /// Why a failed folder failed; nothing when it holds no ".rpm" or ".ldr"
    /// file that can be read.
    std::optional<Error> error;
};

/// What addDriveFolders tells its caller, and asks it.
struct AddHooks {
    /// Before folder index (of the folders given) is taken, in their order.
    std::function<void(std::size_t index)> starting;
    /// Each folder's outcome, in the folders' order, once its drive is in the
    /// library (a failed or unchanged one at its turn).
    std::function<void(std::size_t index, const AddOutcome& outcome)> told;
    /// Asked before each folder: true ends the adding there, with the drives
    /// decoded before it stored.
    std::function<bool()> stopped;
    /// Whether the id of an unchanged folder's drive is looked up.
    bool unchangedIds = false;
};

/// How many decoded drives go into the library in one transaction.
inline constexpr std::size_t kDrivesPerTransaction = 1024;

/// Adds the drive folders (native; made absolute) to store in their order: a
/// folder whose files are unchanged (StoredState::Unchanged) is skipped, any other is
/// decoded by snapshotFolder and stored, kDrivesPerTransaction drives a
/// transaction. The folders ahead of the one being stored are decoded
/// meanwhile, on a thread a core; the store is used from the calling thread
/// alone. A folder that fails, or holds no drive file that can be read, is
/// told and the others go on. A LibraryError of the store ends the adding,
/// as does a failure to look at the folders ahead: the outcomes decided
/// without the batch it refused are told first, and the error is raised.
void addDriveFolders(Store& store, const std::vector<std::string>& folders,
                     const SettingsFile& settings, const AddHooks& hooks = {});

} // namespace dravik::library
