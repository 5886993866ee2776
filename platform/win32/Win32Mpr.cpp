#include "platform/win32/Win32Mpr.h"

#include <cstring>
#include <string>

#include "platform/machine/Machine.h"

namespace win32 {

DWORD WNetGetUserA(LPCSTR, LPSTR userName, LPDWORD length) {
    if (!length) return ERROR_INVALID_PARAMETER;
    std::string user = torvex::platform::ActiveMachine().userName();
    if (!userName || *length < user.size() + 1) {
        *length = static_cast<DWORD>(user.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(userName, user.c_str(), user.size() + 1);
    return ERROR_SUCCESS;
}

DWORD WNetOpenEnumA(DWORD, DWORD, DWORD, NETRESOURCEA*, HANDLE* handle) {
    if (handle) *handle = nullptr;
    return ERROR_NO_NETWORK;
}

DWORD WNetEnumResourceA(HANDLE, LPDWORD count, LPVOID, LPDWORD) {
    if (count) *count = 0;
    return ERROR_NO_MORE_ITEMS;
}

DWORD WNetCloseEnum(HANDLE) { return ERROR_SUCCESS; }

}  // namespace win32
