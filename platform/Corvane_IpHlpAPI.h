// The IP helper library "iphlpapi.dll", bound at program start and freed at
// program end; Windows 95 has none.
#pragma once

#include "platform/win32/Win32.h"

namespace torvex::platform::iphlpapi {

// The library's handle, 0 when it is absent.
extern win32::HMODULE IpHlpAPIHandle;
// True when the library is there and GetAdaptersInfo was found.
extern bool IpHlpAPILoaded;

// Entry points, in binding order; null when the library lacks them. Call
// them through win32::GetAdaptersInfoProc and win32::GetNetworkParamsProc.
extern win32::FARPROC GetAdaptersInfo;
extern win32::FARPROC GetNetworkParams;

// At program start: binds the library and its entry points; returns
// IpHlpAPILoaded.
bool BindIpHlpAPI();
// At program end: frees the library when it was bound; raises
// "Unload Error: iphlpapi.dll (XXXXXXXX)" when that fails.
void ReleaseIpHlpAPI();

}  // namespace torvex::platform::iphlpapi
