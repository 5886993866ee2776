// The network provider (mpr): the network user and the enumeration of
// network resources.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr DWORD RESOURCE_CONNECTED = 1;
constexpr DWORD RESOURCE_GLOBALNET = 2;
constexpr DWORD RESOURCE_CONTEXT = 5;
constexpr DWORD RESOURCETYPE_ANY = 0;

struct NETRESOURCEA {
    DWORD dwScope, dwType, dwDisplayType, dwUsage;
    LPSTR lpLocalName, lpRemoteName, lpComment, lpProvider;
};

// The user name the network knows the current user by (the logon name).
DWORD WNetGetUserA(LPCSTR name, LPSTR userName, LPDWORD length);

// Neither machine models network providers' resources: opening an
// enumeration fails with ERROR_NO_NETWORK, as Windows does without a
// network provider.
DWORD WNetOpenEnumA(DWORD scope, DWORD type, DWORD usage, NETRESOURCEA* resource, HANDLE* handle);
DWORD WNetEnumResourceA(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD bufferSize);
DWORD WNetCloseEnum(HANDLE handle);

}  // namespace win32
