// TQuentaSysDrive: one drive at a time. Selecting another letter re-reads
// its type, size, free space and volume facts at once; selecting the letter
// already selected reads nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/QuentaSysComponent.h"

namespace torvex::components {

enum TQuentaSysDriveType { dtUnknown, dtNoRootDir, dtFloppy, dtFixed, dtNetwork, dtCDROM, dtRAM };
TORVEX_ENUM_NAMES(TQuentaSysDriveType, "dtUnknown", "dtNoRootDir", "dtFloppy", "dtFixed", "dtNetwork", "dtCDROM",
                  "dtRAM")

enum TQuentaSysFileSystemOption {
    fsCaseIsPreserved,
    fsCaseSensitive,
    fsSupportsUnicode,
    fsPersistentACLs,
    fsSupportsCompression,
    fsIsCompressed,
    fsSupportsQuotas,
};
using TQuentaSysFileSystemOptions = std::uint32_t;   // bit n: option n

class TQuentaSysDriveObject : public TQuentaSysObject {
public:
    explicit TQuentaSysDriveObject(TQuentaSysComponent* owner = nullptr) : TQuentaSysObject(owner) {}

    std::uint32_t BytesPerSector() const { return FBytesPerSector; }
    std::int64_t DiskSize() const { return FDiskSize; }
    std::int64_t DiskFree() const { return FDiskFree; }
    char Drive() const { return FDrive; }
    // Selects a drive and reads it, unless it is the one selected.
    void SetDrive(char letter);
    TQuentaSysDriveType DriveType() const { return FDriveType; }
    const std::string& FileSystem() const { return FFileSystem; }
    std::uint32_t SectorsPerCluster() const { return FSectorsPerCluster; }
    std::uint32_t MaximumLength() const { return FMaximumLength; }
    const std::string& SerialNumber() const { return FSerialNumber; }
    TQuentaSysFileSystemOptions Options() const { return FOptions; }
    bool HasOption(TQuentaSysFileSystemOption o) const { return (FOptions >> o) & 1u; }
    const std::string& VolumeLabel() const { return FVolumeLabel; }
    // Renames the volume; throws EOSError with the system's reason when the
    // machine refuses, leaving the change pending.
    void SetVolumeLabel(const std::string& label);

    void Retrieve() override;
    void WriteBack() override {}
    std::string PropertyTypeName(const classes::TPropInfo& info) const override;

    // "[fsCaseIsPreserved,fsSupportsUnicode]".
    static std::string OptionsText(TQuentaSysFileSystemOptions options);

protected:
    void PublishProperties(classes::TPublished& p) const override;

private:
    void ClearVolume();

    std::uint32_t FBytesPerSector = 0;
    std::int64_t FDiskSize = 0, FDiskFree = 0;
    char FDrive = 'C';
    TQuentaSysDriveType FDriveType = dtUnknown;
    std::string FFileSystem;
    std::uint32_t FSectorsPerCluster = 0, FMaximumLength = 0;
    std::string FSerialNumber;
    TQuentaSysFileSystemOptions FOptions = 0;
    std::string FVolumeLabel;
};

class TQuentaSysDrive : public TQuentaSysBaseComponent {
public:
    explicit TQuentaSysDrive(classes::TComponent* owner = nullptr);
    TQuentaSysDriveObject& Drive() const { return *FDrive; }

protected:
    void DoRefresh() override { FDrive->Retrieve(); }
    void PublishProperties(classes::TPublished& p) const override;

private:
    std::unique_ptr<TQuentaSysDriveObject> FDrive;
};

// The operating system's last error as an exception.
class EOSError : public classes::Exception {
public:
    EOSError(win32::DWORD code, const std::string& message) : classes::Exception(message), ErrorCode(code) {}
    win32::DWORD ErrorCode;
};
[[noreturn]] void RaiseLastOSError();

}  // namespace torvex::components
