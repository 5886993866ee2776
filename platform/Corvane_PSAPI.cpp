#include "platform/Corvane_PSAPI.h"

#include "platform/Corvane_Binding.h"

namespace torvex::platform::psapi {

win32::HMODULE PSAPIHandle = nullptr;
bool PSAPILoaded = false;

win32::FARPROC EnumProcesses = nullptr;
win32::FARPROC EnumProcessModules = nullptr;
win32::FARPROC GetModuleBaseNameA = nullptr;
win32::FARPROC GetModuleFileNameExA = nullptr;
win32::FARPROC GetModuleInformation = nullptr;
win32::FARPROC EmptyWorkingSet = nullptr;
win32::FARPROC QueryWorkingSet = nullptr;
win32::FARPROC InitializeProcessForWsWatch = nullptr;
win32::FARPROC GetWsChanges = nullptr;
win32::FARPROC GetMappedFileNameA = nullptr;
win32::FARPROC EnumDeviceDrivers = nullptr;
win32::FARPROC GetDeviceDriverBaseNameA = nullptr;
win32::FARPROC GetDeviceDriverFileNameA = nullptr;
win32::FARPROC GetProcessMemoryInfo = nullptr;

namespace {

const TLibraryBinding& Binding() {
    static const TLibraryBinding binding{
        "psapi.dll",
        "Unload Error: psapi.dll (",
        nullptr,
        nullptr,
        {
            {"EnumProcesses", &EnumProcesses},
            {"EnumProcessModules", &EnumProcessModules},
            {"GetModuleBaseNameA", &GetModuleBaseNameA},
            {"GetModuleFileNameExA", &GetModuleFileNameExA},
            {"GetModuleInformation", &GetModuleInformation},
            {"EmptyWorkingSet", &EmptyWorkingSet},
            {"QueryWorkingSet", &QueryWorkingSet},
            {"InitializeProcessForWsWatch", &InitializeProcessForWsWatch},
            {"GetWsChanges", &GetWsChanges},
            {"GetMappedFileNameA", &GetMappedFileNameA},
            {"EnumDeviceDrivers", &EnumDeviceDrivers},
            {"GetDeviceDriverBaseNameA", &GetDeviceDriverBaseNameA},
            {"GetDeviceDriverFileNameA", &GetDeviceDriverFileNameA},
            {"GetProcessMemoryInfo", &GetProcessMemoryInfo},
        },
        &EnumProcesses,
        &PSAPIHandle,
        &PSAPILoaded};
    return binding;
}

}  // namespace

bool BindPSAPI() { return BindLibrary(Binding()); }

}  // namespace torvex::platform::psapi
