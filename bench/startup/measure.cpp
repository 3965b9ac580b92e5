// startup_measure RUNS PROGRAM BASELINE...
//
// Runs every program RUNS times, in turn so that all meet the same machine
// load, after one discarded warm-up run each. Every run is measured from the
// fork to the reaped exit: wall time (monotonic clock) and peak resident
// memory (the child's ru_maxrss). Prints the medians and the ratio of the
// first program to each baseline; exits 1 when a run fails.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Run {
    double wall_ms;
    long max_rss_kib;
};

bool run_once(const char* program, Run& out) {
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // The program's own output (the cost trace) is not part of the test.
        const int null_fd = open("/dev/null", O_WRONLY);
        if (null_fd >= 0) dup2(null_fd, STDOUT_FILENO);
        char* const argv[] = {const_cast<char*>(program), nullptr};
        execv(program, argv);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    clock_gettime(CLOCK_MONOTONIC, &end);
    out.wall_ms = static_cast<double>(end.tv_sec - start.tv_sec) * 1e3 +
                  static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e6;
    out.max_rss_kib = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string base_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM BASELINE...\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    if (runs < 1) {
        std::fprintf(stderr, "RUNS must be at least 1\n");
        return 2;
    }
    const std::vector<const char*> programs(argv + 2, argv + argc);
    const std::size_t count = programs.size();
    std::vector<std::vector<double>> wall(count), rss(count);
    for (int i = -1; i < runs; ++i) {
        for (std::size_t p = 0; p < count; ++p) {
            Run r{};
            if (!run_once(programs[p], r)) {
                std::fprintf(stderr, "run of %s failed\n", programs[p]);
                return 1;
            }
            if (i < 0) continue;  // warm-up
            wall[p].push_back(r.wall_ms);
            rss[p].push_back(static_cast<double>(r.max_rss_kib) / 1024.0);
        }
    }
    std::vector<double> med_wall(count), med_rss(count);
    std::printf("%-34s %12s %15s\n", "median of runs", "wall [ms]", "max RSS [MiB]");
    for (std::size_t p = 0; p < count; ++p) {
        med_wall[p] = median(wall[p]);
        med_rss[p] = median(rss[p]);
        std::printf("%-34s %12.1f %15.1f\n", base_name(programs[p]).c_str(), med_wall[p], med_rss[p]);
    }
    for (std::size_t p = 1; p < count; ++p) {
        const std::string label = "ratio to " + base_name(programs[p]);
        std::printf("%-34s %12.2f %15.2f\n", label.c_str(), med_wall[0] / med_wall[p],
                    med_rss[0] / med_rss[p]);
    }
    std::printf("runs: %d each, in turn, after one warm-up run each\n", runs);
    return 0;
}
