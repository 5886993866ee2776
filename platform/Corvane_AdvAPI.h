// The service-control functions of "advapi32.dll", bound at run time.
//
// A function with ANSI and wide forms has three variables: the A form, the
// W form and the plain name, which holds the A form's address.
#pragma once

#include "platform/win32/Win32.h"

namespace torvex::platform::advapi {

// The library's handle, 0 when it is absent.
extern win32::HMODULE AdvAPIHandle;
// True when the library is there and OpenSCManager was found.
extern bool AdvAPILoaded;

// Entry points, in binding order; null when the library lacks them.
extern win32::FARPROC ChangeServiceConfigA;
extern win32::FARPROC ChangeServiceConfigW;
extern win32::FARPROC ChangeServiceConfig;
extern win32::FARPROC CloseServiceHandle;
extern win32::FARPROC ControlService;
extern win32::FARPROC CreateServiceA;
extern win32::FARPROC CreateServiceW;
extern win32::FARPROC CreateService;
extern win32::FARPROC DeleteService;
extern win32::FARPROC EnumDependentServicesA;
extern win32::FARPROC EnumDependentServicesW;
extern win32::FARPROC EnumDependentServices;
extern win32::FARPROC EnumServicesStatusA;
extern win32::FARPROC EnumServicesStatusW;
extern win32::FARPROC EnumServicesStatus;
extern win32::FARPROC GetServiceKeyNameA;
extern win32::FARPROC GetServiceKeyNameW;
extern win32::FARPROC GetServiceKeyName;
extern win32::FARPROC GetServiceDisplayNameA;
extern win32::FARPROC GetServiceDisplayNameW;
extern win32::FARPROC GetServiceDisplayName;
extern win32::FARPROC LockServiceDatabase;
extern win32::FARPROC NotifyBootConfigStatus;
extern win32::FARPROC OpenSCManagerA;
extern win32::FARPROC OpenSCManagerW;
extern win32::FARPROC OpenSCManager;
extern win32::FARPROC OpenServiceA;
extern win32::FARPROC OpenServiceW;
extern win32::FARPROC OpenService;
extern win32::FARPROC QueryServiceConfigA;
extern win32::FARPROC QueryServiceConfigW;
extern win32::FARPROC QueryServiceConfig;
extern win32::FARPROC QueryServiceLockStatusA;
extern win32::FARPROC QueryServiceLockStatusW;
extern win32::FARPROC QueryServiceLockStatus;
extern win32::FARPROC QueryServiceObjectSecurity;
extern win32::FARPROC QueryServiceStatus;
extern win32::FARPROC RegisterServiceCtrlHandlerA;
extern win32::FARPROC RegisterServiceCtrlHandlerW;
extern win32::FARPROC RegisterServiceCtrlHandler;
extern win32::FARPROC SetServiceObjectSecurity;
extern win32::FARPROC SetServiceStatus;
extern win32::FARPROC StartServiceCtrlDispatcherA;
extern win32::FARPROC StartServiceCtrlDispatcherW;
extern win32::FARPROC StartServiceCtrlDispatcher;
extern win32::FARPROC StartServiceA;
extern win32::FARPROC StartServiceW;
extern win32::FARPROC StartService;
extern win32::FARPROC UnlockServiceDatabase;

// At program start: binds the library and its entry points; returns
// AdvAPILoaded.
bool BindAdvAPI();
// At program end: frees the library when it was bound; raises
// "Unload Error: ADVAPI32.DLL (XXXXXXXX)" when that fails.
void ReleaseAdvAPI();

}  // namespace torvex::platform::advapi
