// The power supply: mains power, the battery's state and its running times.
#pragma once

#include <cstdint>
#include <string>

#include "platform/classes/Classes.h"

namespace torvex::engine {

enum TPowerStatus { psUnknown, psOffline, psOnline };
TORVEX_ENUM_NAMES(TPowerStatus, "psUnknown", "psOffline", "psOnline")
enum TBatteryStatus { bsUnknown, bsHigh, bsLow, bsCritical, bsCharging, bsNoBattery };
TORVEX_ENUM_NAMES(TBatteryStatus, "bsUnknown", "bsHigh", "bsLow", "bsCritical", "bsCharging", "bsNoBattery")

// "Unknown", "Offline", "Online".
std::string PowerStatusText(TPowerStatus status);
// "Unknown", "High", "Low", "Critical", "Charging", "No Battery".
std::string BatteryStatusText(TBatteryStatus status);
// The charge state a battery flag stands for: a single state, 0 as High;
// combined flags (High and Charging, 9) and 255 are Unknown.
TBatteryStatus BatteryStatusOf(std::uint8_t flag);

class TAPM : public TPersistent {
public:
    void GetInfo();
    void Report(TStringList& lines) const;

    TPowerStatus ACPowerStatus() const { return FACPowerStatus; }
    TBatteryStatus BatteryChargeStatus() const { return FBatteryChargeStatus; }
    // 0..100; 255 when the system does not know it.
    std::uint8_t BatteryLifePercent() const { return FBatteryLifePercent; }
    // Seconds; 0xFFFFFFFF when unknown.
    std::uint32_t BatteryLifeTime() const { return FBatteryLifeTime; }
    std::uint32_t BatteryLifeFullTime() const { return FBatteryLifeFullTime; }

protected:
    void PublishProperties(TPublished& published) const override;

private:
    TPowerStatus FACPowerStatus = psUnknown;
    TBatteryStatus FBatteryChargeStatus = bsUnknown;
    std::uint8_t FBatteryLifePercent = 0;
    std::uint32_t FBatteryLifeTime = 0;
    std::uint32_t FBatteryLifeFullTime = 0;
};

}  // namespace torvex::engine
