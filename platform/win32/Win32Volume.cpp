// Drive kinds and volume facts over the active machine.
#include "platform/win32/Win32Volume.h"

#include <cctype>
#include <cstring>
#include <string>

#include "platform/machine/Machine.h"
#include "platform/win32/Win32Files.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;

// The letter of a root ("C:\", "c:/", "C:"); 0 when the text is no root.
char RootLetter(LPCSTR root) {
    std::string text = root ? std::string(root) : ActiveMachine().windowsDirectory().substr(0, 3);
    if (text.size() < 2 || text[1] != ':' || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
    if (text.size() > 3) return 0;
    if (text.size() == 3 && text[2] != '\\' && text[2] != '/') return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

// Copies text into a caller's buffer; false when it does not fit.
bool CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer) return true;
    if (text.size() + 1 > size) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

UINT GetDriveTypeA(LPCSTR root) {
    char letter = RootLetter(root);
    if (!letter) return DRIVE_NO_ROOT_DIR;
    auto facts = ActiveMachine().volumeInformation(letter);
    if (!facts) return DRIVE_NO_ROOT_DIR;
    return facts->driveType;
}

BOOL GetVolumeInformationA(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                           LPDWORD maximumComponentLength, LPDWORD fileSystemFlags, LPSTR fileSystemName,
                           DWORD fileSystemNameSize) {
    char letter = RootLetter(root);
    auto facts = letter ? ActiveMachine().volumeInformation(letter) : std::nullopt;
    if (!facts) {
        SetLastError(ERROR_INVALID_DRIVE);
        return FALSE;
    }
    if (!facts->ready) {
        SetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    if (!CopyOut(facts->label, volumeName, volumeNameSize) ||
        !CopyOut(facts->fileSystem, fileSystemName, fileSystemNameSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (serialNumber) *serialNumber = facts->serialNumber;
    if (maximumComponentLength) *maximumComponentLength = facts->maximumComponentLength;
    if (fileSystemFlags) *fileSystemFlags = facts->fileSystemFlags;
    return TRUE;
}

BOOL SetVolumeLabelA(LPCSTR root, LPCSTR volumeName) {
    char letter = RootLetter(root);
    auto facts = letter ? ActiveMachine().volumeInformation(letter) : std::nullopt;
    if (!facts) {
        SetLastError(ERROR_INVALID_DRIVE);
        return FALSE;
    }
    if (!facts->ready) {
        SetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    if (!ActiveMachine().setVolumeLabel(letter, volumeName ? volumeName : "")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    std::string folder = ActiveMachine().windowsDirectory();
    if (!buffer || folder.size() + 1 > size) return static_cast<DWORD>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<DWORD>(folder.size());
}

}  // namespace win32
