// The live Linux host, projected into the shape of a Windows XP PC.
//
// The host presents the NT family at 5.1 build 2600 so that the program
// takes its newest paths; everything that names the system carries the real
// thing (the kernel release as service-pack text, the distribution's name as
// product name, the real host, user, memory and folders). Where the host has
// no equivalent of a Windows fact the answer is empty or zero.
//
// Every fact that the system keeps in a file is read below a root directory
// ("/" normally), so that a captured /proc, /sys and /etc tree replays as a
// machine. What exists only as a call (CPUID, the time-stamp counter, the
// clocks, the password database through NSS) is asked of the running system.
#include <pwd.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define TORVEX_HOST_X86 1
#endif

#include "platform/host/HostDisks.h"
#include "platform/host/HostDrives.h"
#include "platform/host/HostEngines.h"
#include "platform/host/HostFirmware.h"
#include "platform/host/HostFacts.h"
#include "platform/host/HostPower.h"
#include "platform/host/HostRegistry.h"
#include "platform/host/HostRoutines.h"
#include "platform/host/HostShell.h"
#include "platform/host/HostDesktop.h"
#include "platform/host/HostPrinters.h"
#include "platform/host/HostSoftware.h"
#include "platform/host/HostStartup.h"
#include "platform/host/HostDisplay.h"
#include "platform/host/HostMedia.h"
#include "platform/host/HostLocale.h"
#include "platform/host/HostNetwork.h"
#include "platform/host/HostTimeZone.h"
#include "platform/machine/FileText.h"
#include "platform/host/HostVolume.h"
#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"
#include "platform/machine/LayerCatalog.h"

extern char** environ;

namespace torvex::platform {

namespace {

namespace fs = std::filesystem;
using namespace host;

// The first non-empty line of a one-value file (/etc/hostname, osrelease).
std::string FirstLine(const std::optional<std::string>& text) {
    std::string first;
    if (text)
        ForEachLine(*text, [&](std::string_view line, int) {
            std::string_view t = TrimView(line);
            if (t.empty() || t[0] == '#') return true;
            first = std::string(t);
            return false;
        });
    return first;
}

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

LocalTime FromTm(const std::tm& tm, long nanoseconds) {
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.dayOfWeek = tm.tm_wday;   // 0 = Sunday on both sides
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    // A leap second (60) does not exist in Windows' clock.
    t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    t.milliseconds = static_cast<int>(nanoseconds / 1000000);
    return t;
}

class HostMachine final : public Machine {
public:
    explicit HostMachine(fs::path root) : root_(std::move(root)) {}

    std::string description() const override { return "live host"; }
    unsigned ansiCodePage() override { return 65001; }

    VersionFacts version() override {
        VersionFacts v;
        v.platformId = 2;   // VER_PLATFORM_WIN32_NT
        v.major = 5;
        v.minor = 1;
        v.build = 2600;
        v.csdVersion = ServicePackText(kernelRelease());
        v.extendedRecord = true;
        v.servicePackMajor = 0;
        v.servicePackMinor = 0;
        v.suiteMask = 0;
        v.productType = 1;   // VER_NT_WORKSTATION
        return v;
    }

    SystemInfoFacts systemInfo() override {
        SystemInfoFacts s;
        long page = sysconf(_SC_PAGESIZE);
        s.pageSize = page > 0 ? static_cast<std::uint32_t>(page) : 4096;
        s.minAppAddress = 0x10000;
        s.maxAppAddress = 0x7FFEFFFF;
        s.allocationGranularity = 0x10000;
        std::uint32_t cpus = CountCpuList(FirstLine(file("sys/devices/system/cpu/online")));
        if (cpus == 0) {
            long n = sysconf(_SC_NPROCESSORS_ONLN);
            cpus = n > 0 ? static_cast<std::uint32_t>(n) : 1;
        }
        // A 32-bit process sees at most 32 processors, one bit each.
        if (cpus > 32) cpus = 32;
        s.processors = cpus;
        s.activeProcessorMask = cpus == 32 ? 0xFFFFFFFFu : (1u << cpus) - 1;
#ifdef TORVEX_HOST_X86
        s.architecture = 0;   // PROCESSOR_ARCHITECTURE_INTEL
        // Windows XP gives 586 for every Pentium-class processor and later.
        s.processorType = 586;
        ProcessorLevel p = processorLevel();
        s.processorLevel = p.level;
        s.processorRevision = p.revision;
#else
        s.architecture = 0xFFFF;   // PROCESSOR_ARCHITECTURE_UNKNOWN
        s.processorType = 0;
        s.processorLevel = 0;
        s.processorRevision = 0;
#endif
        return s;
    }

