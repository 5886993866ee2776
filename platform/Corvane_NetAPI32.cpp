#include "platform/Corvane_NetAPI32.h"

#include "platform/Corvane_Binding.h"

namespace torvex::platform::netapi32 {

win32::HMODULE NetAPI32Handle = nullptr;
bool NetAPI32Loaded = false;

win32::FARPROC NetQueryDisplayInformation = nullptr;
win32::FARPROC NetStatisticsGet = nullptr;
win32::FARPROC NetWkstaGetInfo = nullptr;
win32::FARPROC NetWkstaUserGetInfo = nullptr;
win32::FARPROC NetUserEnum = nullptr;
win32::FARPROC NetWkstaUserEnum = nullptr;
win32::FARPROC NetWkstaTransportEnum = nullptr;
win32::FARPROC NetServerTransportEnum = nullptr;
win32::FARPROC NetUserGetInfo = nullptr;
win32::FARPROC NetUserGetGroups = nullptr;
win32::FARPROC NetUserGetLocalGroups = nullptr;
win32::FARPROC NetGroupEnum = nullptr;
win32::FARPROC NetLocalGroupEnum = nullptr;
win32::FARPROC NetGroupGetUsers = nullptr;
win32::FARPROC NetLocalGroupGetMembers = nullptr;
win32::FARPROC NetServerEnum = nullptr;
win32::FARPROC NetShareEnum = nullptr;
win32::FARPROC NetShareDel = nullptr;
win32::FARPROC NetSessionEnum = nullptr;
win32::FARPROC NetSessionDel = nullptr;
win32::FARPROC NetConnectionEnum = nullptr;
win32::FARPROC NetFileEnum = nullptr;
win32::FARPROC NetFileClose = nullptr;
win32::FARPROC NetApiBufferFree = nullptr;
win32::FARPROC NetApiBufferReallocate = nullptr;
win32::FARPROC NetApiBufferSize = nullptr;
win32::FARPROC NetScheduleJobEnum = nullptr;
win32::FARPROC NetScheduleJobDel = nullptr;
win32::FARPROC NetScheduleJobAdd = nullptr;
win32::FARPROC NetScheduleJobGetInfo = nullptr;

namespace {

const TLibraryBinding& Binding() {
    static const TLibraryBinding binding{
        "netapi32.dll",
        "Unload Error: netapi32.dll (",
        "Unload Error: netapi32.dll (",
        "netapi32.dll",
        {
            {"NetQueryDisplayInformation", &NetQueryDisplayInformation},
            {"NetStatisticsGet", &NetStatisticsGet},
            {"NetWkstaGetInfo", &NetWkstaGetInfo},
            {"NetWkstaUserGetInfo", &NetWkstaUserGetInfo},
            {"NetUserEnum", &NetUserEnum},
            {"NetWkstaUserEnum", &NetWkstaUserEnum},
            {"NetWkstaTransportEnum", &NetWkstaTransportEnum},
            {"NetServerTransportEnum", &NetServerTransportEnum},
            {"NetUserGetInfo", &NetUserGetInfo},
            {"NetUserGetGroups", &NetUserGetGroups},
            {"NetUserGetLocalGroups", &NetUserGetLocalGroups},
            {"NetGroupEnum", &NetGroupEnum},
            {"NetLocalGroupEnum", &NetLocalGroupEnum},
            {"NetGroupGetUsers", &NetGroupGetUsers},
            {"NetLocalGroupGetMembers", &NetLocalGroupGetMembers},
            {"NetServerEnum", &NetServerEnum},
            {"NetShareEnum", &NetShareEnum},
            {"NetShareDel", &NetShareDel},
            {"NetSessionEnum", &NetSessionEnum},
            {"NetSessionDel", &NetSessionDel},
            {"NetConnectionEnum", &NetConnectionEnum},
            {"NetFileEnum", &NetFileEnum},
            {"NetFileClose", &NetFileClose},
            {"NetApiBufferFree", &NetApiBufferFree},
            {"NetApiBufferReallocate", &NetApiBufferReallocate},
            {"NetApiBufferSize", &NetApiBufferSize},
            {"NetScheduleJobEnum", &NetScheduleJobEnum},
            {"NetScheduleJobDel", &NetScheduleJobDel},
            {"NetScheduleJobAdd", &NetScheduleJobAdd},
            {"NetScheduleJobGetInfo", &NetScheduleJobGetInfo},
        },
        &NetWkstaGetInfo,
        &NetAPI32Handle,
        &NetAPI32Loaded};
    return binding;
}

}  // namespace

bool BindNetAPI32() { return BindLibrary(Binding()); }

void ReleaseNetAPI32() { ReleaseLibrary(Binding()); }

}  // namespace torvex::platform::netapi32
