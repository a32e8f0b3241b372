// Measures `dravik-cli library add` on a shop of drive folders against its
// floor, decoding the same folders to JSON with dravik-cli, in one run on the
// same files: each command's CPU time (user and system, of the process and
// what it waits for) and wall time, the median of the repetitions, printed as
// ratios. Usage: dravik_library_add_bench [FOLDERS [REPETITIONS]]
// (10000 and 3 unless given); the folders come from samples/make-library.sh.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Cost {
    double cpu = 0; ///< seconds of user and system time
    double wall = 0;
};

// Runs a program with its output into /dev/null and gives what it cost;
// raises when it ends with a status other than those allowed.
Cost run(const std::vector<std::string>& args, int allowedStatus = 0) {
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        std::vector<char*> argv;
        std::vector<std::string> copies(args);
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != allowedStatus))
        throw std::runtime_error("failed: " + args.front() + " " + args.at(1));
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()};
}

Cost operator+(Cost a, Cost b) {
    return {a.cpu + b.cpu, a.wall + b.wall};
}

Cost median(std::vector<Cost> costs) {
    const auto middle = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::vector<double> cpu;
    std::vector<double> wall;
    for (const Cost& cost : costs) {
        cpu.push_back(cost.cpu);
        wall.push_back(cost.wall);
    }
    return {middle(cpu), middle(wall)};
}

// What library add decodes, as the commands decode it to JSON: the passport,
// the specification and the ROM check of every folder, and every loader.
Cost decodeToJson(const std::vector<std::string>& folders, const std::vector<std::string>& loaders) {
    Cost total;
    for (const char* command : {"pasport", "specification", "check-rom"}) {
        std::vector<std::string> args = {DRAVIK_CLI_PATH, command, "--format", "json"};
        args.insert(args.end(), folders.begin(), folders.end());
        // A folder whose module is missing ends its command with 1.
        total = total + run(args, 1);
    }
    std::vector<std::string> args = {DRAVIK_CLI_PATH, "check-ldr", "--format", "json"};
    args.insert(args.end(), loaders.begin(), loaders.end());
    return total + run(args);
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
    const fs::path top = fs::temp_directory_path() / ("dravik-library-bench-" + std::to_string(::getpid()));
    const fs::path shop = top / "shop";
    fs::create_directories(top);
    try {
        ::setenv("DRAVIK_CLI", DRAVIK_CLI_PATH, 1);
        std::printf("Making %d drive folders with samples/make-library.sh...\n", count);
        std::fflush(stdout);
        run({"/bin/bash", DRAVIK_SOURCE_DIR "/samples/make-library.sh", std::to_string(count), shop.string()});
        std::vector<std::string> folders;
        std::vector<std::string> loaders;
        for (const fs::directory_entry& entry : fs::directory_iterator(shop)) {
            if (!entry.is_directory())
                continue;
            folders.push_back(entry.path().string());
            for (const fs::directory_entry& file : fs::directory_iterator(entry.path())) {
                if (file.path().extension() == ".ldr")
                    loaders.push_back(file.path().string());
            }
        }
        // The settings as the commands find them, from the shop's Dravik.ini.
        fs::current_path(shop);

        const fs::path library = top / "library.sqlite";
        const std::vector<std::string> add = {DRAVIK_CLI_PATH, "library", "add", "--recursive",
                                              shop.string(), "--library", library.string()};
        decodeToJson(folders, loaders); // the page cache warmed for both
        std::vector<Cost> decodes;
        std::vector<Cost> adds;
        std::vector<Cost> readds;
        for (int i = 0; i < repetitions; ++i) {
            decodes.push_back(decodeToJson(folders, loaders));
            for (const char* suffix : {"", "-wal", "-shm"})
                fs::remove(library.string() + suffix);
            adds.push_back(run(add));
            readds.push_back(run(add));
        }
        const Cost decode = median(decodes);
        const Cost added = median(adds);
        const Cost readded = median(readds);
        std::printf("%zu folders, %zu loaders, median of %d runs (CPU s / wall s):\n", folders.size(),
                    loaders.size(), repetitions);
        std::printf("  decode to JSON (floor)  %7.2f / %7.2f\n", decode.cpu, decode.wall);
        std::printf("  library add             %7.2f / %7.2f\n", added.cpu, added.wall);
        std::printf("  library add, unchanged  %7.2f / %7.2f\n", readded.cpu, readded.wall);
        const double addRatio = added.cpu / decode.cpu;
        const double readdRatio = readded.cpu / added.cpu;
        const double addWallRatio = added.wall / decode.wall;
        std::printf("library add / decode to JSON: %.2fx CPU, %.2fx wall (target 1.5x: CPU %s, wall %s)\n",
                    addRatio, addWallRatio, addRatio <= 1.5 ? "met" : "missed",
                    addWallRatio <= 1.5 ? "met" : "missed");
        std::printf("library add unchanged / add:  %.3fx CPU, %.3fx wall (target under 0.1x%s)\n",
                    readdRatio, readded.wall / added.wall, readdRatio < 0.1 ? "" : ", missed");
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(top);
        return addRatio <= 1.5 && readdRatio < 0.1 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dravik_library_add_bench: %s\n", e.what());
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(top);
        return 2;
    }
}
