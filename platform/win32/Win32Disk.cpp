// Drive letters, kinds and volumes over the active machine.
#include "platform/win32/Win32Disk.h"

#include <cctype>
#include <cstring>
#include <string>

#include "platform/machine/Machine.h"
#include "platform/win32/Win32Files.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::DriveFacts;
using torvex::platform::DriveKind;

// The letter of "C:\", "C:" or "c:/..."; 0 for anything else.
char RootLetter(LPCSTR root) {
    std::string text = root ? std::string(root) : ActiveMachine().windowsDirectory();
    if (text.size() < 2 || text[1] != ':' || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
    if (text.size() > 2 && text[2] != '\\' && text[2] != '/') return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

std::string Letters() {
    auto& m = ActiveMachine();
    if (auto listed = m.logicalDrives()) {
        std::string out;
        for (char c = 'A'; c <= 'Z'; ++c)
            if (listed->find(c) != std::string::npos) out.push_back(c);
        return out;
    }
    std::string out;
    for (char c = 'A'; c <= 'Z'; ++c)
        if (m.diskFreeSpace(c) || m.readPath(std::string(1, c) + ":\\")) out.push_back(c);
    return out;
}

// The drive's facts; nullopt for a letter the machine does not use.
std::optional<DriveFacts> Facts(char letter) {
    if (!letter) return std::nullopt;
    auto& m = ActiveMachine();
    // A drive the machine describes is one of its drives.
    if (auto d = m.drive(letter)) return d;
    if (Letters().find(letter) == std::string::npos) return std::nullopt;
    // A machine that says nothing more: a drive that answers is a fixed
    // disk, one that does not a removable drive without a medium.
    DriveFacts d;
    d.kind = m.diskFreeSpace(letter) ? DriveKind::fixed : DriveKind::removable;
    return d;
}

// Copies text with its zero into a buffer of size characters.
bool CopyText(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer) return true;
    if (text.size() + 1 > size) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

DWORD GetLogicalDrives() {
    DWORD mask = 0;
    for (char c : Letters()) mask |= 1u << (c - 'A');
    return mask;
}

DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer) {
    std::string block;
    for (char c : Letters()) {
        block += std::string{c, ':', '\\'};
        block.push_back('\0');
    }
    DWORD length = static_cast<DWORD>(block.size());
    if (length + 1 > size || !buffer) return length + 1;
    std::memcpy(buffer, block.data(), block.size());
    buffer[block.size()] = '\0';
    return length;
}

UINT GetDriveTypeA(LPCSTR root) {
    char letter = RootLetter(root);
    auto d = Facts(letter);
    if (!d) return DRIVE_NO_ROOT_DIR;
    return static_cast<UINT>(d->kind);
}

BOOL GetVolumeInformationA(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                           LPDWORD maxComponentLength, LPDWORD fileSystemFlags, LPSTR fileSystemName,
                           DWORD fileSystemNameSize) {
    char letter = RootLetter(root);
    auto d = Facts(letter);
    if (!d) {
        SetLastError(ERROR_INVALID_DRIVE);
        return FALSE;
    }
    // A drive without a medium has no volume, whatever the machine knows of
    // the last one in it.
    if (!d->volume || !ActiveMachine().diskFreeSpace(letter)) {
        SetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    const auto& v = *d->volume;
    if (!CopyText(v.label, volumeName, volumeNameSize) || !CopyText(v.fileSystem, fileSystemName, fileSystemNameSize)) {
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    if (serialNumber) *serialNumber = v.serial;
    if (maxComponentLength) *maxComponentLength = v.maxComponentLength;
    if (fileSystemFlags) *fileSystemFlags = v.flags;
    return TRUE;
}

DWORD WNetGetConnectionA(LPCSTR localName, LPSTR remoteName, LPDWORD length) {
    if (!localName || !length) return static_cast<DWORD>(ERROR_INVALID_PARAMETER);
    std::string name = localName;
    if (name.size() != 2) return static_cast<DWORD>(ERROR_BAD_DEVICE);
    auto d = Facts(RootLetter(localName));
    if (!d) return static_cast<DWORD>(ERROR_BAD_DEVICE);
    if (d->kind != DriveKind::remote || d->uncName.empty()) return static_cast<DWORD>(ERROR_NOT_CONNECTED);
    DWORD needed = static_cast<DWORD>(d->uncName.size() + 1);
    if (!remoteName || *length < needed) {
        *length = needed;
        return static_cast<DWORD>(ERROR_MORE_DATA);
    }
    std::memcpy(remoteName, d->uncName.c_str(), needed);
    return NO_ERROR;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    std::string module = ActiveMachine().moduleFileName();
    auto slash = module.rfind('\\');
    std::string folder = slash == std::string::npos ? module : module.substr(0, slash);
    if (folder.size() == 2) folder.push_back('\\');   // "C:" is the root "C:\"
    if (!buffer || folder.size() + 1 > size) return static_cast<DWORD>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<DWORD>(folder.size());
}

}  // namespace win32
