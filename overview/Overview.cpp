// torvex-overview: the engine's overview window on its own. It creates the
// engine root and shows the window over it; the machine is the layer's
// setting (TORVEX_MACHINE), or --machine DIR as torvex-report takes it.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/Zarvo_GUI.h"
#include "overview/Zarvo_Overview.h"
#include "overview/Zarvo_Splash.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/Machine.h"

int main(int argc, char** argv) {
    using namespace torvex;
    std::string machine;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--machine") && i + 1 < argc) {
            machine = argv[++i];
        } else if (arg.rfind("--machine=", 0) == 0) {
            machine = arg.substr(10);
        } else if (arg == "--help" || arg == "-h") {
            std::printf("Usage: torvex-overview [--machine DIR]\n\n"
                        "Shows everything Torvex knows about this PC in one window, one page per topic,\n"
                        "with the report export of all topics or the current one.\n\n"
                        "  --machine DIR  the simulated Windows PC in folder DIR instead of this machine\n"
                        "                 (overrides TORVEX_MACHINE)\n");
            return 0;
        } else if (arg.rfind("-", 0) == 0 && arg != "-platform" && arg != "-style") {
            std::fprintf(stderr, "torvex-overview: unknown argument \"%s\"\n", argv[i]);
            return 2;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Torvex");
    QIcon icon = QIcon::fromTheme("torvex");
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
    try {
        if (!machine.empty()) platform::SetActiveMachine(platform::LoadSimulatedMachine(machine));
        platform::ActiveMachine();
        platform::PlatformStartup();
        overview::InstallRefreshSplash();
        overview::InstallOverview();
        {
            engine::TCorvaneSystemInfo info;
            info.ShowOverview();
        }
        platform::PlatformShutdown();
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "torvex-overview: %s\n", error.what());
        QMessageBox::critical(nullptr, "Torvex", QString::fromUtf8(error.what()));
        return 1;
    }
}
