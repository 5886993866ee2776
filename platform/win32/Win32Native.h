// NT's native system-information query, as ntdll exports it. The program
// binds it by name at run time (GetProcAddress), so on machines whose ntdll
// lacks it (Windows 9x) nothing is called.
#pragma once

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Firmware.h"

namespace win32 {

constexpr ULONG SystemBasicInformation = 0;           // 44 bytes; processor count at 40
constexpr ULONG SystemPerformanceInformation = 2;     // 312 bytes; idle time at 0
constexpr ULONG SystemTimeOfDayInformation = 3;       // 32 bytes; current time at 8

constexpr NTSTATUS STATUS_INVALID_INFO_CLASS = static_cast<NTSTATUS>(0xC0000003u);

// Fills info with the record of the class. Times are 100 ns units; the
// idle time is the sum over all processors. A machine that cannot tell its
// idle time fails the performance class with STATUS_NOT_IMPLEMENTED.
NTSTATUS NtQuerySystemInformation(ULONG infoClass, void* info, ULONG length, ULONG* returnLength);
using PNtQuerySystemInformation = NTSTATUS (*)(ULONG, void*, ULONG, ULONG*);

}  // namespace win32
