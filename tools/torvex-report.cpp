// torvex-report: the engine's report text on the terminal or in a file.
//
//   torvex-report [--machine DIR] [--topic NAME] [-o FILE]
//   torvex-report [--machine DIR] --summary [--edition da|no|sv|fi]
//                 [--details] [--drives] [--programs]
//
// Standard output carries the report (UTF-8, LF) and nothing else; messages
// of the engine's refresh steps and every error go to standard error.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/summary/ConsoleSummary.h"
#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/FileWrite.h"
#include "platform/machine/Machine.h"
#include "platform/machine/ProgramContext.h"
#include "platform/win32/Win32.h"

namespace {

using namespace torvex;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: torvex-report [--machine DIR] [--topic NAME] [-o FILE]\n"
    "       torvex-report [--machine DIR] --summary [--edition da|no|sv|fi]\n"
    "                     [--details] [--drives] [--programs]\n"
    "\n"
    "Writes what Torvex knows about this PC as a sectioned report text, or the\n"
    "summary list of the window: one row a line, caption TAB value.\n"
    "\n"
    "  --machine DIR  report on the simulated Windows PC in folder DIR instead of\n"
    "                 this machine (overrides TORVEX_MACHINE)\n"
    "  --topic NAME   only the banner line and one topic: Machine, Operating System,\n"
    "                 CPU, Memory, Display, APM, Media, Network, Devices, Printers,\n"
    "                 Engines, Drives, Time Zone, Startup, Software (any letter case)\n"
    "  -o FILE        write the report to FILE in the export format (CR LF line ends,\n"
    "                 the machine's ANSI code page) instead of standard output;\n"
    "                 an existing FILE is replaced keeping its permissions, a link's\n"
    "                 target is the file written, a device or pipe is written to\n"
    "  --summary      the summary list instead of the report\n"
    "  --edition E    the summary's language: da, no (the default), sv or fi\n"
    "  --details      the summary with the rows of the Detaljer button\n"
    "  --drives       the summary with one row per drive (Partitioner)\n"
    "  --programs     the summary with the installed programs (Programmer)\n"
    "  --help         show this text\n"
    "  --version      show the program's and the engine's version\n"
    "\n"
    "The same facts in a window, one page per topic, with the same export:\n"
    "torvex-overview (it takes the machine from TORVEX_MACHINE or --machine DIR).\n"
    "\n"
    "Exit status: 0 done, 1 unusable machine folder, file not written or summary\n"
    "not finished, 2 bad usage.\n";

struct Options {
    std::optional<std::string> machine;
    std::optional<int> topic;
    std::optional<std::string> output;
    bool help = false;
    bool version = false;
    bool summary = false;
    std::optional<std::string> edition;
    summary::TSummaryToggles toggles;
};

struct UsageError {
    std::string message;
};

Options ParseArguments(int argc, char** argv) {
    Options o;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            auto eq = arg.find('=');
            if (eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        auto value = [&]() -> std::string {
            if (inlineValue) return *inlineValue;
            if (i + 1 >= args.size()) throw UsageError{"option " + arg + " needs a value"};
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--machine") {
            o.machine = value();
            if (o.machine->empty()) throw UsageError{"--machine needs a folder"};
        } else if (arg == "--topic") {
            std::string name = value();
            int page = engine::OverviewPageByName(name);
            if (page < 0 || page == engine::kAboutPage) throw UsageError{"unknown topic \"" + name + "\""};
            o.topic = page;
        } else if (arg == "-o" || arg == "--output") {
            o.output = value();
            if (o.output->empty()) throw UsageError{"-o needs a file name"};
        } else if (arg == "--summary") {
            o.summary = true;
        } else if (arg == "--edition") {
            o.edition = value();
            if (!summary::EditionTableByCode(*o.edition))
                throw UsageError{"unknown edition \"" + *o.edition + "\" (da, no, sv or fi)"};
        } else if (arg == "--details") {
            o.toggles.Detaljer = true;
        } else if (arg == "--drives") {
            o.toggles.Partitioner = true;
        } else if (arg == "--programs") {
            o.toggles.Programmer = true;
        } else {
            throw UsageError{"unknown argument \"" + args[i] + "\""};
        }
    }
    bool summaryOptions = o.edition || o.toggles.Detaljer || o.toggles.Partitioner || o.toggles.Programmer;
    if (summaryOptions && !o.summary) throw UsageError{"--edition, --details, --drives and --programs need --summary"};
    if (o.summary && (o.topic || o.output)) throw UsageError{"--summary cannot be combined with --topic or -o"};
    return o;
}

int Run(const Options& o) {
    // The machine first: a broken folder stops the program before anything
    // is read or written.
    if (o.machine) platform::SetActiveMachine(platform::LoadSimulatedMachine(*o.machine));
    platform::ActiveMachine();

    // The console program's context: no display of its own, no string
    // table, and the engine's error boxes become lines on standard error,
    // so that standard output holds the report alone.
    platform::ProgramContext context;
    context.messageBox = [](const std::string& text, const std::string&, unsigned) {
        std::cerr << text << '\n';
        return win32::IDOK;
    };
    platform::SetProgramContext(std::move(context));

    // The platform flags and names, then the optional libraries, as every
    // program of the project starts.
    platform::PlatformStartup();

    if (o.summary) {
        platform::SetResourceStrings(*summary::EditionTableByCode(o.edition.value_or("no")));
        bool built = summary::PrintSummary(o.toggles, std::cout, std::cerr);
        platform::PlatformShutdown();
        if (!std::cout) {
            std::cerr << "torvex-report: cannot write the summary to standard output\n";
            return kExitFailure;
        }
        return built ? kExitOk : kExitFailure;
    }

    TStringList report;
    {
        engine::TCorvaneSystemInfo info;
        if (o.topic) info.RefreshTopic(*o.topic);
        else info.Refresh();
        if (o.topic) {
            engine::ReportPage(info, *o.topic, report);
            report.Insert(0, ";" + info.About());
        } else {
            info.Report(report);
        }
    }

    if (o.output) {
        std::string error = platform::WriteFileSafely(*o.output, engine::ReportFileBytes(report));
        if (!error.empty()) {
            std::cerr << "torvex-report: cannot write " << *o.output << ": " << error << '\n';
            return kExitFailure;
        }
    } else {
        std::cout << engine::ReportText(report);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "torvex-report: cannot write the report to standard output\n";
            return kExitFailure;
        }
    }

    platform::PlatformShutdown();
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseArguments(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "torvex-report: " << e.message << "\n"
                  << "Try 'torvex-report --help' for more information.\n";
        return kExitUsage;
    }
    if (options.help) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (options.version) {
        std::cout << "torvex-report " << TORVEX_VERSION << " (" << engine::kEngineTitle << ' '
                  << engine::kEngineVersion << ")\n";
        return kExitOk;
    }
    try {
        return Run(options);
    } catch (const platform::MachineError& e) {
        std::cerr << e.what() << '\n';
        return kExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "torvex-report: " << e.what() << '\n';
        return kExitFailure;
    }
}
