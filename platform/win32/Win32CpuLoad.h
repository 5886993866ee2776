// The native system-information call of NT (ntdll) for the per-processor
// performance records.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

constexpr NTSTATUS STATUS_INFO_LENGTH_MISMATCH = static_cast<NTSTATUS>(0xC0000004u);
constexpr NTSTATUS STATUS_NOT_IMPLEMENTED = static_cast<NTSTATUS>(0xC0000002u);
constexpr ULONG SystemProcessorPerformanceInformation = 8;

#pragma pack(push, 4)
// One record per processor, times in 100-ns units.
struct SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION {
    LONGLONG IdleTime;
    LONGLONG KernelTime;   // includes the idle time
    LONGLONG UserTime;
    LONGLONG DpcTime;
    LONGLONG InterruptTime;
    ULONG InterruptCount;
};
#pragma pack(pop)
static_assert(sizeof(SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION) == 44);

// Class 8 only: fills one record per processor (the first one's idle time
// from the machine, the others' zero); STATUS_INFO_LENGTH_MISMATCH when the
// buffer holds fewer records than there are processors,
// STATUS_NOT_IMPLEMENTED for other classes or a machine without records.
NTSTATUS ZwQuerySystemInformation(ULONG infoClass, LPVOID buffer, ULONG length, ULONG* returnLength);

}  // namespace win32
