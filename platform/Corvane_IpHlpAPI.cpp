#include "platform/Corvane_IpHlpAPI.h"

#include "platform/Corvane_Binding.h"

namespace torvex::platform::iphlpapi {

win32::HMODULE IpHlpAPIHandle = nullptr;
bool IpHlpAPILoaded = false;

win32::FARPROC GetAdaptersInfo = nullptr;
win32::FARPROC GetNetworkParams = nullptr;

namespace {

const TLibraryBinding& Binding() {
    static const TLibraryBinding binding{
        "iphlpapi.dll",
        "Unload Error: iphlpapi.dll (",
        "Unload Error: iphlpapi.dll (",
        "iphlpapi.dll",
        {
            {"GetAdaptersInfo", &GetAdaptersInfo},
            {"GetNetworkParams", &GetNetworkParams},
        },
        &GetAdaptersInfo,
        &IpHlpAPIHandle,
        &IpHlpAPILoaded};
    return binding;
}

}  // namespace

bool BindIpHlpAPI() { return BindLibrary(Binding()); }

void ReleaseIpHlpAPI() { ReleaseLibrary(Binding()); }

}  // namespace torvex::platform::iphlpapi
