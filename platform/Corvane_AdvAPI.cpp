#include "platform/Corvane_AdvAPI.h"

#include "platform/Corvane_Binding.h"

namespace torvex::platform::advapi {

win32::HMODULE AdvAPIHandle = nullptr;
bool AdvAPILoaded = false;

win32::FARPROC ChangeServiceConfigA = nullptr;
win32::FARPROC ChangeServiceConfigW = nullptr;
win32::FARPROC ChangeServiceConfig = nullptr;
win32::FARPROC CloseServiceHandle = nullptr;
win32::FARPROC ControlService = nullptr;
win32::FARPROC CreateServiceA = nullptr;
win32::FARPROC CreateServiceW = nullptr;
win32::FARPROC CreateService = nullptr;
win32::FARPROC DeleteService = nullptr;
win32::FARPROC EnumDependentServicesA = nullptr;
win32::FARPROC EnumDependentServicesW = nullptr;
win32::FARPROC EnumDependentServices = nullptr;
win32::FARPROC EnumServicesStatusA = nullptr;
win32::FARPROC EnumServicesStatusW = nullptr;
win32::FARPROC EnumServicesStatus = nullptr;
win32::FARPROC GetServiceKeyNameA = nullptr;
win32::FARPROC GetServiceKeyNameW = nullptr;
win32::FARPROC GetServiceKeyName = nullptr;
win32::FARPROC GetServiceDisplayNameA = nullptr;
win32::FARPROC GetServiceDisplayNameW = nullptr;
win32::FARPROC GetServiceDisplayName = nullptr;
win32::FARPROC LockServiceDatabase = nullptr;
win32::FARPROC NotifyBootConfigStatus = nullptr;
win32::FARPROC OpenSCManagerA = nullptr;
win32::FARPROC OpenSCManagerW = nullptr;
win32::FARPROC OpenSCManager = nullptr;
win32::FARPROC OpenServiceA = nullptr;
win32::FARPROC OpenServiceW = nullptr;
win32::FARPROC OpenService = nullptr;
win32::FARPROC QueryServiceConfigA = nullptr;
win32::FARPROC QueryServiceConfigW = nullptr;
win32::FARPROC QueryServiceConfig = nullptr;
win32::FARPROC QueryServiceLockStatusA = nullptr;
win32::FARPROC QueryServiceLockStatusW = nullptr;
win32::FARPROC QueryServiceLockStatus = nullptr;
win32::FARPROC QueryServiceObjectSecurity = nullptr;
win32::FARPROC QueryServiceStatus = nullptr;
win32::FARPROC RegisterServiceCtrlHandlerA = nullptr;
win32::FARPROC RegisterServiceCtrlHandlerW = nullptr;
win32::FARPROC RegisterServiceCtrlHandler = nullptr;
win32::FARPROC SetServiceObjectSecurity = nullptr;
win32::FARPROC SetServiceStatus = nullptr;
win32::FARPROC StartServiceCtrlDispatcherA = nullptr;
win32::FARPROC StartServiceCtrlDispatcherW = nullptr;
win32::FARPROC StartServiceCtrlDispatcher = nullptr;
win32::FARPROC StartServiceA = nullptr;
win32::FARPROC StartServiceW = nullptr;
win32::FARPROC StartService = nullptr;
win32::FARPROC UnlockServiceDatabase = nullptr;

namespace {

const TLibraryBinding& Binding() {
    static const TLibraryBinding binding{
        "advapi32.dll",
        "Unload Error: advapi32.dll (",
        "Unload Error: ADVAPI32.DLL (",
        "ADVAPI32.DLL",
        {
            {"ChangeServiceConfigA", &ChangeServiceConfigA},
            {"ChangeServiceConfigW", &ChangeServiceConfigW},
            {"ChangeServiceConfigA", &ChangeServiceConfig},
            {"CloseServiceHandle", &CloseServiceHandle},
            {"ControlService", &ControlService},
            {"CreateServiceA", &CreateServiceA},
            {"CreateServiceW", &CreateServiceW},
            {"CreateServiceA", &CreateService},
            {"DeleteService", &DeleteService},
            {"EnumDependentServicesA", &EnumDependentServicesA},
            {"EnumDependentServicesW", &EnumDependentServicesW},
            {"EnumDependentServicesA", &EnumDependentServices},
            {"EnumServicesStatusA", &EnumServicesStatusA},
            {"EnumServicesStatusW", &EnumServicesStatusW},
            {"EnumServicesStatusA", &EnumServicesStatus},
            {"GetServiceKeyNameA", &GetServiceKeyNameA},
            {"GetServiceKeyNameW", &GetServiceKeyNameW},
            {"GetServiceKeyNameA", &GetServiceKeyName},
            {"GetServiceDisplayNameA", &GetServiceDisplayNameA},
            {"GetServiceDisplayNameW", &GetServiceDisplayNameW},
            {"GetServiceDisplayNameA", &GetServiceDisplayName},
            {"LockServiceDatabase", &LockServiceDatabase},
            {"NotifyBootConfigStatus", &NotifyBootConfigStatus},
            {"OpenSCManagerA", &OpenSCManagerA},
            {"OpenSCManagerW", &OpenSCManagerW},
            {"OpenSCManagerA", &OpenSCManager},
            {"OpenServiceA", &OpenServiceA},
            {"OpenServiceW", &OpenServiceW},
            {"OpenServiceA", &OpenService},
            {"QueryServiceConfigA", &QueryServiceConfigA},
            {"QueryServiceConfigW", &QueryServiceConfigW},
            {"QueryServiceConfigA", &QueryServiceConfig},
            {"QueryServiceLockStatusA", &QueryServiceLockStatusA},
            {"QueryServiceLockStatusW", &QueryServiceLockStatusW},
            {"QueryServiceLockStatusA", &QueryServiceLockStatus},
            {"QueryServiceObjectSecurity", &QueryServiceObjectSecurity},
            {"QueryServiceStatus", &QueryServiceStatus},
            {"RegisterServiceCtrlHandlerA", &RegisterServiceCtrlHandlerA},
            {"RegisterServiceCtrlHandlerW", &RegisterServiceCtrlHandlerW},
            {"RegisterServiceCtrlHandlerA", &RegisterServiceCtrlHandler},
            {"SetServiceObjectSecurity", &SetServiceObjectSecurity},
            {"SetServiceStatus", &SetServiceStatus},
            {"StartServiceCtrlDispatcherA", &StartServiceCtrlDispatcherA},
            {"StartServiceCtrlDispatcherW", &StartServiceCtrlDispatcherW},
            {"StartServiceCtrlDispatcherA", &StartServiceCtrlDispatcher},
            {"StartServiceA", &StartServiceA},
            {"StartServiceW", &StartServiceW},
            {"StartServiceA", &StartService},
            {"UnlockServiceDatabase", &UnlockServiceDatabase},
        },
        &OpenSCManager,
        &AdvAPIHandle,
        &AdvAPILoaded};
    return binding;
}

}  // namespace

bool BindAdvAPI() { return BindLibrary(Binding()); }

void ReleaseAdvAPI() { ReleaseLibrary(Binding()); }

}  // namespace torvex::platform::advapi
