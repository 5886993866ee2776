// The root of the information engine: owns one object per category of facts,
// refreshes them in a fixed order under one error policy and writes the
// whole report text.
//
// Each category is a typed member created in the constructor; Refresh and
// Report name the categories in their own fixed orders.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/Zarvo_CPU.h"
#include "engine/Zarvo_Memory.h"
#include "engine/Zarvo_Common.h"
#include "engine/Zarvo_OS.h"
#include "engine/Zarvo_Devices.h"
#include "engine/Zarvo_Display.h"
#include "engine/Zarvo_Media.h"
#include "engine/Zarvo_Disk.h"
#include "engine/Zarvo_Engines.h"
#include "engine/Zarvo_APM.h"
#include "engine/Zarvo_Machine.h"
#include "engine/Zarvo_Network.h"
#include "engine/Zarvo_Printers.h"
#include "engine/Zarvo_Software.h"
#include "engine/Zarvo_Startup.h"
#include "platform/classes/Classes.h"

namespace torvex::engine {

// The engine's name and version, as the banner and the About page show them.
inline constexpr const char* kEngineTitle = "Corvane System Information Component";
inline constexpr const char* kEngineVersion = "7.61";

// Shown while a refresh blocks the program; destroyed when it ends, however
// it ends. The window program supplies one; a console program has none.
class TRefreshSplash {
public:
    virtual ~TRefreshSplash() = default;
};
using TRefreshSplashFactory = std::function<std::unique_ptr<TRefreshSplash>()>;
// Installs the splash for every engine root of the program (empty: none).
void SetRefreshSplashFactory(TRefreshSplashFactory factory);

class TCorvaneSystemInfo;
// Shows the overview window modally over a root and destroys it when it
// closes. The window is made of the windowing toolkit, which the engine does
// not link (the console report and the tests use the engine without it), so
// the program that has windows hands its window in at start, as it does with
// the splash; see overview/Zarvo_Overview.h, InstallOverview().
using TOverviewShower = std::function<void(TCorvaneSystemInfo& root)>;
// Installs the window for every engine root of the program (empty: none).
void SetOverviewShower(TOverviewShower shower);

class TCorvaneSystemInfo : public TComponent {
public:
    // Creates the categories; nothing is read unless a form designer hosts
    // the component, which shows live values at once.
    explicit TCorvaneSystemInfo(TComponent* owner = nullptr);
    ~TCorvaneSystemInfo() override;

    // One line naming the engine and its version.
    const std::string& About() const { return FAbout; }
    TExceptionMode ExceptionMode() const { return FExceptionMode; }
    // Stores the mode and hands it to the categories that keep their own.
    void SetExceptionMode(TExceptionMode mode);

    TCPU& CPU() const { return *FCPU; }
    TMemory& Memory() const { return *FMemory; }
    TOperatingSystem& OS() const { return *FOS; }
    TDisk& Disk() const { return *FDisk; }
    TMachine& Machine() const { return *FMachine; }
    TNetwork& Network() const { return *FNetwork; }
    TDisplay& Display() const { return *FDisplay; }
    TMedia& Media() const { return *FMedia; }
    TDevices& Devices() const { return *FDevices; }
    TEngines& Engines() const { return *FEngines; }
    TAPM& APM() const { return *FAPM; }
    TPrinters& Printers() const { return *FPrinters; }
    TSoftware& Software() const { return *FSoftware; }
    TStartup& Startup() const { return *FStartup; }

    // Refreshes every category, each step under ExceptionMode.
    void Refresh();
    // Refreshes only the category one overview page (ReportPage) prints.
    void RefreshTopic(int page);
    // Appends the whole report: ";" with the banner, then every category.
    void Report(TStringList& list) const;
    // Shows the overview window modally over this root, every page visible
    // and the report button shown; it refreshes this root first. A program
    // without windows has none to show and raises an Exception saying so.
    void ShowOverview();

protected:
    void PublishProperties(TPublished& published) const override;

private:
    // The refresh steps of the pages whose bits are set, in Refresh's order.
    void RefreshPages(unsigned pages);
    // One refresh step: the category's GetInfo under the root's mode.
    template <class T>
    void RefreshStep(T& category) {
        GuardedCall(GetInfoLabel(category), FExceptionMode, &T::GetInfo, category);
    }

    std::string FAbout;
    TExceptionMode FExceptionMode;
    std::unique_ptr<TCPU> FCPU;
    std::unique_ptr<TMemory> FMemory;
    std::unique_ptr<TOperatingSystem> FOS;
    std::unique_ptr<TDisk> FDisk;
    std::unique_ptr<TMachine> FMachine;
    std::unique_ptr<TNetwork> FNetwork;
    std::unique_ptr<TDisplay> FDisplay;
    std::unique_ptr<TMedia> FMedia;
    std::unique_ptr<TDevices> FDevices;
    std::unique_ptr<TEngines> FEngines;
    std::unique_ptr<TAPM> FAPM;
    std::unique_ptr<TPrinters> FPrinters;
    std::unique_ptr<TSoftware> FSoftware;
    std::unique_ptr<TStartup> FStartup;
};

// The pages of the overview window, by index (the index is the page's bit in
// the page mask), and what their "Current Topic" report writes.
constexpr int kOverviewPageCount = 16;
constexpr int kAboutPage = 15;
// The page's caption without surrounding blanks ("Machine", "Time Zone",
// "About"); "" outside the pages.
const char* OverviewPageName(int page);
// The page with that trimmed caption, compared without letter case; -1 when
// none.
int OverviewPageByName(std::string_view name);
// Appends the sections of the category that a page shows (the "Current
// Topic" report, without its banner line). The About page writes nothing.
void ReportPage(const TCorvaneSystemInfo& info, int page, TStringList& list);

}  // namespace torvex::engine
