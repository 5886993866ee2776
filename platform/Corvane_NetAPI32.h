// The network-management library "netapi32.dll", bound at run time; the
// Windows 9x family has none.
//
#pragma once

#include "platform/win32/Win32.h"

namespace torvex::platform::netapi32 {

// The library's handle, 0 when it is absent.
extern win32::HMODULE NetAPI32Handle;
// True when the library is there and NetWkstaGetInfo was found.
extern bool NetAPI32Loaded;

// Entry points, in binding order; null when the library lacks them.
extern win32::FARPROC NetQueryDisplayInformation;
extern win32::FARPROC NetStatisticsGet;
extern win32::FARPROC NetWkstaGetInfo;
extern win32::FARPROC NetWkstaUserGetInfo;
extern win32::FARPROC NetUserEnum;
extern win32::FARPROC NetWkstaUserEnum;
extern win32::FARPROC NetWkstaTransportEnum;
extern win32::FARPROC NetServerTransportEnum;
extern win32::FARPROC NetUserGetInfo;
extern win32::FARPROC NetUserGetGroups;
extern win32::FARPROC NetUserGetLocalGroups;
extern win32::FARPROC NetGroupEnum;
extern win32::FARPROC NetLocalGroupEnum;
extern win32::FARPROC NetGroupGetUsers;
extern win32::FARPROC NetLocalGroupGetMembers;
extern win32::FARPROC NetServerEnum;
extern win32::FARPROC NetShareEnum;
extern win32::FARPROC NetShareDel;
extern win32::FARPROC NetSessionEnum;
extern win32::FARPROC NetSessionDel;
extern win32::FARPROC NetConnectionEnum;
extern win32::FARPROC NetFileEnum;
extern win32::FARPROC NetFileClose;
extern win32::FARPROC NetApiBufferFree;
extern win32::FARPROC NetApiBufferReallocate;
extern win32::FARPROC NetApiBufferSize;
extern win32::FARPROC NetScheduleJobEnum;
extern win32::FARPROC NetScheduleJobDel;
extern win32::FARPROC NetScheduleJobAdd;
extern win32::FARPROC NetScheduleJobGetInfo;

// At program start: binds the library and its entry points; returns
// NetAPI32Loaded.
bool BindNetAPI32();
// At program end: frees the library when it was bound; raises
// "Unload Error: netapi32.dll (XXXXXXXX)" when that fails.
void ReleaseNetAPI32();

}  // namespace torvex::platform::netapi32
