// A Windows 95-XP PC described by a folder (see machines/README.md).
//
// The folder holds the facts (machine.json), the registry as regedit exports
// (registry/*.reg), the processor's CPUID dump (cpuid.txt) and the drive
// trees (C/, D/ ...). A machine may name a base machine whose folder it
// overrides. Files the program writes go to a per-user overlay folder; the
// machine folder itself is never modified.
//
// The clock is virtual and deterministic: it starts at the time the facts
// name, Sleep advances it, and every reading of a counter advances it by one
// microsecond so that a loop waiting for the counter to move always ends.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/machine/Machine.h"
#include "platform/simulated/CpuidDump.h"
#include "platform/simulated/SimulatedFirmware.h"
#include "platform/simulated/SimulatedNetwork.h"

namespace torvex::platform {

class SimulatedMachine : public Machine {
public:
    // Loads the machine in folder; throws MachineError naming the file and
    // line when the folder cannot be used. Nothing is written while loading.
    // overlay: the folder for files the program writes; empty means the
    // per-user default, $XDG_STATE_HOME/torvex/machines/<folder name>
    // ($XDG_STATE_HOME defaulting to ~/.local/state).
    static std::unique_ptr<SimulatedMachine> Load(const std::filesystem::path& folder,
                                                  const std::filesystem::path& overlay = {});

    std::string description() const override;
    unsigned ansiCodePage() override { return ansiCodePage_; }

    VersionFacts version() override { return version_; }
    SystemInfoFacts systemInfo() override { return systemInfo_; }
    MemoryFacts memoryStatus() override { return memory_; }
    std::string computerName() override { return computerName_; }
    std::string userName() override { return userName_; }
    std::string windowsDirectory() override { return windowsDirectory_; }
    std::string systemDirectory() override { return systemDirectory_; }
    std::string tempDirectory() override { return tempDirectory_; }
    std::string moduleFileName() override { return moduleFileName_; }
    std::vector<std::string> environment() override { return environment_; }

    LocalTime localTime() override;
    LocalTime systemTime() override;
    std::uint64_t millisecondsSinceStart() override;
    std::uint64_t performanceFrequency() override { return performanceFrequency_; }
    std::uint64_t performanceCounter() override;
    std::uint64_t timeStampCounter() override;
    void sleep(std::uint32_t milliseconds) override;
    // The window waited idle in its message loop: time passes as in a sleep.
    void messageLoopWaited(std::uint32_t milliseconds) override { sleep(milliseconds); }

    bool hasLibrary(const std::string& library) override;
    bool hasExport(const std::string& library, const std::string& function) override;
    std::string exportByOrdinal(const std::string& library, std::uint16_t ordinal) override;

    Registry& registry() override { return registry_; }

    std::optional<std::filesystem::path> readPath(const std::string& windowsPath) override;
    std::optional<std::filesystem::path> writePath(const std::string& windowsPath) override;

    bool cpuidAvailable() override { return cpuid_.has_value(); }
    CpuidAnswer cpuid(std::uint32_t leaf, std::uint32_t subLeaf) override;

    std::optional<std::uint16_t> freeSystemResources(std::uint16_t selector) override;
    bool shellOpen(const std::string& target) override;
    // machine.json "dialUpConnections" and "diskSpace" (SimulatedRoutines.cpp).
    std::optional<std::uint32_t> dialUpConnections() override;
    // machine.json "power"; absent: mains and no battery.
    std::optional<PowerStatusFacts> powerStatus() override { return power_; }
    std::optional<DiskSpace> diskFreeSpace(char letter) override;
    // machine.json "drives" and "aspi" (SimulatedDisks.cpp).
    std::optional<std::string> logicalDrives() override;
    std::optional<DriveFacts> drive(char letter) override;
    std::optional<AspiFacts> aspiLayer() override;
    // machine.json "processorLoad": the first processor's idle time follows
    // the machine's clock at that load.
    std::optional<std::uint64_t> firstProcessorIdleTime() override;
    // Volumes, labels kept in memory, and the idle time (SimulatedVolume.cpp).
    bool setVolumeLabel(char letter, const std::string& label) override;
    std::optional<std::uint64_t> processorIdleTime() override;
    // The "firmware" record of machine.json (SimulatedFirmware.cpp), built
    // when the machine loads so that a broken description stops the load.
    std::optional<FirmwareSegment> firmwareSegment() override { return firmware_; }
    // The "network" record of machine.json (SimulatedNetwork.cpp), read when
    // the machine loads.
    std::vector<NetworkAdapterFacts> networkAdapters() override {
        network_.traceAnswer("adapters");
        return network_.adapters;
    }
    std::optional<NetworkParamsFacts> networkParams() override {
        network_.traceAnswer("params");
        return network_.params;
    }
    std::string socketHostName() override { return network_.hostName; }
    std::vector<NetBiosAdapterFacts> netBiosAdapters() override {
        network_.traceAnswer("netbios");
        return network_.netBios;
    }
    WinsockFacts winsock() override { return network_.winsock; }
    // The "display" and "media" records (SimulatedDisplay.cpp), read when the
    // machine loads.
    std::optional<DisplayFacts> display() override { return display_; }
    std::optional<MediaFacts> media() override { return media_; }

