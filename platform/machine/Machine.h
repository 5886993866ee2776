// One machine behind the Win32-shaped layer.
//
// A machine answers the questions the Win32 calls ask, in Windows' own terms.
// There are two: a simulated Windows 95-XP PC described by a folder
// (platform/simulated) and the live Linux host projected into Windows' shape
// (platform/host). Later backends (a real Windows one) implement the same
// interface. Nothing above the layer knows which one is active.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine/NetworkFacts.h"
#include "platform/machine/DisplayFacts.h"
#include "platform/machine/DiskFacts.h"
#include "platform/machine/Registry.h"
#include "platform/machine/SoftwareFacts.h"

namespace torvex::platform {

// A machine that cannot be used: names the file and place.
class MachineError : public std::runtime_error {
public:
    MachineError(const std::string& file, int line, const std::string& what);
    const std::string& file() const { return file_; }
    int line() const { return line_; }

private:
    std::string file_;
    int line_;
};

struct VersionFacts {
    std::uint32_t major = 0, minor = 0, build = 0, platformId = 0;
    std::string csdVersion;          // the service-pack text
    bool extendedRecord = false;     // the machine knows the 156-byte record
    std::uint16_t servicePackMajor = 0, servicePackMinor = 0, suiteMask = 0;
    std::uint8_t productType = 0;
};

struct SystemInfoFacts {
    std::uint16_t architecture = 0;
    std::uint32_t pageSize = 4096;
    std::uint32_t minAppAddress = 0x10000;
    std::uint32_t maxAppAddress = 0x7FFEFFFF;
    std::uint32_t activeProcessorMask = 1;
    std::uint32_t processors = 1;
    std::uint32_t processorType = 586;
    std::uint32_t allocationGranularity = 0x10000;
    std::uint16_t processorLevel = 0, processorRevision = 0;
};

struct MemoryFacts {
    std::uint32_t memoryLoad = 0;
    std::uint64_t totalPhys = 0, availPhys = 0;
    std::uint64_t totalPageFile = 0, availPageFile = 0;
    std::uint64_t totalVirtual = 0, availVirtual = 0;
};

struct CpuidAnswer {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// The space figures of one drive, as GetDiskFreeSpace(Ex) report them.
struct DiskSpace {
    std::uint32_t sectorsPerCluster = 0, bytesPerSector = 0;
    std::uint32_t freeClusters = 0, totalClusters = 0;
    std::uint64_t freeBytesAvailable = 0;   // for the calling user
    std::uint64_t totalBytes = 0, totalFreeBytes = 0;
};

// The firmware segment at physical F0000h-FFFFFh and how a program reaches
// it: Windows 9x maps it into every process; on NT it takes the
// "\Device\PhysicalMemory" section (administrators only), and without that
// only a 16-bit program run in the DOS box can still read it.
struct FirmwareSegment {
    enum class Access { direct, section, dumpProgram };
    std::vector<std::uint8_t> image;   // 65,536 bytes; byte k is at F0000h + k
    Access access = Access::section;
    bool viewMapFails = false;         // the section opens, but no view of it maps
    bool dumpProgramHangs = false;     // the 16-bit program starts and never ends
};

struct LocalTime {
    int year = 1601, month = 1, dayOfWeek = 1, day = 1, hour = 0, minute = 0, second = 0,
        milliseconds = 0;
};

// The time-zone rules as GetTimeZoneInformation gives them: biases in
// minutes (UTC = local time + bias), transitions as SYSTEMTIME-shaped
// records (month 0: no transition; year 0: the "day"-th "dayOfWeek" of the
// month, 5 meaning the last).
struct TimeZoneTransition {
    int year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
    bool operator==(const TimeZoneTransition&) const = default;
};
struct TimeZoneFacts {
    std::int32_t bias = 0, standardBias = 0, daylightBias = 0;
    std::string standardName, daylightName;
    TimeZoneTransition standardDate, daylightDate;
};

// The primary screen; zeros when the machine has no display.
// The power supply as GetSystemPowerStatus reports it (Windows' codes: line
// 0 off, 1 on, 255 unknown; battery flags 1 high, 2 low, 4 critical,
// 8 charging, 128 no battery; 255 / 0xFFFFFFFF unknown). The defaults are a
// desktop PC on mains power without a battery.
struct PowerStatusFacts {
    std::uint8_t acLineStatus = 1;
    std::uint8_t batteryFlag = 128;
    std::uint8_t batteryLifePercent = 255;
    std::uint32_t batteryLifeTime = 0xFFFFFFFF;
    std::uint32_t batteryFullLifeTime = 0xFFFFFFFF;
};

struct ScreenFacts {
    int width = 0, height = 0, bitsPerPixel = 0, planes = 0, logPixels = 0;
};

class Machine {
public:
    virtual ~Machine() = default;

