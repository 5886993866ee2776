// NT's native system-information query over the active machine.
#include "platform/win32/Win32Native.h"

#include <cstring>

#include "platform/machine/Machine.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;

void PutDword(void* info, ULONG offset, DWORD value) {
    std::memcpy(static_cast<BYTE*>(info) + offset, &value, sizeof value);
}
void PutQword(void* info, ULONG offset, std::uint64_t value) {
    std::memcpy(static_cast<BYTE*>(info) + offset, &value, sizeof value);
}

NTSTATUS Sized(ULONG needed, ULONG length, ULONG* returnLength) {
    if (returnLength) *returnLength = needed;
    return length < needed ? STATUS_INFO_LENGTH_MISMATCH : STATUS_SUCCESS;
}

}  // namespace

NTSTATUS NtQuerySystemInformation(ULONG infoClass, void* info, ULONG length, ULONG* returnLength) {
    auto& machine = ActiveMachine();
    switch (infoClass) {
        case SystemBasicInformation: {
            if (NTSTATUS s = Sized(44, length, returnLength); s != STATUS_SUCCESS || !info) return s;
            auto si = machine.systemInfo();
            auto mem = machine.memoryStatus();
            std::memset(info, 0, 44);
            PutDword(info, 8, si.pageSize);
            PutDword(info, 12, si.pageSize ? static_cast<DWORD>(mem.totalPhys / si.pageSize) : 0);
            PutDword(info, 24, si.allocationGranularity);
            PutDword(info, 28, si.minAppAddress);
            PutDword(info, 32, si.maxAppAddress);
            PutDword(info, 36, si.activeProcessorMask);
            static_cast<BYTE*>(info)[40] = static_cast<BYTE>(si.processors);
            return STATUS_SUCCESS;
        }
        case SystemPerformanceInformation: {
            auto idle = machine.processorIdleTime();
            if (!idle) return STATUS_NOT_IMPLEMENTED;
            if (NTSTATUS s = Sized(312, length, returnLength); s != STATUS_SUCCESS || !info) return s;
            std::memset(info, 0, 312);
            PutQword(info, 0, *idle);
            return STATUS_SUCCESS;
        }
        case SystemTimeOfDayInformation: {
            if (NTSTATUS s = Sized(32, length, returnLength); s != STATUS_SUCCESS || !info) return s;
            FILETIME now{};
            GetSystemTimeAsFileTime(&now);
            std::uint64_t current = (std::uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
            std::uint64_t sinceStart = machine.millisecondsSinceStart() * 10000ull;
            std::memset(info, 0, 32);
            PutQword(info, 0, current > sinceStart ? current - sinceStart : 0);
            PutQword(info, 8, current);
            return STATUS_SUCCESS;
        }
        default:
            return STATUS_INVALID_INFO_CLASS;
    }
}

}  // namespace win32
