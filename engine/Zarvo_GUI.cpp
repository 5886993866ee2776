#include "engine/Zarvo_GUI.h"

#include <utility>

#include "platform/win32/Win32.h"

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

namespace {

// The drive of the Windows directory, "C:" form.
std::string WindowsDrive() {
    char folder[260] = {};
    win32::UINT length = win32::GetWindowsDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return {};
    return std::string(folder).substr(0, 2);
}

}  // namespace

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
    FDisk = std::make_unique<TDisk>();
    FMachine = std::make_unique<TMachine>();
    FNetwork = std::make_unique<TNetwork>();
    FDisplay = std::make_unique<TDisplay>();
    FMedia = std::make_unique<TMedia>();
    FDevices = std::make_unique<TDevices>();
    FEngines = std::make_unique<TEngines>();
    FAPM = std::make_unique<TAPM>();
    FPrinters = std::make_unique<TPrinters>();
    FSoftware = std::make_unique<TSoftware>();
    FStartup = std::make_unique<TStartup>();
    if (HasState(csDesigning)) Refresh();
}

TCorvaneSystemInfo::~TCorvaneSystemInfo() {
    // The categories are destroyed in the order of their creation.
    FCPU.reset();
    FMemory.reset();
    FOS.reset();
    FDisk.reset();
    FMachine.reset();
    FNetwork.reset();
    FDisplay.reset();
    FMedia.reset();
    FDevices.reset();
    FEngines.reset();
    FAPM.reset();
    FPrinters.reset();
    FSoftware.reset();
    FStartup.reset();
}

void TCorvaneSystemInfo::SetExceptionMode(TExceptionMode mode) {
    FExceptionMode = mode;
    // Passed on to OS, Network, CPU and Engines, in that order, each only if
    // it exists; Memory and Machine keep their own.
    if (FOS) FOS->SetExceptionMode(mode);
    if (FNetwork) FNetwork->SetExceptionMode(mode);
    if (FCPU) FCPU->SetExceptionMode(mode);
    if (FEngines) FEngines->SetExceptionMode(mode);
}

void TCorvaneSystemInfo::Refresh() { RefreshPages(~0u); }

void TCorvaneSystemInfo::RefreshTopic(int page) {
    // The Time Zone page is the OS category's time zone object.
    RefreshPages(page == 12 ? 1u << 1 : 1u << page);
}

void TCorvaneSystemInfo::RefreshPages(unsigned pages) {
    auto wanted = [pages](int page) { return (pages >> page) & 1u; };
    std::unique_ptr<TRefreshSplash> splash;
    if (!HasState(csDesigning) && SplashFactory()) splash = SplashFactory()();
    // The steps, in this order: Devices, CPU, Memory, OS, Disk (then its
    // drive becomes that of the Windows folder), Machine with argument 1,
    // Network, Display, Media, Engines, APM, Printers, Software, Startup.
    // An emRaise failure leaves the later steps undone; the splash goes with
    // the scope either way. A step whose page is not wanted is left out: a
    // report of one topic gathers that topic alone.
    if (wanted(8)) RefreshStep(*FDevices);
    if (wanted(2)) RefreshStep(*FCPU);
    if (wanted(3)) RefreshStep(*FMemory);
    if (wanted(1)) RefreshStep(*FOS);
    // The Windows folder's drive is selected within the disk step, so that
    // a drive that cannot be read is handled as the step's failure.
    if (wanted(11))
        GuardedCall(GetInfoLabel(*FDisk), FExceptionMode, [this] {
            FDisk->GetInfo();
            FDisk->SetDrive(WindowsDrive());
        });
    if (wanted(0)) GuardedCall(1, GetInfoLabel(*FMachine), FExceptionMode, &TMachine::GetInfo, *FMachine);
    if (wanted(7)) RefreshStep(*FNetwork);
    if (wanted(4)) RefreshStep(*FDisplay);
    if (wanted(6)) RefreshStep(*FMedia);
    if (wanted(10)) RefreshStep(*FEngines);
    if (wanted(5)) RefreshStep(*FAPM);
    if (wanted(9)) RefreshStep(*FPrinters);
    if (wanted(14)) RefreshStep(*FSoftware);
    if (wanted(13)) RefreshStep(*FStartup);
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
    FDisplay->Report(list);
    FAPM->Report(list);
    FMedia->Report(list);
    FNetwork->Report(list);
    FDevices->Report(list);
    FEngines->Report(list);
    FDisk->Report(list);
    FPrinters->Report(list);
    FSoftware->Report(list);
    FStartup->Report(list);
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
    published.Add("Disk", FDisk);
    published.Add("Machine", FMachine);
    published.Add("Network", FNetwork);
    published.Add("Display", FDisplay);
    published.Add("Media", FMedia);
    published.Add("Devices", FDevices);
    published.Add("Engines", FEngines);
    published.Add("APM", FAPM);
    published.Add("Printers", FPrinters);
    published.Add("Software", FSoftware);
    published.Add("Startup", FStartup);
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
    // A name given as the page spells it is found without the collation,
    // whose library is the largest part of a short report's start.
    for (int page = 0; page < kOverviewPageCount; ++page)
        if (wanted == kPageNames[page]) return page;
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
    if (page == 4) info.Display().Report(list);
    if (page == 6) info.Media().Report(list);
    if (page == 12) info.OS().TimeZone().Report(list);
    if (page == 8) info.Devices().Report(list);
    if (page == 10) info.Engines().Report(list);
    if (page == 11) info.Disk().Report(list);
    if (page == 5) info.APM().Report(list);
    if (page == 7) info.Network().Report(list);
    if (page == 9) info.Printers().Report(list);
    if (page == 13) info.Startup().Report(list);
    if (page == 14) info.Software().Report(list);
}

}  // namespace torvex::engine
