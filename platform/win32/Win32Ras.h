// The remote access library (rasapi32.dll): the active dial-up connections.
//
// The library is optional on Windows 95-XP; programs load it at run time
// and look up RasEnumConnectionsA. A machine that lacks it fails the load.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr DWORD RAS_MaxEntryName = 256;
constexpr DWORD RAS_MaxDeviceType = 16;
constexpr DWORD RAS_MaxDeviceName = 128;
constexpr DWORD ERROR_BUFFER_TOO_SMALL = 603;

using HRASCONN = HANDLE;

// The record of Windows 95 and NT 4.0 (size field 412 in the 32-bit
// layout); later Windows accept it too.
#pragma pack(push, 4)
struct RASCONNA {
    DWORD dwSize;
    std::uint32_t hrasconn;   // a handle of the 32-bit personality
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};
#pragma pack(pop)
static_assert(sizeof(RASCONNA) == 412);

// Fills records for the active connections. *size is the buffer size in
// bytes, *count receives the number of connections. A buffer too small for
// all of them fails with ERROR_BUFFER_TOO_SMALL (603), *size then saying
// how much is needed and *count how many there are. The first record's
// dwSize must be 412.
DWORD RasEnumConnectionsA(RASCONNA* connections, LPDWORD size, LPDWORD count);
using RasEnumConnectionsAProc = DWORD (*)(RASCONNA* connections, LPDWORD size, LPDWORD count);

}  // namespace win32
