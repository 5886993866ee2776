#include "platform/host/HostRegistry.h"
#include "platform/host/HostDevices.h"

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

using Projector = void (*)(Registry&, const HostRegistryFacts&);

constexpr Projector kProjectors[] = {
    ProjectNtCurrentVersion,
    ProjectWindowsCurrentVersion,
    ProjectComputerName,
    ProjectHostDevices,
};

}  // namespace

void ProjectHostRegistry(Registry& registry, const HostRegistryFacts& facts) {
    // The owner of a home PC: opening a key with full access succeeds.
    registry.setUserIsAdmin(true);
    for (Projector p : kProjectors) p(registry, facts);
}

}  // namespace torvex::platform::host