    // "simulated: <folder>" or "live host"; for messages only.
    virtual std::string description() const = 0;
    // The ANSI code page of the machine: 1252 for the simulated Western
    // European PCs, 65001 (UTF-8) for the host. Files the program writes in
    // "ANSI" use it.
    virtual unsigned ansiCodePage() = 0;

    virtual VersionFacts version() = 0;
    virtual SystemInfoFacts systemInfo() = 0;
    virtual MemoryFacts memoryStatus() = 0;
    virtual std::string computerName() = 0;
    virtual std::string userName() = 0;
    // Folders in drive-letter form ("C:\WINDOWS"); no trailing backslash
    // except for the temporary folder, which Windows ends with one.
    virtual std::string windowsDirectory() = 0;
    virtual std::string systemDirectory() = 0;
    virtual std::string tempDirectory() = 0;
    // The program's own executable in drive-letter form.
    virtual std::string moduleFileName() = 0;

    // The environment block's entries, NAME=value, in block order.
    virtual std::vector<std::string> environment() = 0;

    // The machine's clock.
    virtual LocalTime localTime() = 0;
    virtual LocalTime systemTime() = 0;
    virtual std::uint64_t millisecondsSinceStart() = 0;
    // High-resolution counter; frequency 0 means the machine has none.
    virtual std::uint64_t performanceFrequency() = 0;
    virtual std::uint64_t performanceCounter() = 0;
    virtual std::uint64_t timeStampCounter() = 0;
    virtual void sleep(std::uint32_t milliseconds) = 0;

    // Libraries and their exports. Names compare case-insensitively; a
    // library name without extension means ".dll".
    virtual bool hasLibrary(const std::string& library) = 0;
    virtual bool hasExport(const std::string& library, const std::string& function) = 0;
    // The name of the function exported under an ordinal, "" when none.
    virtual std::string exportByOrdinal(const std::string& library, std::uint16_t ordinal) = 0;

    virtual Registry& registry() = 0;

    // Files. A Windows path ("C:\WINDOWS\WIN.INI", any letter case) maps to a
    // host path to read (nullopt when it does not exist) and a host path to
    // write (nullopt when the machine cannot store it).
    virtual std::optional<std::filesystem::path> readPath(const std::string& windowsPath) = 0;
    virtual std::optional<std::filesystem::path> writePath(const std::string& windowsPath) = 0;

    // Processor.
    virtual bool cpuidAvailable() = 0;
    virtual CpuidAnswer cpuid(std::uint32_t leaf, std::uint32_t subLeaf) = 0;

    // The 16-bit USER module of Windows 9x: free-resources percentage for
    // selector 0 (system), 1 (GDI), 2 (USER). nullopt: no such module.
    virtual std::optional<std::uint16_t> freeSystemResources(std::uint16_t selector) = 0;

    // Opens a document or address with its default handler; true on success.
    virtual bool shellOpen(const std::string& target) = 0;

