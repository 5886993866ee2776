#include "components/QuentaSysDrive.h"

#include <cctype>
#include <cstdio>

#include "platform/win32/Win32.h"

namespace torvex::components {

namespace {

std::string Root(char letter) { return std::string(1, letter) + ":\\"; }

bool IsDriveLetter(char c) { return c >= 'A' && c <= 'Z'; }

const char* const kOptionNames[] = {"fsCaseIsPreserved",     "fsCaseSensitive", "fsSupportsUnicode",
                                    "fsPersistentACLs",      "fsSupportsCompression",
                                    "fsIsCompressed",        "fsSupportsQuotas"};

std::string ErrorText(win32::DWORD code) {
    switch (code) {
        case win32::ERROR_ACCESS_DENIED: return "Access denied";
        case win32::ERROR_INVALID_DRIVE: return "The system cannot find the drive specified";
        case win32::ERROR_NOT_READY: return "The device is not ready";
        default: return "System error " + std::to_string(code);
    }
}

}  // namespace

[[noreturn]] void RaiseLastOSError() {
    win32::DWORD code = win32::GetLastError();
    throw EOSError(code, "System Error.  Code: " + std::to_string(code) + ".\n" + ErrorText(code));
}

void TQuentaSysDriveObject::SetDrive(char letter) {
    if (letter == FDrive) return;
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (!IsDriveLetter(upper)) {
        char folder[win32::MAX_PATH + 1] = {};
        win32::GetCurrentDirectoryA(sizeof folder, folder);
        upper = static_cast<char>(std::toupper(static_cast<unsigned char>(folder[0])));
        if (!IsDriveLetter(upper)) upper = 'C';
    }
    FDrive = upper;
    Retrieve();
}

void TQuentaSysDriveObject::ClearVolume() {
    FVolumeLabel.clear();
    FFileSystem.clear();
    FSerialNumber.clear();
    FSectorsPerCluster = FBytesPerSector = FMaximumLength = 0;
    FOptions = 0;
}

void TQuentaSysDriveObject::Retrieve() {
    std::string root = Root(FDrive);
    FDriveType = static_cast<TQuentaSysDriveType>(win32::GetDriveTypeA(root.c_str()));
    win32::ULARGE_INTEGER available{}, total{}, totalFree{};
    if (win32::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree)) {
        FDiskSize = static_cast<std::int64_t>(total.QuadPart);
        FDiskFree = static_cast<std::int64_t>(available.QuadPart);
    } else {
        FDiskSize = FDiskFree = -1;
    }
    if (FDiskSize == -1 && FDriveType != dtNetwork) {
        ClearVolume();
        return;
    }
    win32::DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    if (win32::GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &freeClusters, &clusters)) {
        FSectorsPerCluster = sectors;
        FBytesPerSector = bytes;
    } else {
        FSectorsPerCluster = FBytesPerSector = 0;
    }
    char label[256] = {}, fileSystem[256] = {};
    win32::DWORD serial = 0, maxLength = 0, flags = 0;
    if (!win32::GetVolumeInformationA(root.c_str(), label, sizeof label, &serial, &maxLength, &flags, fileSystem,
                                      sizeof fileSystem)) {
        label[0] = fileSystem[0] = '\0';
        serial = maxLength = flags = 0;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X-%04X", unsigned(serial >> 16), unsigned(serial & 0xFFFF));
    FSerialNumber = hex;
    FVolumeLabel = label;
    FFileSystem = fileSystem;
    FMaximumLength = maxLength;
    FOptions = 0;
    auto set = [this](TQuentaSysFileSystemOption o) { FOptions |= 1u << o; };
    if (flags & win32::FS_CASE_IS_PRESERVED) set(fsCaseIsPreserved);
    if (flags & win32::FS_CASE_SENSITIVE) set(fsCaseSensitive);
    if (flags & win32::FS_UNICODE_STORED_ON_DISK) set(fsSupportsUnicode);
    if (flags & win32::FS_PERSISTENT_ACLS) set(fsPersistentACLs);
    if (flags & win32::FS_FILE_COMPRESSION) set(fsSupportsCompression);
    if (flags & win32::FS_VOL_IS_COMPRESSED) set(fsIsCompressed);
    if (flags & win32::FILE_VOLUME_QUOTAS) set(fsSupportsQuotas);
    if (FFileSystem == "NTFS") {
        win32::DWORD attributes = win32::GetFileAttributesA(root.c_str());
        if (attributes != win32::INVALID_FILE_ATTRIBUTES && (attributes & win32::FILE_ATTRIBUTE_COMPRESSED))
            set(fsIsCompressed);
    }
}

void TQuentaSysDriveObject::SetVolumeLabel(const std::string& label) {
    if (label == FVolumeLabel) return;
    RegisterChange("Disk:Label", FVolumeLabel, label);
    std::string root = Root(FDrive);
    if (!win32::SetVolumeLabelA(root.c_str(), label.c_str())) RaiseLastOSError();
    CommitChange("Disk:Label");
    Retrieve();
}

std::string TQuentaSysDriveObject::OptionsText(TQuentaSysFileSystemOptions options) {
    std::string text = "[";
    for (int o = 0; o < 7; ++o) {
        if (!((options >> o) & 1u)) continue;
        if (text.size() > 1) text += ",";
        text += kOptionNames[o];
    }
    return text + "]";
}

std::string TQuentaSysDriveObject::PropertyTypeName(const classes::TPropInfo& info) const {
    if (info.Name == "Options") return "TQuentaSysFileSystemOptions";
    if (info.Name == "Drive") return "Char";
    return info.TypeName;
}

void TQuentaSysDriveObject::PublishProperties(classes::TPublished& p) const {
    TQuentaSysObject::PublishProperties(p);
    p.Add("BytesPerSector", FBytesPerSector);
    p.Add("DiskSize", FDiskSize);
    p.Add("DiskFree", FDiskFree);
    p.AddGetter("Drive", [this] { return std::string(1, FDrive); });
    p.Add("DriveType", FDriveType);
    p.Add("FileSystem", FFileSystem);
    p.Add("SectorsPerCluster", FSectorsPerCluster);
    p.Add("MaximumLength", FMaximumLength);
    p.Add("SerialNumber", FSerialNumber);
    p.AddGetter("Options", [this] { return OptionsText(FOptions); });
    p.Add("VolumeLabel", FVolumeLabel);
}

TQuentaSysDrive::TQuentaSysDrive(classes::TComponent* owner)
    : TQuentaSysBaseComponent(owner), FDrive(std::make_unique<TQuentaSysDriveObject>(this)) {
    FDrive->SetOnChange(ChangeHandler());
}

void TQuentaSysDrive::PublishProperties(classes::TPublished& p) const {
    TQuentaSysBaseComponent::PublishProperties(p);
    p.Add("Drive", FDrive);
}

}  // namespace torvex::components
