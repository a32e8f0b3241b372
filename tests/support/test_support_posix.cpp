#include "support/test_support.h"

#include <stdexcept>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dravik::testing {
namespace {

std::string runForked(const std::function<std::string()>& f, bool ordinaryUser) {
    int channel[2];
    if (::pipe(channel) != 0)
        throw std::runtime_error("cannot make a pipe");
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("cannot fork");
    if (child == 0) {
        ::close(channel[0]);
        std::string result;
        if (ordinaryUser && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 ||
             ::setresgid(kOrdinaryUserId, kOrdinaryUserId, kOrdinaryUserId) != 0 ||
             ::setresuid(kOrdinaryUserId, kOrdinaryUserId, kOrdinaryUserId) != 0)) {
            result = "<cannot become an ordinary user>";
        } else {
            try {
                result = f();
            } catch (const Error& e) {
                result = "<error: " + e.message() + ">";
            } catch (const std::exception& e) {
                result = std::string("<error: ") + e.what() + ">";
            }
        }
        for (std::size_t done = 0; done < result.size();) {
            const ssize_t n = ::write(channel[1], result.data() + done, result.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return "<killed by signal " + std::to_string(WTERMSIG(status)) + ">";
    return result;
}

} // namespace

std::string runInChild(const std::function<std::string()>& f) {
    return runForked(f, false);
}

std::string runAsOrdinaryUser(const std::function<std::string()>& f) {
    return runForked(f, true);
}

void giveToOrdinaryUser(const std::string& path) {
    if (::geteuid() == 0 && ::lchown(path.c_str(), kOrdinaryUserId, kOrdinaryUserId) != 0)
        throw std::runtime_error("cannot give " + path + " to the ordinary user");
}

} // namespace dravik::testing
