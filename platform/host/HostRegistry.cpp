#include "platform/host/HostRegistry.h"
#include "platform/host/HostDevices.h"
#include "platform/machine/FileText.h"

namespace torvex::platform::host {

namespace {

void SetText(RegKey& key, const char* name, const std::string& text) {
    if (!text.empty()) key.setValue(RegValue::String(name, text));
}

// The registration and product texts, in both keys that programs read: the
// NT key and the older one that the Windows 95 family uses.
void ProjectRegistration(RegKey& key, const HostRegistryFacts& f) {
    SetText(key, "ProductName", f.productName);
    SetText(key, "RegisteredOwner", f.registeredOwner);
    // A PC owner who registers no organisation has the value, empty.
    key.setValue(RegValue::String("RegisteredOrganization", ""));
    Trace("registration", "Linux records no registered organisation: RegisteredOrganization is empty");
    SetText(key, "ProductId", f.productId);
}

void ProjectNtCurrentVersion(Registry& r, const HostRegistryFacts& f) {
    RegKey& key = r.root(RegRoot::LocalMachine)
                      .ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    ProjectRegistration(key, f);
    // The version that the host presents (see the version record).
    key.setValue(RegValue::String("CurrentVersion", "5.1"));
    key.setValue(RegValue::String("CurrentBuildNumber", "2600"));
    SetText(key, "CSDVersion", f.csdVersion);
    SetText(key, "CurrentType", f.kernelType);
}

void ProjectWindowsCurrentVersion(Registry& r, const HostRegistryFacts& f) {
    ProjectRegistration(
        r.root(RegRoot::LocalMachine).ensure("SOFTWARE\\Microsoft\\Windows\\CurrentVersion"), f);
}

void ProjectComputerName(Registry& r, const HostRegistryFacts& f) {
    if (f.computerName.empty()) return;
    r.root(RegRoot::LocalMachine)
        .ensure("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName")
        .setValue(RegValue::String("ComputerName", f.computerName));
}

// The local zone as the one entry of the "Time Zones" list, so that its
// display name is found, and as the current rules where Windows keeps them.
void ProjectTimeZone(Registry& r, const HostRegistryFacts& f) {
    if (!f.timeZone) return;
    const HostTimeZone& z = *f.timeZone;
    RegKey& key = r.root(RegRoot::LocalMachine)
                      .ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones")
                      .ensureChild(z.keyName);
    key.setValue(RegValue::String("Display", z.display));
    key.setValue(RegValue::String("Dlt", z.rules.daylightName));
    key.setValue(RegValue::String("Std", z.rules.standardName));
    key.setValue(RegValue::Binary("TZI", TziBytes(z.rules)));
    RegKey& current = r.root(RegRoot::LocalMachine).ensure("SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation");
    current.setValue(RegValue::Dword("Bias", static_cast<std::uint32_t>(z.rules.bias)));
    current.setValue(RegValue::String("StandardName", z.rules.standardName));
    current.setValue(RegValue::Dword("StandardBias", static_cast<std::uint32_t>(z.rules.standardBias)));
    current.setValue(RegValue::String("DaylightName", z.rules.daylightName));
    current.setValue(RegValue::Dword("DaylightBias", static_cast<std::uint32_t>(z.rules.daylightBias)));
    std::vector<std::uint8_t> tzi = TziBytes(z.rules);
    current.setValue(RegValue::Binary("StandardStart", {tzi.begin() + 12, tzi.begin() + 28}));
    current.setValue(RegValue::Binary("DaylightStart", {tzi.begin() + 28, tzi.end()}));
}

// The firmware as NT's hardware detection describes it. Only what the host
// knows is written: without DMI there is no version and no date.
void ProjectHardwareDescription(Registry& r, const HostRegistryFacts& f) {
    if (f.machineIdentifier.empty() && f.biosVersion.empty() && f.biosDate.empty()) return;
    RegKey& key = r.root(RegRoot::LocalMachine).ensure("HARDWARE\\DESCRIPTION\\System");
    SetText(key, "Identifier", f.machineIdentifier);
    if (!f.biosVersion.empty()) key.setValue(RegValue::MultiString("SystemBiosVersion", {f.biosVersion}));
    SetText(key, "SystemBiosDate", WindowsBiosDate(f.biosDate));
}

using Projector = void (*)(Registry&, const HostRegistryFacts&);

constexpr Projector kProjectors[] = {
    ProjectNtCurrentVersion,
    ProjectWindowsCurrentVersion,
    ProjectComputerName,
    ProjectHostDevices,
    ProjectTimeZone,
    ProjectHardwareDescription,
};

}  // namespace

std::string KernelType(const std::string& kernelVersion) {
    if (kernelVersion.empty()) return {};
    std::string padded = " " + kernelVersion + " ";
    return padded.find(" SMP ") != std::string::npos ? "Multiprocessor Free" : "Uniprocessor Free";
}

std::string WindowsBiosDate(const std::string& kernelDate) {
    const std::string& d = kernelDate;
    auto digits = [&](std::size_t from, std::size_t n) {
        for (std::size_t i = from; i < from + n; ++i)
            if (d[i] < '0' || d[i] > '9') return false;
        return true;
    };
    if (d.size() == 10 && d[2] == '/' && d[5] == '/' && digits(0, 2) && digits(3, 2) && digits(6, 4))
        return d.substr(0, 6) + d.substr(8, 2);
    return d;
}

void ProjectHostRegistry(Registry& registry, const HostRegistryFacts& facts) {
    // The owner of a home PC: opening a key with full access succeeds.
    registry.setUserIsAdmin(true);
    for (Projector p : kProjectors) p(registry, facts);
}

}  // namespace torvex::platform::host
