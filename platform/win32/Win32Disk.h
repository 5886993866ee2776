// Drive letters, drive kinds, volume information and mapped network drives.
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

constexpr DWORD FILE_CASE_SENSITIVE_SEARCH = 0x00000001;
constexpr DWORD FILE_CASE_PRESERVED_NAMES = 0x00000002;
constexpr DWORD FILE_UNICODE_ON_DISK = 0x00000004;
constexpr DWORD FILE_PERSISTENT_ACLS = 0x00000008;
constexpr DWORD FILE_FILE_COMPRESSION = 0x00000010;
constexpr DWORD FILE_VOLUME_QUOTAS = 0x00000020;
constexpr DWORD FILE_SUPPORTS_SPARSE_FILES = 0x00000040;
constexpr DWORD FILE_SUPPORTS_REPARSE_POINTS = 0x00000080;
constexpr DWORD FILE_VOLUME_IS_COMPRESSED = 0x00008000;
constexpr DWORD FILE_SUPPORTS_OBJECT_IDS = 0x00010000;
constexpr DWORD FILE_SUPPORTS_ENCRYPTION = 0x00020000;

constexpr LONG ERROR_NOT_CONNECTED = 2250;
constexpr LONG ERROR_BAD_DEVICE = 1200;
constexpr LONG ERROR_NO_NETWORK = 1222;
constexpr DWORD NO_ERROR = 0;

// Bit 0 for A:, bit 1 for B:, ...
DWORD GetLogicalDrives();
// "A:\<0>C:\<0>D:\<0><0>"; returns the length without the closing zero,
// or the size needed (with it) when the buffer is too small.
DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer);
// root: "C:\" (also "C:" or "c:\"); null: the current folder's drive.
UINT GetDriveTypeA(LPCSTR root);
// Fails with ERROR_NOT_READY for a drive without a medium or a volume that
// does not answer, ERROR_INVALID_DRIVE for a letter without a drive, and
// ERROR_MORE_DATA when a text does not fit its buffer.
BOOL GetVolumeInformationA(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                           LPDWORD maxComponentLength, LPDWORD fileSystemFlags, LPSTR fileSystemName,
                           DWORD fileSystemNameSize);

// The network name a drive ("F:") is mapped to, "\\server\share";
// ERROR_NOT_CONNECTED for a local drive (mpr.dll).
DWORD WNetGetConnectionA(LPCSTR localName, LPSTR remoteName, LPDWORD length);

// The process's current folder: the program's own folder, where a program
// started from its icon runs.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);

}  // namespace win32
