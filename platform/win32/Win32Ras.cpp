// The remote access library over the active machine.
#include "platform/win32/Win32Ras.h"

#include <cstdio>
#include <cstring>

#include "platform/machine/Machine.h"

namespace win32 {

DWORD RasEnumConnectionsA(RASCONNA* connections, LPDWORD size, LPDWORD count) {
    if (!size || !count) return ERROR_INVALID_PARAMETER;
    if (!connections || connections->dwSize != sizeof(RASCONNA)) return 632;   // ERROR_INVALID_SIZE
    DWORD active = torvex::platform::ActiveMachine().dialUpConnections().value_or(0);
    DWORD need = active * static_cast<DWORD>(sizeof(RASCONNA));
    *count = active;
    if (*size < need) {
        *size = need;
        return ERROR_BUFFER_TOO_SMALL;
    }
    // The machine tells how many, not which: each record names its place.
    for (DWORD i = 0; i < active; ++i) {
        RASCONNA& c = connections[i];
        std::memset(&c, 0, sizeof c);
        c.dwSize = sizeof(RASCONNA);
        c.hrasconn = 0x00100000u + i;
        std::snprintf(c.szEntryName, sizeof c.szEntryName, "Connection %u", static_cast<unsigned>(i + 1));
        std::snprintf(c.szDeviceType, sizeof c.szDeviceType, "modem");
    }
    *size = need;
    return ERROR_SUCCESS;
}

}  // namespace win32
