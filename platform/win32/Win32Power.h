// Power supply and battery state.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr BYTE AC_LINE_OFFLINE = 0;
constexpr BYTE AC_LINE_ONLINE = 1;
constexpr BYTE AC_LINE_UNKNOWN = 255;
constexpr BYTE BATTERY_FLAG_HIGH = 1;
constexpr BYTE BATTERY_FLAG_LOW = 2;
constexpr BYTE BATTERY_FLAG_CRITICAL = 4;
constexpr BYTE BATTERY_FLAG_CHARGING = 8;
constexpr BYTE BATTERY_FLAG_NO_BATTERY = 128;
constexpr BYTE BATTERY_FLAG_UNKNOWN = 255;
constexpr BYTE BATTERY_PERCENTAGE_UNKNOWN = 255;
constexpr DWORD BATTERY_LIFE_UNKNOWN = 0xFFFFFFFF;

struct SYSTEM_POWER_STATUS {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE Reserved1;
    DWORD BatteryLifeTime;       // seconds
    DWORD BatteryFullLifeTime;   // seconds
};
static_assert(sizeof(SYSTEM_POWER_STATUS) == 12);

// A machine that says nothing about its power is a desktop PC on mains
// power without a battery, as Windows reports one.
BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status);

}  // namespace win32
