#include "platform/process.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace dravik {
namespace {

// The paths a signal handler removes; plain buffers, as a handler may use
// nothing else.
std::array<char, 4096> gFolder{};
std::array<char, 4096> gFile{};

constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM};

extern "C" void removeAndEnd(int signal) {
    ::unlink(gFile.data());
    ::rmdir(gFolder.data());
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool fits(const std::string& path, const std::array<char, 4096>& buffer) {
    return path.size() < buffer.size();
}

} // namespace

std::string environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void prepareStandardStreams() {
    const int flags[] = {O_RDONLY, O_RDONLY, O_WRONLY};
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", flags[fd]);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

void removeAtInterruption(const std::string& file, const std::string& folder) {
    if (!fits(folder, gFolder) || !fits(file, gFile))
        return;
    std::strcpy(gFolder.data(), folder.c_str());
    std::strcpy(gFile.data(), file.c_str());
    for (int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(signal, removeAndEnd);
    }
}

} // namespace dravik
