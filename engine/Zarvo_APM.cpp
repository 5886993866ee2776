#include "engine/Zarvo_APM.h"

#include <utility>

#include "engine/Zarvo_Machine.h"
#include "platform/win32/Win32.h"

namespace torvex::engine {

std::string PowerStatusText(TPowerStatus status) {
    switch (status) {
        case psOffline: return "Offline";
        case psOnline: return "Online";
        default: return "Unknown";
    }
}

std::string BatteryStatusText(TBatteryStatus status) {
    switch (status) {
        case bsHigh: return "High";
        case bsLow: return "Low";
        case bsCritical: return "Critical";
        case bsCharging: return "Charging";
        case bsNoBattery: return "No Battery";
        default: return "Unknown";
    }
}

TBatteryStatus BatteryStatusOf(std::uint8_t flag) {
    // The first mask that holds every bit of the flag.
    const std::pair<std::uint8_t, TBatteryStatus> masks[] = {
        {1, bsHigh}, {2, bsLow}, {4, bsCritical}, {8, bsCharging}, {128, bsNoBattery}};
    for (const auto& [mask, status] : masks)
        if (std::uint8_t(flag | mask) == mask) return status;
    return bsUnknown;
}

void TAPM::GetInfo() {
    FACPowerStatus = psUnknown;
    FBatteryChargeStatus = bsUnknown;
    FBatteryLifePercent = 0;
    FBatteryLifeTime = 0;
    FBatteryLifeFullTime = 0;
    win32::SYSTEM_POWER_STATUS s{};
    if (!win32::GetSystemPowerStatus(&s)) return;
    FACPowerStatus = s.ACLineStatus == 0 ? psOffline : s.ACLineStatus == 1 ? psOnline : psUnknown;
    FBatteryChargeStatus = BatteryStatusOf(s.BatteryFlag);
    FBatteryLifePercent = s.BatteryLifePercent;
    FBatteryLifeTime = s.BatteryLifeTime;
    FBatteryLifeFullTime = s.BatteryFullLifeTime;
}

void TAPM::Report(TStringList& lines) const {
    lines.Add("[Advanced Power Management]");
    lines.Add(Format("ACPowerStatus=%s", {PowerStatusText(FACPowerStatus)}));
    lines.Add(Format("BatteryChargeStatus=%s", {BatteryStatusText(FBatteryChargeStatus)}));
    if (FBatteryLifePercent <= 100) {
        lines.Add(Format("BattreyLifeFullTime=%s",
                         {FormatSeconds(std::int64_t(FBatteryLifeFullTime), true, false, false)}));
        lines.Add(Format("BatteryLifeTime=%s", {FormatSeconds(std::int64_t(FBatteryLifeTime), true, false, false)}));
    }
}

void TAPM::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("ACPowerStatus", FACPowerStatus);
    published.Add("BatteryChargeStatus", FBatteryChargeStatus);
    published.Add("BatteryLifePercent", FBatteryLifePercent);
    published.Add("BatteryLifeTime", FBatteryLifeTime);
    published.Add("BatteryLifeFullTime", FBatteryLifeFullTime);
}

}  // namespace torvex::engine
