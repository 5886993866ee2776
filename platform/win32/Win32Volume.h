// Drive kinds, volume facts and labels, and the process's current folder.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;

constexpr DWORD FS_CASE_SENSITIVE = 0x00000001;
constexpr DWORD FS_CASE_IS_PRESERVED = 0x00000002;
constexpr DWORD FS_UNICODE_STORED_ON_DISK = 0x00000004;
constexpr DWORD FS_PERSISTENT_ACLS = 0x00000008;
constexpr DWORD FS_FILE_COMPRESSION = 0x00000010;
constexpr DWORD FILE_VOLUME_QUOTAS = 0x00000020;
constexpr DWORD FS_VOL_IS_COMPRESSED = 0x00008000;

constexpr DWORD FILE_ATTRIBUTE_COMPRESSED = 0x800;

// root: "C:\" or "C:/" (a path on the drive is not a root: DRIVE_NO_ROOT_DIR);
// null means the drive of the current folder.
UINT GetDriveTypeA(LPCSTR root);

// Fails with ERROR_INVALID_DRIVE for a letter without a drive and
// ERROR_NOT_READY for a drive without a medium. Each buffer may be null.
BOOL GetVolumeInformationA(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                           LPDWORD maximumComponentLength, LPDWORD fileSystemFlags, LPSTR fileSystemName,
                           DWORD fileSystemNameSize);

// Renames the volume of root (null: the current folder's drive). A machine
// that does not let the program relabel its disks (the live host) fails with
// ERROR_ACCESS_DENIED and nothing changes.
BOOL SetVolumeLabelA(LPCSTR root, LPCSTR volumeName);

// The process's current folder, which is the Windows directory: the program
// never changes it. Returns the length, or the size needed when the buffer
// is too small.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);

}  // namespace win32
