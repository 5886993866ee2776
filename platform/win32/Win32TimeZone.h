// Time zone: the current rules of the machine's local time.
#pragma once

#include <string>

#include "platform/win32/Win32.h"

namespace win32 {

using WCHAR = char16_t;

struct TIME_ZONE_INFORMATION {
    LONG Bias;              // minutes: UTC = local time + Bias
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;   // wMonth 0: no transition
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
};
static_assert(sizeof(TIME_ZONE_INFORMATION) == 172);

constexpr DWORD TIME_ZONE_ID_UNKNOWN = 0;
constexpr DWORD TIME_ZONE_ID_STANDARD = 1;
constexpr DWORD TIME_ZONE_ID_DAYLIGHT = 2;
constexpr DWORD TIME_ZONE_ID_INVALID = 0xFFFFFFFF;

// Fills the record with the current rules; answers whether the machine's
// local time is now in standard or daylight time (unknown when the zone has
// no transitions).
DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* info);

// The names of the record as UTF-8 (the record holds them as UTF-16, as
// Windows does).
std::string TimeZoneNameText(const WCHAR (&name)[32]);

}  // namespace win32
