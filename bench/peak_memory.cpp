#include "peak_memory.h"

#include <fstream>
#include <sstream>
#include <string>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dravik::bench {
namespace {

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in bytes; -1 when missing.
long statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field)) {
            long kib = -1;
            std::istringstream(line.substr(field.size())) >> kib;
            return kib < 0 ? -1 : kib * 1024;
        }
    }
    return -1;
}

// Writing 5 to clear_refs starts the peak (VmHWM) again from the present size.
bool resetPeak() {
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

} // namespace

std::optional<long> peakGrowth(const std::function<void()>& prepare,
                               const std::function<void()>& work) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        prepare();
        ::malloc_trim(0);
        long growth = -1;
        if (resetPeak()) {
            long start = statusBytes("VmRSS:");
            work();
            long peak = statusBytes("VmHWM:");
            if (start >= 0 && peak >= 0)
                growth = peak - start;
        }
        ssize_t written = ::write(pipeEnds[1], &growth, sizeof growth);
        ::_exit(written == sizeof growth ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    long growth = -1;
    bool received = child > 0 && ::read(pipeEnds[0], &growth, sizeof growth) == sizeof growth;
    ::close(pipeEnds[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    if (!received || growth < 0)
        return std::nullopt;
    return growth;
}

} // namespace dravik::bench
