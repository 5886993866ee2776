// National language support: locale ids, locale items, language names.
#pragma once

#include <string>

#include "platform/win32/Win32.h"

namespace win32 {

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
constexpr DWORD ERROR_INVALID_FLAGS = 1004;

constexpr LCTYPE LOCALE_ILANGUAGE = 0x01;
constexpr LCTYPE LOCALE_SLANGUAGE = 0x02;
constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x03;
constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x04;
constexpr LCTYPE LOCALE_ICOUNTRY = 0x05;
constexpr LCTYPE LOCALE_SCOUNTRY = 0x06;
constexpr LCTYPE LOCALE_SABBREVCTRYNAME = 0x07;
constexpr LCTYPE LOCALE_SNATIVECTRYNAME = 0x08;
constexpr LCTYPE LOCALE_IDEFAULTLANGUAGE = 0x09;
constexpr LCTYPE LOCALE_IDEFAULTCOUNTRY = 0x0A;
constexpr LCTYPE LOCALE_IDEFAULTCODEPAGE = 0x0B;
constexpr LCTYPE LOCALE_SLIST = 0x0C;
constexpr LCTYPE LOCALE_IMEASURE = 0x0D;
constexpr LCTYPE LOCALE_SDECIMAL = 0x0E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x0F;
constexpr LCTYPE LOCALE_SGROUPING = 0x10;
constexpr LCTYPE LOCALE_IDIGITS = 0x11;
constexpr LCTYPE LOCALE_ILZERO = 0x12;
constexpr LCTYPE LOCALE_SNATIVEDIGITS = 0x13;
constexpr LCTYPE LOCALE_SCURRENCY = 0x14;
constexpr LCTYPE LOCALE_SINTLSYMBOL = 0x15;
constexpr LCTYPE LOCALE_SMONDECIMALSEP = 0x16;
constexpr LCTYPE LOCALE_SMONTHOUSANDSEP = 0x17;
constexpr LCTYPE LOCALE_SMONGROUPING = 0x18;
constexpr LCTYPE LOCALE_ICURRDIGITS = 0x19;
constexpr LCTYPE LOCALE_IINTLCURRDIGITS = 0x1A;
constexpr LCTYPE LOCALE_ICURRENCY = 0x1B;
constexpr LCTYPE LOCALE_INEGCURR = 0x1C;
constexpr LCTYPE LOCALE_SDATE = 0x1D;
constexpr LCTYPE LOCALE_STIME = 0x1E;
constexpr LCTYPE LOCALE_SSHORTDATE = 0x1F;
constexpr LCTYPE LOCALE_SLONGDATE = 0x20;
constexpr LCTYPE LOCALE_IDATE = 0x21;
constexpr LCTYPE LOCALE_ILDATE = 0x22;
constexpr LCTYPE LOCALE_ITIME = 0x23;
constexpr LCTYPE LOCALE_ICENTURY = 0x24;
constexpr LCTYPE LOCALE_ITLZERO = 0x25;
constexpr LCTYPE LOCALE_IDAYLZERO = 0x26;
constexpr LCTYPE LOCALE_IMONLZERO = 0x27;
constexpr LCTYPE LOCALE_S1159 = 0x28;
constexpr LCTYPE LOCALE_S2359 = 0x29;
// Day names from Monday (1) to Sunday (7), month names from January (1).
constexpr LCTYPE LOCALE_SDAYNAME1 = 0x2A;
constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x31;
constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x38;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x44;
constexpr LCTYPE LOCALE_SPOSITIVESIGN = 0x50;
constexpr LCTYPE LOCALE_SNEGATIVESIGN = 0x51;
constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;
constexpr LCTYPE LOCALE_SENGCOUNTRY = 0x1002;
constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;
constexpr LCTYPE LOCALE_IDEFAULTANSICODEPAGE = 0x1004;
constexpr LCTYPE LOCALE_ICALENDARTYPE = 0x1009;
constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x100C;
constexpr LCTYPE LOCALE_IFIRSTWEEKOFYEAR = 0x100D;
constexpr LCTYPE LOCALE_INEGNUMBER = 0x1010;

inline WORD LANGIDFROMLCID(LCID lcid) { return static_cast<WORD>(lcid & 0xFFFF); }

// Copies the item with its terminating zero; returns the characters copied
// including the zero, the size needed when size is 0, and 0 when the locale
// or item is unknown (ERROR_INVALID_PARAMETER) or the buffer is too small
// (ERROR_INSUFFICIENT_BUFFER). Items the user changed in the control panel
// replace the locale's own for the user's locale, unless
// LOCALE_NOUSEROVERRIDE is given.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR buffer, int size);
// Changes an item of the user's locale (the control panel's settings);
// items that are not user settings fail with ERROR_INVALID_FLAGS.
BOOL SetLocaleInfoA(LCID locale, LCTYPE type, LPCSTR data);
LANGID GetSystemDefaultLangID();
LANGID GetUserDefaultLangID();
LCID GetSystemDefaultLCID();
LCID GetUserDefaultLCID();
LCID GetThreadLocale();
// The language's name in the system's language; returns its length.
DWORD VerLanguageNameA(DWORD language, LPSTR buffer, DWORD size);

}  // namespace win32
