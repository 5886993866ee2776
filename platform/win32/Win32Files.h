// Drive space and the process error mode.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOGPFAULTERRORBOX = 0x0002;
constexpr UINT SEM_NOALIGNMENTFAULTEXCEPT = 0x0004;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;

// Sets the process error mode and returns the previous one. With
// SEM_FAILCRITICALERRORS a drive without a medium fails its calls at once;
// without it Windows would ask the user to insert one. Neither machine has
// such a dialog, so the mode is kept and reported, never acted on.
UINT SetErrorMode(UINT mode);

constexpr LONG ERROR_NOT_READY = 21;
constexpr LONG ERROR_INVALID_DRIVE = 15;

// root: "C:\" (or "C:", or a path on the drive); null means the drive of
// the current folder, which is the Windows directory's drive here. Fails
// with ERROR_INVALID_DRIVE for a letter without a drive and ERROR_NOT_READY
// for a drive that does not answer (no medium). On the Windows 95 family
// the cluster counts are clipped to describe at most 2 GB, as it reports
// them; elsewhere they are clipped only to what 32 bits hold.
BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD freeClusters, LPDWORD totalClusters);

struct ULARGE_INTEGER {
    std::uint64_t QuadPart;
};
// The whole figures in bytes. An export of "kernel32" from Windows 95 OSR2
// on; look it up with GetProcAddress when the machine matters.
BOOL GetDiskFreeSpaceExA(LPCSTR directory, ULARGE_INTEGER* freeBytesAvailable,
                         ULARGE_INTEGER* totalBytes, ULARGE_INTEGER* totalFreeBytes);

}  // namespace win32
