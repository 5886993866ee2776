#include "platform/win32/Win32Power.h"

#include "platform/machine/Machine.h"

namespace win32 {

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    if (!status) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    torvex::platform::PowerStatusFacts facts;
    if (auto answer = torvex::platform::ActiveMachine().powerStatus()) facts = *answer;
    status->ACLineStatus = facts.acLineStatus;
    status->BatteryFlag = facts.batteryFlag;
    status->BatteryLifePercent = facts.batteryLifePercent;
    status->Reserved1 = 0;
    status->BatteryLifeTime = facts.batteryLifeTime;
    status->BatteryFullLifeTime = facts.batteryFullLifeTime;
    return TRUE;
}

}  // namespace win32
