#include "engine/Zarvo_Software.h"

#include "engine/Zarvo_Common.h"
#include "platform/Corvane_Registry.h"

namespace torvex::engine {

namespace {
constexpr const char* kUninstallKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
}

void TSoftware::GetInfo() {
    FProducts.Clear();
    FUninstalls.Clear();
    platform::TRegistryReader root(win32::HKEY_LOCAL_MACHINE, kUninstallKey);
    if (!root) return;
    for (const std::string& name : root.SubKeyNames()) {
        platform::TRegistryReader product(win32::HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + name);
        if (!product || !product.HasValue("DisplayName")) continue;
        FProducts.Add(product.ReadString("DisplayName"));
        FUninstalls.Add(product.ReadString("UninstallString"));
    }
}

void TSoftware::Report(TStringList& lines) const {
    lines.Add("[Installed Software]");
    ListToReport(FProducts, "Count", "Item", lines);
    ListToReport(FUninstalls, "Count", "Item", lines);
}

void TSoftware::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("Products", FProducts);
}

}  // namespace torvex::engine
