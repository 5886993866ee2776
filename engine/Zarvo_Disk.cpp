#include "engine/Zarvo_Disk.h"

#include <cctype>

#include "platform/win32/Win32.h"

namespace torvex::engine {

using win32::DWORD;

std::string MediaTypeText(TMediaType type) {
    switch (type) {
        case dtUnknown: return "<unknown>";
        case dtNotExists: return "<not exists>";
        case dtRemovable: return "Removable";
        case dtFixed: return "Fixed";
        case dtRemote: return "Remote";
        case dtCDROM: return "CDROM";
        case dtRAMDisk: return "RAM";
    }
    return "<unknown>";
}

std::string FileFlagsText(TFileFlags flags) {
    static const char* const names[] = {
        "fsCaseIsPreserved",   "fsCaseSensitive",          "fsUnicodeStoredOnDisk",
        "fsPersistentAcls",    "fsFileCompression",        "fsVolumeIsCompressed",
        "fsLongFileNames",     "fsEncryptedFileSystemSupport", "fsObjectIDsSupport",
        "fsReparsePointsSupport", "fsSparseFilesSupport", "fsDiskQuotasSupport"};
    std::string out = "[";
    for (int f = 0; f <= fsDiskQuotasSupport; ++f) {
        if (!HasFileFlag(flags, TFileFlag(f))) continue;
        if (out.size() > 1) out += ",";
        out += names[f];
    }
    return out + "]";
}

std::string ExpandUNCDrive(const TDiskSign& drive) {
    if (drive.size() < 2 || drive[1] != ':') return drive;
    // A drive named without a folder stands for its current folder: the
    // process's own on its drive, the root on every other.
    char current[win32::MAX_PATH + 1] = {};
    std::string path;
    DWORD length = win32::GetCurrentDirectoryA(sizeof current, current);
    if (length > 0 && length < sizeof current && std::toupper(static_cast<unsigned char>(current[0])) ==
                                                     std::toupper(static_cast<unsigned char>(drive[0])))
        path = current;
    else
        path = std::string(1, drive[0]) + ":\\";
    char remote[win32::MAX_PATH + 1] = {};
    DWORD size = sizeof remote;
    std::string local = path.substr(0, 2);
    if (win32::WNetGetConnectionA(local.c_str(), remote, &size) == win32::NO_ERROR)
        return std::string(remote) + path.substr(2);
    return path;
}

void TDisk::GetInfo() {
    FAvailableDisks.clear();
    char buffer[256] = {};
    DWORD length = win32::GetLogicalDriveStringsA(255, buffer);
    if (length == 0 || length > 255) return;
    // The walk ends at two zero characters in a row.
    for (DWORD i = 0; i < 255; ++i) {
        if (buffer[i] == '\0' && buffer[i + 1] == '\0') break;
        unsigned char c = static_cast<unsigned char>(buffer[i]);
        if (std::isalpha(c)) FAvailableDisks.push_back(static_cast<char>(std::toupper(c)));
    }
}

void TDisk::SetDrive(const TDiskSign& drive) {
    FDrive = drive.substr(0, 2);
    TDiskInfo info = platform::routines::GetDiskInfo(FDrive);
    FMediaType = static_cast<TMediaType>(info.MediaType <= dtRAMDisk ? info.MediaType : dtUnknown);
    FFileFlags = info.FileFlags;
    FSectorsPerCluster = info.SectorsPerCluster;
    FBytesPerSector = info.BytesPerSector;
    FFreeClusters = info.FreeClusters;
    FTotalClusters = info.TotalClusters;
    FSerial = info.Serial;
    FCapacity = info.Capacity;
    FFreeSpace = info.FreeSpace;
    FVolumeLabel = info.VolumeLabel;
    FSerialNumber = info.SerialNumber;
    FFileSystem = info.FileSystem;
}

bool TDisk::MediaPresent() const { return !FDrive.empty() && platform::routines::DiskInDrive(FDrive[0]); }

void TDisk::Report(TStringList& lines) {
    lines.Add("[Disks]");
    lines.Add(Format("Available=%s", {FAvailableDisks}));
    const std::string letters = FAvailableDisks;
    for (char letter : letters) {
        SetDrive(std::string(1, letter) + ":");
        lines.Add(Format("[Disk%s]", {FDrive}));
        lines.Add(Format("VolumeLabel=%s", {FVolumeLabel}));
        lines.Add(Format("Type=%s", {MediaTypeText(FMediaType)}));
        lines.Add(Format("UNC=%s", {ExpandUNCDrive(FDrive)}));
        lines.Add(Format("SerialNumber=%s", {FSerialNumber}));
        lines.Add(FormatFloat("Capacity=0,##", FCapacity));
        lines.Add(FormatFloat("FreeSpace=0,##", FFreeSpace));
        lines.Add(FormatFloat("BytesPerSector=0", FBytesPerSector));
        lines.Add(FormatFloat("SectorPerCluster=0", FSectorsPerCluster));
        lines.Add(FormatFloat("FreeClusters=0,##", FFreeClusters));
        lines.Add(FormatFloat("TotalClusters=0,##", FTotalClusters));
        lines.Add(Format("[Disk%s_Flags]", {FDrive}));
        static const char* const keys[] = {"Case Is Preserved",
                                           "Case Sensitive",
                                           "Unicode stored On Disk",
                                           "Persistent Acls",
                                           "File Compression",
                                           "Volume Is Compressed",
                                           "Long Filenames",
                                           "Encrypted File System Support",
                                           "Object IDs Support",
                                           "Reparse Points Support",
                                           "Sparse Files Support",
                                           "Disk Quotas Support"};
        for (int f = 0; f <= fsDiskQuotasSupport; ++f)
            lines.Add(Format("%s=%d", {keys[f], HasFileFlag(FFileFlags, TFileFlag(f)) ? 1 : 0}));
    }
}

void TDisk::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("Drive", FDrive);
    published.Add("AvailableDisks", FAvailableDisks);
    published.AddGetter("MediaPresent", [this] { return MediaPresent(); });
    published.Add("MediaType", FMediaType);
    published.AddGetter("FileFlags", [this] { return FileFlagsText(FFileFlags); });
    published.Add("FileSystem", FFileSystem);
    published.Add("FreeClusters", FFreeClusters);
    published.Add("TotalClusters", FTotalClusters);
    published.Add("FreeSpace", FFreeSpace);
    published.Add("Capacity", FCapacity);
    published.Add("SerialNumber", FSerialNumber);
    published.Add("VolumeLabel", FVolumeLabel);
    published.Add("SectorsPerCluster", FSectorsPerCluster);
    published.Add("BytesPerSector", FBytesPerSector);
}

}  // namespace torvex::engine
