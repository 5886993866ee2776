// Disks: the drive letters Windows knows, and one selected drive described
// at a time (kind, medium, volume, file system, space and geometry).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Corvane_Routines.h"
#include "platform/classes/Classes.h"

namespace torvex::platform::routines {
// Names for the property lister; beside the enumeration, where look-up finds them.
TORVEX_ENUM_NAMES(TMediaType, "dtUnknown", "dtNotExists", "dtRemovable", "dtFixed", "dtRemote", "dtCDROM",
                  "dtRAMDisk")
}  // namespace torvex::platform::routines

namespace torvex::engine {

using platform::routines::TDiskInfo;
using platform::routines::TDiskSign;
using platform::routines::TFileFlag;
using platform::routines::TFileFlags;
using platform::routines::TMediaType;
using namespace platform::routines;   // the enumeration values dtFixed, fsCaseIsPreserved ...

// "<unknown>", "<not exists>", "Removable", "Fixed", "Remote", "CDROM", "RAM".
std::string MediaTypeText(TMediaType type);
// "[fsCaseIsPreserved,fsLongFileNames]", as the property lister shows a set.
std::string FileFlagsText(TFileFlags flags);
// The drive as a full path: a mapped network drive's share
// ("\\server\share\"), a local drive's current folder.
std::string ExpandUNCDrive(const TDiskSign& drive);

class TDisk : public TPersistent {
public:
    // Refreshes AvailableDisks only.
    void GetInfo();
    // "[Disks]" and every drive in turn; afterwards the last drive is selected.
    void Report(TStringList& lines);

    const TDiskSign& Drive() const { return FDrive; }
    // Selects a drive and reads it at once.
    void SetDrive(const TDiskSign& drive);
    const std::string& AvailableDisks() const { return FAvailableDisks; }
    // Asked of the drive on every read.
    bool MediaPresent() const;
    TMediaType MediaType() const { return FMediaType; }
    TFileFlags FileFlags() const { return FFileFlags; }
    const std::string& FileSystem() const { return FFileSystem; }
    std::uint32_t FreeClusters() const { return FFreeClusters; }
    std::uint32_t TotalClusters() const { return FTotalClusters; }
    std::int64_t FreeSpace() const { return FFreeSpace; }
    std::int64_t Capacity() const { return FCapacity; }
    const std::string& SerialNumber() const { return FSerialNumber; }
    std::uint32_t Serial() const { return FSerial; }
    const std::string& VolumeLabel() const { return FVolumeLabel; }
    std::uint32_t SectorsPerCluster() const { return FSectorsPerCluster; }
    std::uint32_t BytesPerSector() const { return FBytesPerSector; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TDiskSign FDrive;
    std::string FAvailableDisks;
    TMediaType FMediaType = dtUnknown;
    TFileFlags FFileFlags = 0;
    std::string FFileSystem;
    std::uint32_t FFreeClusters = 0, FTotalClusters = 0;
    std::int64_t FFreeSpace = 0, FCapacity = 0;
    std::string FSerialNumber;
    std::uint32_t FSerial = 0;
    std::string FVolumeLabel;
    std::uint32_t FSectorsPerCluster = 0, FBytesPerSector = 0;
};

}  // namespace torvex::engine