    // The firmware segment; nullopt: the machine has none to offer.
    virtual std::optional<FirmwareSegment> firmwareSegment() { return std::nullopt; }

    // --- answers with a default, so that every backend keeps compiling

    // The file-system path of a shell folder (CSIDL number) in drive-letter
    // form, "" when the folder has none on this machine. nullopt: the
    // machine leaves it to the layer, which reads the registry's
    // "Shell Folders" keys as Windows itself does.
    virtual std::optional<std::string> specialFolder(int csidl) {
        (void)csidl;
        return std::nullopt;
    }
    // The space figures of a drive (letter 'A'-'Z'); nullopt when the drive
    // does not answer (no such drive, no medium in it).
    virtual std::optional<DiskSpace> diskFreeSpace(char letter) {
        (void)letter;
        return std::nullopt;
    }
    // Active dial-up (remote access) connections; nullopt: none known.
    virtual std::optional<std::uint32_t> dialUpConnections() { return std::nullopt; }

    // --- desktop, locale and time zone. nullopt: the machine leaves the
    // answer to the layer, which reads the registry keys Windows itself keeps
    // them in (TimeZoneInformation, Control Panel, Nls, Fonts, Print).

    // The current time-zone rules.
    virtual std::optional<TimeZoneFacts> timeZone() { return std::nullopt; }
    // The one locale of a machine that has no Windows locale tables: its
    // locale id (system, user and thread alike) ...
    virtual std::optional<std::uint32_t> localeId() { return std::nullopt; }
    // ... and its items in Windows' form (only asked when localeId() has a
    // value; nullopt: the item is unknown).
    virtual std::optional<std::string> localeItem(std::uint32_t lcid, std::uint32_t item) {
        (void)lcid;
        (void)item;
        return std::nullopt;
    }
    // False when desktop and locale settings cannot be changed through the
    // program: the write is then accepted and has no effect.
    virtual bool acceptsSettingChanges() { return true; }
    // A lock key's toggle state (virtual-key code); nullopt: not known, the
    // layer starts from the user's initial keyboard indicators.
    virtual std::optional<bool> keyToggled(int virtualKey);
    // Changes a toggle state as a key press would; false when the machine's
    // keyboard is not to be touched.
    virtual bool setKeyToggled(int virtualKey, bool on);
    virtual std::optional<ScreenFacts> screen() { return std::nullopt; }
    // Mains and battery; nullopt: a desktop PC without a battery.
    virtual std::optional<PowerStatusFacts> powerStatus() { return std::nullopt; }
    // Font family names and printer names, in any order.
    virtual std::optional<std::vector<std::string>> fontFamilies() { return std::nullopt; }
    virtual std::optional<std::vector<std::string>> printerNames() { return std::nullopt; }

    // --- network: the sockets layer, NetBIOS and the IP helper library.
    // The adapters in the system's order; none by default.
    virtual std::vector<NetworkAdapterFacts> networkAdapters() { return {}; }
    // nullopt: the library's parameter call fails.
    virtual std::optional<NetworkParamsFacts> networkParams() { return std::nullopt; }
    // The host name the sockets layer gives (gethostname); "" means the
    // computer name.
    virtual std::string socketHostName() { return {}; }
    // The LAN adapter numbers of the NetBIOS interface, in its order.
    virtual std::vector<NetBiosAdapterFacts> netBiosAdapters() { return {}; }
    virtual WinsockFacts winsock() { return {}; }
    // --- printers, installed software and startup programs