    // --- beyond the Machine interface, for tests and later facts

    // Every target shellOpen was asked to open, in order.
    const std::vector<std::string>& shellOpenLog() const { return shellOpenLog_; }
    // The merged facts (base machines' facts overridden by this one's), for
    // facts that the interface does not model yet.
    const nlohmann::json& facts() const { return facts_; }
    // The processor dump, when the machine has one.
    const std::optional<CpuidDump>& cpuidDump() const { return cpuid_; }
    // The processor clock that drives the time-stamp counter, in kHz.
    std::uint64_t processorClockKHz() const { return clockKHz_; }
    // Nanoseconds of virtual time since the machine was loaded.
    std::uint64_t elapsedNanoseconds() const { return elapsedNs_; }
    const std::filesystem::path& folder() const { return folders_.front(); }
    const std::filesystem::path& overlay() const { return overlay_; }

private:
    SimulatedMachine() = default;
    static std::unique_ptr<SimulatedMachine> LoadChecked(const std::filesystem::path& folder,
                                                         const std::filesystem::path& overlay);
    struct Library {
        std::vector<std::string> exports;
        std::map<std::uint16_t, std::string> ordinals;
    };

    void advance() { elapsedNs_ += kReadingStepNs; }
    std::uint64_t nanosecondsSinceBoot() const { return bootNs_ + elapsedNs_; }
    const Library* library(const std::string& name) const;
    // A machine with an "aspi" record has "wnaspi32.dll" and its two
    // exports (function null: the library itself).
    bool aspiExports(const std::string& library, const std::string* function) const;

    static constexpr std::uint64_t kReadingStepNs = 1000;

    std::vector<std::filesystem::path> folders_;   // this machine first, then its bases
    std::filesystem::path overlay_;
    nlohmann::json facts_;
    Registry registry_;
    std::optional<CpuidDump> cpuid_;

    unsigned ansiCodePage_ = 1252;
    VersionFacts version_;
    SystemInfoFacts systemInfo_;
    MemoryFacts memory_;
    std::string computerName_, userName_;
    std::string windowsDirectory_, systemDirectory_, tempDirectory_, moduleFileName_;
    std::vector<std::string> environment_;
    std::map<std::string, Library> libraries_;   // by lower-case file name
    std::optional<std::uint16_t> freeResources_[3];
    bool hasUserModule16_ = false;
    std::optional<PowerStatusFacts> power_;
    std::optional<FirmwareSegment> firmware_;
    SimulatedNetworkFacts network_;
    std::optional<DisplayFacts> display_;
    std::optional<MediaFacts> media_;
    bool shellOpenWorks_ = true;
    std::vector<std::string> shellOpenLog_;
    std::map<char, std::string> volumeLabels_;   // renamed volumes, in memory only
    std::uint64_t sleptNs_ = 0;                  // virtual time spent in sleep()

    // Clock: start time as seconds since 1970 (local and UTC), the time since
    // boot at start, and the virtual time elapsed since.
    std::int64_t startLocalSeconds_ = 0;
    std::int64_t utcOffsetSeconds_ = 0;
    std::uint64_t bootNs_ = 0;
    std::uint64_t elapsedNs_ = 0;
    std::uint64_t clockKHz_ = 0;
    std::uint64_t performanceFrequency_ = 0;
};

}  // namespace torvex::platform
