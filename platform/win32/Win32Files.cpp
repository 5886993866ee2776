// Drive space and the process error mode over the active machine.
#include "platform/win32/Win32Files.h"

#include <atomic>
#include <cctype>
#include <string>

#include "platform/machine/Machine.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;

std::atomic<UINT> errorMode{0};

// The drive letter a root or path names; 0 when none.
char DriveLetter(LPCSTR root) {
    std::string text;
    if (root) {
        text = root;
    } else {
        text = ActiveMachine().windowsDirectory();
    }
    if (text.size() < 2 || text[1] != ':' || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
    if (text.size() > 2 && text[2] != '\\' && text[2] != '/') return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

std::optional<torvex::platform::DiskSpace> Space(LPCSTR root) {
    char letter = DriveLetter(root);
    if (!letter) {
        SetLastError(ERROR_INVALID_DRIVE);
        return std::nullopt;
    }
    auto space = ActiveMachine().diskFreeSpace(letter);
    if (!space) {
        // A letter the machine knows but that gives no figures has no medium.
        SetLastError(ActiveMachine().readPath(std::string(1, letter) + ":\\") ? ERROR_NOT_READY
                                                                              : ERROR_INVALID_DRIVE);
        return std::nullopt;
    }
    return space;
}

}  // namespace

UINT SetErrorMode(UINT mode) { return errorMode.exchange(mode); }

BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD freeClusters, LPDWORD totalClusters) {
    auto s = Space(root);
    if (!s) return FALSE;
    std::uint64_t clusterBytes = static_cast<std::uint64_t>(s->sectorsPerCluster) * s->bytesPerSector;
    std::uint64_t total = s->totalClusters, free = s->freeClusters;
    std::uint64_t limit = 0xFFFFFFFFull;
    if (ActiveMachine().version().platformId != VER_PLATFORM_WIN32_NT && clusterBytes > 0)
        limit = 0x7FFFFFFFull / clusterBytes;
    if (total > limit) total = limit;
    if (free > limit) free = limit;
    if (sectorsPerCluster) *sectorsPerCluster = s->sectorsPerCluster;
    if (bytesPerSector) *bytesPerSector = s->bytesPerSector;
    if (freeClusters) *freeClusters = static_cast<DWORD>(free);
    if (totalClusters) *totalClusters = static_cast<DWORD>(total);
    return TRUE;
}

BOOL GetDiskFreeSpaceExA(LPCSTR directory, ULARGE_INTEGER* freeBytesAvailable, ULARGE_INTEGER* totalBytes,
                         ULARGE_INTEGER* totalFreeBytes) {
    auto s = Space(directory);
    if (!s) return FALSE;
    if (freeBytesAvailable) freeBytesAvailable->QuadPart = s->freeBytesAvailable;
    if (totalBytes) totalBytes->QuadPart = s->totalBytes;
    if (totalFreeBytes) totalFreeBytes->QuadPart = s->totalFreeBytes;
    return TRUE;
}

}  // namespace win32
