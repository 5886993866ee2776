// The process-status library "psapi.dll", bound at run time: Windows 9x
// and NT 4.0 without the library start normally with PSAPILoaded false.
//
// The library is never released: it stays for the whole run.
#pragma once

#include "platform/win32/Win32.h"

namespace torvex::platform::psapi {

// The library's handle, 0 when it is absent.
extern win32::HMODULE PSAPIHandle;
// True when the library is there and EnumProcesses was found.
extern bool PSAPILoaded;

// Entry points, in binding order; null when the library lacks them.
extern win32::FARPROC EnumProcesses;
extern win32::FARPROC EnumProcessModules;
extern win32::FARPROC GetModuleBaseNameA;
extern win32::FARPROC GetModuleFileNameExA;
extern win32::FARPROC GetModuleInformation;
extern win32::FARPROC EmptyWorkingSet;
extern win32::FARPROC QueryWorkingSet;
extern win32::FARPROC InitializeProcessForWsWatch;
extern win32::FARPROC GetWsChanges;
extern win32::FARPROC GetMappedFileNameA;
extern win32::FARPROC EnumDeviceDrivers;
extern win32::FARPROC GetDeviceDriverBaseNameA;
extern win32::FARPROC GetDeviceDriverFileNameA;
extern win32::FARPROC GetProcessMemoryInfo;

// At program start: binds the library and its entry points; returns
// PSAPILoaded.
bool BindPSAPI();

}  // namespace torvex::platform::psapi
