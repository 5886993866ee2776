// Renaming a volume, and the FS_* names of the file-system flags that the
// desktop components use (the same bits as Win32Disk.h's FILE_* names, which
// this header cannot include: both come in through Win32.h). The drive calls
// themselves are in Win32Disk.h.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr DWORD FS_CASE_SENSITIVE = 0x00000001;   // FILE_CASE_SENSITIVE_SEARCH
constexpr DWORD FS_CASE_IS_PRESERVED = 0x00000002;   // FILE_CASE_PRESERVED_NAMES
constexpr DWORD FS_UNICODE_STORED_ON_DISK = 0x00000004;   // FILE_UNICODE_ON_DISK
constexpr DWORD FS_PERSISTENT_ACLS = 0x00000008;   // FILE_PERSISTENT_ACLS
constexpr DWORD FS_FILE_COMPRESSION = 0x00000010;   // FILE_FILE_COMPRESSION
constexpr DWORD FS_VOL_IS_COMPRESSED = 0x00008000;   // FILE_VOLUME_IS_COMPRESSED

constexpr DWORD FILE_ATTRIBUTE_COMPRESSED = 0x800;

// Renames the volume of root (null: the current folder's drive). A machine
// that does not let the program relabel its disks (the live host) fails with
// ERROR_ACCESS_DENIED and nothing changes.
BOOL SetVolumeLabelA(LPCSTR root, LPCSTR volumeName);

}  // namespace win32
