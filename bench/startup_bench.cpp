// Start-up: from exec to the program's main window first painted, against a minimal Qt main
// window, the two started in turn in the same run. Each child is a process of its own with a
// fresh settings and data folder; its peak RSS is taken as it ends.
// Usage: startup_bench [rounds, default 10] (startup_program and startup_minimal next to it)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::int64_t NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

struct Start {
    double ms = 0;
    long peakKb = 0;
};

// Runs `program` until it reports its window painted; false when it did not.
bool StartOnce(const std::string& program, const std::string& home, Start& start)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const std::int64_t before = NowNs();
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        setenv("KARTOVAN_SHOWN_FD", fd.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::int64_t shown = 0;
    const bool reported = read(fds[0], &shown, sizeof shown) == static_cast<ssize_t>(sizeof shown);
    close(fds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return false;
    start.ms = static_cast<double>(shown - before) / 1e6;
    start.peakKb = usage.ru_maxrss;
    return reported && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Print(const char* name, std::vector<double> values, const char* unit)
{
    std::sort(values.begin(), values.end());
    std::printf("| %-34s | %9.2f | %9.2f | %9.2f | %s\n", name, Median(values), values.front(), values.back(), unit);
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    if (rounds < 1)
        return 1;
    const std::filesystem::path folder = std::filesystem::canonical("/proc/self/exe").parent_path();
    const std::string program = (folder / "startup_program").string();
    const std::string minimal = (folder / "startup_minimal").string();
    char pattern[] = "/tmp/startup_bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    const std::string home = pattern;

    std::vector<double> programMs, minimalMs, ratio, programMb, minimalMb;
    // One cold start of each first, not counted.
    for (int round = 0; round <= rounds; ++round) {
        Start p, m;
        if (!StartOnce(program, home, p) || !StartOnce(minimal, home, m)) {
            std::fprintf(stderr, "a child did not report its window\n");
            return 1;
        }
        if (round == 0)
            continue;
        programMs.push_back(p.ms);
        minimalMs.push_back(m.ms);
        ratio.push_back(p.ms / m.ms);
        programMb.push_back(p.peakKb / 1024.0);
        minimalMb.push_back(m.peakKb / 1024.0);
    }
    std::filesystem::remove_all(home);
    std::printf("start-up, exec to the main window painted; %d rounds after a cold one, in turn\n\n", rounds);
    std::printf("| %-34s | %9s | %9s | %9s |\n", "", "median", "min", "max");
    std::printf("|------------------------------------|-----------|-----------|-----------|\n");
    Print("program (ms)", programMs, "");
    Print("minimal Qt main window (ms)", minimalMs, "");
    Print("program / minimal (x)", ratio, "");
    Print("program peak RSS (MB)", programMb, "");
    Print("minimal peak RSS (MB)", minimalMb, "");
    return 0;
}
