// How long a whole refresh and report take, and how much memory they use:
// on the live host and on every shipped simulated PC; and how long the
// summary list with every toggle takes beyond the processor load measurement
// (median of the runs). Not a test: timings
// depend on the machine running it, so it prints figures and judges nothing.
//
//   torvex-bench [--runs N] [MACHINE_DIR ...]
//
// Without machine folders it measures the host and every folder under
// machines/ beside the source tree.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/summary/SummaryList.h"
#include "app/EditionStrings.h"
#include "components/QuentaSysDrive.h"
#include "components/QuentaSysProcessor.h"
#include "components/QuentaSysUninstall.h"
#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/Machine.h"

namespace fs = std::filesystem;
using namespace torvex;

namespace {

struct Figures {
    double firstMs = 0, medianMs = 0, minMs = 0, maxMs = 0;
    int lines = 0;
};

// One engine from construction to the finished report, as the console
// program runs it.
int RunOnce() {
    engine::TCorvaneSystemInfo info;
    info.Refresh();
    classes::TStringList report;
    info.Report(report);
    return report.Count();
}

Figures Measure(int runs) {
    Figures f;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        f.lines = RunOnce();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    f.firstMs = ms.front();
    std::sort(ms.begin(), ms.end());
    f.medianMs = ms[ms.size() / 2];
    f.minMs = ms.front();
    f.maxMs = ms.back();
    return f;
}

// One summary list with every toggle pressed, as the window builds it after
// loading: total time, and the time beyond the processor component's load
// measurement (about a second on the NT family, of the machine's clock),
// which its refresh events bracket.
struct SummaryFigures {
    double totalMs = 0, beyondLoadMs = 0;
    int rows = 0;
};

SummaryFigures SummaryOnce() {
    using Clock = std::chrono::steady_clock;
    classes::TComponent form;
    auto& info = form.CreateComponent<engine::TCorvaneSystemInfo>();
    auto& drive = form.CreateComponent<components::TQuentaSysDrive>();
    auto& programs = form.CreateComponent<components::TQuentaSysUninstall>();
    auto& cpu = form.CreateComponent<components::TQuentaSysProcessor>();
    auto& win = form.CreateComponent<components::TQuentaSysWindows>();
    Clock::time_point loadStart;
    double loadMs = 0;
    cpu.OnRefresh = [&](classes::TObject&) { loadStart = Clock::now(); };
    cpu.OnAfterRefresh = [&](classes::TObject&) {
        loadMs += std::chrono::duration<double, std::milli>(Clock::now() - loadStart).count();
    };
    auto start = Clock::now();
    drive.SetAutoRetrieve(true);
    programs.SetAutoRetrieve(true);
    drive.Loaded();
    programs.Loaded();
    summary::TSummaryList list(info, cpu, win, drive, programs);
    SummaryFigures f;
    f.rows = int(list.Rows({true, true, true}, false).size());
    f.totalMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    f.beyondLoadMs = f.totalMs - loadMs;
    return f;
}

SummaryFigures MeasureSummary(int runs) {
    std::vector<SummaryFigures> all;
    for (int i = 0; i < runs; ++i) all.push_back(SummaryOnce());
    std::sort(all.begin(), all.end(), [](auto& a, auto& b) { return a.beyondLoadMs < b.beyondLoadMs; });
    SummaryFigures median = all[all.size() / 2];
    return median;
}

long PeakKilobytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 7;
    std::vector<fs::path> machines;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--help") {
            std::puts("usage: torvex-bench [--runs N] [MACHINE_DIR ...]");
            return 0;
        } else {
            machines.push_back(a);
        }
    }
    bool host = machines.empty();
    if (machines.empty()) {
        fs::path all = fs::path(TORVEX_SOURCE_DIR) / "machines";
        for (const auto& e : fs::directory_iterator(all))
            if (fs::exists(e.path() / "machine.json")) machines.push_back(e.path());
        std::sort(machines.begin(), machines.end());
    }
    // Error boxes of a refresh would interrupt the timing; they are counted
    // in the lines instead.
    platform::SetMessageBoxHook([](const std::string&, const std::string&, unsigned) { return 0; });

    platform::SetResourceStrings(app::NorwegianStrings());
    std::printf("%-16s %6s %9s %9s %9s %9s %7s %12s %12s %5s\n", "machine", "runs", "first ms", "median", "min", "max",
                "lines", "summary ms", "beyond load", "rows");
    auto row = [&](const std::string& name) {
        platform::PlatformStartup();
        Figures f = Measure(runs);
        SummaryFigures s = MeasureSummary(runs);
        platform::PlatformShutdown();
        std::printf("%-16s %6d %9.1f %9.1f %9.1f %9.1f %7d %12.1f %12.1f %5d\n", name.c_str(), runs, f.firstMs,
                    f.medianMs, f.minMs, f.maxMs, f.lines, s.totalMs, s.beyondLoadMs, s.rows);
    };
    if (host) {
        platform::SetActiveMachine(nullptr);
        row("host");
    }
    for (const auto& m : machines) {
        // A fresh overlay: nothing a run writes survives it.
        fs::path overlay = fs::temp_directory_path() / ("torvex-bench-" + m.filename().string());
        platform::SetActiveMachine(platform::LoadSimulatedMachine(m, overlay));
        row(m.filename().string());
        fs::remove_all(overlay);
    }
    platform::SetActiveMachine(nullptr);
    std::printf("peak resident memory: %ld KB\n", PeakKilobytes());
    return 0;
}