    // The print spooler's printers and the default. nullopt: the layer reads
    // the registry's "Print\Printers" keys and the "device" line of WIN.INI,
    // where Windows keeps them.
    virtual std::optional<SpoolerFacts> spooler() { return std::nullopt; }
    // Called before a registry key is opened, so that a machine can fill
    // keys that are costly to gather (installed programs, startup entries)
    // only once a program looks at them. `path` is below `root`, without a
    // leading backslash.
    virtual void prepareRegistryKey(RegRoot root, std::string_view path) {
        (void)root;
        (void)path;
    }
    // Shortcut files a folder (drive-letter path, no trailing backslash)
    // shows besides its stored files; none by default.
    virtual std::vector<ShortcutFile> folderShortcuts(const std::string& windowsFolder) {
        (void)windowsFolder;
        return {};
    }
    // --- display and media
    // The screen device's capabilities and display modes; nullopt: the
    // machine has no screen to describe (all zero, no modes).
    virtual std::optional<DisplayFacts> display() { return std::nullopt; }
    // The multimedia devices; nullopt: none of any kind.
    virtual std::optional<MediaFacts> media() { return std::nullopt; }
    // --- drives, engines, ASPI and processor load (DiskFacts.h)

    // The drive letters in use, upper case, in letter order. nullopt: the
    // layer takes the letters for which diskFreeSpace answers or whose root
    // exists.
    virtual std::optional<std::string> logicalDrives() { return std::nullopt; }
    // One drive letter ('A'-'Z'); nullopt: the layer takes a fixed disk
    // whose volume is unnamed, serial 0, "FAT", when the drive's root exists.
    virtual std::optional<DriveFacts> drive(char letter) {
        (void)letter;
        return std::nullopt;
    }
    // The ASPI layer; nullopt: the machine has none.
    virtual std::optional<AspiFacts> aspiLayer() { return std::nullopt; }
    // The version of a system library that the machine provides without a
    // Windows file of its own (bare lower-case name, "odbc32.dll"); nullopt:
    // only the file's own version resource counts.
    virtual std::optional<FileVersionNumbers> providedLibraryVersion(const std::string& library) {
        (void)library;
        return std::nullopt;
    }
    // The idle time of the first processor since the machine started, in
    // 100-ns units, as the per-processor performance records of NT hold it;
    // nullopt: the machine has no such records.
    virtual std::optional<std::uint64_t> firstProcessorIdleTime() { return std::nullopt; }
    // --- desktop components: renaming a volume and the processor's idle time

    // Renames a volume (its facts come from drive()); false when the machine refuses (the default: no
    // machine relabels a disk unless it keeps the label in its own memory).
    virtual bool setVolumeLabel(char letter, const std::string& label) {
        (void)letter;
        (void)label;
        return false;
    }
    // Time all processors together have spent idle since start, in 100 ns
    // units, as NT's performance information reports it; nullopt: unknown.
    virtual std::optional<std::uint64_t> processorIdleTime() { return std::nullopt; }

    // --- overview window: the message loop's waits
    // The window program waited this long for its next timer in the message
    // loop. A live machine's clock ran meanwhile by itself (the default does
    // nothing); a machine with a clock of its own lets it pass, so that what
    // the timer measures (a processor load) covers the wait.
    virtual void messageLoopWaited(std::uint32_t milliseconds) { (void)milliseconds; }

private:
};

// The active machine. Chosen on first use: the folder named by
// TORVEX_MACHINE when set, else the live host. A broken machine folder
// throws MachineError from the first call.
Machine& ActiveMachine();
// Selects a machine explicitly (tests, --machine); replaces the active one.
void SetActiveMachine(std::unique_ptr<Machine> machine);
// Loads the simulated machine in a folder; throws MachineError.
std::unique_ptr<Machine> LoadSimulatedMachine(const std::filesystem::path& folder,
                                              const std::filesystem::path& overlay = {});
// The live host, reading /proc, /sys and /etc below root.
std::unique_ptr<Machine> CreateHostMachine(const std::filesystem::path& root = "/");

// SetDisplayFacts, SetResourceStrings and SetMessageBoxHook: the running
// program's context, not a machine's (ProgramContext.h, included below).

}  // namespace torvex::platform

// After the records it refers to.
#include "platform/machine/ProgramContext.h"
