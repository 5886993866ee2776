#include "engine/Zarvo_GUI.h"

#include <utility>

namespace torvex::engine {

namespace {

TRefreshSplashFactory& SplashFactory() {
    static TRefreshSplashFactory factory;
    return factory;
}

TOverviewShower& OverviewShower() {
    static TOverviewShower shower;
    return shower;
}

}  // namespace

void SetRefreshSplashFactory(TRefreshSplashFactory factory) { SplashFactory() = std::move(factory); }

void SetOverviewShower(TOverviewShower shower) { OverviewShower() = std::move(shower); }

TCorvaneSystemInfo::TCorvaneSystemInfo(TComponent* owner)
    : TComponent(owner),
      FAbout(std::string(kEngineTitle) + " " + kEngineVersion),
      // Stored only: the categories start with their own modes.
      FExceptionMode(emMessage) {
    // The categories are created here, in this order: CPU, Memory, OS, Disk,
    // Machine, Network, Display, Media, Devices, Engines, APM, Printers,
    // Software, Startup.
    FCPU = std::make_unique<TCPU>();
    FMemory = std::make_unique<TMemory>();
    FOS = std::make_unique<TOperatingSystem>();
    FMachine = std::make_unique<TMachine>();
    FDevices = std::make_unique<TDevices>();
    FAPM = std::make_unique<TAPM>();
    if (HasState(csDesigning)) Refresh();
}

TCorvaneSystemInfo::~TCorvaneSystemInfo() {
    // The categories are destroyed in the order of their creation.
    FCPU.reset();
    FMemory.reset();
    FOS.reset();
    FMachine.reset();
    FDevices.reset();
    FAPM.reset();
}

void TCorvaneSystemInfo::SetExceptionMode(TExceptionMode mode) {
    FExceptionMode = mode;
    // Passed on to OS, Network, CPU and Engines, in that order, each only if
    // it exists; Memory and Machine keep their own.
    if (FOS) FOS->SetExceptionMode(mode);
    if (FCPU) FCPU->SetExceptionMode(mode);
}

void TCorvaneSystemInfo::Refresh() {
    std::unique_ptr<TRefreshSplash> splash;
    if (!HasState(csDesigning) && SplashFactory()) splash = SplashFactory()();
    // The steps, in this order: Devices, CPU, Memory, OS, Disk (then its
    // drive becomes that of the Windows folder), Machine with argument 1,
    // Network, Display, Media, Engines, APM, Printers, Software, Startup.
    // An emRaise failure leaves the later steps undone; the splash goes with
    // the scope either way.
    RefreshStep(*FDevices);
    RefreshStep(*FCPU);
    RefreshStep(*FMemory);
    RefreshStep(*FOS);
    GuardedCall(1, GetInfoLabel(*FMachine), FExceptionMode, &TMachine::GetInfo, *FMachine);
    RefreshStep(*FAPM);
}

void TCorvaneSystemInfo::Report(TStringList& list) const {
    list.Add(";" + FAbout);
    // Then each category in this order: Machine, OS, CPU, Memory, Display,
    // APM, Media, Network, Devices, Engines, Disk, Printers, Software,
    // Startup.
    FMachine->Report(list);
    FOS->Report(list);
    FCPU->Report(list);
    FMemory->Report(list);
    FAPM->Report(list);
    FDevices->Report(list);
}

void TCorvaneSystemInfo::ShowOverview() {
    // The window itself sets the mask 0xFFFF, shows the report button, runs
    // its refresh, shows itself modally and is destroyed when its loop ends.
    if (!OverviewShower()) throw Exception("TCorvaneSystemInfo.ShowOverview: this program has no overview window");
    OverviewShower()(*this);
}

void TCorvaneSystemInfo::PublishProperties(TPublished& published) const {
    TComponent::PublishProperties(published);
    published.Add("About", FAbout);
    published.Add("ExceptionMode", FExceptionMode);
    published.Add("CPU", FCPU);
    published.Add("Memory", FMemory);
    published.Add("OS", FOS);
    published.Add("Machine", FMachine);
    published.Add("Devices", FDevices);
    published.Add("APM", FAPM);
}

namespace {

// The tabs' captions without their surrounding blanks; the operating-system
// page's is the one it has before its fill step names the platform.
constexpr const char* kPageNames[kOverviewPageCount] = {
    "Machine", "Operating System", "CPU",     "Memory",  "Display",   "APM",     "Media",    "Network",
    "Devices", "Printers",         "Engines", "Drives",  "Time Zone", "Startup", "Software", "About"};

}  // namespace

const char* OverviewPageName(int page) {
    return page >= 0 && page < kOverviewPageCount ? kPageNames[page] : "";
}

int OverviewPageByName(std::string_view name) {
    std::string wanted = classes::Trim(name);
    for (int page = 0; page < kOverviewPageCount; ++page)
        if (AnsiSameText(kPageNames[page], wanted)) return page;
    return -1;
}

void ReportPage([[maybe_unused]] const TCorvaneSystemInfo& info, [[maybe_unused]] int page,
                [[maybe_unused]] TStringList& list) {
    // By page: 0 Machine, 1 OS, 2 CPU, 3 Memory, 4 Display, 5 APM, 6 Media,
    // 7 Network, 8 Devices, 9 Printers, 10 Engines, 11 Disk, 12 the time
    // zone object of OS alone, 13 Startup, 14 Software; 15 (About) nothing.
    if (page == 0) info.Machine().Report(list);
    if (page == 1) info.OS().Report(list);
    if (page == 2) info.CPU().Report(list);
    if (page == 3) info.Memory().Report(list);
    if (page == 12) info.OS().TimeZone().Report(list);
    if (page == 8) info.Devices().Report(list);
    if (page == 5) info.APM().Report(list);
}

}  // namespace torvex::engine
