#include "cli/settings_copy.h"

#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/settings_file.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <unistd.h>

namespace dravik::cli {
namespace {

// The paths a signal handler removes; plain buffers, as a handler may use
// nothing else.
std::array<char, 4096> gFolder{};
std::array<char, 4096> gFile{};

constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM};

extern "C" void removeCopyAndEnd(int signal) {
    ::unlink(gFile.data());
    ::rmdir(gFolder.data());
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool fits(const std::string& path, const std::array<char, 4096>& buffer) {
    return path.size() < buffer.size();
}

} // namespace

SettingsCopy::SettingsCopy(std::string_view bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "dravik-cli-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw cannotCreateFile(pattern, errno);
    folder_ = pattern;
    file_ = joinPath(folder_, SettingsFile::kFileName);

    if (fits(folder_, gFolder) && fits(file_, gFile)) {
        std::strcpy(gFolder.data(), folder_.c_str());
        std::strcpy(gFile.data(), file_.c_str());
        // Only where the signal would end the program anyway: one that the
        // caller ignores stays ignored.
        for (int signal : kEndingSignals) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
                std::signal(signal, removeCopyAndEnd);
        }
    }
    try {
        writeFileSafely(file_, bytes, WriteStyle::Whole);
    } catch (...) {
        ::rmdir(folder_.c_str());
        throw;
    }
}

SettingsCopy::~SettingsCopy() {
    ::unlink(file_.c_str());
    ::rmdir(folder_.c_str());
}

} // namespace dravik::cli
