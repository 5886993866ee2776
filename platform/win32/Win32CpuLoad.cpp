#include "platform/win32/Win32CpuLoad.h"

#include <algorithm>
#include <cstring>

#include "platform/machine/Machine.h"

namespace win32 {

NTSTATUS ZwQuerySystemInformation(ULONG infoClass, LPVOID buffer, ULONG length, ULONG* returnLength) {
    auto& m = torvex::platform::ActiveMachine();
    if (infoClass != SystemProcessorPerformanceInformation) return STATUS_NOT_IMPLEMENTED;
    ULONG processors = std::max<ULONG>(1, m.systemInfo().processors);
    ULONG needed = processors * ULONG(sizeof(SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION));
    if (returnLength) *returnLength = needed;
    if (!buffer || length < needed) return STATUS_INFO_LENGTH_MISMATCH;
    auto idle = m.firstProcessorIdleTime();
    if (!idle) return STATUS_NOT_IMPLEMENTED;
    std::memset(buffer, 0, needed);
    SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION first{};
    first.IdleTime = static_cast<LONGLONG>(*idle);
    first.KernelTime = first.IdleTime;
    std::memcpy(buffer, &first, sizeof first);
    return STATUS_SUCCESS;
}

}  // namespace win32
