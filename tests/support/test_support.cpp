#include "support/test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <grp.h>
#include <sys/wait.h>

#include <unistd.h>

namespace dravik::testing {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dravik-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    path_ = std::filesystem::canonical(pattern).string();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Folders made read-only by a test must be writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::file(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

std::string TempFolder::write(std::string_view name, std::string_view bytes) const {
    std::string path = file(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempFolder::makeFolder(std::string_view name) const {
    std::string path = file(name);
    std::filesystem::create_directories(path);
    return path;
}

CurrentDirectoryGuard::CurrentDirectoryGuard(const std::string& folder)
    : previous_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(folder);
}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

std::string bytesWith(std::size_t size,
                      std::initializer_list<std::pair<std::size_t, std::string_view>> pieces,
                      char fill) {
    std::string bytes(size, fill);
    for (const auto& [offset, piece] : pieces)
        bytes.replace(offset, piece.size(), piece);
    return bytes;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string fileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