    MemoryFacts memoryStatus() override { return ParseMeminfo(file("proc/meminfo").value_or("")); }

    // Windows answers with the NetBIOS name: upper case, at most 15
    // characters, as set-up derives it from the DNS host name. The full
    // host name remains what the network calls answer.
    std::string computerName() override { return NetBiosName(hostName()); }

    std::string userName() override { return user().login; }

    std::string windowsDirectory() override {
        fs::path dir = torvexConfigDir();
        return dir.empty() ? std::string() : drives().toWindows(dir.string());
    }

    // The folder where the host's system libraries live. The layer's own
    // "system libraries" are built into the program, and an invented
    // "system32" folder would be a place that does not exist; a program
    // looking for a Windows library file there finds none, which is true.
    std::string systemDirectory() override { return drives().toWindows("/usr/lib"); }

    std::string tempDirectory() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string dir = drives().toWindows(IsAbsolute(tmp) ? tmp : "/tmp");
        if (!dir.empty() && dir.back() != '\\') dir.push_back('\\');
        return dir;
    }

    std::string moduleFileName() override {
        std::error_code ec;
        fs::path exe = fs::read_symlink(root_ / "proc/self/exe", ec);
        if (ec) return {};
        std::string text = exe.string();
        // The kernel marks a program file replaced since start; the name it
        // was started as is still the program's name.
        const std::string deleted = " (deleted)";
        if (text.size() > deleted.size() &&
            text.compare(text.size() - deleted.size(), deleted.size(), deleted) == 0)
            text.resize(text.size() - deleted.size());
        return drives().toWindows(text);
    }

    std::vector<std::string> environment() override {
        std::vector<std::string> out;
        for (char** e = environ; e && *e; ++e) out.emplace_back(*e);
        return out;
    }

    LocalTime localTime() override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        std::tm tm{};
        localtime_r(&ts.tv_sec, &tm);
        return FromTm(tm, ts.tv_nsec);
    }

