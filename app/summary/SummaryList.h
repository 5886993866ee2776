// The summary list builder: the rows of the summary window (caption, value,
// icon) for the three toggle states, built from the engine's categories and
// the desktop components. It knows nothing of the window: the window shows
// the rows in its list, the console summary prints them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvex::engine {
class TCorvaneSystemInfo;
}
namespace torvex::components {
class TQuentaSysProcessor;
class TQuentaSysWindows;
class TQuentaSysDrive;
class TQuentaSysUninstall;
}  // namespace torvex::components

namespace torvex::summary {

// Row icons, indices into the window's 27 row pictures.
namespace icon {
constexpr int None = -1;   // blank separator rows and program rows
constexpr int MainSystem = 0, Display = 1, ExpansionSlot = 3, SoundCard = 4, GamePort = 5, Printer = 7,
              Memory = 8, Processor = 9, Voltage = 11, General = 12, Frequency = 13, Socket = 14, Windows = 15,
              NetworkCard = 17, Floppy = 18, HardDisk = 19, CDROM = 20, Tape = 21, Keyboard = 22, Mouse = 23,
              Modem = 24, NetworkDrive = 26;
}  // namespace icon

struct TSummaryRow {
    std::string Caption;
    std::string Value;
    int Image = icon::MainSystem;   // a row without an own icon keeps image 0
    bool IsBlank() const { return Image == icon::None && Caption.empty() && Value.empty(); }
    bool operator==(const TSummaryRow&) const = default;
};

struct TSummaryToggles {
    bool Programmer = false;    // [R] the installed programs
    bool Partitioner = false;   // [P] one row per drive
    bool Detaljer = false;      // [D] detail rows and hardware sections
};

// Bytes as the list shows sizes: whole MB below 1 GB, one decimal below
// 9.5 GB, whole GB above. mb and gb are the edition's unit texts (" MB", " GB").
std::string FormatSize(std::int64_t bytes, const std::string& mb = " MB", const std::string& gb = " GB");

// A value never splits a row: carriage returns and line feeds become blanks;
// a text ends at a zero byte.
std::string OneLine(std::string text);

// The program's own text of a resource id (its registered string table).
std::string ResourceText(unsigned id);

// Builds the list. Every build re-reads each category it shows; the drive
// component is re-pointed at each drive letter (which re-reads a drive only
// when the letter changes) and the installed programs are those the
// component holds. Rows are handed to the sink one by one, so that a build
// that fails keeps the rows made before the failure; the failure itself
// passes to the caller.
class TSummaryList {
public:
    using Sink = std::function<void(const TSummaryRow&)>;

    TSummaryList(engine::TCorvaneSystemInfo& info, components::TQuentaSysProcessor& cpuInfo,
                 components::TQuentaSysWindows& winInfo, components::TQuentaSysDrive& driveInfo,
                 components::TQuentaSysUninstall& uninstall)
        : info_(info), cpuInfo_(cpuInfo), winInfo_(winInfo), driveInfo_(driveInfo), uninstall_(uninstall) {}

    // oldWindows: Windows 95, 98 and NT 4.0 (the window's OldWindows).
    void BuildList(const TSummaryToggles& toggles, bool oldWindows, const Sink& sink);

    // The same, collected.
    std::vector<TSummaryRow> Rows(const TSummaryToggles& toggles, bool oldWindows);

private:
    void Add(std::string caption, std::string value, int image);
    void AddBlank();
    void AddProcessorRows();
    void AddMemoryRows();
    void AddMediaRows();
    void AddNetworkRows();
    void AddStorageRows();
    void AddDriveRows(bool detail);
    void AddDisplayRows();
    void AddDirectXRow();
    void AddWindowsRows();
    void AddDeviceRows();
    void AddPrinterRows();
    void AddProgramRows();
    std::string ProcessorName();
    std::string Text(unsigned id) const { return ResourceText(id); }

    engine::TCorvaneSystemInfo& info_;
    components::TQuentaSysProcessor& cpuInfo_;
    components::TQuentaSysWindows& winInfo_;
    components::TQuentaSysDrive& driveInfo_;
    components::TQuentaSysUninstall& uninstall_;

    TSummaryToggles toggles_;
    bool oldWindows_ = false;
    const Sink* sink_ = nullptr;
};

// One line of the console summary: caption TAB value, or an empty line for
// a blank row (no line end).
std::string ConsoleLine(const TSummaryRow& row);

}  // namespace torvex::summary
