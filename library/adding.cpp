#include "library/adding.h"

#include "library/snapshot.h"
#include "library/store.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <variant>

namespace dravik::library {
namespace {

// How far ahead of the folder being stored folders are decoded: two
// transactions' worth keeps every core decoding while a batch is written.
constexpr std::size_t kDecodedAhead = 2 * kDrivesPerTransaction;

// How many folders are looked at in the library with one question.
constexpr std::size_t kLookedAtOnce = 256;

// Folders decoded on threads of their own, one a core, each snapshot taken by
// its index when its turn comes.
class Decoders {
  public:
    explicit Decoders(const SettingsFile& settings) : settings_(settings) {}

    ~Decoders() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        queued_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }

    Decoders(const Decoders&) = delete;
    Decoders& operator=(const Decoders&) = delete;

    void start(std::size_t index, const std::string& folder) {
        // The threads start with the first folder to decode: an add of
        // unchanged folders starts none.
        if (threads_.empty()) {
            const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
            for (unsigned i = 0; i < cores; ++i)
                threads_.emplace_back([this] { work(); });
        }
        {
            const std::lock_guard lock(mutex_);
            queue_.emplace_back(index, folder);
        }
        queued_.notify_one();
    }

    // The snapshot of the folder started as index, once it is decoded; raises
    // what its decoding raised.
    Snapshot take(std::size_t index) {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return decoded_.count(index) != 0; });
        Decoded decoded = std::move(decoded_.extract(index).mapped());
        lock.unlock();
        if (auto* failure = std::get_if<std::exception_ptr>(&decoded))
            std::rethrow_exception(*failure);
        return std::move(std::get<Snapshot>(decoded));
    }

  private:
    using Decoded = std::variant<Snapshot, std::exception_ptr>;

    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            const auto [index, folder] = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            Decoded decoded;
            try {
                decoded = snapshotFolder(folder, settings_);
            } catch (...) {
                decoded = std::current_exception();
            }
            lock.lock();
            decoded_.emplace(index, std::move(decoded));
            finished_.notify_all();
        }
    }

    const SettingsFile& settings_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<std::pair<std::size_t, std::string>> queue_;
    std::map<std::size_t, Decoded> decoded_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// A folder taken ahead of its turn: decided already (unchanged, or failed
// while its files were looked at), or being decoded.
struct Ahead {
    std::optional<AddOutcome> decided;
    /// The library held the folder's drive when it was looked at.
    bool stored = false;
};

// An outcome waiting to be told: those of the batch's drives once the batch
// is in, those between them in their order.
struct Told {
    std::size_t index;
    AddOutcome outcome;
    bool inBatch;
};

AddOutcome failed(Error error) {
    return {AddStatus::Failed, 0, std::move(error)};
}

} // namespace

void addDriveFolders(Store& store, const std::vector<std::string>& folders,
                     const SettingsFile& settings, const AddHooks& hooks) {
    Decoders decoders(settings);
    std::vector<Ahead> ahead(folders.size());
    // Folders are looked at ahead of their turn a chunk at a time, with one
    // question to the library for the chunk.
    const auto takeAhead = [&](std::size_t from, std::size_t to) {
        const std::vector<std::string> chunk(folders.begin() + static_cast<std::ptrdiff_t>(from),
                                             folders.begin() + static_cast<std::ptrdiff_t>(to));
        const std::vector<StoredState> states = storedStates(store, chunk);
        for (std::size_t index = from; index < to; ++index) {
            const std::string& folder = folders[index];
            Ahead& taken = ahead[index];
            if (states[index - from] == StoredState::Unchanged) {
                std::int64_t id = 0;
                if (hooks.unchangedIds) {
                    const std::vector<DriveSummary> drives = store.lookUp(DriveRef::byPath(folder));
                    id = drives.empty() ? 0 : drives.front().id;
                }
                taken.decided = AddOutcome{AddStatus::Unchanged, id, std::nullopt};
                continue;
            }
            taken.stored = states[index - from] == StoredState::Changed;
            decoders.start(index, folder);
        }
    };

    std::vector<Told> told;
    std::vector<Snapshot> batch;
    // The folders decoded in this run: one given twice replaces its drive.
    std::set<std::string> decodedPaths;
    const auto tellOutcomes = [&](bool batchStored) {
        for (const Told& each : told) {
            if ((batchStored || !each.inBatch) && hooks.told)
                hooks.told(each.index, each.outcome);
        }
        told.clear();
    };
    const auto storeBatch = [&] {
        std::vector<std::int64_t> ids;
        try {
            ids = store.putAll(batch);
        } catch (const LibraryError&) {
            tellOutcomes(false);
            throw;
        }
        std::size_t next = 0;
        for (Told& each : told) {
            if (each.inBatch)
                each.outcome.id = ids.at(next++);
        }
        batch.clear();
        tellOutcomes(true);
    };

    std::size_t taken = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (hooks.stopped && hooks.stopped())
            break;
        if (hooks.starting)
            hooks.starting(i);
        try {
            while (taken < folders.size() && taken <= i + kDecodedAhead) {
                const std::size_t to = std::min(folders.size(), taken + kLookedAtOnce);
                takeAhead(taken, to);
                taken = to;
            }
        } catch (...) {
            // What can't be looked at ends the adding, as a failing library does.
            tellOutcomes(false);
            throw;
        }
        AddOutcome outcome;
        std::optional<Snapshot> toStore;
        try {
            if (ahead[i].decided) {
                outcome = *ahead[i].decided;
            } else if (Snapshot snapshot = decoders.take(i); !snapshot.files.empty()) {
                const bool again = !decodedPaths.insert(snapshot.path).second;
                outcome.status = ahead[i].stored || again ? AddStatus::Replaced : AddStatus::Added;
                toStore = std::move(snapshot);
            }
        } catch (const LibraryError&) {
            tellOutcomes(false);
            throw;
        } catch (const Error& error) {
            outcome = failed(error);
        } catch (const std::exception& error) {
            outcome = failed(Error(error.what()));
        }
        told.push_back({i, std::move(outcome), toStore.has_value()});
        if (toStore)
            batch.push_back(std::move(*toStore));
        else if (batch.empty())
            tellOutcomes(true);
        if (batch.size() == kDrivesPerTransaction)
            storeBatch();
    }
    if (!batch.empty())
        storeBatch();
}

} // namespace dravik::library
