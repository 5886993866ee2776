#include "tools/PeerBench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace torvex::bench {

namespace fs = std::filesystem;

namespace {

struct Sample {
    double wallMs = 0, cpuMs = 0, peakMiB = 0;
    bool ok = false;
};

struct Command {
    std::string label;
    std::vector<std::string> argv;
    std::vector<Sample> samples;
};

// The starter (tools/torvex-bench-spawn.c) beside this program, which runs
// each command and measures it, so that no child inherits this program's
// memory in its peak.
std::string gStarter;
double gFloorMiB = 0;

// One whole process, started and waited for by the starter, which reads its
// resource use from wait4. Output goes to /dev/null: a terminal's speed is
// no part of either program.
Sample RunOnce(const std::vector<std::string>& argv) {
    Sample s;
    std::vector<char*> args{const_cast<char*>(gStarter.c_str())};
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return s;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string line;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) line.append(buffer, std::size_t(n));
    close(out[0]);
    if (rc != 0) return s;
    int starter = 0;
    if (waitpid(pid, &starter, 0) < 0 || !WIFEXITED(starter) || WEXITSTATUS(starter) != 0) return s;
    long long wallNs = 0, cpuUs = 0;
    long peakKiB = 0, floorKiB = 0;
    int status = 0;
    if (std::sscanf(line.c_str(), "%lld %lld %ld %d %ld", &wallNs, &cpuUs, &peakKiB, &status, &floorKiB) != 5) return s;
    s.wallMs = double(wallNs) / 1e6;
    s.cpuMs = double(cpuUs) / 1e3;
    s.peakMiB = double(peakKiB) / 1024.0;
    gFloorMiB = std::max(gFloorMiB, double(floorKiB) / 1024.0);
    s.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return s;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Summary {
    double wall = 0, minWall = 0, cpu = 0, peak = 0;
    int failed = 0;
};

Summary Summarize(const std::vector<Sample>& samples) {
    Summary r;
    std::vector<double> wall, cpu, peak;
    for (const Sample& s : samples) {
        if (!s.ok) ++r.failed;
        wall.push_back(s.wallMs);
        cpu.push_back(s.cpuMs);
        peak.push_back(s.peakMiB);
    }
    r.wall = Median(wall);
    r.minWall = wall.empty() ? 0 : *std::min_element(wall.begin(), wall.end());
    r.cpu = Median(cpu);
    r.peak = Median(peak);
    return r;
}

bool OnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string p = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= p.size()) {
        std::size_t end = p.find(':', start);
        if (end == std::string::npos) end = p.size();
        fs::path f = fs::path(p.substr(start, end - start)) / name;
        if (access(f.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

void PrintRow(const std::string& label, const Summary& s) {
    std::printf("%-28s %9.1f %9.1f %9.1f %9.1f", label.c_str(), s.wall, s.minWall, s.cpu, s.peak);
    if (s.failed) std::printf("  (%d runs failed)", s.failed);
}

}  // namespace

int RunPeerBench(int pairs, const char* selfPath) {
    fs::path report = fs::path(selfPath).parent_path() / "torvex-report";
    std::error_code ec;
    if (!fs::exists(report, ec)) {
        std::fprintf(stderr, "torvex-bench: %s is missing; build torvex-report first\n", report.c_str());
        return 1;
    }
    const std::string r = report.string();
    gStarter = (fs::path(selfPath).parent_path() / "torvex-bench-spawn").string();
    if (!fs::exists(gStarter, ec)) {
        std::fprintf(stderr, "torvex-bench: %s is missing; build the torvex-bench target\n", gStarter.c_str());
        return 1;
    }
    std::vector<std::vector<std::string>> peers;
    for (const auto& peer : std::vector<std::vector<std::string>>{
             {"lshw", "-json"}, {"hwinfo", "--short"}, {"inxi", "-F"}})
        if (OnPath(peer[0])) peers.push_back(peer);
        else std::printf("%s: not installed, left out\n", peer[0].c_str());

    std::printf("median of %d runs each, pairs run alternately; wall and minimum in ms, CPU (user+system) in ms,\n"
                "peak resident memory in MiB\n\n",
                pairs);
    std::printf("%-28s %9s %9s %9s %9s %12s %12s\n", "command", "wall", "min wall", "CPU", "peak MiB", "wall ratio",
                "memory ratio");
    // The program's own faces, alternating with the whole report.
    std::vector<Command> own = {{"torvex-report", {r}, {}},
                                {"torvex-report --topic CPU", {r, "--topic", "CPU"}, {}},
                                {"torvex-report --topic Memory", {r, "--topic", "Memory"}, {}},
                                {"torvex-report --help", {r, "--help"}, {}}};
    RunOnce(own[0].argv);  // page cache warmed for both sides alike
    for (int i = 0; i < pairs; ++i)
        for (Command& c : own) c.samples.push_back(RunOnce(c.argv));
    for (const Command& c : own) {
        PrintRow(c.label, Summarize(c.samples));
        std::printf("\n");
    }
    for (const auto& peer : peers) {
        Command mine{"torvex-report", {r}, {}};
        std::string label;
        for (const std::string& a : peer) label += (label.empty() ? "" : " ") + a;
        Command theirs{label, peer, {}};
        RunOnce(theirs.argv);
        for (int i = 0; i < pairs; ++i) {
            // Who goes first alternates too, so neither always finds the
            // caches the other just filled.
            if (i % 2 == 0) {
                mine.samples.push_back(RunOnce(mine.argv));
                theirs.samples.push_back(RunOnce(theirs.argv));
            } else {
                theirs.samples.push_back(RunOnce(theirs.argv));
                mine.samples.push_back(RunOnce(mine.argv));
            }
        }
        Summary a = Summarize(mine.samples), b = Summarize(theirs.samples);
        std::printf("\n");
        PrintRow("torvex-report", a);
        std::printf("\n");
        PrintRow(label, b);
        std::printf(" %12.2f %12.2f\n", b.wall > 0 ? a.wall / b.wall : 0.0, b.peak > 0 ? a.peak / b.peak : 0.0);
    }
    std::printf("\nratio: torvex-report's median over the peer's, from the same paired runs\n");
    // A child forked from the starter starts with at most its resident
    // pages counted: the most any figure above holds that is not the
    // command's own.
    std::printf("peak memory floor (the starter's resident size, the most of any peak above that is not the "
                "command's own): %.1f MiB\n",
                gFloorMiB);
    return 0;
}

}  // namespace torvex::bench
