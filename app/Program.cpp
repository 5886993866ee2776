// The program's entry: one per language edition, the same code with its own
// string table.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <unistd.h>

#include "app/EditionStrings.h"
#include "app/Main.h"
#include "app/summary/ConsoleSummary.h"
#include "overview/Zarvo_Splash.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/ProgramContext.h"

namespace {

torvex::app::StringTable EditionTable() {
#if defined(TORVEX_EDITION_no)
    return torvex::app::NorwegianStrings();
#elif defined(TORVEX_EDITION_sv)
    return torvex::app::SwedishStrings();
#elif defined(TORVEX_EDITION_fi)
    return torvex::app::FinnishStrings();
#else
    return torvex::app::DanishStrings();
#endif
}

bool HasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// Without a display the window cannot open: the summary it would show is
// printed instead (this edition's texts, the remembered toggles), followed
// by a hint naming the console report with every fact.
int RunConsoleSummary(const char* argv0) {
    std::fprintf(stderr, "torvex: no display found (DISPLAY and WAYLAND_DISPLAY are not set); "
                         "printing the summary instead\n");
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) self = argv0;
    // Installed side by side; in the build tree the report has its own folder.
    std::string report = (self.parent_path() / "torvex-report").string();
    if (!std::filesystem::exists(report, error)) report = TORVEX_REPORT_EXE;
    torvex::platform::SetResourceStrings(EditionTable());
    torvex::platform::SetMessageBoxHook([](const std::string& text, const std::string&, unsigned) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return 1;
    });
    bool built = false;
    try {
        torvex::platform::PlatformStartup();
        built = torvex::summary::PrintSummary(torvex::summary::RememberedToggles(), std::cout, std::cerr);
        torvex::platform::PlatformShutdown();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "torvex: %s\n", e.what());
        return 1;
    }
    std::cout << "\nThe full report of every fact: " << report << "\n";
    std::cout.flush();
    return built ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) return RunConsoleSummary(argv[0]);
    // The window program's context: its edition's strings; the display's
    // facts and the message box follow once Qt has a display.
    torvex::platform::ProgramContext context;
    context.resourceStrings = EditionTable();
    torvex::platform::SetProgramContext(std::move(context));
    QApplication app(argc, argv);
    QApplication::setApplicationName("Torvex");
    // The theme's icon when installed, the embedded drawing in the build tree.
    QIcon icon = QIcon::fromTheme("torvex");
    if (icon.isNull())
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            icon.addFile(QStringLiteral(":/art/app/torvex-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    torvex::overview::InstallRefreshSplash();
    torvex::app::InstallScreenFacts();
    try {
        // The platform flags and the optional libraries come before any
        // window, as on Windows, where the units initialise first.
        torvex::platform::PlatformStartup();
        int result;
        {
            torvex::app::TTorvex window;
            window.show();
            result = app.exec();
        }
        torvex::platform::PlatformShutdown();
        return result;
    } catch (const std::exception& error) {
        // A machine that cannot be used (a broken machine folder) is named
        // with its file and place by the error itself.
        std::fprintf(stderr, "torvex: %s\n", error.what());
        QMessageBox::critical(nullptr, "Torvex", QString::fromUtf8(error.what()));
        return 1;
    }
}
