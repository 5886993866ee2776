// How long a whole refresh and report take, and how much memory they use:
// on the live host and on every shipped simulated PC; and how long the
// summary list with every toggle takes beyond the processor load measurement
// (median of the runs). Not a test: timings
// depend on the machine running it, so it prints figures and judges nothing.
//
//   torvex-bench [--runs N] [MACHINE_DIR ...]
//   torvex-bench --peers [--runs N]   (torvex-report beside lshw, hwinfo, inxi)
//
// Without machine folders it measures the host and every folder under
// machines/ beside the source tree. It then loads registry exports of real
// size: 25,000 and 100,000 sibling keys below CLSID, as a full export of
// HKEY_CLASSES_ROOT holds them.
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
#ifdef TORVEX_BENCH_WINDOW
#include <QApplication>

#include "overview/Zarvo_Overview.h"
#endif
#include "platform/machine/Machine.h"
#include "platform/machine/Registry.h"
#include "platform/simulated/RegFile.h"
#include "tools/PeerBench.h"

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

#ifdef TORVEX_BENCH_WINDOW
// The overview window from creation until it is shown filled and painted,
// as ShowOverview opens it (refresh included), and closed again.
double WindowOnce() {
    auto start = std::chrono::steady_clock::now();
    {
        engine::TCorvaneSystemInfo info;
        overview::TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.SetShowReportButton(true);
        window.cmRefresh();
        window.show();
        window.repaint();
        QApplication::processEvents();
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The median of the window's runs on the active machine.
double MeasureWindow(int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) ms.push_back(WindowOnce());
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
#endif
// A regedit export with `keys` sibling keys, each with two values.
std::string ClsidExport(int keys) {
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\CLSID]\r\n\r\n";
    char guid[64];
    for (int i = 0; i < keys; ++i) {
        // Spread over the name space, not in sorted order.
        unsigned n = unsigned(i) * 2654435761u;
        std::snprintf(guid, sizeof guid, "{%08X-%04X-11D0-8E95-%012X}", n, unsigned(i) & 0xFFFF, unsigned(i));
        text += "[HKEY_CLASSES_ROOT\\CLSID\\";
        text += guid;
        text += "]\r\n@=\"Component\"\r\n\"ThreadingModel\"=\"Apartment\"\r\n\r\n";
    }
    return text;
}

void MeasureRegistry(int keys) {
    std::string text = ClsidExport(keys);
    auto start = std::chrono::steady_clock::now();
    std::size_t loaded = 0;
    {
        platform::Registry registry;
        platform::ApplyRegFile(text, "CLSID.reg", registry);
        auto* clsid = registry.resolvedRoot(platform::RegRoot::ClassesRoot).find("CLSID");
        loaded = clsid ? clsid->children().size() : 0;
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("registry export %7d sibling keys %6.1f MB: loaded %zu keys and freed them in %.1f ms\n", keys,
                double(text.size()) / 1e6, loaded, ms);
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
    bool peers = false;
    std::vector<fs::path> machines;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--peers") {
            peers = true;
        } else if (a == "--help") {
            std::puts("usage: torvex-bench [--runs N] [MACHINE_DIR ...]\n       torvex-bench --peers [--runs N]");
            return 0;
        } else {
            machines.push_back(a);
        }
    }
    if (peers) return bench::RunPeerBench(std::max(runs, 10), argv[0]);
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
#ifdef TORVEX_BENCH_WINDOW
    // Without a display the window is drawn off screen; its figures then
    // leave out the display server's part.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    std::printf("\n%-16s %6s %12s\n", "overview window", "runs", "median ms");
    auto windowRow = [&](const std::string& name) {
        platform::PlatformStartup();
        double median = MeasureWindow(runs);
        platform::PlatformShutdown();
        std::printf("%-16s %6d %12.1f\n", name.c_str(), runs, median);
    };
    if (host) {
        platform::SetActiveMachine(nullptr);
        windowRow("host");
    }
    for (const auto& m : machines) {
        fs::path overlay = fs::temp_directory_path() / ("torvex-bench-window-" + m.filename().string());
        platform::SetActiveMachine(platform::LoadSimulatedMachine(m, overlay));
        windowRow(m.filename().string());
        fs::remove_all(overlay);
    }
    platform::SetActiveMachine(nullptr);
#endif
    MeasureRegistry(25000);
    MeasureRegistry(100000);
    std::printf("peak resident memory: %ld KB\n", PeakKilobytes());
    return 0;
}
