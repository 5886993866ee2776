#include "platform/host/HostPower.h"

#include "platform/machine/FileText.h"

#include <cmath>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace torvex::platform::host {

namespace fs = std::filesystem;

namespace {

// The first line of a power supply's attribute, "" when it has none.
std::string Attr(const fs::path& dir, const char* name) {
    auto text = ReadFileTraced(dir / name, "power");
    if (!text) return {};
    // A view of the text read, not of a copy: a copy's substring would be
    // gone before the line is used.
    std::string_view line = std::string_view(*text).substr(0, text->find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    return std::string(line);
}

std::optional<double> Number(const fs::path& dir, const char* name) {
    std::string text = Attr(dir, name);
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

struct Battery {
    double now = 0, full = 0, rate = 0;   // energy (uWh, uW) or charge (uAh, uA)
    std::optional<double> capacity;       // percent
    std::optional<double> timeToEmpty;    // seconds
    bool charging = false, discharging = false;
};

}  // namespace

PowerStatusFacts ReadPowerSupplies(const fs::path& root) {
    PowerStatusFacts facts;   // a desktop PC: mains, no battery
    fs::path dir = root / "sys/class/power_supply";
    std::error_code ec;
    if (TraceEnabled() && !fs::is_directory(dir, ec))
        Trace("power", dir.string() + ": missing, a desktop PC on mains without a battery");
    bool anyMains = false, mainsOnline = false;
    std::vector<Battery> batteries;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const fs::path& p = entry.path();
        std::string type = Attr(p, "type");
        if (type == "Mains" || type == "USB" || type == "USB_C" || type == "USB_PD") {
            anyMains = true;
            if (Attr(p, "online") == "1") mainsOnline = true;
        } else if (type == "Battery") {
            if (Attr(p, "scope") == "Device") continue;   // a peripheral's own battery
            if (Attr(p, "present") == "0") continue;
            Battery b;
            std::string status = Attr(p, "status");
            b.charging = status == "Charging";
            b.discharging = status == "Discharging";
            b.capacity = Number(p, "capacity");
            if (auto n = Number(p, "energy_now")) {
                b.now = *n;
                b.full = Number(p, "energy_full").value_or(0);
                b.rate = Number(p, "power_now").value_or(0);
            } else if (auto c = Number(p, "charge_now")) {
                b.now = *c;
                b.full = Number(p, "charge_full").value_or(0);
                b.rate = Number(p, "current_now").value_or(0);
            }
            b.timeToEmpty = Number(p, "time_to_empty_now");
            batteries.push_back(b);
        }
    }
    if (batteries.empty()) {
        facts.acLineStatus = anyMains && !mainsOnline ? 0 : 1;
        return facts;
    }
    bool discharging = false, charging = false;
    double now = 0, full = 0, rate = 0, percentSum = 0;
    int percents = 0;
    std::optional<double> timeToEmpty;
    for (const Battery& b : batteries) {
        discharging |= b.discharging;
        charging |= b.charging;
        now += b.now;
        full += b.full;
        rate += std::fabs(b.rate);
        if (b.capacity) {
            percentSum += *b.capacity;
            ++percents;
        }
        if (b.timeToEmpty) timeToEmpty = timeToEmpty.value_or(0) + *b.timeToEmpty;
    }
    // Mains: what the adapter says; without one, the battery's own state.
    facts.acLineStatus = anyMains ? (mainsOnline ? 1 : 0) : (discharging ? 0 : 1);

    std::optional<double> percent;
    if (full > 0) percent = now * 100.0 / full;
    else if (percents > 0) percent = percentSum / percents;
    if (percent) {
        double p = std::round(std::fmin(std::fmax(*percent, 0.0), 100.0));
        facts.batteryLifePercent = std::uint8_t(p);
        std::uint8_t flag = 0;
        if (p > 66) flag |= 1;
        else if (p < 5) flag |= 4;
        else if (p < 33) flag |= 2;
        if (charging) flag |= 8;
        facts.batteryFlag = flag;
    } else {
        facts.batteryLifePercent = 255;
        facts.batteryFlag = charging ? 8 : 255;
    }
    // Running times are only known while the battery runs the PC.
    if (facts.acLineStatus == 0) {
        if (rate > 0 && now > 0) {
            facts.batteryLifeTime = std::uint32_t(std::llround(now / rate * 3600.0));
            if (full > 0) facts.batteryFullLifeTime = std::uint32_t(std::llround(full / rate * 3600.0));
        } else if (timeToEmpty) {
            facts.batteryLifeTime = std::uint32_t(std::llround(*timeToEmpty));
        }
    }
    return facts;
}

}  // namespace torvex::platform::host