    LocalTime systemTime() override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        std::tm tm{};
        gmtime_r(&ts.tv_sec, &tm);
        return FromTm(tm, ts.tv_nsec);
    }

    // The time since the kernel started, suspended time included, as
    // Windows counts its ticks: /proc/uptime, or the same clock directly.
    std::uint64_t millisecondsSinceStart() override {
        std::string uptime = FirstLine(file("proc/uptime"));
        std::size_t space = uptime.find(' ');
        if (space != std::string::npos) uptime.resize(space);
        if (!uptime.empty()) {
            char* end = nullptr;
            errno = 0;
            double seconds = std::strtod(uptime.c_str(), &end);
            if (errno == 0 && end && *end == '\0' && seconds >= 0)
                return static_cast<std::uint64_t>(seconds * 1000.0 + 0.5);
        }
        timespec ts{};
        if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) return 0;
        return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
               static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    }

    // The performance counter counts nanoseconds of the monotonic clock.
    std::uint64_t performanceFrequency() override { return 1000000000ull; }
    std::uint64_t performanceCounter() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000ull +
               static_cast<std::uint64_t>(ts.tv_nsec);
    }

    std::uint64_t timeStampCounter() override {
#ifdef TORVEX_HOST_X86
        return __rdtsc();
#else
        return 0;
#endif
    }

    void sleep(std::uint32_t milliseconds) override {
        timespec req{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
        timespec rem{};
        while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
    }

    // A library or export exists exactly when this layer implements it.
    // The ASPI layer's library is there only with the sg driver.
    bool hasLibrary(const std::string& library) override {
        if (NormalizeLibraryName(library) == "wnaspi32.dll" && !aspiLayer()) return false;
        return LayerCatalogHasLibrary(library);
    }
    bool hasExport(const std::string& library, const std::string& function) override {
        if (NormalizeLibraryName(library) == "wnaspi32.dll" && !aspiLayer()) return false;
        return LayerCatalogHasExport(library, function);
    }
    // Exports by ordinal only exist for the 16-bit path of Windows 9x.
    std::string exportByOrdinal(const std::string&, std::uint16_t) override { return {}; }

    // Time zone, locale and desktop (HostTimeZone.h, HostLocale.h,
    // HostDesktop.h). The host's settings are its own: the program reads
    // them and never changes them, and it never touches the keyboard.
    std::optional<TimeZoneFacts> timeZone() override { return zone().rules; }
    std::optional<std::uint32_t> localeId() override { return locale().lcid; }
    std::optional<std::string> localeItem(std::uint32_t lcid, std::uint32_t item) override {
        const LocaleState& l = locale();
        if (lcid != l.lcid) return std::nullopt;
        auto it = l.items.find(item);
        if (it == l.items.end()) return std::nullopt;
        return it->second;
    }
    bool acceptsSettingChanges() override { return false; }
    std::optional<bool> keyToggled(int virtualKey) override {
        return HostKeyIndicator(root_, virtualKey).value_or(false);
    }
    bool setKeyToggled(int, bool) override { return false; }
    std::optional<ScreenFacts> screen() override { return HostScreen(root_); }
    // The screen's capabilities and modes, and the sound devices
    // (HostDisplay.h, HostMedia.h); each read once.
    std::optional<DisplayFacts> display() override { return HostDisplayFacts(InstalledScreen(), HostDrmCards(root_)); }
    std::optional<MediaFacts> media() override {
        std::call_once(mediaOnce_, [this] { media_ = HostMediaFacts(root_); });
        return media_;
    }
    std::once_flag mediaOnce_;
    MediaFacts media_;
    std::optional<std::vector<std::string>> fontFamilies() override { return HostFontFamilies(); }
    std::optional<std::vector<std::string>> printerNames() override { return HostPrinterNames(); }
    std::optional<SpoolerFacts> spooler() override { return HostSpooler(); }

    HostTimeZone zone() const {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const char* tz = std::getenv("TZ");
        return LoadHostTimeZone(root_, root_ == fs::path("/") ? tz : nullptr, local.tm_year + 1900);
    }
    struct LocaleState {
        std::uint32_t lcid = 0x007F;
        std::map<std::uint32_t, std::string> items;
    };
    const LocaleState& locale() {
        std::call_once(localeOnce_, [this] {
            LcidEntry entry = LcidOfLocaleName(ProcessLocaleName()).value_or(*LcidOfLocaleName("C"));
            locale_.lcid = entry.lcid;
            locale_.items = WindowsLocaleItems(ReadLibcLocale(), entry);
        });
        return locale_;
    }
    std::once_flag localeOnce_;
    LocaleState locale_;

    Registry& registry() override {
        std::call_once(registryOnce_, [this] {
            registry_ = std::make_unique<Registry>();
            HostRegistryFacts f;
            f.productName = osRelease("PRETTY_NAME");
            UserEntry u = user();
            f.registeredOwner = u.fullName.empty() ? u.login : u.fullName;
            f.productId = machineId();
            f.csdVersion = ServicePackText(kernelRelease());
            // The version text begins with "#1": no comment, so read it whole.
            f.kernelType = KernelType(Trim(file("proc/sys/kernel/version").value_or("")));
            f.computerName = computerName();
            f.timeZone = zone();
#ifdef TORVEX_HOST_X86
            f.machineIdentifier = "AT/AT COMPATIBLE";
#endif
            f.biosVersion = FirstLine(file("sys/class/dmi/id/bios_version"));
            f.biosDate = FirstLine(file("sys/class/dmi/id/bios_date"));
            // The device keys come with the first look below them
            // (prepareRegistryKey): a topic that never asks for a device
            // never walks the kernel's device list.
            f.liveDevices = false;
            ProjectHostRegistry(*registry_, f);
            ProjectHostInternet(*registry_, routinesContext(), drives());
            ProjectHostNetworkComponents(*registry_, ReadHostNetworkComponents(root_));
        });
        return *registry_;
    }

    std::optional<fs::path> readPath(const std::string& windowsPath) override {
        auto host = drives().toHost(windowsPath);
        if (!host) return std::nullopt;
        fs::path p = underRoot(*host);
        std::error_code ec;
        if (!fs::exists(p, ec)) return std::nullopt;
        return p;
    }

    std::optional<fs::path> writePath(const std::string& windowsPath) override {
        auto host = drives().toHost(windowsPath);
        if (!host) return std::nullopt;
        std::error_code ec;
        // The Torvex folder comes into being with the first file written
        // into it, never by merely looking.
        fs::path config = torvexConfigDir();
        if (!config.empty()) {
            std::string dir = NormalizeHostPath(config.string());
            std::string target = NormalizeHostPath(*host);
            if (target.size() > dir.size() && target.compare(0, dir.size(), dir) == 0 &&
                target[dir.size()] == '/')
                fs::create_directories(underRoot(dir), ec);
        }
        fs::path p = underRoot(*host);
        if (!fs::is_directory(p.parent_path(), ec)) return std::nullopt;
        return p;
    }

    bool cpuidAvailable() override {
#if defined(__x86_64__)
        return true;   // every x86-64 processor has it
#elif defined(TORVEX_HOST_X86)
        return __get_cpuid_max(0, nullptr) != 0;
#else
        return false;
#endif
    }

    CpuidAnswer cpuid(std::uint32_t leaf, std::uint32_t subLeaf) override {
        CpuidAnswer a;
#ifdef TORVEX_HOST_X86
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        __cpuid_count(leaf, subLeaf, eax, ebx, ecx, edx);
        a.eax = eax;
        a.ebx = ebx;
        a.ecx = ecx;
        a.edx = edx;
#else
        (void)leaf;
        (void)subLeaf;
#endif
        return a;
    }

    std::optional<std::uint16_t> freeSystemResources(std::uint16_t) override {
        return std::nullopt;   // no 16-bit USER module on the host
    }

    bool shellOpen(const std::string& target) override { return OpenWithDefaultHandler(target); }
    std::optional<PowerStatusFacts> powerStatus() override { return ReadPowerSupplies(root_); }

    // Shell folders, drive space and dial-up connections (HostRoutines.h).
    std::optional<std::string> specialFolder(int csidl) override {
        auto path = HostSpecialFolderPath(csidl, routinesContext());
        if (!path || path->empty()) return path;
        return drives().toWindows(*path);
    }
    std::optional<DiskSpace> diskFreeSpace(char letter) override {
        DriveMap map = drives();
        const Drive* d = map.drive(letter);
        if (!d) return std::nullopt;
        return HostDiskSpace(underRoot(d->mountPoint));
    }
    std::optional<std::uint32_t> dialUpConnections() override { return HostDialUpConnections(root_); }

    // Drives, engines, the SCSI layer and the processor's idle time
    // (HostDisks.h, HostEngines.h).
    std::optional<std::string> logicalDrives() override {
        std::string letters;
        DriveMap map = drives();
        for (const auto& d : map.drives()) letters.push_back(d.letter);
        return letters;
    }
    // A refresh asks of each drive and SCSI device several times in a row
    // (kind, then volume; one request after another); what udev, sysfs and
    // the sg driver say is read once and kept for a moment, so that a disk
    // plugged in later is seen by the next refresh.
    std::optional<DriveFacts> drive(char letter) override {
        DriveMap map = drives();
        const Drive* d = map.drive(letter);
        if (!d) return std::nullopt;
        std::string key = d->mountPoint + "|" + d->mount.source + "|" + std::to_string(d->mount.major) + ":" +
                          std::to_string(d->mount.minor);
        std::lock_guard lock(factsMutex_);
        if (!Fresh(drivesReadAt_)) driveFacts_.clear();
        auto it = driveFacts_.find(key);
        if (it == driveFacts_.end()) {
            if (driveFacts_.empty()) drivesReadAt_ = std::chrono::steady_clock::now();
            it = driveFacts_.emplace(key, HostDriveFacts(root_, map, letter)).first;
        }
        return it->second;
    }
    std::optional<AspiFacts> aspiLayer() override {
        std::lock_guard lock(factsMutex_);
        if (!aspi_ || !Fresh(aspiReadAt_)) {
            aspi_ = HostAspiLayer(root_);
            aspiReadAt_ = std::chrono::steady_clock::now();
        }
        return *aspi_;
    }
    std::optional<FileVersionNumbers> providedLibraryVersion(const std::string& library) override {
        if (library == "odbc32.dll") return OdbcDriverManagerVersion(root_);
        if (library == "wnaspi32.dll") return SgDriverVersion(root_);
        return std::nullopt;
    }
    static bool Fresh(std::chrono::steady_clock::time_point at) {
        return std::chrono::steady_clock::now() - at < std::chrono::seconds(2);
    }
    std::mutex factsMutex_;
    std::map<std::string, std::optional<DriveFacts>> driveFacts_;
    std::chrono::steady_clock::time_point drivesReadAt_{};
    std::optional<std::optional<AspiFacts>> aspi_;
    std::chrono::steady_clock::time_point aspiReadAt_{};
    std::optional<std::uint64_t> firstProcessorIdleTime() override {
        auto text = ReadFileTraced(root_ / "proc/stat", "processor load");
        if (!text) return std::nullopt;
        return Cpu0IdleTime(*text, sysconf(_SC_CLK_TCK));
    }
    // Volumes and the idle time (HostVolume.h). The host's disks are never
    // relabelled: setVolumeLabel keeps the default refusal.
    std::optional<std::uint64_t> processorIdleTime() override { return HostProcessorIdleTime(root_); }
    HostContext routinesContext() const {
        const char* h = std::getenv("HOME");
        return {root_, IsAbsolute(h) ? std::string(h) : user().home, ProcessEnvironment()};
    }

    // Startup programs and installed programs (HostStartup.h,
    // HostSoftware.h), gathered only when a program looks for them.
    std::vector<ShortcutFile> folderShortcuts(const std::string& windowsFolder) override {
        for (bool common : {false, true}) {
            auto folder = specialFolder(common ? 0x18 : 0x07);
            if (folder && !folder->empty() && EqualsNoCase(*folder, windowsFolder))
                return AutostartShortcuts(routinesContext(), drives(), common);
        }
        return {};
    }
    void prepareRegistryKey(RegRoot root, std::string_view path) override {
        auto under = [&](std::string_view key) {
            return path.size() >= key.size() && EqualsNoCase(path.substr(0, key.size()), key) &&
                   (path.size() == key.size() || path[key.size()] == '\\');
        };
        const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
        const char* uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
        if (root == RegRoot::CurrentUser && under(run))
            std::call_once(userRunOnce_, [&] { projectRun(RegRoot::CurrentUser, run, true); });
        if (root == RegRoot::LocalMachine && under(run))
            std::call_once(machineRunOnce_, [&] { projectRun(RegRoot::LocalMachine, run, false); });
        if (root == RegRoot::LocalMachine && root_ == fs::path("/") && onDevicePath(path))
            std::call_once(devicesOnce_, [&] {
                Registry& r = registry();
                std::lock_guard lock(projectMutex_);
                HostRegistryFacts f;
                f.liveDevices = true;
                ProjectHostDevices(r, f);
                ProjectVideoKeys(r, HostDevices(), HostDrmCards(root_), root_);
            });
        if (root == RegRoot::LocalMachine && under(uninstall))
            std::call_once(softwareOnce_, [&] {
                auto programs = HostInstalledPrograms(routinesContext());
                std::lock_guard lock(projectMutex_);
                ProjectInstalledPrograms(registry().root(RegRoot::LocalMachine).ensure(uninstall), programs);
            });
    }
    // The keys the device list fills, and every key on the way to them (a
    // look at SYSTEM\CurrentControlSet's subkeys must find Enum too).
    static bool onDevicePath(std::string_view path) {
        for (std::string_view key : {std::string_view("SYSTEM\\CurrentControlSet\\Enum"),
                                     std::string_view("SYSTEM\\CurrentControlSet\\Control\\Class"),
                                     std::string_view("SYSTEM\\CurrentControlSet\\Services")}) {
            std::size_t n = std::min(path.size(), key.size());
            if (!EqualsNoCase(path.substr(0, n), key.substr(0, n))) continue;
            std::string_view longer = path.size() > key.size() ? path : key;
            if (path.size() == key.size() || longer[n] == '\\' || n == 0) return true;
        }
        return false;
    }
    void projectRun(RegRoot root, const char* run, bool user) {
        auto entries = SystemdRunEntries(routinesContext(), drives(), user);
        std::lock_guard lock(projectMutex_);
        RegKey& key = registry().root(root).ensure(run);
        for (const auto& [name, command] : entries) key.setValue(RegValue::String(name, command));
    }
    std::once_flag userRunOnce_, machineRunOnce_, softwareOnce_, devicesOnce_;
    std::mutex projectMutex_;

    // The kernel's SMBIOS tables moved into the firmware segment.
    std::optional<FirmwareSegment> firmwareSegment() override { return HostFirmwareSegment(root_); }

    // The network, read once for all the calls of one query: a snapshot is
    // kept for a second.
    std::vector<NetworkAdapterFacts> networkAdapters() override { return network().adapters; }
    std::optional<NetworkParamsFacts> networkParams() override { return network().params; }
    std::string socketHostName() override { return hostName().substr(0, hostName().find('.')); }
    std::vector<NetBiosAdapterFacts> netBiosAdapters() override { return network().netBios; }
    WinsockFacts winsock() override { return HostWinsock(); }

    HostNetworkFacts network() {
        std::lock_guard lock(networkMutex_);
        auto now = std::chrono::steady_clock::now();
        if (!networkRead_ || now - *networkRead_ > std::chrono::seconds(1)) {
            std::vector<InterfaceAddress> list;
            if (root_ == fs::path("/"))
                list = ReadInterfaceAddresses();
            else
                list = RecordedInterfaceAddresses().value_or(std::vector<InterfaceAddress>{});
            network_ = ReadHostNetwork(root_, list, hostName());
            networkRead_ = now;
        }
        return network_;
    }
    std::mutex networkMutex_;
    std::optional<std::chrono::steady_clock::time_point> networkRead_;
    HostNetworkFacts network_;

private:
    struct UserEntry {
        std::string login, fullName, home;
    };

    // A file below root; a failed read says why on the trace.
    std::optional<std::string> file(const char* relative) const {
        return ReadFileTraced(root_ / relative, "host");
    }
    // The first of several places looked in: its absence is no fault.
    std::optional<std::string> firstChoice(const char* relative) const {
        FileRead r = ReadWholeFile(root_ / relative);
        if (!r) return std::nullopt;
        return std::move(r.text);
    }

    fs::path underRoot(const std::string& hostPath) const {
        std::string rel = hostPath;
        while (!rel.empty() && rel.front() == '/') rel.erase(rel.begin());
        return rel.empty() ? root_ : root_ / rel;
    }

    // The live mount table, read once for all the calls of one query: a
    // snapshot is kept for a second, as the network's is (a report asks
    // for the drives dozens of times).
    DriveMap drives() const {
        if (root_ != fs::path("/")) return DriveMap::Load(root_);
        std::lock_guard lock(drivesMutex_);
        auto now = std::chrono::steady_clock::now();
        if (!drivesRead_ || now - *drivesRead_ > std::chrono::seconds(1)) {
            drives_ = DriveMap::Load(root_);
            drivesRead_ = now;
        }
        return *drives_;
    }
    mutable std::mutex drivesMutex_;
    mutable std::optional<DriveMap> drives_;
    mutable std::optional<std::chrono::steady_clock::time_point> drivesRead_;

    // The running kernel's release does not change while the program runs.
    std::string kernelRelease() const {
        std::call_once(releaseOnce_, [this] {
            release_ = FirstLine(file("proc/sys/kernel/osrelease"));
            if (release_.empty()) {
                utsname u{};
                if (uname(&u) == 0) release_ = u.release;
            }
        });
        return release_;
    }
    mutable std::once_flag releaseOnce_;
    mutable std::string release_;

    // Asked for by several categories of one refresh: read once and kept for
    // a moment, so that a renamed host is seen by the next refresh.
    std::string hostName() const {
        std::lock_guard lock(hostNameMutex_);
        if (hostNameReadAt_ && Fresh(*hostNameReadAt_)) return hostName_;
        hostName_ = ReadHostName();
        hostNameReadAt_ = std::chrono::steady_clock::now();
        return hostName_;
    }
    mutable std::mutex hostNameMutex_;
    mutable std::string hostName_;
    mutable std::optional<std::chrono::steady_clock::time_point> hostNameReadAt_;
    std::string ReadHostName() const {
        std::string name = FirstLine(firstChoice("proc/sys/kernel/hostname"));
        if (name.empty()) name = FirstLine(file("etc/hostname"));
        if (name.empty()) {
            utsname u{};
            if (uname(&u) == 0) name = u.nodename;
        }
        return name;
    }

    std::string osRelease(const std::string& key) const {
        auto text = firstChoice("etc/os-release");
        if (!text) text = file("usr/lib/os-release");
        if (!text) return {};
        auto values = ParseOsRelease(*text);
        auto it = values.find(key);
        if (it == values.end()) {
            Trace("host", "os-release: no " + key);
            return {};
        }
        return it->second;
    }

    std::string machineId() const {
        std::string id = FirstLine(firstChoice("etc/machine-id"));
        if (id.empty()) id = FirstLine(file("var/lib/dbus/machine-id"));
        return id;
    }

    // The running user: the password file below root first (a replayed
    // tree brings its own), then the system's user database (which also
    // knows directory-service users), then $USER for the login alone.
    UserEntry user() const {
        UserEntry u;
        uid_t uid = getuid();
        if (auto text = file("etc/passwd")) {
            if (auto e = FindPasswdEntry(*text, static_cast<std::uint32_t>(uid))) {
                u.login = e->login;
                u.fullName = GecosFullName(e->gecos);
                u.home = e->home;
                return u;
            }
        }
        std::vector<char> buffer(16384);
        passwd pw{};
        passwd* result = nullptr;
        if (getpwuid_r(uid, &pw, buffer.data(), buffer.size(), &result) == 0 && result) {
            u.login = result->pw_name ? result->pw_name : "";
            u.fullName = GecosFullName(result->pw_gecos ? result->pw_gecos : "");
            u.home = result->pw_dir ? result->pw_dir : "";
            return u;
        }
        if (const char* login = std::getenv("USER")) u.login = login;
        return u;
    }

    // $XDG_CONFIG_HOME/torvex, or ~/.config/torvex; empty without a home.
    fs::path torvexConfigDir() const {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        if (IsAbsolute(xdg)) return fs::path(xdg) / "torvex";
        std::string home;
        const char* h = std::getenv("HOME");
        if (IsAbsolute(h))
            home = h;
        else
            home = user().home;
        if (home.empty() || home[0] != '/') return {};
        return fs::path(home) / ".config" / "torvex";
    }

#ifdef TORVEX_HOST_X86
    // Family, model and stepping as the kernel decoded them, else from the
    // instruction itself.
    ProcessorLevel processorLevel() {
        if (auto info = file("proc/cpuinfo")) {
            std::string family, model, stepping;
            ForEachLine(*info, [&](std::string_view line, int) {
                if (TrimView(line).empty()) return family.empty();   // the first processor is enough
                std::size_t colon = line.find(':');
                if (colon == std::string_view::npos) return true;
                std::string key = Trim(line.substr(0, colon));
                std::string value = Trim(line.substr(colon + 1));
                if (key == "cpu family" && family.empty()) family = value;
                else if (key == "model" && model.empty()) model = value;
                else if (key == "stepping" && stepping.empty()) stepping = value;
                return true;
            });
            char* e1 = nullptr;
            char* e2 = nullptr;
            char* e3 = nullptr;
            unsigned long f = std::strtoul(family.c_str(), &e1, 10);
            unsigned long m = std::strtoul(model.c_str(), &e2, 10);
            unsigned long s = std::strtoul(stepping.c_str(), &e3, 10);
            if (!family.empty() && !model.empty() && !stepping.empty() && *e1 == '\0' &&
                *e2 == '\0' && *e3 == '\0' && f <= 0xFFFF && m <= 0xFF && s <= 0xFF) {
                ProcessorLevel p;
                p.level = static_cast<std::uint16_t>(f);
                p.revision = static_cast<std::uint16_t>((m << 8) | s);
                return p;
            }
        }
        if (!cpuidAvailable()) return {};
        return LevelFromSignature(cpuid(1, 0).eax);
    }
#endif

    fs::path root_;
    std::once_flag registryOnce_;
    std::unique_ptr<Registry> registry_;
};

}  // namespace

std::unique_ptr<Machine> CreateHostMachine(const std::filesystem::path& root) {
    return std::make_unique<HostMachine>(root.empty() ? fs::path("/") : root);
}

}  // namespace torvex::platform
